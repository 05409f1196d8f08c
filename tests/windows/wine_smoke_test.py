#!/usr/bin/env python3
# wine_smoke_test.py: the Windows build run under Wine on a private virtual display.
#
# Builds (or takes) quadrill.exe, runs it from a folder holding textures/, and
# checks that the window draws the arena, that Escape and closing the window
# both end the game with the "Box Count: 10" message box, that Return dismisses
# it and that the exit code is 0. Exits 77 (skipped) when a tool is missing.
import argparse
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import processes  # noqa: E402
import same_picture  # noqa: E402
import wine  # noqa: E402
import xvfb  # noqa: E402

SKIP = 77
WINDOW_TITLE = "Quadrill by Harnwick"
END_CAPTION = "End"
END_TEXT = "Box Count: 10"
# Captions of the boxes the game shows when start-up goes wrong.
FAILURE_CAPTIONS = ("Error", "ERROR!")
TEXTURES = ("crate.jpg", "ground.jpg", "brick.jpg")

BUILD_TIMEOUT = 900
WINDOW_TIMEOUT = 60
DRAW_TIMEOUT = 60
BOX_TIMEOUT = 20
EXIT_TIMEOUT = 20
HELPER_TIMEOUT = 30
SETTLE_SECONDS = 3.0
STILL_TIMEOUT = 20
# The middle of the 800x600 window, clear of the frame Wine draws around it.
CLIENT_AREA = (100, 120, 600, 400)
# The arena is lit dimly, so its contrast is low; a blank or one-colour window
# has none at all and a handful of colours.
MIN_STDDEV = 0.005
MIN_COLOURS = 100
# How far the Linux build's start view may be from Wine's Direct3D 9 one, on
# the comparison grid: a mean of a few levels of 255 per channel (texture
# filtering and mip selection differ slightly between implementations) and
# a small share of visibly different cells (the aimer dot and crate edges
# fall a pixel differently after Wine's stretch into its client area).
MAX_MEAN_DIFFERENCE = 2.0
MAX_DIFFERENT_SHARE = 0.005

class SmokeFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise SmokeFailure(message)


class Timings:
    def __init__(self):
        self.start = time.monotonic()
        self.steps = []

    def note(self, name, seconds):
        self.steps.append((name, seconds))
        print(f"  {name}: {seconds:.1f} s", flush=True)

    def report(self):
        print(f"wine smoke timings: {', '.join(f'{n} {s:.1f} s' for n, s in self.steps)}; "
              f"total {time.monotonic() - self.start:.1f} s", flush=True)


def build_game(source, work):
    """Configures and builds the cross build under `work`; incremental after the first time."""
    build_dir = os.path.join(work, "mingw")
    processes.run_step([os.path.join(source, "scripts", "build-windows"), build_dir], BUILD_TIMEOUT,
                       "the MinGW build")
    return os.path.join(build_dir, "quadrill.exe")


class Session:
    """What every run shares: the display, the Wine environment, the programs and folders."""

    def __init__(self, display, env, exe, window_text, run_dir, artifacts, timings, linux_game=None):
        self.display = display
        self.env = env
        self.exe = exe
        self.linux_game = linux_game
        self.wine_view = None  # the settled start view inside Wine's frame
        self.comparison_dir = None
        self.window_text = window_text
        self.run_dir = run_dir
        self.artifacts = artifacts
        self.timings = timings
        self.game = None
        self.tag = ""

    def start_game(self, tag):
        self.tag = tag
        self.game = processes.Program(["wine", self.exe], self.run_dir, self.env,
                                      os.path.join(self.artifacts, f"output-{tag}.txt"))
        return self.game

    def start_linux_game(self, tag):
        self.tag = tag
        env = self.display.env()
        self.game = processes.Program([self.linux_game], self.run_dir, env,
                                      os.path.join(self.artifacts, f"output-{tag}.txt"))
        return self.game

    def client_area(self):
        """Where the game's picture lies inside the frame Wine draws: x, y, width, height."""
        out = processes.run_step(["wine", self.window_text, "--client", WINDOW_TITLE], HELPER_TIMEOUT,
                       "reading the client area", env=self.env)
        numbers = out.split()
        check(len(numbers) == 4, f"window_text --client printed {out!r}")
        return tuple(int(n) for n in numbers)

    def settle(self, seconds):
        """Lets the game run undisturbed, noticing at once if it dies."""
        deadline = time.monotonic() + seconds
        xvfb.wait_until(lambda: time.monotonic() >= deadline, seconds + 1, "the view to settle", self.game.alive)

    def box_text(self):
        return wine.window_texts(self.env, self.window_text, END_CAPTION)

    def finish_with_box(self, started):
        """The end of every run: the "End" box with the count, Return, exit code 0."""
        box = self.display.wait_for_window(END_CAPTION, BOX_TIMEOUT, self.game.alive)
        self.timings.note(f"{self.tag}: box shown", time.monotonic() - started)
        lines = self.box_text()
        check(END_TEXT in lines, f'the "{END_CAPTION}" box says {lines}, expected "{END_TEXT}"')
        self.display.key("Return", box)
        code = self.game.wait(EXIT_TIMEOUT)
        self.timings.note(f"{self.tag}: exited", time.monotonic() - started)
        check(code == 0, f"the game exited with {code}, expected 0")


def scenario_escape(session, save_view):
    started = time.monotonic()
    game = session.start_game("escape")
    window = session.display.wait_for_window(WINDOW_TITLE, WINDOW_TIMEOUT, game.alive)
    check((window.width, window.height) == (800, 600), f"the game window is {window.width}x{window.height}")
    session.timings.note("escape: window shown", time.monotonic() - started)
    # A loaded machine can leave the window blank for seconds while the game
    # starts: only a drawn window can settle.
    xvfb.wait_until(lambda: session.display.capture(window).crop(*CLIENT_AREA).stats()["colours"] > MIN_COLOURS,
                    DRAW_TIMEOUT, "the first picture", game.alive)
    # The player cube drops onto the ground at the start; the view is settled
    # once it has landed and nothing moves without input.
    session.settle(SETTLE_SECONDS)
    for caption in FAILURE_CAPTIONS:
        check(session.display.find_window(caption) is None, f'start-up showed an "{caption}" box')
    session.display.wait_until_still(window, STILL_TIMEOUT, game.alive)
    session.timings.note("escape: view settled", time.monotonic() - started)
    view = os.path.join(session.artifacts, "wine-start-view.png")
    stats = session.display.screenshot(view, window).crop(*CLIENT_AREA).stats()
    print(f"  start view: {stats}", flush=True)
    check(stats["stddev"] > MIN_STDDEV and stats["colours"] > MIN_COLOURS,
          f"the window looks blank or uniform: {stats} (see {view})")
    if save_view:
        shutil.copyfile(view, save_view)
        print(f"  saved the start view as {save_view}", flush=True)
    session.wine_view = session.display.capture(window).crop(*session.client_area())
    session.display.key("Escape", window)
    session.timings.note("escape: Escape pressed", time.monotonic() - started)
    session.finish_with_box(started)


def scenario_close(session, save_view):
    started = time.monotonic()
    game = session.start_game("close")
    window = session.display.wait_for_window(WINDOW_TITLE, WINDOW_TIMEOUT, game.alive)
    session.settle(1.0)
    session.display.close_window(window)
    session.timings.note("close: window closed", time.monotonic() - started)
    session.finish_with_box(started)


def scenario_same_picture(session, save_view):
    """The Linux build's settled start view against Wine's Direct3D 9 one."""
    check(session.wine_view is not None, "there is no start view from Wine to compare with")
    started = time.monotonic()
    game = session.start_linux_game("linux")
    window = session.display.wait_for_window(WINDOW_TITLE, WINDOW_TIMEOUT, game.alive)
    session.settle(SETTLE_SECONDS)
    session.display.wait_until_still(window, STILL_TIMEOUT, game.alive)
    linux_view = session.display.capture(window)
    session.timings.note("linux: view settled", time.monotonic() - started)
    result = same_picture.difference(session.wine_view, linux_view)
    pair = same_picture.side_by_side(session.wine_view, linux_view)
    pair.save_png(os.path.join(session.artifacts, "wine-and-linux-start-view.png"))
    print(f"  Wine {session.wine_view.width}x{session.wine_view.height} against Linux "
          f"{linux_view.width}x{linux_view.height} on a {same_picture.GRID[0]}x{same_picture.GRID[1]} grid: "
          f"mean difference {result['mean']:.2f} levels, {100 * result['different']:.2f}% of cells "
          f"off by more than {same_picture.DIFFERENT}", flush=True)
    if session.comparison_dir:
        session.wine_view.save_png(os.path.join(session.comparison_dir, "wine-start-view.png"))
        linux_view.save_png(os.path.join(session.comparison_dir, "linux-start-view.png"))
        pair.save_png(os.path.join(session.comparison_dir, "wine-and-linux-start-view.png"))
    check(result["mean"] <= MAX_MEAN_DIFFERENCE and result["different"] <= MAX_DIFFERENT_SHARE,
          f"the Linux picture differs from Wine's: {result} (see {session.artifacts})")
    session.display.key("Escape", window)
    box = session.display.wait_for_window(END_CAPTION, BOX_TIMEOUT, game.alive)
    session.display.focus(box)
    session.display.key("Return", box)
    code = game.wait(EXIT_TIMEOUT)
    check(code == 0, f"the Linux game exited with {code}, expected 0")


SCENARIOS = (("Escape ends the game", scenario_escape), ("closing the window ends the game", scenario_close),
             ("the Linux build draws the same picture", scenario_same_picture))


def run_scenario(session, name, scenario, save_view):
    """One scenario; on failure saves a screenshot and the game's output and
    kills what is left of Wine. Returns True when it passed."""
    print(f"{name}:", flush=True)
    try:
        scenario(session, save_view)
        wine.stop_wineserver(session.env, wait=True)
        print("  passed", flush=True)
        return True
    except (SmokeFailure, processes.ProgramError, xvfb.DisplayError) as e:
        shot = os.path.join(session.artifacts, f"failure-{scenario.__name__}.png")
        try:
            session.display.screenshot(shot)
        except xvfb.DisplayError as shot_error:
            shot = f"(none: {shot_error})"
        wine.stop_wineserver(session.env, wait=False)
        output = session.game.output() if session.game else ""
        print(f"  FAILED: {e}\n  screenshot: {shot}\n  output of the game:\n{output}", flush=True)
        return False
    finally:
        if session.game:
            session.game.kill()
        session.game = None


def prepare_run_dir(source, work):
    """A folder that holds textures/, the game's working directory."""
    run_dir = os.path.join(work, "run")
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(os.path.join(run_dir, "textures"))
    for name in TEXTURES:
        shutil.copyfile(os.path.join(source, "textures", name), os.path.join(run_dir, "textures", name))
    return run_dir


def main():
    # A timed-out ctest run sends SIGTERM: leave through the clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    parser = argparse.ArgumentParser(description="Runs the Windows build under Wine on a virtual display.")
    parser.add_argument("--source-dir", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    parser.add_argument("--work-dir", required=True, help="cache for the cross build and the Wine prefix")
    parser.add_argument("--exe", default=os.environ.get("QUADRILL_WINDOWS_EXE"),
                        help="use this quadrill.exe instead of building one")
    parser.add_argument("--save-start-view", help="copy the settled start view to this PNG")
    parser.add_argument("--linux-game", help="the Linux build of the game, to compare its picture with Wine's")
    parser.add_argument("--save-comparison", help="a folder to keep both start views and the pair in")
    args = parser.parse_args()
    source = os.path.abspath(args.source_dir)
    work = os.path.abspath(args.work_dir)
    os.makedirs(work, exist_ok=True)

    missing = wine.missing_tools() + ([] if args.exe or shutil.which("cmake") else ["cmake"])
    if missing:
        print(f"skipped: missing {', '.join(missing)} (scripts/bootstrap test installs them)")
        return SKIP

    timings = Timings()
    artifacts = os.path.join(work, "artifacts")
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    try:
        started = time.monotonic()
        exe = os.path.abspath(args.exe) if args.exe else build_game(source, work)
        window_text = wine.build_window_text(work)
        timings.note("build", time.monotonic() - started)
        run_dir = prepare_run_dir(source, work)
    except (SmokeFailure, processes.ProgramError, OSError) as e:
        print(f"FAILED: {e}")
        return 1

    failures = 0
    with xvfb.VirtualDisplay() as display:
        try:
            prefix = wine.ensure_prefix(work, display, timings.note)
        except (SmokeFailure, processes.ProgramError, xvfb.DisplayError) as e:
            print(f"FAILED: {e}")
            return 1
        session = Session(display, wine.env(display, prefix), exe, window_text, run_dir, artifacts, timings,
                          args.linux_game and os.path.abspath(args.linux_game))
        session.comparison_dir = args.save_comparison
        scenarios = [s for s in SCENARIOS if s[1] is not scenario_same_picture or session.linux_game]
        try:
            for name, scenario in scenarios:
                save_view = args.save_start_view if scenario is scenario_escape else None
                if not run_scenario(session, name, scenario, save_view):
                    failures += 1
        finally:
            # Wine must be gone before its display is.
            wine.stop_wineserver(session.env, wait=True)

    timings.report()
    passed = len(scenarios) - failures
    print(f"{passed} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
