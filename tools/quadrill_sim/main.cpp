// main.cpp: quadrill-sim [SCRIPT]: runs the game headless from a script of
// input (standard input without an argument) and prints what it is asked to.
//
// The whole script is checked before anything runs, then read again as it
// runs, so however long it is it takes little memory. A script that is not
// a regular file (a pipe, a terminal) is kept in an unnamed temporary file
// while it is checked, to be read from there the second time.
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "line_reader.h"
#include "text/printable.h"
#include "script_stream.h"
#include "sim_run.h"
#include "test_controls.h"

namespace {

constexpr int kUsageError = 2;
// The most of a script from standard input kept on disk to be run.
constexpr uint64_t kMaxKeptInputBytes = uint64_t(1) << 30;

const char kUsage[] =
    "usage: quadrill-sim [--record FILE] [SCRIPT]\n"
    "Runs the game headless from SCRIPT (standard input without one), one command a line:\n"
    "  frame MS | frames N MS | keydown KEY | keyup KEY | char C | mouse left|right|middle down|up\n"
    "  cursor DX DY | focus lost|gained | close | dump | memory | cpu | screenshot PATH\n"
    "  save FILE | load FILE | look SENSITIVITY normal|inverted | quit\n"
    "A recording of a game (quadrill --record) is such a script: its checks are compared as it\n"
    "runs, and the first departure ends the run with exit code 1. --record FILE records the\n"
    "run as the game would. The game reads textures/ from the working directory. A script that\n"
    "does not end with quit still ends the game, as Escape would. See docs/DEVELOPING.md.\n";

int fail(const std::string& message)
{
    std::fprintf(stderr, "quadrill-sim: %s\n", message.c_str());
    return kUsageError;
}

bool isOpen(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// Standard input, output and error that were closed are opened on
// /dev/null, so no file opened later takes their place (a screenshot
// written where the dumps go). Returns which were closed.
void keepStandardStreams(bool closed[3])
{
    for (int fd = 0; fd < 3; ++fd) {
        closed[fd] = !isOpen(fd);
        if (closed[fd]) {
            int null = open("/dev/null", O_RDWR);
            if (null >= 0 && null != fd) {
                dup2(null, fd);
                close(null);
            }
        }
    }
}

// The script named on the command line, opened for reading.
bool openScript(const char* path, int& fd, std::string& error)
{
    const std::string shown = printable(path);
    struct stat info = {};
    if (lstat(path, &info) == 0 && S_ISFIFO(info.st_mode)) {
        error = "cannot read " + shown + ": it is a named pipe, not a file (give what it holds on standard input)";
        return false;
    }
    // Opened without waiting: a pipe or a device behind a link must not hold the run up.
    fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = "cannot read " + shown + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "cannot read " + shown + ": it is a directory";
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return true;
}

bool checkStandardInput(bool closed, std::string& error)
{
    struct stat info = {};
    if (closed || fstat(STDIN_FILENO, &info) != 0) {
        error = "cannot read standard input: it is closed";
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "cannot read standard input: it is a directory";
        return false;
    }
    return true;
}

// An unnamed file in the temporary folder, gone when closed.
int temporaryFile(std::string& error)
{
    const char* folder = getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/quadrill-sim-XXXXXX";
    int fd = mkostemp(&pattern[0], O_CLOEXEC);
    if (fd < 0) {
        error = "cannot keep standard input to run it: " + printable(pattern) + ": " + std::strerror(errno);
        return -1;
    }
    unlink(pattern.c_str());
    return fd;
}

// The game's quick saves (F5, F9) go to a folder of the run's own, gone
// when it ends: a script never touches the player's saves, and runs the
// same on any machine.
struct PrivateSavesFolder {
    std::string path;

    bool make(std::string& error)
    {
        const char* folder = getenv("TMPDIR");
        path = std::string(folder && *folder ? folder : "/tmp") + "/quadrill-sim-saves-XXXXXX";
        if (!mkdtemp(&path[0])) {
            error = "cannot make a folder for the game's quick saves: " + printable(path) + ": " + std::strerror(errno);
            path.clear();
            return false;
        }
        setenv("XDG_DATA_HOME", path.c_str(), 1);
        return true;
    }
    ~PrivateSavesFolder()
    {
        if (path.empty())
            return;
        auto remove = [](const char* entry, const struct stat*, int, struct FTW*) { return ::remove(entry); };
        nftw(path.c_str(), remove, 8, FTW_DEPTH | FTW_PHYS);
    }
};

bool isRegularFile(int fd)
{
    struct stat info = {};
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Checks the script at `fd`, then runs it from the start.
int checkAndRun(int fd, const std::string& gameCommandLine)
{
    std::string error;
    int kept = -1;
    bool needsRenderer = false;
    {
        LineReader lines(fd);
        if (!isRegularFile(fd)) {
            kept = temporaryFile(error);
            if (kept < 0)
                return fail(error);
            lines.copyTo(kept, kMaxKeptInputBytes);
        }
        if (!checkScript(lines, needsRenderer, error))
            return fail(error);
    }
    PrivateSavesFolder saves;
    if (!saves.make(error))
        return fail(error);
    int runFrom = kept >= 0 ? kept : fd;
    if (lseek(runFrom, 0, SEEK_SET) != 0)
        return fail(std::string("cannot read the script again: ") + std::strerror(errno));
    LineReader lines(runFrom);
    ScriptStream script(lines);
    return runSimScript(script, needsRenderer, gameCommandLine);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // --record FILE goes to the game as its own option.
    std::string gameCommandLine;
    if (argc >= 3 && std::strcmp(argv[1], "--record") == 0) {
        gameCommandLine = testctl::joinCommandLine({"--record", argv[2]});
        argv += 2;
        argc -= 2;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    bool closed[3] = {};
    keepStandardStreams(closed);
    if (closed[STDOUT_FILENO])
        return fail("standard output is closed: there is nowhere to print to");
    std::string error;
    int fd = STDIN_FILENO;
    bool opened = argc == 2 ? openScript(argv[1], fd, error) : checkStandardInput(closed[STDIN_FILENO], error);
    if (!opened)
        return fail(error);
    return checkAndRun(fd, gameCommandLine);
}
