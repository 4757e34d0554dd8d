#pragma once
// Runs the real vantor-cli as a script would: stdin closed, stdout and
// stderr read apart, each test in a folder of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace vantor::test {

struct CliRun {
    int exitCode = -1;  // -1 when the tool did not exit normally
    std::string out;    // stdout
    std::string err;    // stderr
};

/// The option that reads the parts database shipped with the sources.
inline const std::string kDatabase = " --database " VANTOR_SOURCE_DIR "/Database";

/// Runs a shell line in `folder`; $CLI in it is vantor-cli.
CliRun RunShell(const std::string& line, const std::string& folder);
std::string ReadAll(const std::filesystem::path& p);
/// The rows of a CSV text of numbers, its first line in `header`.
std::vector<std::vector<double>> Csv(const std::string& text, std::string& header);

/// An empty folder per test, the working folder of its runs.
class CliFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { std::filesystem::remove_all(dir); }
    CliRun Cli(const std::string& args) { return RunShell("$CLI " + args, dir.string()); }
    /// A refused or cancelled run: its exit code, its message on stderr,
    /// nothing on stdout, and file byte for byte as it was.
    void ExpectRefused(const std::string& file, const std::string& args, int exitCode, const std::string& message);
    nlohmann::json Info(const std::string& file) {
        const CliRun r = Cli("info --json " + file);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return nlohmann::json::parse(r.out, nullptr, false);
    }
    std::filesystem::path dir;
};

}  // namespace vantor::test
