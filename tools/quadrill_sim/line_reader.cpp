// line_reader.cpp: lines from a file descriptor through one fixed buffer.
#include "line_reader.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr size_t kBufferBytes = 64 * 1024;

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

} // namespace

LineReader::LineReader(int fd) : fd_(fd), buffer_(new char[kBufferBytes])
{
    line_.reserve(kMaxLineBytes);
}

void LineReader::copyTo(int fd, uint64_t limit)
{
    copyFd_ = fd;
    copyLimit_ = limit;
}

bool LineReader::refill()
{
    begin_ = end_ = 0;
    ssize_t got = 0;
    do
        got = read(fd_, buffer_.get(), kBufferBytes);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        error_ = errno;
        failure_ = Status::ReadFailed;
        return false;
    }
    if (got == 0) {
        atEnd_ = true;
        return false;
    }
    end_ = size_t(got);
    if (copyFd_ >= 0) {
        copied_ += uint64_t(got);
        bool copiedAll = copied_ <= copyLimit_ && writeAll(copyFd_, buffer_.get(), end_);
        if (!copiedAll) {
            error_ = copied_ > copyLimit_ ? EFBIG : errno != 0 ? errno : EIO;
            failure_ = Status::CopyFailed;
            return false;
        }
    }
    return true;
}

LineReader::Status LineReader::next()
{
    line_.clear();
    if (failure_ != Status::Line)
        return failure_;
    for (;;) {
        if (begin_ == end_) {
            if (atEnd_ || !refill()) {
                if (failure_ != Status::Line)
                    return failure_;
                if (line_.empty())
                    return Status::End;
                ++lineNumber_; // a last line without its newline
                return Status::Line;
            }
        }
        const char* start = buffer_.get() + begin_;
        size_t available = end_ - begin_;
        const char* newline = static_cast<const char*>(std::memchr(start, '\n', available));
        size_t take = newline ? size_t(newline - start) : available;
        if (line_.size() + take > kMaxLineBytes) {
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
