/* shlobj.h: the shell's known folders, as far as the program uses them. */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

/* The user's roaming application data (here the XDG configuration folder,
   $XDG_CONFIG_HOME or ~/.config), and the local one (the XDG data folder,
   $XDG_DATA_HOME or ~/.local/share). */
#define CSIDL_APPDATA 0x001a
#define CSIDL_LOCAL_APPDATA 0x001c
/* Or'ed into csidl: make the folder if it is not there. */
#define CSIDL_FLAG_CREATE 0x8000
#define SHGFP_TYPE_CURRENT 0

/* Writes the folder's path, at most MAX_PATH bytes with its terminating
   zero, into path. E_FAIL when the folder is unknown, has no home to live
   in, is too long, or cannot be made. */
HRESULT WINAPI SHGetFolderPathA(HWND owner, int csidl, HANDLE token, DWORD flags, LPSTR path);

#ifdef __cplusplus
}
#endif
