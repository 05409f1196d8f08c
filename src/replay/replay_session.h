// replay_session.h: a recording being replayed, by the game (--replay) or
// by quadrill-sim: what it expects the game to hold, and its checks.
//
// The expected state starts as the game's own when the replay begins; each
// `arena` block replaces it, each `expect` line changes the values it names.
// A `check` line compares the game with it, and the digest with the
// recorded one. Only the first departure is kept: after it, every check
// would differ.
#pragma once

#include <string>
#include <string_view>

#include "save/arena_state.h"
#include "script/sim_script.h"

struct ReplaySession {
    bool active = false; // the quick-save keys do nothing: the recording carries what they loaded
    ArenaState expected;
    bool checkPending = false;
    SimCommand pendingCheck;
    std::string departure;
    int checksPassed = 0;

    // Starts from the game's state as it is now.
    void begin();
    // An `expect` line's values (already checked by the script's parser).
    void expect(std::string_view line);
    // Compares the game with a check line now. False when it departs
    // (kept in `departure`, with the frame and the script's line).
    bool check(const SimCommand& check);
    // Puts off a check to the game's next stop: quadrill-sim runs it once the
    // input before it has been taken, or the game's shutdown does, before
    // the boxes go, when that input ended the game.
    void schedule(const SimCommand& check);
    bool runScheduled();
};

ReplaySession& replaySession();
