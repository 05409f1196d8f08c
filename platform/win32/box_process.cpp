// box_process.cpp: a message box's helper process dies with the program.
//
// A handler that runs in every child forked from the box's thread, before
// SDL's code there, asks the kernel to kill the child when its parent
// thread dies (so a program killed by a second Ctrl+C takes its box and its
// window with it), gives it the default signal actions back, and writes its
// pid where the program can read it: fork tells the child's pid to no
// handler of the parent, so the two share a page.
#include "win32/box_process.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pthread.h>

#include <atomic>
#include <mutex>
#include <new>

namespace {

struct Shared {
    std::atomic<pid_t> helper{0};
};
static_assert(std::atomic<pid_t>::is_always_lock_free, "the page is shared between processes");

Shared* g_shared = nullptr;
pid_t g_program = 0;
thread_local bool t_showingBox = false;

void inChild()
{
    if (!t_showingBox || !g_shared)
        return;
    // The parent's handlers only set flags nobody reads here. Ctrl+C in the
    // terminal reaches the whole process group: the program decides for the box.
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = SIG_IGN;
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = SIG_DFL;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != g_program)
        _exit(1); // the program died before the line above could take effect
    g_shared->helper.store(getpid());
}

void install()
{
    void* page = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED)
        return;
    g_shared = new (page) Shared();
    g_program = getpid();
    pthread_atfork(nullptr, nullptr, inChild);
}

} // namespace

void boxProcessBegin()
{
    static std::once_flag installed;
    std::call_once(installed, install);
    if (g_shared)
        g_shared->helper.store(0);
    t_showingBox = true;
}

void boxProcessEnd()
{
    t_showingBox = false;
    if (g_shared)
        g_shared->helper.store(0);
}

bool boxProcessDismiss()
{
    pid_t helper = g_shared ? g_shared->helper.load() : 0;
    if (helper <= 0)
        return false;
    // Only a child not yet waited for is still the helper: once SDL has
    // reaped it, its pid may belong to anyone.
    siginfo_t info = {};
    if (waitid(P_PID, id_t(helper), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;
    if (info.si_pid == 0)
        kill(helper, SIGKILL);
    return true;
}
