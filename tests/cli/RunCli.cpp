#include "RunCli.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vantor::test {

CliRun RunShell(const std::string& line, const std::string& folder) {
    // One stderr file per process and call: ctest runs tests in parallel.
    static int calls = 0;
    const std::string errFile = ::testing::TempDir() + "vantor_cli_stderr_" + std::to_string(getpid()) + "_" +
                                std::to_string(++calls) + ".txt";
    const std::string command = "cd '" + folder + "' && CLI='" VANTOR_CLI "' && { " + line + "; } 2>" + errFile +
                                " </dev/null";
    CliRun r;
    std::FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    const int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadAll(errFile);
    std::remove(errFile.c_str());
    return r;
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::vector<double>> Csv(const std::string& text, std::string& header) {
    std::istringstream in(text);
    std::getline(in, header);
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(in, line);) {
        std::stringstream cells(line);
        rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, ',');) rows.back().push_back(std::stod(cell));
    }
    return rows;
}

void CliFolder::SetUp() {
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::path(::testing::TempDir()) /
          ("vantor_cli_" + std::to_string(getpid()) + "_" + test.test_suite_name() + "_" + test.name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
}

void CliFolder::ExpectRefused(const std::string& file, const std::string& args, int exitCode,
                              const std::string& message) {
    const std::string before = ReadAll(dir / file);
    const CliRun r = Cli(args);
    EXPECT_EQ(r.exitCode, exitCode) << args << "\n" << r.out << r.err;
    EXPECT_FALSE(r.err.empty()) << args;
    EXPECT_TRUE(r.out.empty()) << args << "\n" << r.out;
    EXPECT_NE(r.err.find(message), std::string::npos) << args << "\nstderr: " << r.err;
    EXPECT_EQ(ReadAll(dir / file), before) << args << " changed " << file;
}

}  // namespace vantor::test
