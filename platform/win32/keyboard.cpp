// keyboard.cpp: key-state table, GetKeyboardState and character translation.
#include "win32/keyboard.h"

#include <SDL.h>

namespace {

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;
constexpr DWORD kRepeatCountOne = 1;

BYTE g_keys[256];
// Left and right halves of the shared modifier codes, so the shared code
// stays down while either side is held.
bool g_leftControl, g_rightControl, g_leftShift, g_rightShift, g_leftAlt, g_rightAlt;

void setBit(int vk, bool down)
{
    BYTE& k = g_keys[vk & 0xFF];
    k = BYTE(down ? (k | kDown) : (k & ~kDown));
}

void syncModifiers()
{
    setBit(VK_LCONTROL, g_leftControl);
    setBit(VK_RCONTROL, g_rightControl);
    setBit(VK_CONTROL, g_leftControl || g_rightControl);
    setBit(VK_LSHIFT, g_leftShift);
    setBit(VK_RSHIFT, g_rightShift);
    setBit(VK_SHIFT, g_leftShift || g_rightShift);
    setBit(VK_LMENU, g_leftAlt);
    setBit(VK_RMENU, g_rightAlt);
    setBit(VK_MENU, g_leftAlt || g_rightAlt);
}

// The side of a shared modifier code that a key message means.
int sidedKey(int vk, bool extended)
{
    switch (vk) {
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_SHIFT: return extended ? VK_RSHIFT : VK_LSHIFT;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return vk;
    }
}

} // namespace

void keyboardSetKey(int virtualKey, bool down)
{
    switch (virtualKey) {
    case VK_CONTROL: g_leftControl = down; g_rightControl = g_rightControl && down; break;
    case VK_LCONTROL: g_leftControl = down; break;
    case VK_RCONTROL: g_rightControl = down; break;
    case VK_SHIFT: g_leftShift = down; g_rightShift = g_rightShift && down; break;
    case VK_LSHIFT: g_leftShift = down; break;
    case VK_RSHIFT: g_rightShift = down; break;
    case VK_MENU: g_leftAlt = down; g_rightAlt = g_rightAlt && down; break;
    case VK_LMENU: g_leftAlt = down; break;
    case VK_RMENU: g_rightAlt = down; break;
    default: setBit(virtualKey, down); return;
    }
    syncModifiers();
}

bool keyboardIsDown(int virtualKey) { return (g_keys[virtualKey & 0xFF] & kDown) != 0; }

void keyboardReset()
{
    SDL_memset(g_keys, 0, sizeof g_keys);
    g_leftControl = g_rightControl = g_leftShift = g_rightShift = g_leftAlt = g_rightAlt = false;
}

// As Windows does: a key pressed while Alt is held (without Ctrl, which
// with Alt makes AltGr), Alt itself and F10 are system keys.
UINT keyMessageFor(int virtualKey, bool down, bool altHeld, bool controlHeld, WORD& keyFlags)
{
    if (altHeld)
        keyFlags = WORD(keyFlags | KF_ALTDOWN);
    const bool system = !controlHeld && (altHeld || virtualKey == VK_MENU || virtualKey == VK_F10);
    if (system)
        return down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    return down ? WM_KEYDOWN : WM_KEYUP;
}

LPARAM keyMessageLParam(int scanCode, WORD keyFlags)
{
    return LPARAM(kRepeatCountOne | (DWORD(scanCode & 0xFF) << 16) | (DWORD(keyFlags) << 16));
}

void keyboardApplyInput(const MSG& msg)
{
    int vk = int(msg.wParam & 0xFF);
    const WORD flags = keyMessageFlags(msg.lParam);
    bool extended = (flags & KF_EXTENDED) != 0;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (vk == VK_CAPITAL && !(flags & KF_REPEAT))
            g_keys[VK_CAPITAL] ^= kToggled;
        keyboardSetKey(sidedKey(vk, extended), true);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        keyboardSetKey(sidedKey(vk, extended), false);
        break;
    case WM_LBUTTONDOWN: setBit(0x01, true); break;
    case WM_LBUTTONUP: setBit(0x01, false); break;
    case WM_RBUTTONDOWN: setBit(0x02, true); break;
    case WM_RBUTTONUP: setBit(0x02, false); break;
    case WM_MBUTTONDOWN: setBit(VK_MBUTTON, true); break;
    case WM_MBUTTONUP: setBit(VK_MBUTTON, false); break;
    default: break;
    }
}

BOOL WINAPI GetKeyboardState(PBYTE keyState)
{
    if (!keyState)
        return FALSE;
    SDL_memcpy(keyState, g_keys, sizeof g_keys);
    return TRUE;
}

// The table as given; the halves of Ctrl and Shift follow it, the left
// one standing for a shared code set without either.
BOOL WINAPI SetKeyboardState(PBYTE keyState)
{
    if (!keyState)
        return FALSE;
    SDL_memcpy(g_keys, keyState, sizeof g_keys);
    auto down = [](int vk) { return (g_keys[vk] & kDown) != 0; };
    g_leftControl = down(VK_LCONTROL) || (down(VK_CONTROL) && !down(VK_RCONTROL));
    g_rightControl = down(VK_RCONTROL);
    g_leftShift = down(VK_LSHIFT) || (down(VK_SHIFT) && !down(VK_RSHIFT));
    g_rightShift = down(VK_RSHIFT);
    syncModifiers();
    return TRUE;
}

// ---- Characters ----------------------------------------------------------------------
int keyboardCharFor(int vk)
{
    bool shift = keyboardIsDown(VK_SHIFT);
    bool control = keyboardIsDown(VK_CONTROL);
    bool caps = (g_keys[VK_CAPITAL] & kToggled) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (control)
            return vk - 'A' + 1;
        return (shift != caps) ? vk : vk - 'A' + 'a';
    }
    if (control)
        return vk == VK_ESCAPE ? 27 : 0;
    if (vk >= '0' && vk <= '9')
        return shift ? ")!@#$%^&*("[vk - '0'] : vk;
    if (vk >= 0x60 && vk <= 0x69) // numeric keypad
        return '0' + (vk - 0x60);
    struct Punct {
        int vk;
        char plain, shifted;
    };
    static const Punct table[] = {
        {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
        {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
        {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
        {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
    };
    for (const Punct& p : table)
        if (p.vk == vk)
            return shift ? p.shifted : p.plain;
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    default: return 0;
    }
}

int keyboardVirtualKeyFromSdl(int key, bool* extended)
{
    *extended = false;
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return 0x61 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_KP_0: return 0x60;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_KP_ENTER: *extended = true; return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_LCTRL: return VK_CONTROL;
    case SDLK_RCTRL: *extended = true; return VK_CONTROL;
    case SDLK_LSHIFT: return VK_SHIFT;
    case SDLK_RSHIFT: *extended = true; return VK_SHIFT;
    case SDLK_LALT: return VK_MENU;
    case SDLK_RALT: *extended = true; return VK_MENU;
    case SDLK_LEFT: *extended = true; return VK_LEFT;
    case SDLK_RIGHT: *extended = true; return VK_RIGHT;
    case SDLK_UP: *extended = true; return VK_UP;
    case SDLK_DOWN: *extended = true; return VK_DOWN;
    case SDLK_INSERT: *extended = true; return VK_INSERT;
    case SDLK_DELETE: *extended = true; return VK_DELETE;
    case SDLK_HOME: *extended = true; return VK_HOME;
    case SDLK_END: *extended = true; return VK_END;
    case SDLK_PAGEUP: *extended = true; return VK_PRIOR;
    case SDLK_PAGEDOWN: *extended = true; return VK_NEXT;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
    }
}
