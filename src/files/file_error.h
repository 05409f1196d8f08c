// file_error.h: what a Win32 file error means, in a player's words.
#pragma once

#include <windows.h>

#include <string>

std::string fileErrorText(DWORD error);
