// program_runner.cpp: runs an entry routine frame by frame on a second thread.
//
// The two threads never run at once: a turn passes from one to the other
// under one mutex, so the program's globals need no locking of their own.
// The program's thread is an SDL thread: SDL keeps per-thread data (its
// error text) that it frees only when a thread of its own ends.
#include "test_controls.h"

#include <SDL.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>

#include "common/test_seams.h"

namespace testctl {

namespace {
constexpr DWORD kRunnerClockStartMs = 100000;
// What a program that could not be started "returns".
constexpr int kNoThreadExitCode = -1;
}

struct ProgramRunner::State {
    enum class Turn { Program, Harness };
    Entry entry = nullptr;
    std::string commandLine;
    std::mutex mutex;
    std::condition_variable changed;
    Turn turn = Turn::Harness;
    int frameBudget = 0;
    bool freeRunning = false;
    bool started = false;
    bool ended = false;
    int exitCode = 0;
    int framesRun = 0;
    const std::function<void()>* work = nullptr;
    SDL_Thread* thread = nullptr;

    void join()
    {
        if (thread)
            SDL_WaitThread(thread, nullptr);
        thread = nullptr;
    }

    // Hands the turn to the program and waits for it to come back.
    void runProgram(std::unique_lock<std::mutex>& lock)
    {
        turn = Turn::Program;
        changed.notify_all();
        changed.wait(lock, [this] { return turn == Turn::Harness; });
    }
};

namespace {

// PeekMessageA found nothing: run a frame if one is due, otherwise give the
// turn back and look again once it returns (input may have arrived).
bool onIdle(void* user)
{
    auto* s = static_cast<ProgramRunner::State*>(user);
    std::unique_lock<std::mutex> lock(s->mutex);
    if (s->work) {
        (*s->work)();
        s->work = nullptr;
    }
    if (s->freeRunning || s->frameBudget > 0) {
        if (s->frameBudget > 0)
            --s->frameBudget;
        ++s->framesRun;
        return false;
    }
    s->turn = ProgramRunner::State::Turn::Harness;
    s->changed.notify_all();
    s->changed.wait(lock, [s] { return s->turn == ProgramRunner::State::Turn::Program; });
    return true;
}

int SDLCALL runEntry(void* state)
{
    auto* s = static_cast<ProgramRunner::State*>(state);
    {
        std::unique_lock<std::mutex> own(s->mutex);
        s->changed.wait(own, [s] { return s->turn == ProgramRunner::State::Turn::Program; });
    }
    int code = s->entry(GetModuleHandleA(nullptr), nullptr, &s->commandLine[0], SW_SHOWDEFAULT);
    std::unique_lock<std::mutex> own(s->mutex);
    s->ended = true;
    s->exitCode = code;
    s->turn = ProgramRunner::State::Turn::Harness;
    s->changed.notify_all();
    return 0;
}

} // namespace

ProgramRunner::ProgramRunner(Entry entry, std::string commandLine) : state_(new State())
{
    state_->entry = entry;
    state_->commandLine = std::move(commandLine);
    TestSeams& seams = testSeams();
    if (!seams.manualClock)
        useManualClock(kRunnerClockStartMs);
    seams.idle = onIdle;
    seams.idleUser = state_;
}

ProgramRunner::~ProgramRunner()
{
    if (state_->started && !state_->ended) {
        // The test stopped early: end the program as a quit request would.
        PostQuitMessage(0);
        finish();
    }
    state_->join();
    // A runner made before this one went away keeps its hook.
    if (testSeams().idleUser == state_) {
        testSeams().idle = nullptr;
        testSeams().idleUser = nullptr;
    }
    delete state_;
}

void ProgramRunner::start()
{
    State* s = state_;
    std::unique_lock<std::mutex> lock(s->mutex);
    s->started = true;
    s->turn = State::Turn::Program;
    s->thread = SDL_CreateThread(runEntry, "program", s);
    if (!s->thread) {
        s->ended = true;
        s->exitCode = kNoThreadExitCode;
        s->turn = State::Turn::Harness;
        return;
    }
    s->changed.notify_all();
    s->changed.wait(lock, [s] { return s->turn == State::Turn::Harness; });
}

bool ProgramRunner::frame(DWORD ms)
{
    State* s = state_;
    if (s->ended)
        return false;
    advanceClock(ms);
    std::unique_lock<std::mutex> lock(s->mutex);
    s->frameBudget = 1;
    s->runProgram(lock);
    s->frameBudget = 0;
    return !s->ended;
}

bool ProgramRunner::frames(int count, DWORD ms)
{
    for (int i = 0; i < count; ++i)
        if (!frame(ms))
            return false;
    return true;
}

void ProgramRunner::settle()
{
    State* s = state_;
    if (s->ended)
        return;
    std::unique_lock<std::mutex> lock(s->mutex);
    s->runProgram(lock);
}

void ProgramRunner::onProgramThread(const std::function<void()>& work)
{
    State* s = state_;
    if (s->ended)
        return;
    std::unique_lock<std::mutex> lock(s->mutex);
    s->work = &work;
    s->runProgram(lock);
}

int ProgramRunner::quit()
{
    // Escape must get in: a full queue is emptied first, as the program
    // would before its next frame.
    if (!state_->ended && !keyDown(VK_ESCAPE)) {
        settle();
        if (!state_->ended && !keyDown(VK_ESCAPE))
            PostQuitMessage(0);
    }
    return finish();
}

int ProgramRunner::finish()
{
    State* s = state_;
    if (!s->ended) {
        std::unique_lock<std::mutex> lock(s->mutex);
        s->freeRunning = true;
        s->turn = State::Turn::Program;
        s->changed.notify_all();
        s->changed.wait(lock, [s] { return s->ended; });
    }
    s->join();
    return s->exitCode;
}

bool ProgramRunner::ended() const { return state_->ended; }
int ProgramRunner::exitCode() const { return state_->exitCode; }
int ProgramRunner::framesRun() const { return state_->framesRun; }

} // namespace testctl
