#!/usr/bin/env python3
"""sim_script_memory.py: quadrill-sim's peak memory against the length of its script.

    bench/sim_script_memory.py QUADRILL_SIM [OTHER_QUADRILL_SIM ...] [--mib 1,10,100]

Writes scripts of the given sizes in a temporary folder (a frame, then 99
inputs, over and over: about 13 million lines in 100 MiB), runs each
quadrill-sim on each, from the file and through a pipe, from the top of the
clone, and prints the peak resident memory (the kernel's maxrss) and the
wall time of each run. Naming an older build beside the new one compares
them in the same run.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

BLOCK = "frame 16\n" + "keyup W\n" * 99
SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))


def write_script(path, mib):
    blocks = mib * 1024 * 1024 // len(BLOCK) + 1
    with open(path, "w") as f:
        for _ in range(blocks):
            f.write(BLOCK)
        f.write("quit\n")


def measure(sim, script, piped):
    """(peak resident KiB, seconds, exit code) of one run."""
    with open(script, "rb") as source, open(os.devnull, "wb") as sink:
        started = time.monotonic()
        args = [sim] if piped else [sim, script]
        if piped:
            cat = subprocess.Popen(["cat", script], stdout=subprocess.PIPE)
            process = subprocess.Popen(args, stdin=cat.stdout, stdout=sink, stderr=sink, cwd=SOURCE_DIR)
            cat.stdout.close()
        else:
            process = subprocess.Popen(args, stdin=source, stdout=sink, stderr=sink, cwd=SOURCE_DIR)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        if piped:
            cat.wait()
        return usage.ru_maxrss, time.monotonic() - started, process.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("sims", nargs="+")
    parser.add_argument("--mib", default="1,10,100")
    args = parser.parse_args()
    print("| script | quadrill-sim | read from | peak resident | wall time | exit |")
    print("|---|---|---|---|---|---|")
    with tempfile.TemporaryDirectory() as folder:
        for mib in (int(m) for m in args.mib.split(",")):
            script = os.path.join(folder, f"{mib}.sim")
            write_script(script, mib)
            for sim in args.sims:
                for piped in (False, True):
                    kib, seconds, code = measure(sim, script, piped)
                    print(f"| {mib} MiB | {sim} | {'pipe' if piped else 'file'} | {kib / 1024:,.1f} MiB | "
                          f"{seconds:.1f} s | {code} |", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
