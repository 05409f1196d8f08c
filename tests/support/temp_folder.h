// temp_folder.h: a fresh folder for a test's files, gone with the test, and
// environment variables set for one test and put back after it.
#pragma once

#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

struct TempFolder {
    std::string path;

    TempFolder()
    {
        const char* base = getenv("TMPDIR");
        path = std::string(base && *base ? base : "/tmp") + "/quadrill-test-XXXXXX";
        if (!mkdtemp(&path[0]))
            path.clear();
    }
    ~TempFolder()
    {
        if (path.empty())
            return;
        auto remove = [](const char* entry, const struct stat*, int, struct FTW*) {
            chmod(entry, 0700); // a test may have made it read-only
            return ::remove(entry);
        };
        nftw(path.c_str(), remove, 8, FTW_DEPTH | FTW_PHYS);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline bool writeTextFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return bool(out.flush());
}

inline std::string readTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Sets (or, with null, unsets) an environment variable until destroyed.
struct ScopedEnvironment {
    std::string name;
    bool had = false;
    std::string old;

    ScopedEnvironment(const char* variable, const char* value) : name(variable)
    {
        if (const char* was = getenv(variable)) {
            had = true;
            old = was;
        }
        if (value)
            setenv(variable, value, 1);
        else
            unsetenv(variable);
    }
    ~ScopedEnvironment()
    {
        if (had)
            setenv(name.c_str(), old.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
};
