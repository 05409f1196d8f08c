// line_reader.h: the lines of a script, read from a file descriptor in
// constant memory, however long the script.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string_view>

#include "text/line_splitter.h"

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
    std::string_view line() const { return lines_.line(); }
    // The number of the line last returned (or refused), from 1.
    int lineNumber() const { return lines_.lineNumber(); }
    int error() const { return error_; }
    uint64_t copyLimit() const { return copyLimit_; }

private:
    static long read(void* self, char* into, size_t room);

    int fd_ = -1;
    int copyFd_ = -1;
    uint64_t copyLimit_ = 0;
    uint64_t copied_ = 0;
    int error_ = 0;
    Status failure_ = Status::ReadFailed; // which failure a failed read was
    LineSplitter lines_;
};
