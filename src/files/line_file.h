// line_file.h: a regular file read line by line through one fixed buffer,
// so that its length costs no memory.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <string_view>

#include "text/line_splitter.h"

struct LineFile {
    enum class Status {
        Line,       // line() holds the next line, its newline (and a carriage return before it) taken off
        End,        // no more lines
        TooLong,    // line lineNumber() is longer than the limit
        ReadFailed, // error() holds the Win32 error
    };

    LineFile() = default;
    ~LineFile();
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    // Opens `path`: false with the reason when it is missing, a folder, a
    // pipe or a device (which could keep a reader waiting), or larger than
    // `maxBytes`; no line may be longer than `maxLineBytes`.
    bool open(const std::string& path, uint64_t maxBytes, size_t maxLineBytes, std::string& reason);
    // Back to the first line.
    bool rewind();
    Status next();
    std::string_view line() const { return line_; }
    int lineNumber() const { return lines_ ? lines_->lineNumber() : 0; }
    DWORD error() const { return error_; }

private:
    static long read(void* self, char* into, size_t room);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::unique_ptr<LineSplitter> lines_;
    std::string_view line_;
    DWORD error_ = 0;
};
