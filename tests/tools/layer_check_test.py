#!/usr/bin/env python3
"""scripts/check-layers on the repository, and on a small tree with one break
of each rule planted in it: the check must pass on the first and name every
planted break on the second."""
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CHECK = os.path.join(ROOT, "scripts", "check-layers")


def check(root):
    return subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True, timeout=120)


def write(root, path, *lines):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


class LayerCheck(unittest.TestCase):
    def test_the_repository_keeps_to_the_rules(self):
        result = check(ROOT)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_every_planted_break_is_named(self):
        with tempfile.TemporaryDirectory() as root:
            write(root, "src/app/frame.h", "#pragma once", "#include <windows.h>", "#include <vector>")
            write(root, "src/app/frame.cpp", '#include "app/frame.h"', "#include <SDL.h>",
                  '#include "win32/window.h"', '#include "physics/steps.h"')
            write(root, "src/physics/steps.h", "#pragma once")
            write(root, "src/physics/steps.cpp", '#include "physics/steps.h"', '#include "physics/split.h"')
            write(root, "src/physics/split.h", "#pragma once")
            write(root, "src/physics/split.cpp", '#include "physics/split.h"', '#include "physics/steps.h"')
            write(root, "platform/win32/window.h", "#pragma once")
            write(root, "platform/win32/window.cpp", '#include "win32/window.h"', '#include "physics/split.h"')
            result = check(root)
        self.assertEqual(result.returncode, 1)
        found = result.stdout.splitlines()
        self.assertEqual(len(found), 4, result.stdout)
        self.assertIn("src/app/frame.cpp:2: the game includes <SDL.h>", found[0])
        self.assertIn('src/app/frame.cpp:3: the game includes "win32/window.h"', found[1])
        self.assertIn('platform/win32/window.cpp:2: the platform includes the game\'s "physics/split.h"', found[2])
        self.assertEqual(found[3], "file circle among: src/physics/split, src/physics/steps")


if __name__ == "__main__":
    unittest.main()
