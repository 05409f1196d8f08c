// scoped_environment.h: an environment variable changed for one test and
// put back as it was.
#pragma once

#include <cstdlib>
#include <string>

struct ScopedEnvironment {
    std::string name;
    std::string saved;
    bool had = false;

    ScopedEnvironment(const char* variable, const std::string& value) : name(variable)
    {
        if (const char* v = std::getenv(variable)) {
            had = true;
            saved = v;
        }
        setenv(variable, value.c_str(), 1);
    }
    ~ScopedEnvironment() { had ? setenv(name.c_str(), saved.c_str(), 1) : unsetenv(name.c_str()); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
};
