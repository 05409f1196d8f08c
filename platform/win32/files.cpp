// files.cpp: the Win32 file calls over POSIX file descriptors.
//
// A HANDLE from CreateFileA is a small object holding the descriptor; only
// handles this file made are accepted. Every failure sets the last error
// to the Win32 code Windows gives for the same cause.
#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include "common/test_seams.h"

namespace {

// Less the umask, as every program's new files and folders.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kNewFolderMode = 0777;
constexpr size_t kCopyChunkBytes = 64 * 1024;

struct FileObject {
    int fd;
};

std::mutex g_filesMutex;
std::unordered_set<FileObject*> g_files;

DWORD win32Error(int error)
{
    switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENXIO:
    case ENODEV:
    case ENOTSUP: return ERROR_NOT_SUPPORTED;
    default: return ERROR_GEN_FAILURE;
    }
}

BOOL failWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

BOOL failWithErrno() { return failWith(win32Error(errno)); }

// A fault the test controls asked for: true when this call is to fail.
bool injectedFault(const char* function)
{
    TestSeams& hooks = testSeams();
    if (!hooks.fileFaultFunction || std::strcmp(hooks.fileFaultFunction, function) != 0)
        return false;
    if (hooks.fileFaultSucceedFirst > 0) {
        --hooks.fileFaultSucceedFirst;
        return false;
    }
    SetLastError(hooks.fileFaultError);
    return true;
}

FileObject* fileOf(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(g_filesMutex);
    auto found = g_files.find(static_cast<FileObject*>(handle));
    return found == g_files.end() ? nullptr : *found;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is on the disk once its folder is.
bool syncFolderOf(const char* path)
{
    int fd = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool synced = fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync a folder
    close(fd);
    return synced;
}

bool writeAll(int fd, const char* bytes, size_t size, size_t& written)
{
    written = 0;
    while (written < size) {
        ssize_t n = write(fd, bytes + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        written += size_t(n);
    }
    return true;
}

// Copies `from` to a new file `to`, on the disk when it returns true.
bool copyFile(const char* from, const char* to)
{
    int in = open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    int out = open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kNewFileMode);
    bool ok = out >= 0;
    char chunk[kCopyChunkBytes];
    while (ok) {
        ssize_t n = read(in, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        size_t written = 0;
        ok = writeAll(out, chunk, size_t(n), written);
    }
    int error = errno;
    ok = ok && fsync(out) == 0;
    if (out >= 0)
        ok = close(out) == 0 && ok;
    close(in);
    errno = error;
    return ok;
}

// Gives `backup` the content `path` has now, without `path` ever going
// missing: a second name for the same file (a copy where the file system
// has no such names), then a rename over the old backup.
bool keepAsBackup(const char* path, const char* backup)
{
    std::string part = std::string(backup) + "." + std::to_string(getpid()) + ".part";
    unlink(part.c_str());
    if (link(path, part.c_str()) != 0 && !copyFile(path, part.c_str())) {
        int error = errno;
        unlink(part.c_str());
        errno = error;
        return false;
    }
    if (rename(part.c_str(), backup) != 0) {
        int error = errno;
        unlink(part.c_str());
        errno = error;
        return false;
    }
    return true;
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD, HANDLE)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (injectedFault("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    const bool reading = (access & GENERIC_READ) != 0;
    const bool writing = (access & GENERIC_WRITE) != 0;
    // Opening a FIFO must not wait for its other end.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY);
    switch (creation) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }
    int fd = open(path, flags, kNewFileMode);
    if (fd < 0) {
        // A file that was to be made is missing only for want of its folder.
        const bool noFolder = errno == ENOENT && (flags & O_CREAT);
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : noFolder ? ERROR_PATH_NOT_FOUND : win32Error(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info = {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED); // as Windows answers for a folder
        return INVALID_HANDLE_VALUE;
    }
    if (S_ISREG(info.st_mode))
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FileObject* file = new FileObject{fd};
    std::lock_guard<std::mutex> lock(g_filesMutex);
    g_files.insert(file);
    return file;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED)
{
    FileObject* file = fileOf(handle);
    if (read)
        *read = 0;
    if (!file || (!buffer && toRead > 0))
        return failWith(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    for (;;) {
        ssize_t n = ::read(file->fd, buffer, toRead);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failWithErrno();
        if (read)
            *read = DWORD(n);
        return TRUE;
    }
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED)
{
    FileObject* file = fileOf(handle);
    if (written)
        *written = 0;
    if (!file || (!buffer && toWrite > 0))
        return failWith(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    const char* bytes = static_cast<const char*>(buffer);
    size_t done = 0;
    if (injectedFault("WriteFile")) {
        const DWORD error = GetLastError();
        writeAll(file->fd, bytes, toWrite / 2, done);
        if (written)
            *written = DWORD(done);
        return failWith(error);
    }
    const bool ok = writeAll(file->fd, bytes, toWrite, done);
    if (written)
        *written = DWORD(done);
    return ok ? TRUE : failWithErrno();
}

BOOL WINAPI FlushFileBuffers(HANDLE handle)
{
    FileObject* file = fileOf(handle);
    if (!file)
        return failWith(ERROR_INVALID_HANDLE);
    if (injectedFault("FlushFileBuffers"))
        return FALSE;
    return fsync(file->fd) == 0 ? TRUE : failWithErrno();
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    FileObject* file = fileOf(handle);
    if (!file)
        return failWith(ERROR_INVALID_HANDLE);
    {
        std::lock_guard<std::mutex> lock(g_filesMutex);
        g_files.erase(file);
    }
    const int result = close(file->fd);
    const int error = errno;
    delete file;
    if (injectedFault("CloseHandle"))
        return FALSE;
    return result == 0 || error == EINTR ? TRUE : failWith(win32Error(error));
}

DWORD WINAPI GetFileType(HANDLE handle)
{
    FileObject* file = fileOf(handle);
    struct stat info = {};
    if (!file || fstat(file->fd, &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FILE_TYPE_UNKNOWN;
    }
    SetLastError(ERROR_SUCCESS);
    if (S_ISREG(info.st_mode))
        return FILE_TYPE_DISK;
    if (S_ISCHR(info.st_mode))
        return FILE_TYPE_CHAR;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

BOOL WINAPI GetFileSizeEx(HANDLE handle, PLARGE_INTEGER size)
{
    FileObject* file = fileOf(handle);
    struct stat info = {};
    if (!file || !size)
        return failWith(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    if (fstat(file->fd, &info) != 0)
        return failWithErrno();
    size->QuadPart = LONGLONG(info.st_size);
    return TRUE;
}

BOOL WINAPI SetFilePointerEx(HANDLE handle, LARGE_INTEGER distance, PLARGE_INTEGER newPointer, DWORD method)
{
    FileObject* file = fileOf(handle);
    if (!file)
        return failWith(ERROR_INVALID_HANDLE);
    const int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    off_t at = lseek(file->fd, off_t(distance.QuadPart), whence);
    if (at < 0)
        return failWithErrno();
    if (newPointer)
        newPointer->QuadPart = LONGLONG(at);
    return TRUE;
}

BOOL WINAPI SetEndOfFile(HANDLE handle)
{
    FileObject* file = fileOf(handle);
    if (!file)
        return failWith(ERROR_INVALID_HANDLE);
    off_t at = lseek(file->fd, 0, SEEK_CUR);
    if (at < 0 || ftruncate(file->fd, at) != 0)
        return failWithErrno();
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR path)
{
    struct stat info = {};
    if (!path || stat(path, &info) != 0) {
        SetLastError(path ? win32Error(errno) : ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    if (!path)
        return failWith(ERROR_INVALID_PARAMETER);
    return mkdir(path, kNewFolderMode) == 0 ? TRUE : failWithErrno();
}

BOOL WINAPI DeleteFileA(LPCSTR path)
{
    if (!path)
        return failWith(ERROR_INVALID_PARAMETER);
    return unlink(path) == 0 ? TRUE : failWithErrno();
}

BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags)
{
    if (!existing || !newName)
        return failWith(ERROR_INVALID_PARAMETER);
    if (injectedFault("MoveFileExA"))
        return FALSE;
    struct stat info = {};
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && lstat(newName, &info) == 0)
        return failWith(ERROR_ALREADY_EXISTS);
    if (rename(existing, newName) != 0)
        return failWithErrno();
    if ((flags & MOVEFILE_WRITE_THROUGH) && !syncFolderOf(newName))
        return failWithErrno();
    return TRUE;
}

BOOL WINAPI ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD, LPVOID, LPVOID)
{
    if (!replaced || !replacement)
        return failWith(ERROR_INVALID_PARAMETER);
    if (injectedFault("ReplaceFileA"))
        return FALSE;
    struct stat info = {};
    if (lstat(replaced, &info) != 0 || lstat(replacement, &info) != 0)
        return failWith(ERROR_FILE_NOT_FOUND);
    if (backup && !keepAsBackup(replaced, backup))
        return failWith(ERROR_UNABLE_TO_REMOVE_REPLACED);
    if (rename(replacement, replaced) != 0)
        return failWith(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    if (!syncFolderOf(replaced))
        return failWithErrno();
    return TRUE;
}

DWORD WINAPI GetCurrentProcessId(void) { return DWORD(getpid()); }

void WINAPI Sleep(DWORD ms)
{
    timespec wait = {time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}
