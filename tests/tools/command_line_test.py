#!/usr/bin/env python3
"""The game's command line, run as a player would: quadrill OPTION...

Options that stop the game before it starts need no display."""
import os
import subprocess
import sys
import tempfile
import unittest

GAME = None


def run(*arguments):
    return subprocess.run([GAME, *arguments], capture_output=True, text=True, timeout=60)


class CommandLine(unittest.TestCase):
    def test_help_and_version_print_and_exit(self):
        shown = run("--help")
        self.assertEqual(shown.returncode, 0, shown.stderr)
        for option in ("--version", "--sensitivity X", "--invert-look", "--no-invert-look", "--vsync", "--no-vsync",
                       "--fullscreen", "--windowed", "/quadrill/settings.ini"):
            self.assertIn(option, shown.stdout)
        version = run("--version")
        self.assertEqual(version.returncode, 0, version.stderr)
        self.assertRegex(version.stdout, r"^Quadrill \d+\.\d+\.\d+\n$")

    def test_a_wrong_option_stops_the_game_with_a_message(self):
        for arguments, message in [(["--bogus"], "unknown option '--bogus'"),
                                   (["--version=2"], "option --version takes no value"),
                                   (["--vsync=yes"], "option --vsync takes no value"),
                                   (["--sensitivity"], "option --sensitivity needs a value: --sensitivity X"),
                                   (["--sensitivity", "fast"], "option --sensitivity: not a number from 0.01 to 100"),
                                   (["--sensitivity=0"], "option --sensitivity: not a number from 0.01 to 100"),
                                   (["--sensitivity", "nan"], "option --sensitivity: not a number"),
                                   (["quadrill.txt"], "unknown option 'quadrill.txt'")]:
            result = run(*arguments)
            self.assertEqual(result.returncode, 2, arguments)
            self.assertIn(message, result.stderr)
            self.assertEqual(result.stdout, "")

    def test_a_file_that_cannot_be_loaded_stops_the_game_with_its_reason(self):
        # All of these fail before a window is made: no display is needed.
        with tempfile.TemporaryDirectory() as folder:
            fifo = os.path.join(folder, "fifo")
            os.mkfifo(fifo)
            bad = os.path.join(folder, "bad.arena")
            with open(bad, "w") as f:
                f.write("quadrill-arena 1\nboxes 0\n")
            missing = os.path.join(folder, "missing.arena")
            for arguments, message in [
                    (["--load", folder], f"cannot load {folder}: it is a folder, not a file"),
                    (["--load", fifo], f"cannot load {fifo}: it is not a regular file (a pipe or a device)"),
                    (["--load", missing], f"cannot load {missing}: there is no such file"),
                    (["--load", bad], f"cannot load {bad}: line 2: an arena holds at least its player cube"),
                    (["--load="], "option --load: needs a file name"),
                    (["--load"], "option --load needs a value: --load FILE"),
                    (["--load", bad, "--load", bad], "option --load: given twice")]:
                result = run(*arguments)
                self.assertEqual(result.returncode, 2, arguments)
                self.assertTrue(result.stderr.startswith(f"quadrill: {message}"), result.stderr)
                self.assertEqual(result.stderr.count("\n"), 1, "one line")
                self.assertEqual(result.stdout, "")

    def test_a_recording_that_cannot_be_made_or_read_stops_the_game_with_its_reason(self):
        with tempfile.TemporaryDirectory() as folder:
            junk = os.path.join(folder, "junk.rec")
            with open(junk, "wb") as f:
                f.write(b"recording 1 1.0.0\nframe 16\n\x89PNG\r\n")
            nowhere = os.path.join(folder, "missing", "game.rec")
            for arguments, message in [
                    (["--record", nowhere], f"cannot record to {nowhere}: there is no such folder"),
                    (["--record", folder], f"cannot record to {folder}: it is a folder"),
                    (["--replay", os.path.join(folder, "none.rec")], "there is no such file"),
                    (["--replay", junk], f"cannot replay {junk}: line 3: unknown command '\\x89PNG'"),
                    (["--replay", junk, "--record", os.path.join(folder, "again.rec")],
                     "option --replay cannot go with --load or --record")]:
                result = run(*arguments)
                self.assertEqual(result.returncode, 2, arguments)
                self.assertIn(message, result.stderr)
                self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
            self.assertEqual(sorted(os.listdir(folder)), ["junk.rec"], "nothing was made")

    def test_arguments_reach_the_game_as_they_were_typed(self):
        # Joined into one Windows command line and split back by the game.
        for argument in ["two words", "", 'a "quoted" word', "back\\slash", 'tail\\"', "ends\\\\", "\t"]:
            result = run("--help", argument)
            self.assertEqual(result.returncode, 2)
            self.assertIn(f"unknown option '{argument}'", result.stderr)


if __name__ == "__main__":
    GAME = sys.argv.pop(1)
    unittest.main()
