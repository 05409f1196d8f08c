#!/usr/bin/env python3
"""quadrill-sim, run as a developer would: scripts in, state and pictures out."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

SIM = None
SOURCE_DIR = os.environ.get("QUADRILL_SOURCE_DIR", os.getcwd())
TIMEOUT_S = 120


def run(script, *, cwd=SOURCE_DIR):
    return subprocess.run([SIM], input=script, capture_output=True, text=True, cwd=cwd, timeout=TIMEOUT_S)


# Play with every kind of input quadrill-sim has: walking, flying, looking,
# switches, placing and throwing crates, a stall, a quick save and load.
PLAY = """frames 100 16
keydown X
keyup X
keydown SPACE
frames 10 16
keyup SPACE
cursor 30 -10
frame 16
mouse left down
frames 3 17
mouse left up
keydown W
frames 20 16
keyup W
keydown V
keyup V
cursor -40 5
frame 16
mouse right down
mouse right up
focus lost
frames 40 16
focus gained
frame 2500
keydown F5
keyup F5
frames 60 16
keydown X
keyup X
keydown CTRL extended
keydown W
frames 30 16
keyup W
keyup CTRL extended
keydown F9
keyup F9
frames 20 16
keydown ESCAPE
"""


def boxes(output):
    rows = {}
    for line in output.splitlines():
        words = line.split()
        if words and words[0] == "box":
            rows[int(words[1])] = [float(w) for w in words[2:]]
    return rows


class QuadrillSim(unittest.TestCase):
    def test_five_crates_dropped_on_one_spot_stack_exactly(self):
        with open(os.path.join(SOURCE_DIR, "tools/quadrill_sim/examples/stack_five.sim")) as f:
            result = run(f.read())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("count 15", result.stdout)
        self.assertIn("message End | Box Count: 15", result.stdout)
        rows = boxes(result.stdout)
        self.assertEqual(rows[10][1], -5.0)  # on the ground's top
        for i in range(11, 15):
            below_top = rows[i - 1][1] + rows[i - 1][4]
            self.assertEqual(rows[i][1], below_top, f"crate {i} rests exactly on crate {i - 1}")
            self.assertEqual(rows[i][6:9], [0.0, 0.0, 0.0])

    def test_dump_prints_floats_that_read_back_exactly(self):
        result = run("frames 2 16\ndump\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = boxes(result.stdout)
        self.assertEqual(len(rows), 10)
        x = rows[5][0]  # -13.2 as a 32-bit float, printed with enough digits to read back
        self.assertEqual(struct.pack("f", x), struct.pack("f", -13.2))
        self.assertRegex(result.stdout, r"(?m)^camera( -?[0-9.e+-]+){6}$")

    def test_keys_and_characters_reach_the_game(self):
        result = run("frames 120 16\nchar x\nkeydown SPACE\nframes 10 16\nkeyup SPACE\ndump\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        camera = [line for line in result.stdout.splitlines() if line.startswith("camera")][0].split()
        self.assertAlmostEqual(float(camera[2]), -3.1 + 10 * 0.016 * 50, places=3)

    def test_the_keys_beyond_the_original_reach_the_game(self):
        # A crate placed in front of the player and taken away by Delete, another by
        # the middle button; r puts the cube back at its start; paused, frames change nothing.
        place = "mouse left down\nmouse left up\nframes 60 16\n"
        script = ("frames 120 16\n" + place + "dump\nkeydown DELETE\nkeyup DELETE\nframe 16\ndump\n"
                  + place + "mouse middle down\nmouse middle up\nframe 16\ndump\n"
                  + "char r\ndump\nchar p\nframes 30 16\nkeydown ALT\nkeydown ENTER\nkeyup ENTER\nkeyup ALT\n"
                  + "keydown F11\nkeyup F11\nkeydown F5\nkeyup F5\nkeydown F9\nkeyup F9\ndump\n")
        result = run(script)
        self.assertEqual(result.returncode, 0, result.stderr)
        dumps = [dump.split("\ncamera")[0] for dump in result.stdout.split("count ")[1:]]
        self.assertEqual([dump.split("\n")[0] for dump in dumps], ["11", "10", "10", "10", "10"])
        cube = boxes(dumps[3])[0]
        self.assertEqual(cube[0:3] + cube[6:9], [0.0] * 6)
        self.assertEqual(dumps[3], dumps[4], "nothing moves while paused")

    def test_a_malformed_line_stops_the_run_with_its_number(self):
        for bad, problem in [("frame", "usage: frame"), ("keydown QQ", "usage: keydown KEY"),
                             ("mouse middle sideways", "usage: mouse left|right|middle down|up"),
                             ("frames 3 x", "usage: frames"), ("jump", "unknown command 'jump'"),
                             ("frames -3 16", "-3 is out of range (0 to 10000000)"),
                             ("frame 99999999999999999999", "99999999999999999999 is out of range"),
                             ("cursor 5 -100001", "-100001 is out of range (-100000 to 100000)"),
                             ("quit\nframe 16", "nothing runs after quit (line 4)")]:
            script = f"frames 2 16\n# a comment\n\n{bad}\ndump\n"
            with tempfile.NamedTemporaryFile("w", suffix=".sim") as file:
                file.write(script)
                file.flush()
                from_file = subprocess.run([SIM, file.name], capture_output=True, text=True, timeout=TIMEOUT_S)
            for result in (run(script), from_file):
                self.assertEqual(result.returncode, 2, bad)
                self.assertRegex(result.stderr, "line [45]: ", bad)
                self.assertIn(problem, result.stderr, bad)
                self.assertEqual(result.stdout, "", "nothing runs before the whole script is read")

    def test_inputs_past_the_message_queue_all_reach_the_game_and_quit_ends_it(self):
        # An odd number of "x" leaves the free camera on, which climbs on SPACE;
        # a lost "x" (the queue holds 10,000) would leave it off.
        script = ("frames 120 16\n" + "char x\n" * 20001 + "keydown SPACE\nframes 10 16\nkeyup SPACE\ndump\n"
                  + "keyup W\n" * 20000 + "quit")
        result = run(script)
        self.assertEqual(result.returncode, 0, result.stderr)
        camera = [line for line in result.stdout.splitlines() if line.startswith("camera")][0].split()
        self.assertAlmostEqual(float(camera[2]), -3.1 + 10 * 0.016 * 50, places=3)
        self.assertTrue(result.stdout.endswith("message End | Box Count: 10\n"), result.stdout[-200:])

    def test_bad_input_and_output_end_with_code_2_and_say_why(self):
        def sim(script="", stdin=None, stdout=subprocess.PIPE, args=(), shell_redirect=""):
            command = [SIM, *args]
            if shell_redirect:  # closing a standard stream takes a shell
                command = ["sh", "-c", f'exec "$0" {shell_redirect}', SIM]
            return subprocess.run(command, input=None if stdin is not None else script.encode(), stdin=stdin,
                                  stdout=stdout, stderr=subprocess.PIPE, cwd=SOURCE_DIR, timeout=TIMEOUT_S)

        with tempfile.TemporaryDirectory() as folder, open("/dev/full", "wb") as full:
            directory = os.open(folder, os.O_RDONLY)
            try:
                cases = [
                    (sim(args=["/dev/zero"]), "line 1 is too long (over 8192 bytes)"),
                    (sim("frame 16\n" + "x" * 10_000_000), "line 2 is too long (over 8192 bytes)"),
                    (sim("frame 16\nfr\0ame\x1b[31m 16\n"), "line 2: unknown command 'fr\\x00ame\\x1b[31m'"),
                    (sim(shell_redirect="<&-"), "cannot read standard input: it is closed"),
                    (sim(stdin=directory), "cannot read standard input: it is a directory"),
                    (sim(shell_redirect=">&- <<'END'\nframe 16\nEND"), "standard output is closed"),
                    (sim("frame 16\ndump\n", stdout=full), "cannot write the output: No space left on device"),
                    (sim("frame 16\nscreenshot /dev/full\n"), "line 2: cannot write /dev/full: No space left on device"),
                ]
            finally:
                os.close(directory)
        for result, message in cases:
            errors = result.stderr.decode(errors="replace")
            self.assertEqual(result.returncode, 2, message)
            self.assertIn("quadrill-sim: " + message, errors)
            self.assertLess(len(errors), 1000, "the message is short")
            self.assertNotIn("\x1b", errors)
            self.assertNotIn("message End", (result.stdout or b"").decode(), "nothing more after a failure")

    def test_the_command_line_and_a_game_that_ended_early_are_errors_too(self):
        usage = subprocess.run([SIM, "--help"], capture_output=True, text=True, timeout=TIMEOUT_S)
        self.assertEqual((usage.returncode, usage.stderr), (0, ""))
        self.assertIn("usage: quadrill-sim [--record FILE] [SCRIPT]", usage.stdout)
        with tempfile.TemporaryDirectory() as folder:
            result = subprocess.run([SIM, folder], capture_output=True, text=True, timeout=TIMEOUT_S)
        self.assertEqual(result.returncode, 2)
        self.assertIn("it is a directory", result.stderr)
        self.assertEqual(result.stdout, "")
        ended = run("keydown ESCAPE\nframe 16\nframe 16\ndump\n")
        self.assertEqual(ended.returncode, 2)
        self.assertIn("line 3: the game has already ended", ended.stderr)
        self.assertIn("message End | Box Count: 10", ended.stdout)
        self.assertNotIn("count", ended.stdout.replace("Box Count", ""), "the dump after the end did not run")

    def test_save_and_load_carry_an_arena_from_one_run_to_the_next(self):
        before = "frames 60 16\nchar x\nkeydown SPACE\nframes 10 16\nkeyup SPACE\nmouse left down\nframes 3 16\n"
        after = "mouse left up\nframes 100 16\ndump\n"
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "tower.arena")
            whole = run(f"{before}save {path}\n{after}")
            resumed = run(f"load {path}\nmouse left down\n{after}")
            self.assertEqual((whole.returncode, resumed.returncode), (0, 0), whole.stderr + resumed.stderr)
            self.assertIn("count 11", whole.stdout)
            self.assertEqual(resumed.stdout, whole.stdout)
            for script, message in [(f"save {folder}", f"line 1: cannot save {folder}: it is a folder"),
                                    (f"load {folder}/none.arena", f"line 1: cannot load {folder}/none.arena: there is no such file"),
                                    (f"frame 16\nload {__file__}", "line 2: cannot load"),
                                    ("save", "line 1: usage: save FILE")]:
                result = run(script + "\ndump\n")
                self.assertEqual(result.returncode, 2, script)
                self.assertIn("quadrill-sim: " + message, result.stderr)
                self.assertNotIn("count", result.stdout.replace("Box Count", ""))

    def test_a_recorded_run_replays_and_an_edited_one_names_where_it_departs(self):
        with tempfile.TemporaryDirectory() as folder:
            recording = os.path.join(folder, "play.rec")
            recorded = subprocess.run([SIM, "--record", recording], input=PLAY, capture_output=True, text=True,
                                      cwd=SOURCE_DIR, timeout=TIMEOUT_S)
            self.assertEqual(recorded.returncode, 0, recorded.stderr)
            replayed = subprocess.run([SIM, recording], capture_output=True, text=True, cwd=SOURCE_DIR,
                                      timeout=TIMEOUT_S)
            self.assertEqual((replayed.returncode, replayed.stderr), (0, ""))
            self.assertRegex(replayed.stdout, r"^message End \| Box Count: 1[1-9]\n$")
            self.assertEqual(replayed.stdout, recorded.stdout)

            with open(recording) as f:
                lines = f.read().splitlines()
            edited_at = lines.index("cursor 30 -10")
            lines[edited_at] = "cursor 31 -10"
            check_at = next(i for i in range(edited_at, len(lines)) if lines[i].startswith("check "))
            edited = os.path.join(folder, "edited.rec")
            with open(edited, "w") as f:
                f.write("\n".join(lines) + "\n")
            departed = subprocess.run([SIM, edited], capture_output=True, text=True, cwd=SOURCE_DIR, timeout=TIMEOUT_S)
            self.assertEqual(departed.returncode, 1, departed.stderr)
            frame = lines[check_at].split()[1]
            self.assertRegex(departed.stderr, rf"^quadrill-sim: frame {frame} \(line {check_at + 1}\) departs from "
                                              r"the recording: box \d+ [a-z .]+\.[xyz]: expected \S+, found \S+\n$")
            self.assertNotIn("message End", departed.stdout)

    def test_a_bad_recording_is_refused_with_its_line_before_anything_runs(self):
        with tempfile.TemporaryDirectory() as folder:
            recording = os.path.join(folder, "play.rec")
            subprocess.run([SIM, "--record", recording], input=PLAY, capture_output=True, text=True, cwd=SOURCE_DIR,
                           timeout=TIMEOUT_S, check=True)
            with open(recording) as f:
                good = f.read()
            fifo = os.path.join(folder, "fifo")
            os.mkfifo(fifo)
            cases = [
                (good[:good.index("arena box 5")], "the arena block of line 4 has no 'arena end': the script was cut "
                                                   "short"),
                (good[:good.index("frames 60 16") + 4], "line 26: unknown command 'fram'"),
                ("\x7fELF\x02\x01\x01\0\0\0junk\n", "line 1: unknown command '\\x7fELF\\x02\\x01\\x01\\x00"),
                (good.replace("recording 1 ", "recording 2 ", 1), "line 1: this recording has format 2; this program "
                                                                  "reads format 1 (a newer Quadrill made it)"),
                (good.replace("arena box 3 -20", "arena box 3 nan:7fc00000", 1),
                 "line 18: arena: box 3 position.x is nan:7fc00000: every value must be a finite number"),
                (good.replace("\ncheck 60 ", "\ncheck 60 zz", 1), "line 30: usage: check FRAME DIGEST"),
                (good.replace("\nlook 1 normal\n", "\nlook 0 normal\n", 1), "line 3: usage: look SENSITIVITY"),
                (good.replace("frames 60 16\n", "frames 60 16\nrecording 1 1.0.0\n", 1),
                 "line 27: a 'recording' line comes first"),
                ("frame 16\n" + "x" * 20_000_000, "line 2 is too long (over 8192 bytes)"),
            ]
            for contents, message in cases:
                with open(recording, "w", errors="surrogateescape") as f:
                    f.write(contents)
                result = subprocess.run([SIM, recording], capture_output=True, text=True, cwd=SOURCE_DIR,
                                        timeout=TIMEOUT_S, errors="replace")
                self.assertEqual(result.returncode, 2, message)
                self.assertIn("quadrill-sim: " + message, result.stderr)
                self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
                self.assertEqual(result.stdout, "", "nothing runs")
            for path, message in [(folder, "it is a directory"), (fifo, "it is a named pipe, not a file")]:
                result = subprocess.run([SIM, path], capture_output=True, text=True, timeout=TIMEOUT_S)
                self.assertEqual(result.returncode, 2, path)
                self.assertIn(message, result.stderr)

    def test_missing_textures_are_reported_as_messages(self):
        with tempfile.TemporaryDirectory() as empty:
            result = run("frame 16\nquit\n", cwd=empty)
        self.assertEqual(result.returncode, 0)
        self.assertIn("message Error | Failed to load crate texture", result.stdout)

    def test_screenshot_renders_a_png_of_the_current_frame(self):
        with tempfile.TemporaryDirectory() as out:
            path = os.path.join(out, "view.png")
            result = run(f"frames 30 16\nscreenshot {path}\nquit\n")
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(path, "rb") as f:
                header = f.read(24)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", header[16:24]), (800, 600))


if __name__ == "__main__":
    SIM = sys.argv.pop(1)
    unittest.main()
