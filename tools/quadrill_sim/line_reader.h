// line_reader.h: the lines of a script, read from a file descriptor in
// constant memory, however long the script.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <string_view>

// The longest line a script may have, comment included: room for a
// screenshot path as long as the system allows, and more.
constexpr size_t kMaxLineBytes = 8192;

struct LineReader {
    enum class Status {
        Line,       // line() holds the next line, its newline taken off
        End,        // the script has no more lines
        TooLong,    // line lineNumber() is longer than kMaxLineBytes
        ReadFailed, // error() holds errno
        CopyFailed, // writing the copy failed (error() holds errno) or passed its limit (EFBIG)
    };

    // Reads from `fd`, which stays the caller's to close.
    explicit LineReader(int fd);
    // Writes every byte read to `fd` as well, up to `limit` bytes in all.
    void copyTo(int fd, uint64_t limit);

    Status next();
    std::string_view line() const { return line_; }
    // The number of the line last returned (or refused), from 1.
    int lineNumber() const { return lineNumber_; }
    int error() const { return error_; }
    uint64_t copyLimit() const { return copyLimit_; }

private:
    bool refill(); // false at the end of the input or on an error (error_ set)

    int fd_ = -1;
    int copyFd_ = -1;
    uint64_t copyLimit_ = 0;
    uint64_t copied_ = 0;
    std::unique_ptr<char[]> buffer_;
    size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    std::string line_;
    int lineNumber_ = 0;
    int error_ = 0;
    Status failure_ = Status::Line; // ReadFailed or CopyFailed once one happened
};
