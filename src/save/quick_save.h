// quick_save.h: the quick-save slot: F5 saves the arena there, F9 loads it.
//
// The slot is quicksave.arena in the player's local application-data folder
// (quadrill/ under it, made when first needed); the save before the last is
// kept beside it as quicksave-previous.arena. A confirmation goes to
// standard error and, for a few seconds, to the window's title; a failure is
// shown in a message box, and the game goes on as it was.
#pragma once

#include <windows.h>

#include <string>

void quickSave(HWND window);
void quickLoad(HWND window);

// The folder of the slot, made if it is missing. False with the reason.
bool savesFolder(std::string& folder, std::string& reason);
