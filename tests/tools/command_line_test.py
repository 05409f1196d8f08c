#!/usr/bin/env python3
"""The game's command line, run as a player would: quadrill OPTION...

Options that stop the game before it starts need no display."""
import subprocess
import sys
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

    def test_arguments_reach_the_game_as_they_were_typed(self):
        # Joined into one Windows command line and split back by the game.
        for argument in ["two words", "", 'a "quoted" word', "back\\slash", 'tail\\"', "ends\\\\", "\t"]:
            result = run("--help", argument)
            self.assertEqual(result.returncode, 2)
            self.assertIn(f"unknown option '{argument}'", result.stderr)


if __name__ == "__main__":
    GAME = sys.argv.pop(1)
    unittest.main()
