// sim_script.h: the commands of a quadrill-sim script, one per line, and
// the parser of one line. A recording of a game is such a script; the game
// reads it to replay it, quadrill-sim to check it.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>

enum class SimOp {
    Frame, KeyDown, KeyUp, Char, Mouse, Cursor, Focus, Close, Message,
    Dump, Memory, Cpu, Screenshot, Save, Load,
    Recording, Look, Check, Expect, Arena, Quit,
};

struct SimCommand {
    SimOp op = SimOp::Frame;
    int line = 0;
    uint32_t count = 1;          // frames
    uint32_t ms = 0;             // frames
    int virtualKey = 0;          // keydown, keyup
    bool extended = false;       // keydown, keyup: the key message's extended-key flag
    bool repeat = false;         // keydown: the key was down already (auto-repeat)
    unsigned char character = 0; // char
    int button = 0;              // mouse: kLeftButton, kRightButton, kMiddleButton
    bool down = true;            // mouse
    bool gained = true;          // focus
    int dx = 0, dy = 0;          // cursor
    float sensitivity = 1.0f;    // look: mouse look's factor on its turn per pixel
    bool invertLook = false;     // look: moving the mouse up looks down
    uint32_t message = 0;        // message
    uint64_t wParam = 0, lParam = 0;
    uint64_t number = 0;         // recording: the format; check: the frame
    uint64_t digest = 0;         // check
    std::string text;            // screenshot, save, load: the path; recording: the game's version;
                                 // expect, arena: the arena line
};

constexpr int kLeftButton = 0;
constexpr int kRightButton = 1;
constexpr int kMiddleButton = 2;

// The recording format this game writes and reads.
constexpr uint64_t kRecordingFormat = 1;

enum class SimLine { Command, Blank, Bad };

// Parses one line, its newline taken off: a command, a line with nothing
// but blanks and a comment, or Bad with the problem in words (any bytes
// from the line shown escaped). Safe for any bytes of any length.
SimLine parseSimLine(std::string_view text, SimCommand& command, std::string& problem);

// A key's name in scripts: "W", "F5", "SPACE", ..., or its virtual-key code
// ("0x5B") when it has none. `extended` tells whether the key's messages
// carry the extended-key flag unless a script says otherwise.
std::string keyName(int virtualKey);
bool keyExtendedByDefault(int virtualKey);
