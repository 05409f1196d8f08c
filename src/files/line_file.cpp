// line_file.cpp: reading a file's lines.
#include "files/line_file.h"

#include <cstring>

#include "files/file_error.h"

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr uint64_t kBytesPerMiB = uint64_t(1) << 20;

} // namespace

LineFile::~LineFile()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

bool LineFile::open(const std::string& path, uint64_t maxBytes, size_t maxLineBytes, std::string& reason)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        reason = fileErrorText(GetLastError());
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        reason = "it is a folder, not a file";
        return false;
    }
    file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        reason = fileErrorText(GetLastError());
        return false;
    }
    LARGE_INTEGER size = {};
    if (GetFileType(file_) != FILE_TYPE_DISK) {
        reason = "it is not a regular file (a pipe or a device)";
    } else if (!GetFileSizeEx(file_, &size)) {
        reason = fileErrorText(GetLastError());
    } else if (uint64_t(size.QuadPart) > maxBytes) {
        reason = "it is " + std::to_string(uint64_t(size.QuadPart) / kBytesPerMiB) + " MiB, more than the " +
                 std::to_string(maxBytes / kBytesPerMiB) + " MiB such a file may have";
    } else {
        maxLineBytes_ = maxLineBytes;
        buffer_.reset(new char[kBufferBytes]);
        return true;
    }
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return false;
}

bool LineFile::rewind()
{
    LARGE_INTEGER start = {};
    if (file_ == INVALID_HANDLE_VALUE || !SetFilePointerEx(file_, start, nullptr, FILE_BEGIN)) {
        error_ = GetLastError();
        return false;
    }
    begin_ = end_ = 0;
    atEnd_ = false;
    lineNumber_ = 0;
    error_ = 0;
    return true;
}

bool LineFile::refill()
{
    if (atEnd_ || error_ != 0 || file_ == INVALID_HANDLE_VALUE)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    DWORD read = 0;
    if (!ReadFile(file_, buffer_.get() + end_, DWORD(kBufferBytes - end_), &read, nullptr)) {
        error_ = GetLastError();
        return false;
    }
    if (read == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += read;
    return true;
}

LineFile::Status LineFile::next()
{
    if (error_ != 0)
        return Status::ReadFailed;
    line_.clear();
    for (;;) {
        const char* start = buffer_.get() + begin_;
        const void* newline = std::memchr(start, '\n', end_ - begin_);
        const size_t take = newline ? size_t(static_cast<const char*>(newline) - start) : end_ - begin_;
        if (line_.size() + take > maxLineBytes_) {
            ++lineNumber_;
            return Status::TooLong;
        }
        line_.append(start, take);
        begin_ += take;
        if (newline) {
            ++begin_;
            break;
        }
        if (!refill()) {
            if (error_ != 0)
                return Status::ReadFailed;
            if (line_.empty())
                return Status::End;
            break; // a last line without its newline
        }
    }
    if (!line_.empty() && line_.back() == '\r')
        line_.pop_back();
    ++lineNumber_;
    return Status::Line;
}
