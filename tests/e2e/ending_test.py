#!/usr/bin/env python3
# ending_test.py: the game ended from outside: signals, with and without its
# closing box open, and its window destroyed by another client. Nothing of
# it may stay behind: no process, no box, no window.
import os
import signal

import quadrill_e2e as e2e
import xvfb

GONE_TIMEOUT = 20.0


def session_processes(session):
    """The pids of the processes still in `session` (the game started one of its own)."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        # After the name: state, parent, process group, session.
        if int(fields[3]) == session and fields[0] != "Z":
            found.append(int(entry))
    return found


def catches(pid, number):
    """Whether the process has a handler of its own for signal `number`."""
    with open(f"/proc/{pid}/status") as f:
        caught = next(line.split()[1] for line in f if line.startswith("SigCgt:"))
    return bool(int(caught, 16) >> (number - 1) & 1)


class Ending(e2e.GameTestCase):
    def expect_nothing_left(self, game):
        session = game.process.pid
        xvfb.wait_until(lambda: not session_processes(session), GONE_TIMEOUT, "the game's processes to end")
        shown = [w for w in game.display.windows() if w.name in (e2e.GAME_TITLE, e2e.END_CAPTION) and w.width > 1]
        self.assertEqual(shown, [], "the game's window and box went with it")

    def test_sigterm_and_sighup_end_the_game_through_its_close_path(self):
        for number, box_open in [(signal.SIGTERM, False), (signal.SIGHUP, True)]:
            with self.subTest(signal=number.name, box_open=box_open), self.game(number.name.lower()) as game:
                if box_open:
                    game.key("Escape")
                    game.wait_for_box(e2e.END_CAPTION)
                game.process.send_signal(number)
                self.assertEqual(game.wait_exit(), 0)
                self.assertEqual(game.logged_boxes(e2e.END_CAPTION), [e2e.box_count_text(e2e.START_BOX_COUNT)])
                self.expect_nothing_left(game)

    def test_a_second_ctrl_c_with_the_end_box_open_takes_box_and_window_with_it(self):
        with self.game("second-ctrl-c") as game:
            game.key("Escape")
            game.wait_for_box(e2e.END_CAPTION)
            game.process.send_signal(signal.SIGINT)
            # Two signals sent at once may arrive as one.
            xvfb.wait_until(lambda: not catches(game.process.pid, signal.SIGINT), GONE_TIMEOUT,
                            "the first Ctrl+C to arrive", game.alive)
            game.process.send_signal(signal.SIGINT)
            self.assertEqual(game.wait_exit(), -signal.SIGINT)
            self.expect_nothing_left(game)

    def test_a_window_destroyed_by_another_client_is_closed(self):
        with self.game("windowclose") as game:
            game.display.run(["xdotool", "windowclose", str(game.window.id)])
            self.expect_end(game, e2e.START_BOX_COUNT)
            self.assertNotIn("X Error", game.stderr_text())
            self.expect_nothing_left(game)


if __name__ == "__main__":
    e2e.main()
