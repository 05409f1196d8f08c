// line_reader.cpp: lines from a file descriptor through one fixed buffer.
#include "line_reader.h"

#include <errno.h>
#include <unistd.h>

namespace {

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

LineReader::LineReader(int fd) : fd_(fd), lines_(read, this, kMaxLineBytes) {}

void LineReader::copyTo(int fd, uint64_t limit)
{
    copyFd_ = fd;
    copyLimit_ = limit;
}

long LineReader::read(void* self, char* into, size_t room)
{
    LineReader* reader = static_cast<LineReader*>(self);
    ssize_t got = 0;
    do
        got = ::read(reader->fd_, into, room);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        reader->error_ = errno;
        reader->failure_ = Status::ReadFailed;
        return -1;
    }
    if (got > 0 && reader->copyFd_ >= 0) {
        reader->copied_ += uint64_t(got);
        const bool copiedAll =
            reader->copied_ <= reader->copyLimit_ && writeAll(reader->copyFd_, into, size_t(got));
        if (!copiedAll) {
            reader->error_ = reader->copied_ > reader->copyLimit_ ? EFBIG : errno != 0 ? errno : EIO;
            reader->failure_ = Status::CopyFailed;
            return -1;
        }
    }
    return long(got);
}

LineReader::Status LineReader::next()
{
    switch (lines_.next()) {
    case LineSplitter::Status::Line: return Status::Line;
    case LineSplitter::Status::End: return Status::End;
    case LineSplitter::Status::TooLong: return Status::TooLong;
    case LineSplitter::Status::ReadFailed: return failure_;
    }
    return failure_;
}
