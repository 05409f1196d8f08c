// main.cpp: quadrill-sim [SCRIPT]: runs the game headless from a script of
// input (standard input without an argument) and prints what it is asked to.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "sim_run.h"
#include "sim_script.h"

namespace {

constexpr int kUsageError = 2;

const char kUsage[] =
    "usage: quadrill-sim [SCRIPT]\n"
    "Runs the game headless from SCRIPT (standard input without one), one command a line:\n"
    "  frame MS | frames N MS | keydown KEY | keyup KEY | char C | mouse left|right down|up\n"
    "  cursor DX DY | dump | memory | cpu | screenshot PATH | quit\n"
    "The game reads textures/ from the working directory. A script that does not end\n"
    "with quit still ends the game, as Escape would. See docs/DEVELOPING.md.\n";

bool readScriptFile(const char* path, SimScript& script, std::string& error)
{
    struct stat info = {};
    if (stat(path, &info) != 0) {
        error = std::string("cannot read ") + path + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = std::string("cannot read ") + path + ": it is a directory";
        return false;
    }
    std::ifstream file(path);
    if (!file) {
        error = std::string("cannot read ") + path;
        return false;
    }
    return parseSimScript(file, script, error);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    SimScript script;
    std::string error;
    bool parsed = argc == 2 ? readScriptFile(argv[1], script, error) : parseSimScript(std::cin, script, error);
    if (!parsed) {
        std::fprintf(stderr, "quadrill-sim: %s\n", error.c_str());
        return kUsageError;
    }
    return runSimScript(script);
}
