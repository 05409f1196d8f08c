// host.cpp: which host is in use.
#include "win32/host.h"

#include "common/test_seams.h"

const Host& host()
{
    const Host* chosen = testSeams().host;
    return chosen ? *chosen : kSdlHost;
}
