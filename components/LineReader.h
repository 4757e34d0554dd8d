#pragma once
// Block-wise line reading for the component files: a line ends at "\n" or
// at the end of the data; a "\r" before the "\n" is dropped. The longest
// accepted line is bounded, so no input can make the reader grow without
// limit.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace vantor {

/// Where the bytes come from: a file or, for the fuzzers, memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    /// Reads up to n bytes into dst; 0 at the end of the data.
    virtual std::size_t Read(char* dst, std::size_t n) = 0;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    std::size_t Read(char* dst, std::size_t n) override { return std::fread(dst, 1, n, file_); }

private:
    std::FILE* file_;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const char* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(char* dst, std::size_t n) override;

private:
    const char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class LineReader {
public:
    /// Longest line accepted, bytes; far beyond any real component file.
    static constexpr std::size_t kMaxLineLength = 1 << 20;

    enum class Status { Line, End, TooLong };

    explicit LineReader(ByteSource& source, std::size_t blockSize = 1 << 16);

    /// The next line, valid until the next call.
    Status Next(std::string_view& line);
    /// 1-based number of the line last returned.
    int LineNumber() const { return lineNumber_; }
    /// Bytes taken from the source so far.
    std::uint64_t BytesRead() const { return bytesRead_; }

private:
    bool Fill();

    ByteSource& source_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // start of the unread part
    std::size_t end_ = 0;    // end of the valid data
    std::size_t blockSize_;
    std::uint64_t bytesRead_ = 0;
    int lineNumber_ = 0;
    bool eof_ = false;
};

/// Splits a line at runs of blanks, tabs and stray carriage returns.
/// Returns the number of tokens found; at most maxTokens are stored, the
/// rest are only counted (up to maxTokens + 1).
int SplitTokens(std::string_view line, std::string_view* tokens, int maxTokens);

/// The line without leading and trailing blanks, tabs and carriage returns.
std::string_view TrimBlanks(std::string_view line);

/// Reads one number token: a decimal number, optionally with an SI prefix
/// (as ParseValue reads it). False for text that is not a number or a
/// value that is not finite.
bool ReadNumber(std::string_view token, double& value);

}  // namespace vantor
