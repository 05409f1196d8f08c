// sim_run.h: runs a parsed script against the real game.
#pragma once

#include "sim_script.h"

// Runs the game, carries out the commands in order and prints what they ask
// for; returns the game's exit code, or 2 when a command could not be done.
int runSimScript(const SimScript& script);
