#include "RunCli.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace vantor::test {

CliRun RunCli(const std::string& args, const std::string& folder) {
    // One stderr file per process and call: ctest runs tests in parallel.
    static int calls = 0;
    const std::string errFile = ::testing::TempDir() + "vantor_cli_stderr_" + std::to_string(getpid()) + "_" +
                                std::to_string(++calls) + ".txt";
    std::string command = std::string(VANTOR_CLI) + " " + args + " 2>" + errFile + " </dev/null";
    if (!folder.empty()) command = "cd '" + folder + "' && " + command;
    CliRun r;
    std::FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    {
        std::ifstream in(errFile, std::ios::binary);
        r.err.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::remove(errFile.c_str());
    return r;
}

}  // namespace vantor::test
