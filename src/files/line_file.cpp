// line_file.cpp: reading a file's lines.
#include "files/line_file.h"

#include "files/file_error.h"

namespace {

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
        // Rounded up, so that a file just past the limit does not read as the limit itself.
        const uint64_t sizeMiB = (uint64_t(size.QuadPart) + kBytesPerMiB - 1) / kBytesPerMiB;
        reason = "it is " + std::to_string(sizeMiB) + " MiB, more than the " +
                 std::to_string(maxBytes / kBytesPerMiB) + " MiB such a file may have";
    } else {
        lines_.reset(new LineSplitter(read, this, maxLineBytes));
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
    lines_->restart();
    error_ = 0;
    return true;
}

long LineFile::read(void* self, char* into, size_t room)
{
    LineFile* file = static_cast<LineFile*>(self);
    DWORD got = 0;
    if (!ReadFile(file->file_, into, DWORD(room), &got, nullptr)) {
        file->error_ = GetLastError();
        return -1;
    }
    return long(got);
}

LineFile::Status LineFile::next()
{
    line_ = {};
    if (!lines_)
        return Status::End;
    switch (lines_->next()) {
    case LineSplitter::Status::End: return Status::End;
    case LineSplitter::Status::TooLong: return Status::TooLong;
    case LineSplitter::Status::ReadFailed: return Status::ReadFailed;
    case LineSplitter::Status::Line: break;
    }
    line_ = lines_->line();
    if (!line_.empty() && line_.back() == '\r')
        line_.remove_suffix(1);
    return Status::Line;
}
