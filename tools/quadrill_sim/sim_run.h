// sim_run.h: runs a script's commands against the real game.
#pragma once

#include <string>

#include "script_stream.h"

// Runs the game (WinMain given `gameCommandLine`) and carries out the
// commands in order as they are read, printing what they ask for. Returns
// the game's exit code; 1 when the game departs from a recording at a
// check; 2 when a command could not be done, a line turned out bad, or the
// output could not be written (the message on standard error names which).
int runSimScript(ScriptStream& script, bool needsRenderer, const std::string& gameCommandLine);
