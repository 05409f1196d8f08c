// line_splitter.cpp: cutting lines out of a fixed buffer.
#include "text/line_splitter.h"

#include <cstring>

namespace {

constexpr size_t kBufferBytes = 64 * 1024;

} // namespace

LineSplitter::LineSplitter(Read read, void* source, size_t maxLineBytes)
    : read_(read), source_(source), maxLineBytes_(maxLineBytes), buffer_(new char[kBufferBytes])
{
}

void LineSplitter::restart()
{
    begin_ = end_ = 0;
    atEnd_ = failed_ = false;
    lineNumber_ = 0;
}

LineSplitter::Status LineSplitter::next()
{
    line_.clear();
    if (failed_)
        return Status::ReadFailed;
    for (;;) {
        if (begin_ == end_) {
            const long got = atEnd_ ? 0 : read_(source_, buffer_.get(), kBufferBytes);
            if (got < 0) {
                failed_ = true;
                return Status::ReadFailed;
            }
            begin_ = 0;
            end_ = size_t(got);
            if (got == 0) {
                atEnd_ = true;
                if (line_.empty())
                    return Status::End;
                ++lineNumber_; // a last line without its newline
                return Status::Line;
            }
        }
        const char* start = buffer_.get() + begin_;
        const size_t available = end_ - begin_;
        const char* newline = static_cast<const char*>(std::memchr(start, '\n', available));
        const size_t take = newline ? size_t(newline - start) : available;
        if (line_.size() + take > maxLineBytes_) {
            ++lineNumber_;
            return Status::TooLong;
        }
        line_.append(start, take);
        begin_ += take;
        if (newline) {
            ++begin_;
            ++lineNumber_;
            return Status::Line;
        }
    }
}
