#!/usr/bin/env python3
"""soak.py: quadrill-sim plays at random for a long while, and nothing may break.

    soak.py QUADRILL_SIM [--frames N] [--seed S] [--bounce]

Writes a script of random play with a small seeded generator of its own, so a
seed is the same game on any Python: walking, flying, looking around,
switching every key (shadows, control mode, collision mode, lights, the cube
reset), placing, throwing and pushing crates. The first part (at most 12,000
frames) adds crates; the rest plays on without adding any. Then it checks what the dumps show:
- no NaN or infinite coordinate or speed;
- no box that was seen above the ground inside its footprint is later below it;
- no box leaves the arena through a wall that stayed where it was;
- resident memory stays flat once crates stop being added.
A sanitizer finding ends quadrill-sim with a failure code, which fails the run.
Run from the folder that holds textures/ (the top of a clone).
"""
import argparse
import math
import subprocess
import sys

GROUND_TOP = -5.0
GROUND_HALF = 20.0          # the ground covers x and z from -20 to 20
ARENA_INSIDE = 18.0         # the walls' inner faces
WALL_TOP = 35.0
GRAVITY = 10.0
PUSH_RISE = 5.0             # how high a throw's push of 10 units a second lifts a box
# The walls by index, and where a box's centre is once past each one's outer face.
WALL_OUTSIDE = {
    1: lambda x, z: z < -GROUND_HALF,
    2: lambda x, z: z > GROUND_HALF,
    3: lambda x, z: x < -GROUND_HALF,
    4: lambda x, z: x > GROUND_HALF,
}
BELOW_TOLERANCE = 1e-3
DUMP_EVERY = 100            # frames between dumps
ADDING_SHARE = 0.6          # of the frames, the first part may add crates,
MAX_ADDING_FRAMES = 12000   # but no longer than this: a long run plays on, it does not pile up
MEMORY_WARMUP_SHARE = 0.1   # of the second part, before its first memory reading
MEMORY_SLACK_KIB = 4096     # allowed growth over the second part
MEMORY_SLACK_SHARE = 0.02
HELD_KEYS = ["W", "A", "S", "D", "SPACE", "CTRL", "LEFT", "RIGHT", "UP", "DOWN"]
SWITCHES = "zxcvnm"
# Frame lengths in ms and how often each comes: mostly smooth, now and then a stall.
FRAME_MS = [(16, 70), (8, 10), (33, 12), (50, 6), (250, 2)]


class Generator:
    """xorshift64*: small, and the same numbers on every platform and Python."""

    def __init__(self, seed):
        self.state = (seed * 0x9E3779B97F4A7C15 + 1) & 0xFFFFFFFFFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= x >> 12
        x ^= (x << 25) & 0xFFFFFFFFFFFFFFFF
        x ^= x >> 27
        self.state = x
        return (x * 0x2545F4914F6CDD1D) & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        return self.next() % n

    def chance(self, percent):
        return self.below(1000) < percent * 10

    def weighted(self, pairs):
        pick = self.below(sum(w for _, w in pairs))
        for value, weight in pairs:
            if pick < weight:
                return value
            pick -= weight
        return pairs[-1][0]


def write_script(frames, seed, bounce=False):
    """The script, and the frame numbers after which the cube was reset with "c"."""
    rng = Generator(seed)
    lines, resets = [], []
    if bounce:
        lines.append("char v")
    held, buttons = set(), set()
    adding_until = min(int(frames * ADDING_SHARE), MAX_ADDING_FRAMES)
    warmup_until = adding_until + int((frames - adding_until) * MEMORY_WARMUP_SHARE)
    for frame in range(frames):
        if frame == adding_until:
            lines += [f"mouse {b} up" for b in sorted(buttons)]
            buttons.clear()
        if rng.chance(8):
            key = HELD_KEYS[rng.below(len(HELD_KEYS))]
            lines.append(f"keyup {key}" if key in held else f"keydown {key}")
            held.symmetric_difference_update({key})
        if rng.chance(30):
            lines.append(f"cursor {rng.below(81) - 40} {rng.below(61) - 30}")
        if rng.chance(1.5):
            switch = SWITCHES[rng.below(len(SWITCHES))]
            lines.append(f"char {switch}")
            if switch == "c":
                resets.append(frame)
        if frame < adding_until and rng.chance(4):
            button = "left" if rng.chance(50) else "right"
            lines.append(f"mouse {button} {'up' if button in buttons else 'down'}")
            buttons.symmetric_difference_update({button})
        lines.append(f"frame {rng.weighted(FRAME_MS)}")
        if frame == warmup_until:
            lines.append("memory")
        if (frame + 1) % DUMP_EVERY == 0:
            lines.append("dump")
    lines += ["memory", "dump", "quit"]
    return "\n".join(lines) + "\n", resets


def parse_dumps(output):
    """Each dump as a list of (index, [px py pz sx sy sz vx vy vz]), in order."""
    dumps, current = [], None
    for line in output.splitlines():
        words = line.split()
        if not words:
            continue
        if words[0] == "count":
            current = []
            dumps.append(current)
        elif words[0] == "box" and current is not None:
            current.append((int(words[1]), [float(w) for w in words[2:]]))
    return dumps


def inside_footprint(v):
    px, _, pz, sx, _, sz = v[:6]
    return px >= -GROUND_HALF and px + sx <= GROUND_HALF and pz >= -GROUND_HALF and pz + sz <= GROUND_HALF


def wall_crossed(v):
    """The index of the wall whose outer face a box's centre lies beyond, or None."""
    cx, cz = v[0] + 0.5 * v[3], v[2] + 0.5 * v[5]
    for index, beyond in WALL_OUTSIDE.items():
        if beyond(cx, cz):
            return index
    return None


def inside_walls(v):
    """Within the walls and on or above the ground (crates placed below it fall away under the arena)."""
    cx, cz = v[0] + 0.5 * v[3], v[2] + 0.5 * v[5]
    return abs(cx) < ARENA_INSIDE and abs(cz) < ARENA_INSIDE and v[1] >= GROUND_TOP - BELOW_TOLERANCE


def could_climb_over(v):
    """Whether a box could rise above the walls: as high as its upward speed
    carries it, and a throw's push on top (bounces give back no more)."""
    rise = max(v[7], 0.0) ** 2 / (2 * GRAVITY) + PUSH_RISE
    return v[1] + rise >= WALL_TOP


def left_through_walls(before, after, frame, skip):
    """Boxes that were inside the walls, unable to climb over them, and are
    now beyond one that has not moved."""
    problems = []
    was = dict(before)
    now = dict(after)
    for index, v in after:
        if index in WALL_OUTSIDE or index in skip or index not in was:
            continue
        old = was[index]
        wall = wall_crossed(v)
        if wall is None or not inside_walls(old) or could_climb_over(old):
            continue
        if wall in was and wall in now and was[wall][:3] == now[wall][:3]:
            problems.append(f"frame {frame}: box {index} left the arena through wall {wall}, which did not move: "
                            f"from {old[:3]} to {v[:3]}")
    return problems


def check(output, frames, resets):
    problems = []
    dumps = parse_dumps(output)
    if len(dumps) != frames // DUMP_EVERY + 1:
        problems.append(f"{len(dumps)} dumps, expected {frames // DUMP_EVERY + 1}: the game ended early")
    seen_above = set()
    for number, dump in enumerate(dumps):
        frame = (number + 1) * DUMP_EVERY
        # A reset may put the cube anywhere the camera looks, under the ground too.
        reset = any(frame - DUMP_EVERY <= r < frame for r in resets)
        if reset:
            seen_above.discard(0)
        if number > 0:
            problems += left_through_walls(dumps[number - 1], dump, frame, {0} if reset else set())
        for index, v in dump:
            if not all(math.isfinite(x) for x in v):
                problems.append(f"frame {frame}: box {index} has a non-finite value: {v}")
                continue
            if not inside_footprint(v):
                continue
            if v[1] >= GROUND_TOP - BELOW_TOLERANCE:
                seen_above.add(index)
            elif index in seen_above:
                problems.append(f"frame {frame}: box {index} passed through the ground: bottom at {v[1]}")
                seen_above.discard(index)
    memory = [int(line.split()[1]) for line in output.splitlines() if line.startswith("memory ")]
    if len(memory) != 2:
        problems.append(f"expected two memory readings, got {memory}")
    elif memory[1] - memory[0] > max(MEMORY_SLACK_KIB, memory[0] * MEMORY_SLACK_SHARE):
        problems.append(f"resident memory grew from {memory[0]} KiB to {memory[1]} KiB with no crates added")
    return problems, dumps, memory


def run_quadrill_sim(sim, script, timeout, label):
    """quadrill-sim's standard output for the script, or None (said on standard error) when it failed."""
    run = subprocess.run([sim], input=script, capture_output=True, text=True, timeout=timeout)
    if run.returncode != 0:
        print(run.stderr[-20000:], file=sys.stderr)
        print(f"{label}: quadrill-sim failed with code {run.returncode}", file=sys.stderr)
        return None
    return run.stdout


def report(label, problems):
    for problem in problems[:20]:
        print(f"{label}: {problem}", file=sys.stderr)
    return 1 if problems else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("sim")
    parser.add_argument("--frames", type=int, default=10000)
    parser.add_argument("--seed", type=int, default=20261207)
    parser.add_argument("--timeout", type=float, default=1200)
    parser.add_argument("--bounce", action="store_true", help="start in bounce mode")
    args = parser.parse_args()
    script, resets = write_script(args.frames, args.seed, args.bounce)
    output = run_quadrill_sim(args.sim, script, args.timeout, "soak")
    if output is None:
        return 1
    problems, dumps, memory = check(output, args.frames, resets)
    counts = [len(d) for d in dumps]
    print(f"soak: seed {args.seed}{' in bounce mode' if args.bounce else ''}, {args.frames} frames, "
          f"boxes {counts[0] if counts else 0} to {max(counts, default=0)}, resident memory {memory} KiB")
    return report("soak", problems)


if __name__ == "__main__":
    sys.exit(main())
