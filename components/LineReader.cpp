#include "LineReader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "Values.h"

namespace vantor {

std::size_t MemorySource::Read(char* dst, std::size_t n) {
    const std::size_t k = std::min(n, size_ - pos_);
    if (k > 0) std::memcpy(dst, data_ + pos_, k);
    pos_ += k;
    return k;
}

LineReader::LineReader(ByteSource& source, std::size_t blockSize)
    : source_(source), buffer_(blockSize * 2), blockSize_(blockSize) {}

// Moves the unread rest to the front and appends one block. False when the
// source is exhausted.
bool LineReader::Fill() {
    if (eof_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() - end_ < blockSize_) buffer_.resize(end_ + blockSize_);
    const std::size_t n = source_.Read(buffer_.data() + end_, blockSize_);
    if (n == 0) {
        eof_ = true;
        return false;
    }
    end_ += n;
    bytesRead_ += n;
    return true;
}

LineReader::Status LineReader::Next(std::string_view& line) {
    std::size_t scanned = begin_;
    for (;;) {
        const char* start = buffer_.data() + scanned;
        const void* nl = std::memchr(start, '\n', end_ - scanned);
        if (nl != nullptr) {
            const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_.data());
            if (pos - begin_ > kMaxLineLength) return Status::TooLong;
            std::size_t len = pos - begin_;
            if (len > 0 && buffer_[begin_ + len - 1] == '\r') --len;
            line = std::string_view(buffer_.data() + begin_, len);
            begin_ = pos + 1;
            ++lineNumber_;
            return Status::Line;
        }
        if (end_ - begin_ > kMaxLineLength) return Status::TooLong;
        const std::size_t rest = end_ - begin_;
        if (!Fill()) {
            if (rest == 0) return Status::End;
            // Last line without a line end.
            std::size_t len = rest;
            if (buffer_[begin_ + len - 1] == '\r') --len;
            line = std::string_view(buffer_.data() + begin_, len);
            begin_ = end_;
            ++lineNumber_;
            return Status::Line;
        }
        scanned = begin_ + rest;  // Fill moved the rest to the front
    }
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int SplitTokens(std::string_view line, std::string_view* tokens, int maxTokens) {
    int count = 0;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && IsBlank(line[i])) ++i;
        if (i == n) break;
        const std::size_t start = i;
        while (i < n && !IsBlank(line[i])) ++i;
        if (count < maxTokens) tokens[count] = line.substr(start, i - start);
        ++count;
        if (count > maxTokens) break;
    }
    return count;
}

std::string_view TrimBlanks(std::string_view line) {
    std::size_t b = 0;
    while (b < line.size() && IsBlank(line[b])) ++b;
    std::size_t e = line.size();
    while (e > b && IsBlank(line[e - 1])) --e;
    return line.substr(b, e - b);
}

bool ReadNumber(std::string_view token, double& value) {
    if (token.empty()) return false;
    // A number starts with a digit, or with a sign or point before a digit;
    // this also keeps "nan" and "inf" out.
    std::size_t i = 0;
    if (token[i] == '+' || token[i] == '-') ++i;
    if (i < token.size() && token[i] == '.') ++i;
    if (i >= token.size() || !IsDigit(token[i])) return false;

    // Plain numbers are the bulk of every file: convert them directly, the
    // way ParseValue converts them; anything with a prefix or unit goes
    // through ParseValue itself.
    if (token[0] != '+') {
        const char* first = token.data();
        const char* last = first + token.size();
        double v = 0.0;
        const auto res = std::from_chars(first, last, v, std::chars_format::general);
        if (res.ec == std::errc() && res.ptr == last) {
            value = v;
            return std::isfinite(v);
        }
    }
    const double v = ParseValue(std::string(token));
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

}  // namespace vantor
