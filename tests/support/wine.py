# wine.py: running the Windows build under Wine for the tests: a private
# prefix made once per work folder, the environment aimed at a virtual
# display, the wineserver's end, and window_text.exe, which reads texts
# (a message box's) that only the Win32 side can see.
import fcntl
import os
import shutil
import subprocess
import time

import processes
import xvfb

PREFIX_TIMEOUT = 180
HELPER_TIMEOUT = 30
SERVER_TIMEOUT = 30
BUILD_TIMEOUT = 900

PREFIX_SETTINGS = r"""Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"""

WINDOW_TEXT_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "windows", "window_text.cpp")


def mingw_compiler():
    return shutil.which("x86_64-w64-mingw32-g++-posix") or shutil.which("x86_64-w64-mingw32-g++")


def missing_tools():
    """What running and inspecting the Windows build needs that is not on PATH."""
    missing = xvfb.missing_tools() + [t for t in ("wine", "wineserver") if shutil.which(t) is None]
    return missing + ([] if mingw_compiler() else ["x86_64-w64-mingw32-g++"])


def env(display, prefix):
    result = display.env()
    result.update(WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG="-all",
                  # No offers to download Mono or Gecko: those dialogs would wait forever.
                  WINEDLLOVERRIDES="mscoree,mshtml=")
    return result


def stop_wineserver(wine_env, wait):
    """Waits for the prefix's wineserver to leave (or kills it), so nothing of
    Wine outlives the test or the display it draws on."""
    quiet = {"env": wine_env, "stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
             "stderr": subprocess.DEVNULL}
    if wait:
        try:
            subprocess.run(["wineserver", "-w"], timeout=SERVER_TIMEOUT, **quiet)
            return
        except subprocess.TimeoutExpired:
            print("wineserver still running after its programs ended; killing it", flush=True)
    subprocess.run(["wineserver", "-k"], timeout=SERVER_TIMEOUT, **quiet)


def version():
    return processes.run_step(["wine", "--version"], HELPER_TIMEOUT, "wine --version",
                              env=dict(os.environ, WINEDEBUG="-all")).strip()


def _read_text(path):
    try:
        with open(path) as f:
            return f.read().strip()
    except OSError:
        return None


def ensure_prefix(work, display, note=None):
    """A private Wine prefix under `work`, made once per Wine version. A lock
    keeps parallel runs from making it twice; a stamp written last marks it
    complete, so an interrupted set-up is started over. `note(name, seconds)`
    hears how long making it took."""
    prefix = os.path.join(work, "wineprefix")
    stamp = os.path.join(work, "wineprefix.ready")
    wine_version = version()
    os.makedirs(work, exist_ok=True)
    with open(os.path.join(work, "wineprefix.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.isdir(prefix) and _read_text(stamp) == wine_version:
            return prefix
        started = time.monotonic()
        shutil.rmtree(prefix, ignore_errors=True)
        if os.path.exists(stamp):
            os.remove(stamp)
        wine_env = env(display, prefix)
        settings = os.path.join(work, "prefix-settings.reg")
        with open(settings, "w") as f:
            f.write(PREFIX_SETTINGS)
        try:
            processes.run_step(["wine", "wineboot", "--init"], PREFIX_TIMEOUT, "creating the Wine prefix",
                               env=wine_env)
            processes.run_step(["wine", "regedit", "/S", settings], PREFIX_TIMEOUT, "setting up the Wine prefix",
                               env=wine_env)
            stop_wineserver(wine_env, wait=True)
        except BaseException:
            stop_wineserver(wine_env, wait=False)
            raise
        with open(stamp, "w") as f:
            f.write(wine_version + "\n")
        if note:
            note("new Wine prefix", time.monotonic() - started)
    return prefix


def build_window_text(work):
    """window_text.exe in `work`, rebuilt when its source is newer."""
    os.makedirs(work, exist_ok=True)
    exe = os.path.join(work, "window_text.exe")
    if not os.path.exists(exe) or os.path.getmtime(exe) < os.path.getmtime(WINDOW_TEXT_SOURCE):
        processes.run_step([mingw_compiler(), "-std=c++17", "-Wall", "-Wextra", "-Werror", "-Wshadow", "-O1",
                            "-static", "-o", exe, WINDOW_TEXT_SOURCE], BUILD_TIMEOUT, "building window_text.exe")
    return exe


def window_texts(wine_env, window_text, title):
    """The caption and control texts of the top-level window `title`, one a line."""
    out = processes.run_step(["wine", window_text, title], HELPER_TIMEOUT, "reading a window's text", env=wine_env)
    return [line.strip() for line in out.splitlines() if line.strip()]
