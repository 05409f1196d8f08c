// mmsystem.h: the Windows multimedia timer, as Quadrill uses it.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Milliseconds since an arbitrary start, rising steadily; wraps after 2^32.
DWORD WINAPI timeGetTime(void);

#ifdef __cplusplus
}
#endif
