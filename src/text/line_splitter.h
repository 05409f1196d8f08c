// line_splitter.h: lines cut from bytes that are read in through one fixed
// buffer, so that a long input costs no more memory than its longest line.
// The owner says how bytes are read; files and pipes share the cutting.
#pragma once

#include <stddef.h>

#include <memory>
#include <string>
#include <string_view>

struct LineSplitter {
    enum class Status {
        Line,       // line() holds the next line, its newline taken off
        End,        // no more lines
        TooLong,    // line lineNumber() is longer than the limit
        ReadFailed, // the read function failed; every later call says so too
    };
    // Reads at most `room` bytes into `into`: how many, 0 at the end of the
    // input, or a negative number on a failure (the owner keeps its reason).
    using Read = long (*)(void* source, char* into, size_t room);

    LineSplitter(Read read, void* source, size_t maxLineBytes);

    Status next();
    // Starts again from line 1, once the source has gone back to its start.
    void restart();
    std::string_view line() const { return line_; }
    // The number of the line last returned (or refused), from 1.
    int lineNumber() const { return lineNumber_; }

private:
    Read read_;
    void* source_;
    size_t maxLineBytes_;
    std::unique_ptr<char[]> buffer_;
    size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    std::string line_;
    int lineNumber_ = 0;
};
