#!/usr/bin/env python3
# idle_test.py: a game nobody can see, and a paused game, use almost no CPU; a
# start prints nothing on standard error and keeps Mesa's driver thread.
import os
import time

import arena_view as view
import quadrill_e2e as e2e
import xvfb

PAUSED_TITLE = e2e.GAME_TITLE + " (paused)"
MEASURE_SECONDS = 10.0
# Of one core. Playing on llvmpipe takes one and more.
MOST_IDLE_CPU = 0.05
TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User and system time of every thread of the process so far."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND


def thread_names(pid):
    names = []
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/comm") as f:
            names.append(f.read().strip())
    return names


class Idle(e2e.GameTestCase):
    def cpu_share(self, game, what):
        """The share of one core the game takes over MEASURE_SECONDS; printed for the record."""
        before, started = cpu_seconds(game.process.pid), time.monotonic()
        game.run_for(MEASURE_SECONDS)
        share = (cpu_seconds(game.process.pid) - before) / (time.monotonic() - started)
        print(f"\n{what}: {100 * share:.1f}% of one core over {MEASURE_SECONDS:.0f} s", flush=True)
        return share

    def test_hidden_minimised_and_paused_games_wait(self):
        with self.game("idle") as game:
            game.start_view()
            self.assertEqual(game.stderr_text(), "", "a start prints nothing")
            self.assertTrue(any("gl" in name.split(":")[-1] for name in thread_names(game.process.pid)),
                            f"Mesa's driver thread runs: {thread_names(game.process.pid)}")
            self.assertGreater(self.cpu_share(game, "playing"), 0.2, "the measure sees a running game")

            # Minimised as a window manager does it: marked hidden, then unmapped.
            wid = str(game.window.id)
            game.display.run(["xprop", "-id", wid, "-f", "_NET_WM_STATE", "32a", "-set", "_NET_WM_STATE",
                              "_NET_WM_STATE_HIDDEN"])
            game.display.run(["xdotool", "windowunmap", "--sync", wid])
            self.assertLess(self.cpu_share(game, "minimised"), MOST_IDLE_CPU)
            game.display.run(["xprop", "-id", wid, "-remove", "_NET_WM_STATE"])
            game.display.run(["xdotool", "windowmap", "--sync", wid])
            shown = game.watch("shown again", lambda p: view.brightness(p) > 5)
            self.assertGreater(view.brightness(shown), 5, "drawn again once shown")

            game.key("p")
            game.window = game.display.wait_for_window(PAUSED_TITLE, e2e.CHANGE_TIMEOUT, game.alive)
            self.assertLess(self.cpu_share(game, "paused"), MOST_IDLE_CPU)
            game.key("p")
            game.window = game.wait_for_window()
            self.assertGreater(self.cpu_share(game, "playing again"), 0.2)
            self.assertEqual(game.stderr_text(), "")
            self.end_with_escape(game, e2e.START_BOX_COUNT)


if __name__ == "__main__":
    e2e.main()
