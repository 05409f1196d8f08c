// command_line.h: a program's arguments as the one line Windows hands to WinMain.
#pragma once

#include <string>

// Joins the arguments so that the C runtime's rules split them back as they
// were: an argument with a space, a tab or a quote, or an empty one, is
// quoted, with its quotes and the backslashes before them escaped.
std::string joinCommandLine(int count, const char* const* arguments);
