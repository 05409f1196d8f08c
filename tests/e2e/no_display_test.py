#!/usr/bin/env python3
"""The real program with no display at all, or no OpenGL 3.3: it says why it
cannot run and ends with a failure code, quickly, instead of hanging or
running unseen."""
import os
import subprocess
import sys
import time
import unittest

GAME = None
SOURCE_DIR = os.environ.get("QUADRILL_SOURCE_DIR", os.getcwd())
LIMIT_S = 20


# Without a device no texture can load: that is not reported three times over.
GAME_MESSAGES = [
    "ERROR!: ERROR!",
    "error!: Failed to create first Player Cube",
]


class NoDisplay(unittest.TestCase):
    def run_game(self, cwd, **extra_env):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        env.update(extra_env)
        started = time.monotonic()
        result = subprocess.run([GAME], cwd=cwd, env=env, capture_output=True, text=True, timeout=LIMIT_S)
        return result, time.monotonic() - started

    def test_one_clear_line_leads_then_every_failure_and_the_exit_code_is_one(self):
        for extra, reason in [({}, "DISPLAY is not set"),
                              ({"DISPLAY": ":1999"}, "no X server answered at DISPLAY=:1999")]:
            result, seconds = self.run_game(SOURCE_DIR, **extra)
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertEqual(result.stderr.splitlines(), ["cannot open a display: " + reason] + GAME_MESSAGES)
            self.assertEqual(result.stdout, "")
            self.assertLess(seconds, 10)

    def test_without_opengl_3_3_the_version_the_driver_offers_leads(self):
        # Mesa told to offer 3.0, on SDL's off-screen driver (no display needed).
        result, _ = self.run_game(SOURCE_DIR, SDL_VIDEODRIVER="offscreen", MESA_GL_VERSION_OVERRIDE="3.0")
        self.assertEqual(result.returncode, 1, result.stderr)
        lines = result.stderr.splitlines()
        self.assertRegex(lines[0], r"^cannot use OpenGL: 3\.3 core is needed, the driver offers 3\.0 .+\(.+\)$")
        self.assertEqual(lines[1:], GAME_MESSAGES)


if __name__ == "__main__":
    GAME = sys.argv.pop(1)
    unittest.main()
