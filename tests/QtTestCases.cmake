# Run after a QtTest executable is linked: asks it for its test functions
# (`EXE -functions`) and writes one ctest entry per function to OUT, so each
# case passes, fails or skips on its own line of the test report.
#
#   cmake -D EXE=... -D NAME=... -D OUT=... -D TIMEOUT=... -D ENVIRONMENT=K=V
#         [-D LAUNCHER=xvfb-run] -P QtTestCases.cmake
#
# The list is asked for offscreen: it needs no display even where the cases do.

execute_process(COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "${EXE}" -functions
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 60)
if(NOT status EQUAL 0)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "${EXE} -functions failed (${status}):\n${listing}${errors}")
endif()

set(launcher "")
if(LAUNCHER)
    # A display server of its own for each case: -a picks a free number.
    set(launcher "[==[${LAUNCHER}]==] -a ")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(content "")
set(count 0)
foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    # QtTest lists "name()"; the fixture's own functions are not listed.
    if(NOT line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)\\(\\)$")
        continue()
    endif()
    set(function "${CMAKE_MATCH_1}")
    set(test "${NAME}.${function}")
    string(APPEND content
        "add_test([==[${test}]==] ${launcher}[==[${EXE}]==] [==[${function}]==])\n"
        "set_tests_properties([==[${test}]==] PROPERTIES ENVIRONMENT [==[${ENVIRONMENT}]==] TIMEOUT ${TIMEOUT}"
        " SKIP_REGULAR_EXPRESSION [==[SKIP   : ]==])\n")
    math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "${EXE} -functions listed no test function:\n${listing}")
endif()
file(WRITE "${OUT}" "${content}")
