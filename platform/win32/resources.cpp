// resources.cpp: stock icons, cursors and brushes, and the module handle.
// Nothing draws with them here; they only need to be distinct non-null handles.
#include <windows.h>

namespace {
HINSTANCE__ g_module;
HICON__ g_icon;
HICON__ g_cursor;
HBRUSH__ g_stockBrush;
} // namespace

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return &g_icon; }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return &g_cursor; }
HGDIOBJ WINAPI GetStockObject(int) { return &g_stockBrush; }
HMODULE WINAPI GetModuleHandleA(LPCSTR) { return &g_module; }
