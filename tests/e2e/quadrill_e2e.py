# quadrill_e2e.py: running the real quadrill binary on its own virtual display, for the e2e tests.
#
# Each game gets a fresh Xvfb, so nothing (a stray message box, the pointer,
# the keyboard focus) passes from one scenario to the next. What a message box
# says is read from the game's standard error, where every box is logged as a
# line "CAPTION: TEXT" just before it is shown; the box itself is found on the
# display and dismissed there. When a scenario fails, the screen, the views it
# looked at and the program's output are saved next to the test's build
# artefacts and their paths printed.
import contextlib
import os
import signal
import sys
import tempfile
import time
import unittest

# Run by hand, the shared helpers are found beside this folder too.
sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import processes  # noqa: E402
import xvfb  # noqa: E402

GAME_TITLE = "Quadrill by Harnwick"
END_CAPTION = "End"
ERROR_CAPTION = "Error"
# Captions of every box the game shows when something goes wrong.
FAILURE_CAPTIONS = ("Error", "ERROR!", "error!", "poop", "")
START_BOX_COUNT = 10

WINDOW_TIMEOUT = 30.0
BOX_TIMEOUT = 20.0
EXIT_TIMEOUT = 20.0
STILL_TIMEOUT = 20.0
# Longest wait for a frame to show the effect of an input. Checks return as
# soon as the frame shows it; the margin is for a loaded two-core machine.
CHANGE_TIMEOUT = 15.0
# The player cube starts in the air and needs about a second to land.
LANDING_SECONDS = 2.0

SOURCE_DIR = os.path.abspath(os.environ.get("QUADRILL_SOURCE_DIR",
                                            os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")))


def artefact_root():
    """Where failure reports go: the folder CTest names, or one in the temporary folder."""
    default = os.path.join(tempfile.gettempdir(), "quadrill-e2e-artifacts")
    return os.path.abspath(os.environ.get("QUADRILL_E2E_ARTIFACTS", default))


def box_count_text(count):
    return f"Box Count: {count}"


def logged_boxes(stderr_text, caption):
    """The texts of the boxes with `caption` that the game logged, in order."""
    prefix = caption + ": "
    return [line[len(prefix):] for line in stderr_text.splitlines() if line.startswith(prefix)]


def runs(values):
    """`values` with repeats in a row folded ("14.3x40"), for short failure messages."""
    folded = []
    for value in values:
        if folded and folded[-1][0] == value:
            folded[-1][1] += 1
        else:
            folded.append([value, 1])
    return ", ".join(f"{v}x{n}" if n > 1 else f"{v}" for v, n in folded)


class Game:
    """One run of the game on its own display, its output going to files."""

    def __init__(self, binary, display, cwd, output_prefix, args=(), settings=None, environment=None):
        self.display = display
        # Pictures a scenario looked at, by name, saved if it fails.
        self.views = {}
        env = display.env()
        env.update(environment or {})
        # SDL must pick the X11 driver of this display, whatever the caller set.
        env.pop("SDL_VIDEODRIVER", None)
        # A configuration folder of its own: the settings given, or none,
        # whatever the settings of the user running the tests.
        self.config = tempfile.TemporaryDirectory(prefix="quadrill-e2e-config-")
        env["XDG_CONFIG_HOME"] = self.config.name
        if settings is not None:
            os.mkdir(os.path.join(self.config.name, "quadrill"))
            with open(os.path.join(self.config.name, "quadrill", "settings.ini"), "w") as f:
                f.write(settings)
        self.program = processes.Program([binary, *args], cwd, env, output_prefix + "-stdout.txt",
                                         output_prefix + "-stderr.txt")
        self.stdout_path = self.program.stdout_path
        self.stderr_path = self.program.stderr_path
        self.process = self.program.process
        self.window = None

    # ---- lifetime ----

    def alive(self):
        return self.program.alive()

    def wait_for_window(self):
        self.window = self.display.wait_for_window(GAME_TITLE, WINDOW_TIMEOUT, self.alive)
        return self.window

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        try:
            return self.program.wait(timeout)
        except processes.ProgramError:
            raise AssertionError(f"the game did not exit within {timeout:.0f} s") from None

    def kill(self):
        self.program.kill(EXIT_TIMEOUT)
        self.config.cleanup()

    # ---- time ----

    def run_for(self, seconds):
        """Lets the game run untouched for `seconds`, noticing at once if it dies."""
        deadline = time.monotonic() + seconds
        xvfb.wait_until(lambda: time.monotonic() >= deadline, seconds + 5, f"{seconds:.1f} s of play", self.alive)

    def wait_until_still(self, still_for=1.0):
        self.display.wait_until_still(self.window, STILL_TIMEOUT, self.alive, still_for=still_for)

    # ---- input ----

    def expect_alive(self, doing):
        if not self.alive():
            raise AssertionError(f"the game ended (code {self.process.returncode}) before {doing}")

    def key(self, keysym, hold=xvfb.KEY_HOLD):
        """Presses and releases a key in the game window, held for `hold` seconds."""
        self.expect_alive(f"the key {keysym} was pressed")
        self.display.key(keysym, self.window, hold)

    def hold_key(self, keysym):
        """Presses a key in the game window and leaves it down until release_key."""
        self.expect_alive(f"the key {keysym} was pressed")
        self.display.focus(self.window)
        self.display.run(["xdotool", "keydown", keysym])

    def release_key(self, keysym):
        self.display.run(["xdotool", "keyup", keysym])

    def click(self, button):
        self.expect_alive(f"mouse button {button} was clicked")
        self.display.focus(self.window)
        self.display.click(button)

    def turn(self, dx, dy):
        """Moves the mouse; the game turns the view 0.01 rad per pixel."""
        self.expect_alive("the mouse was moved")
        self.display.focus(self.window)
        self.display.move_mouse_relative(dx, dy)

    # ---- pictures ----

    def view(self, name):
        """The window's picture now, kept under `name` for the failure report."""
        self.expect_alive(f"the view {name!r} was taken")
        picture = self.display.capture(self.window)
        self.views[name] = picture
        return picture

    def settled_view(self, name, still_for=1.0):
        """The view once nothing in it has moved for `still_for` seconds."""
        self.wait_until_still(still_for)
        return self.view(name)

    def watch(self, name, condition, timeout=CHANGE_TIMEOUT):
        """Takes views until one meets `condition` and returns it; after `timeout`
        returns the last one, for the caller's assertion to judge. A busy machine
        can take a while to show the frame an input leads to."""
        deadline = time.monotonic() + timeout
        while True:
            picture = self.view(name)
            if condition(picture) or time.monotonic() >= deadline:
                return picture

    def start_view(self):
        """The view once the player cube has landed, before any input."""
        self.run_for(LANDING_SECONDS)
        return self.settled_view("start")

    # ---- message boxes ----

    def wait_for_box(self, caption, timeout=BOX_TIMEOUT):
        return self.display.wait_for_window(caption, timeout, self.alive)

    def stderr_text(self):
        with open(self.stderr_path, "rb") as err:
            return err.read().decode(errors="replace")

    def logged_boxes(self, caption):
        """The texts of the boxes with `caption` logged so far, in order."""
        return logged_boxes(self.stderr_text(), caption)

    def wait_for_logged_box(self, caption, number=1, timeout=BOX_TIMEOUT):
        """The text of the `number`th box with `caption`, once the game has logged it."""
        def logged():
            texts = self.logged_boxes(caption)
            return texts[number - 1] if len(texts) >= number else None
        return xvfb.wait_until(logged, timeout, f'box {number} with the caption "{caption}" on standard error',
                               self.alive)

    def dismiss(self, box, timeout=BOX_TIMEOUT):
        """Return on the box, as a player pressing its OK button; returns once the
        box has gone, or the game has moved on to log a box after it (the next box
        of a caption can reuse the window id)."""
        logged = len(self.stderr_text().splitlines())
        self.display.run(["xdotool", "windowfocus", "--sync", str(box.id), "key", "Return"])

        def gone():
            return (all(w.id != box.id for w in self.display.windows())
                    or len(self.stderr_text().splitlines()) > logged or not self.alive())
        xvfb.wait_until(gone, timeout, f'the box "{box.name}" to close')

    def error_boxes(self):
        return [w for w in self.display.windows() if w.name in FAILURE_CAPTIONS and w.width > 1]


class GameTestCase(unittest.TestCase):
    """A test case whose scenarios each start the game on a fresh display."""

    binary = None

    @classmethod
    def setUpClass(cls):
        missing = xvfb.missing_tools()
        if missing:
            raise unittest.SkipTest(f"missing {', '.join(missing)} (scripts/bootstrap test installs them)")
        if cls.binary is None or not os.access(cls.binary, os.X_OK):
            raise AssertionError(f"no game binary to run: {cls.binary!r}")
        script = os.path.splitext(os.path.basename(sys.modules[cls.__module__].__file__))[0]
        cls.artefacts = os.path.join(artefact_root(), script)
        os.makedirs(cls.artefacts, exist_ok=True)

    @contextlib.contextmanager
    def game(self, tag, cwd=SOURCE_DIR, args=(), settings=None, display_size=(1024, 768), environment=None):
        """Starts the game on a display of its own and yields it, with `args` on its
        command line, `settings` as its settings file and `environment` added to
        its own. On failure saves the screen, the views taken and the output, and
        names them; always ends the game and the display."""
        for old in os.listdir(self.artefacts):
            if old.startswith(tag + "-"):
                os.remove(os.path.join(self.artefacts, old))
        prefix = os.path.join(self.artefacts, tag)
        with xvfb.VirtualDisplay(*display_size) as display:
            game = Game(self.binary, display, cwd, prefix, args, settings, environment)
            try:
                game.wait_for_window()
                yield game
            except BaseException as error:
                self._report(game, prefix, error)
                raise
            finally:
                game.kill()

    def _report(self, game, prefix, error):
        saved = []
        try:
            saved.append(prefix + "-screen.png")
            game.display.screenshot(saved[-1])
        except xvfb.DisplayError as shot_error:
            saved[-1] = f"(no screenshot: {shot_error})"
        for name, picture in game.views.items():
            path = f"{prefix}-{name}.png"
            picture.save_png(path)
            saved.append(path)
        game.kill()
        saved += [game.stdout_path, game.stderr_path]
        print(f"\n{self.id()} failed: {error}\nsaved:\n  " + "\n  ".join(saved), file=sys.stderr, flush=True)

    # ---- checks shared by the scenarios ----

    def assert_between(self, value, low, high, message):
        self.assertTrue(low <= value <= high, f"{message}: {value} is outside {low}..{high}")

    def assert_no_error_boxes(self, game):
        boxes = game.error_boxes()
        self.assertEqual(boxes, [], f"the game shows failure boxes: {boxes}")

    def end_with_escape(self, game, count):
        """Escape, then the closing box must say `count`; dismissing it ends the game with 0."""
        game.key("Escape")
        self.expect_end(game, count)

    def expect_end(self, game, count):
        """The closing box says `count` and is shown; dismissing it ends the game with 0."""
        text = game.wait_for_logged_box(END_CAPTION)
        self.assertEqual(text, box_count_text(count), "the closing box's text")
        box = game.wait_for_box(END_CAPTION)
        game.dismiss(box)
        code = game.wait_exit()
        self.assertEqual(code, 0, "the exit code after the closing box")


def main():
    """Runs the calling script's tests against the binary named by the first argument."""
    if len(sys.argv) < 2:
        sys.exit(f"usage: {sys.argv[0]} PATH_TO_QUADRILL [unittest arguments]")
    GameTestCase.binary = os.path.abspath(sys.argv.pop(1))
    # A timed-out CTest run sends SIGTERM: leave through the clean-up of each game.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    unittest.main(module="__main__")
