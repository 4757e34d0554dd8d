#pragma once
// Runs the real vantor-cli as a script would: stdin closed, stdout and
// stderr read apart.

#include <string>

namespace vantor::test {

struct CliRun {
    int exitCode = -1;  // -1 when the tool did not exit normally
    std::string out;    // stdout
    std::string err;    // stderr
};

/// Runs vantor-cli with the given shell words, in `folder` when it is not
/// empty.
CliRun RunCli(const std::string& args, const std::string& folder = {});

}  // namespace vantor::test
