#!/usr/bin/env python3
# texture_levels_test.py: a picture whose sides are not powers of two must
# give the same texture on Linux as on Windows.
#
# Writes 300x200 PNG files (one opaque, one with alpha), loads each with
# texture_levels built for Linux (on SDL's off-screen driver) and with the
# Windows build of it under Wine (the real Direct3D 9 there, decoding
# through WIC), and wants the same size, format and texels at every level.
# Exits 77 (skipped) when a tool is missing.
import argparse
import os
import signal
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import processes  # noqa: E402
import wine  # noqa: E402
import xvfb  # noqa: E402

SKIP = 77
WIDTH, HEIGHT = 300, 200
RUN_TIMEOUT = 120


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_png(path, alpha):
    """A picture with detail at every scale, so stretching and averaging both show."""
    rows = []
    for y in range(HEIGHT):
        row = bytearray([0])  # no filter
        for x in range(WIDTH):
            texel = [x * 255 // (WIDTH - 1), y * 255 // (HEIGHT - 1), (x * 7 + y * 13) % 256]
            if alpha:
                texel.append((x + 2 * y) % 256)
            row += bytes(texel)
        rows.append(bytes(row))
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
                png_chunk(b"IDAT", zlib.compress(b"".join(rows))) + png_chunk(b"IEND", b""))


def levels(output):
    return [line.strip() for line in output.splitlines() if line.startswith("level ")]


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--linux", required=True, help="texture_levels built for Linux")
    parser.add_argument("--windows", required=True, help="texture_levels.exe built for Windows")
    parser.add_argument("--work-dir", required=True, help="where the files and the Wine prefix go")
    args = parser.parse_args()
    missing = wine.missing_tools()
    if missing:
        print(f"skipped: missing {', '.join(missing)} (scripts/bootstrap test installs them)")
        return SKIP
    work = os.path.abspath(args.work_dir)
    files = os.path.join(work, "texture-levels")
    os.makedirs(files, exist_ok=True)
    pictures = []
    for name, alpha in (("opaque.png", False), ("alpha.png", True)):
        path = os.path.join(files, name)
        write_png(path, alpha)
        pictures.append(path)

    linux_env = dict(os.environ, SDL_VIDEODRIVER="offscreen")
    failures = 0
    with xvfb.VirtualDisplay() as display:
        prefix = wine.ensure_prefix(work, display)
        wine_env = wine.env(display, prefix)
        try:
            for path in pictures:
                linux = levels(processes.run_step([args.linux, path], RUN_TIMEOUT, "texture_levels on Linux",
                                                  env=linux_env))
                windows = levels(processes.run_step(["wine", args.windows, path], RUN_TIMEOUT,
                                                    "texture_levels under Wine", env=wine_env))
                name = os.path.basename(path)
                print(f"{name} on Linux:\n  " + "\n  ".join(linux))
                if linux and linux[0].startswith("level 0: 512x256") and linux == windows:
                    print(f"{name}: the same {len(linux)} levels under Wine")
                else:
                    print(f"FAILED: {name} under Wine:\n  " + "\n  ".join(windows))
                    failures += 1
        finally:
            wine.stop_wineserver(wine_env, wait=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
