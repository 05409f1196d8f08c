// replay_session.cpp: expected values and checks.
#include "replay/replay_session.h"

#include "app/game_state.h"
#include "save/arena_capture.h"
#include "save/arena_compare.h"
#include "save/arena_text.h"
#include "text/exact_number.h"

void ReplaySession::begin()
{
    captureArena(expected);
    checkPending = false;
    departure.clear();
    checksPassed = 0;
}

void ReplaySession::expect(std::string_view text)
{
    ArenaLine line;
    std::string problem;
    if (!readArenaLine(text, ArenaValues::Any, expected, line, problem))
        return;
    if (line.kind == ArenaLine::Kind::BoxCount)
        expected.boxes.resize(size_t(line.number));
    else if (line.kind == ArenaLine::Kind::Box && line.number < expected.boxes.size())
        expected.boxes[size_t(line.number)] = line.box;
}

bool ReplaySession::check(const SimCommand& c)
{
    if (!departure.empty())
        return false;
    ArenaState found;
    captureArena(found);
    std::string difference = firstDifference(expected, found);
    const uint64_t digest = arenaDigest(found);
    if (difference.empty() && digest != c.digest) {
        std::string recorded, now;
        appendHex64(recorded, c.digest);
        appendHex64(now, digest);
        difference = "the digest: expected " + recorded + ", found " + now +
                     " (the recording's expected values do not match its digest: was it edited?)";
    }
    if (difference.empty() && g_frameCount != c.number)
        difference = "the frames run: expected " + std::to_string(c.number) + ", found " + std::to_string(g_frameCount);
    if (difference.empty()) {
        ++checksPassed;
        return true;
    }
    departure = "frame " + std::to_string(c.number) + " (line " + std::to_string(c.line) +
                ") departs from the recording: " + difference;
    return false;
}

void ReplaySession::schedule(const SimCommand& c)
{
    checkPending = true;
    pendingCheck = c;
}

bool ReplaySession::runScheduled()
{
    if (!checkPending)
        return departure.empty();
    checkPending = false;
    return check(pendingCheck);
}

ReplaySession& replaySession()
{
    static ReplaySession session;
    return session;
}
