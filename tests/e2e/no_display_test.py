#!/usr/bin/env python3
"""The real program with no display at all: it says why it cannot run and
ends with a failure code, quickly, instead of hanging or running unseen."""
import os
import subprocess
import sys
import time
import unittest

GAME = None
SOURCE_DIR = os.environ.get("QUADRILL_SOURCE_DIR", os.getcwd())
LIMIT_S = 20


class NoDisplay(unittest.TestCase):
    def run_game(self, cwd):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        started = time.monotonic()
        result = subprocess.run([GAME], cwd=cwd, env=env, capture_output=True, text=True, timeout=LIMIT_S)
        return result, time.monotonic() - started

    def test_every_failure_goes_to_standard_error_and_the_exit_code_is_one(self):
        result, seconds = self.run_game(SOURCE_DIR)
        self.assertEqual(result.returncode, 1, result.stderr)
        lines = [line for line in result.stderr.splitlines() if ": " in line and not line.startswith("error: XDG")]
        self.assertEqual(lines, [
            "ERROR!: ERROR!",
            "Error: Failed to load crate texture",
            "Error: Failed to load ground texture",
            "Error: Failed to load brick texture",
            "error!: Failed to create first Player Cube",
        ])
        self.assertEqual(result.stdout, "")
        self.assertLess(seconds, 10)


if __name__ == "__main__":
    GAME = sys.argv.pop(1)
    unittest.main()
