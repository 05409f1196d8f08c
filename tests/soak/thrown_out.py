#!/usr/bin/env python3
"""thrown_out.py: a long game of crates thrown over the wall costs what a short one does.

    thrown_out.py QUADRILL_SIM [--crates N] [--minutes M] [--factor F] [--frame-ms MS] [--window FRAMES]

quadrill-sim flies the camera up and out over the far wall, throws N crates
away from the arena, one a game second, and then plays on for M minutes of
game time with no input while they fall. Crates that fall away never stop,
so this is the game a player who throws things away for an hour gets.
It checks:
- every crate fell outside the walls (the game is the one it says it is);
- resident memory stays flat once the last crate is thrown;
- the CPU time of the last 1,000 frames is within F times that of the first
  1,000 after the last throw. CPU time, not wall time: other programs on a
  loaded machine do not count, and the factor leaves room for what they do
  to caches.
The frames after the throws are long ones by default (a third of a second:
ten steps of physics each), so an hour of falling takes minutes to run, not
an hour; --frame-ms 16 plays on as a player's frames do.
Run from the folder that holds textures/ (the top of a clone).
"""
import argparse
import sys

from soak import MEMORY_SLACK_KIB, MEMORY_SLACK_SHARE, parse_dumps, report, run_quadrill_sim

ARENA_BOXES = 10            # the player cube, four walls, five crates
FIRST_CRATE = ARENA_BOXES
WALL_OUTSIDE_Z = 20.0       # the far wall's outer face
GROUND_TOP = -5.0
FRAMES_PER_THROW = 62       # a game second of 16 ms frames
LONG_FRAME_MS = 333         # ten physics steps of 1/30 s


def write_script(crates, minutes, frame_ms, window):
    lines = [
        "frames 120 16", "char x",                        # the cube lands; free camera
        "keydown SPACE", "frames 70 16", "keyup SPACE",   # up above the walls
        "keydown W", "frames 40 16", "keyup W",           # and out over the far one
    ]
    for n in range(crates):
        # A nudge of the aim, so each press throws a new crate.
        lines += [f"cursor {1 if n % 2 else -1} 0", "frame 16", "mouse right down", "frame 16",
                  "mouse right up", f"frames {FRAMES_PER_THROW - 2} 16"]
    lines += ["dump", "memory", "cpu"]
    frames = minutes * 60 * 1000 // frame_ms
    for number in range(max(2, frames // window)):
        lines += [f"frames {window} {frame_ms}", "cpu"]
        if number == 0:
            lines.append("memory")
    lines += ["memory", "dump", "quit"]
    return "\n".join(lines) + "\n"


def check(output, crates, factor, window):
    problems = []
    dumps = parse_dumps(output)
    if len(dumps) != 2:
        return [f"expected two dumps, got {len(dumps)}: the game ended early"], [], []
    thrown, end = dumps
    if len(thrown) != ARENA_BOXES + crates:
        problems.append(f"{len(thrown) - ARENA_BOXES} crates thrown, expected {crates}")
    for index, v in end[FIRST_CRATE:]:
        if not (v[2] > WALL_OUTSIDE_Z and v[1] < GROUND_TOP):
            problems.append(f"crate {index} did not fall away outside the far wall: {v[:3]}")
    cpu = [float(line.split()[1]) for line in output.splitlines() if line.startswith("cpu ")]
    costs = [b - a for a, b in zip(cpu, cpu[1:])]
    if len(costs) < 2:
        problems.append(f"expected CPU readings, got {cpu}")
    elif costs[-1] > factor * costs[0]:
        problems.append(f"{window} frames cost {costs[0]:.0f} ms of CPU after the last throw but "
                        f"{costs[-1]:.0f} ms at the end, more than {factor} times as much")
    memory = [int(line.split()[1]) for line in output.splitlines() if line.startswith("memory ")]
    warmed, last = memory[1], memory[-1]
    if last - warmed > max(MEMORY_SLACK_KIB, warmed * MEMORY_SLACK_SHARE):
        problems.append(f"resident memory grew from {warmed} KiB to {last} KiB while the crates fell")
    return problems, costs, memory


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("sim")
    parser.add_argument("--crates", type=int, default=100)
    parser.add_argument("--minutes", type=int, default=60)
    parser.add_argument("--factor", type=float, default=3.0)
    parser.add_argument("--frame-ms", type=int, default=LONG_FRAME_MS, help="frames after the throws")
    parser.add_argument("--window", type=int, default=1000, help="frames per CPU reading")
    parser.add_argument("--timeout", type=float, default=1200)
    args = parser.parse_args()
    script = write_script(args.crates, args.minutes, args.frame_ms, args.window)
    output = run_quadrill_sim(args.sim, script, args.timeout, "thrown out")
    if output is None:
        return 1
    problems, costs, memory = check(output, args.crates, args.factor, args.window)
    print(f"thrown out: {args.crates} crates, {args.minutes} minutes; CPU ms per {args.window} frames "
          f"{[round(c) for c in costs]}; resident memory {memory} KiB")
    return report("thrown out", problems)


if __name__ == "__main__":
    sys.exit(main())
