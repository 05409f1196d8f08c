// main.cpp: quadrill-sim [SCRIPT]: runs the game headless from a script of
// input (standard input without an argument) and prints what it is asked to.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "sim_run.h"
#include "sim_script.h"

namespace {
constexpr int kUsageError = 2;
}

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: quadrill-sim [SCRIPT]\n");
        return kUsageError;
    }
    SimScript script;
    std::string error;
    bool parsed = false;
    if (argc == 2) {
        std::ifstream file(argv[1]);
        if (!file) {
            std::fprintf(stderr, "quadrill-sim: cannot read %s\n", argv[1]);
            return kUsageError;
        }
        parsed = parseSimScript(file, script, error);
    } else {
        parsed = parseSimScript(std::cin, script, error);
    }
    if (!parsed) {
        std::fprintf(stderr, "quadrill-sim: %s\n", error.c_str());
        return kUsageError;
    }
    return runSimScript(script);
}
