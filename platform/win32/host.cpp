// host.cpp: which host is in use.
#include "win32/host.h"

#include "common/hooks.h"

const Host& host()
{
    const Host* chosen = platformHooks().host;
    return chosen ? *chosen : kSdlHost;
}
