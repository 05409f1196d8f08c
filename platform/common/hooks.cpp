// hooks.cpp: the one instance of the platform's test seams.
#include "common/hooks.h"

PlatformHooks& platformHooks()
{
    static PlatformHooks hooks;
    return hooks;
}
