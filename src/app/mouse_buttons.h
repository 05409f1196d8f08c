// mouse_buttons.h: the window's mouse-button messages as state the frame
// loop can poll: held now, and released since the loop last looked. The
// release event lets a click that begins and ends between two frames still
// be seen by the next one.
#pragma once

#include <windows.h>

struct MouseButtons {
    int cursorX;
    int cursorY;
    int buttonBits;

    static constexpr int kLeftReleased = 0x01;
    static constexpr int kLeftPressed = 0x02;
    static constexpr int kRightReleased = 0x04;
    static constexpr int kRightPressed = 0x08;
    static constexpr int kLeftHeld = 0x10;
    static constexpr int kRightHeld = 0x20;
    static constexpr int kHeldBits = kLeftHeld | kRightHeld;

    MouseButtons();
    void onMessage(UINT message, LPARAM lParam);
    bool leftReleased() const { return (buttonBits & kLeftReleased) != 0; }
    bool rightReleased() const { return (buttonBits & kRightReleased) != 0; }
    bool leftHeld() const { return (buttonBits & kLeftHeld) != 0; }
    bool rightHeld() const { return (buttonBits & kRightHeld) != 0; }
    // Consumes the press and release events; the held state stays.
    void clearEvents() { buttonBits &= kHeldBits; }

private:
    void set(int mask) { buttonBits |= mask; }
    void clear(int mask) { buttonBits &= ~mask; }
};
