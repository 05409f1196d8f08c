#!/usr/bin/env python3
# recording_test.py: the real game recorded with --record while played
# through the X server (keys, buttons, mouse look), then replayed by
# quadrill-sim, which must find every check as recorded and end with the
# Box Count the game ended with; and recordings ended by Ctrl+C or by
# closing the window replay too.
import os
import signal
import subprocess
import tempfile
import time

import quadrill_e2e as e2e

PLAY_SECONDS = 20.0
SIM_TIMEOUT = 600
SIM = os.environ.get("QUADRILL_SIM", "")


def play_a_while(game, seconds):
    """Walks, jumps, looks around, switches, places and throws crates, saves and
    loads, until `seconds` have gone by."""
    actions = [
        lambda: game.hold_key("w"), lambda: game.turn(40, -6), lambda: game.release_key("w"),
        lambda: game.click(1), lambda: game.turn(-25, 8), lambda: game.click(3),
        lambda: game.key("space"), lambda: game.key("v"), lambda: game.hold_key("a"),
        lambda: game.turn(15, 0), lambda: game.release_key("a"), lambda: game.key("F5"),
        lambda: game.key("x"), lambda: game.hold_key("d"), lambda: game.turn(0, -12),
        lambda: game.release_key("d"), lambda: game.click(1), lambda: game.key("z"),
        lambda: game.key("x"), lambda: game.key("F9"), lambda: game.turn(-30, 4), lambda: game.key("c"),
    ]
    deadline = time.monotonic() + seconds
    step = 0
    while time.monotonic() < deadline:
        actions[step % len(actions)]()
        step += 1
        game.run_for(0.2)
    for key in ("w", "a", "d"):
        game.release_key(key)


class Recording(e2e.GameTestCase):
    def setUp(self):
        if not SIM or not os.access(SIM, os.X_OK):
            self.fail(f"no quadrill-sim to replay with: QUADRILL_SIM={SIM!r}")
        self.folder = tempfile.TemporaryDirectory()
        self.recording = os.path.join(self.folder.name, "play.rec")
        # Its quick saves go to a folder of the test's own.
        self.environment = {"XDG_DATA_HOME": self.folder.name}

    def tearDown(self):
        self.folder.cleanup()

    def end_and_count(self, game, end):
        """Ends the game by `end`, dismisses its closing box; its Box Count text."""
        end()
        text = game.wait_for_logged_box(e2e.END_CAPTION)
        game.dismiss(game.wait_for_box(e2e.END_CAPTION))
        self.assertEqual(game.wait_exit(), 0)
        return text

    def replay(self):
        return subprocess.run([SIM, self.recording], capture_output=True, text=True, cwd=e2e.SOURCE_DIR,
                              timeout=SIM_TIMEOUT)

    def test_real_play_replays_exactly_in_quadrill_sim(self):
        with self.game("record", args=["--record", self.recording], environment=self.environment) as game:
            game.run_for(e2e.LANDING_SECONDS)
            play_a_while(game, PLAY_SECONDS)
            count = self.end_and_count(game, lambda: game.key("Escape"))
        with open(self.recording) as f:
            recorded = f.read()
        self.assertIn("\ncursor ", recorded, "the mouse look is in the recording")
        self.assertGreater(recorded.count("\ncheck "), 10)
        replayed = self.replay()
        self.assertEqual((replayed.returncode, replayed.stderr), (0, ""))
        self.assertEqual(replayed.stdout, f"message End | {count}\n")

    def test_a_recording_ended_by_ctrl_c_or_by_closing_the_window_replays(self):
        ends = {"ctrl-c": lambda game: game.process.send_signal(signal.SIGINT),
                "close": lambda game: game.display.close_window(game.window)}
        for how, end in ends.items():
            with self.subTest(how):
                with self.game(how, args=["--record", self.recording], environment=self.environment) as game:
                    game.run_for(e2e.LANDING_SECONDS)
                    play_a_while(game, 3.0)
                    count = self.end_and_count(game, lambda: end(game))
                replayed = self.replay()
                self.assertEqual((replayed.returncode, replayed.stderr), (0, ""))
                self.assertEqual(replayed.stdout, f"message End | {count}\n")
                with open(self.recording) as f:
                    self.assertIn("\nclose\n", f.read())


if __name__ == "__main__":
    e2e.main()
