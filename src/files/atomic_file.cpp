// atomic_file.cpp: write, flush, rename.
#include "files/atomic_file.h"

#include <windows.h>

#include "files/file_error.h"

namespace {

// Each write of a large file goes in pieces a DWORD can count.
constexpr size_t kMaxWriteBytes = size_t(1) << 30;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool writeAndFlush(HANDLE file, const std::string& bytes, std::string& reason)
{
    for (size_t at = 0; at < bytes.size();) {
        const DWORD piece = DWORD(bytes.size() - at < kMaxWriteBytes ? bytes.size() - at : kMaxWriteBytes);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + at, piece, &written, nullptr) || written == 0) {
            reason = fileErrorText(GetLastError());
            return false;
        }
        at += written;
    }
    if (!FlushFileBuffers(file)) {
        reason = fileErrorText(GetLastError());
        return false;
    }
    return true;
}

// The temporary file is in the same folder, so the rename never crosses
// disks; the process id keeps two games saving at once apart.
std::string temporaryName(const std::string& path)
{
    return path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
}

} // namespace

bool replaceFileAtomically(const std::string& path, const std::string& bytes, const std::string* backup,
                           std::string& reason)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = "it is a folder";
        return false;
    }
    const std::string temporary = temporaryName(path);
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = fileErrorText(GetLastError());
        return false;
    }
    bool ok = writeAndFlush(file, bytes, reason);
    if (!CloseHandle(file) && ok) {
        reason = fileErrorText(GetLastError());
        ok = false;
    }
    if (ok && backup && exists(path)) {
        if (!ReplaceFileA(path.c_str(), temporary.c_str(), backup->c_str(), 0, nullptr, nullptr)) {
            const DWORD error = GetLastError();
            // Windows may have moved the old file to the backup's name and
            // then failed: it goes back where it was.
            if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
                MoveFileExA(backup->c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            reason = fileErrorText(error);
            ok = false;
        }
    } else if (ok && !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        reason = fileErrorText(GetLastError());
        ok = false;
    }
    if (!ok)
        DeleteFileA(temporary.c_str());
    return ok;
}
