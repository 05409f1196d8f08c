// sim_run.h: runs a script's commands against the real game.
#pragma once

#include "script_stream.h"

// Runs the game and carries out the commands in order as they are read,
// printing what they ask for. Returns the game's exit code, or 2 when a
// command could not be done, a line turned out bad, or the output could not
// be written (the message on standard error names which).
int runSimScript(ScriptStream& script, bool needsRenderer);
