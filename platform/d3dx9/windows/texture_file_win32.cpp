// texture_file_win32.cpp: reading a texture file on Windows.
//
// Only a file on disk is read (not a console, pipe or other device that a
// name can stand for), at most kMaxImageFileBytes. A relative path that is
// not found from the working directory is looked up next to the
// executable as well, so the game finds its textures/ when it is started
// from another folder.
#include <windows.h>

#include <new>

#include "d3dx9/texture_file.h"

namespace {

struct Handle {
    HANDLE h;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

bool isRelative(const char* path)
{
    bool rooted = path[0] == '\\' || path[0] == '/';
    bool drive = path[0] != '\0' && path[1] == ':';
    return !rooted && !drive;
}

std::string besideExecutable(const char* path)
{
    char exe[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string folder(exe, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1) + path;
}

TextureVerdict openProblem(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return refuse(TextureProblem::NotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return refuse(TextureProblem::Unreadable, "permission denied");
    case ERROR_CANT_RESOLVE_FILENAME: return refuse(TextureProblem::Unreadable, "a loop of symbolic links");
    default: return refuse(TextureProblem::Unreadable);
    }
}

TextureVerdict readFrom(const char* path, FileBytes& out)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return openProblem(GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return refuse(TextureProblem::NotRegularFile, "a directory");
    Handle file = {CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return openProblem(GetLastError());
    if (GetFileType(file.h) != FILE_TYPE_DISK)
        return refuse(TextureProblem::NotRegularFile, "a device");
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.h, &size))
        return refuse(TextureProblem::Unreadable);
    if (size.QuadPart <= 0)
        return refuse(TextureProblem::Corrupt, "an empty file");
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxImageFileBytes)
        return refuse(TextureProblem::FileTooLarge, "over 64 MiB");

    size_t total = size_t(size.QuadPart);
    out.data.reset(new (std::nothrow) uint8_t[total]);
    if (!out.data)
        return refuse(TextureProblem::OutOfMemory);
    size_t got = 0;
    while (got < total) {
        DWORD n = 0;
        if (!ReadFile(file.h, out.data.get() + got, DWORD(total - got), &n, nullptr))
            return refuse(TextureProblem::Unreadable, "a read error");
        if (n == 0)
            break;
        got += n;
    }
    out.size = got;
    return {};
}

} // namespace

TextureVerdict readTextureFile(const char* path, FileBytes& out, std::string& tried)
{
    tried = path;
    TextureVerdict verdict = readFrom(path, out);
    if (verdict.problem != TextureProblem::NotFound || !isRelative(path))
        return verdict;
    std::string beside = besideExecutable(path);
    if (beside.empty())
        return verdict;
    tried = beside;
    return readFrom(beside.c_str(), out);
}

std::string currentDirectory()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string("(unknown)");
}
