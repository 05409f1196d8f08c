// texture_file_posix.cpp: reading a texture file on POSIX systems.
//
// The file is opened without blocking and refused unless it is a regular
// file, so a named pipe or a device put where a texture belongs cannot
// stall start-up; then at most kMaxImageFileBytes are read into memory.
// A relative path that is not found from the working directory is looked up
// in the data folder of an installed game as well (see installedDataPath).
#include "d3dx9/texture_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "common/test_seams.h"

namespace {

struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

TextureVerdict openProblem(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return refuse(TextureProblem::NotFound);
    case ELOOP: return refuse(TextureProblem::Unreadable, "a loop of symbolic links");
    case EACCES:
    case EPERM: return refuse(TextureProblem::Unreadable, "permission denied");
    case EISDIR: return refuse(TextureProblem::NotRegularFile, "a directory");
    default: return refuse(TextureProblem::Unreadable);
    }
}

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return nullptr;
}

std::string executablePath()
{
    if (testSeams().executablePath)
        return testSeams().executablePath;
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer)
        return std::string();
    return std::string(buffer, size_t(length));
}

// Debian lays an installed game out as /usr/games/NAME with its data in
// /usr/share/games/NAME/. Going from the executable's own folder rather
// than from /usr keeps that true wherever the tree is unpacked. Empty when
// the executable's place is unknown.
std::string installedDataPath(const char* path)
{
    const std::string exe = executablePath();
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return std::string();
    const std::string name = exe.substr(slash + 1);
    const size_t up = exe.rfind('/', slash - 1);
    if (name.empty() || up == std::string::npos)
        return std::string();
    return exe.substr(0, up) + "/share/games/" + name + "/" + path;
}

TextureVerdict readFrom(const char* path, FileBytes& out)
{
    Descriptor file = {open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return openProblem(errno);
    struct stat info = {};
    if (fstat(file.fd, &info) != 0)
        return openProblem(errno);
    if (!S_ISREG(info.st_mode))
        return refuse(TextureProblem::NotRegularFile, kindOf(info.st_mode));
    if (info.st_size <= 0)
        return refuse(TextureProblem::Corrupt, "an empty file");
    if (size_t(info.st_size) > kMaxImageFileBytes)
        return refuse(TextureProblem::FileTooLarge, "over 64 MiB");

    size_t size = size_t(info.st_size);
    out.data.reset(new (std::nothrow) uint8_t[size]);
    if (!out.data)
        return refuse(TextureProblem::OutOfMemory);
    // The file may shrink while it is read: what was read is all there is.
    size_t got = 0;
    while (got < size) {
        ssize_t n = read(file.fd, out.data.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(TextureProblem::Unreadable, "a read error");
        if (n == 0)
            break;
        got += size_t(n);
    }
    out.size = got;
    return {};
}

} // namespace

TextureVerdict readTextureFile(const char* path, FileBytes& out, std::string& tried)
{
    tried = path;
    TextureVerdict verdict = readFrom(path, out);
    if (verdict.problem != TextureProblem::NotFound || path[0] == '/')
        return verdict;
    const std::string installed = installedDataPath(path);
    if (installed.empty())
        return verdict;
    tried = installed;
    return readFrom(installed.c_str(), out);
}

std::string currentDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "(unknown)";
}
