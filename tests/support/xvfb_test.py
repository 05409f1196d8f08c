# xvfb_test.py: the virtual-display helpers: window-tree parsing, pictures, PNG output, Xvfb lifetime.
import os
import struct
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xvfb  # noqa: E402

TREE = """
xwininfo: Window id: 0x1e3 (the root window) (has no name)

  Root window id: 0x1e3 (the root window) (has no name)
  Parent window id: 0x0 (none)
     4 children:
     0xa00004 "End": ("quadrill.exe" "quadrill.exe")  115x88+454+340  +454+340
     0xa00001 "Quadrill by Harnwick": ("quadrill.exe" "quadrill.exe")  800x600+0+0  +0+0
        1 child:
        0xa00002 "Default IME": ("quadrill.exe" "quadrill.exe")  1x1+0+0  +0+0
     0x200001 (has no name): ()  1x1+-1+-1  +-1+-1
     0x400007 "Box: \\"odd\\" name": ()  10x20+-5+3  +-5+3
"""


def read_png(path):
    """Width, height and RGB rows of an 8-bit RGB PNG without filters, as save_png writes it."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, header, idat = 8, None, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height = header[0], header[1]
    raw = zlib.decompress(idat)
    stride = width * 3 + 1
    return width, height, header[2:4], [raw[y * stride:(y + 1) * stride] for y in range(height)]


class WindowTreeTest(unittest.TestCase):
    def test_named_windows_with_sizes_and_absolute_positions(self):
        windows = xvfb.parse_window_tree(TREE)
        names = [w.name for w in windows]
        self.assertEqual(names, ["End", "Quadrill by Harnwick", "Default IME", 'Box: \\"odd\\" name'])
        end = windows[0]
        self.assertEqual((end.id, end.width, end.height, end.x, end.y), (0xA00004, 115, 88, 454, 340))
        self.assertEqual((windows[3].x, windows[3].y), (-5, 3))


class PictureTest(unittest.TestCase):
    def picture(self):
        # 4x3: a black left half and a white right half, one red pixel at (3, 2).
        rows = []
        for y in range(3):
            row = b""
            for x in range(4):
                row += b"\xff\x00\x00" if (x, y) == (3, 2) else (b"\x00" * 3 if x < 2 else b"\xff" * 3)
            rows.append(row)
        return xvfb.Picture(4, 3, b"".join(rows))

    def test_crop_keeps_the_rectangle_and_clips_at_the_edges(self):
        crop = self.picture().crop(2, 1, 5, 5)
        self.assertEqual((crop.width, crop.height), (2, 2))
        self.assertEqual(crop.pixel(1, 1), (255, 0, 0))
        self.assertEqual(crop.pixel(0, 0), (255, 255, 255))

    def test_stats_tell_uniform_from_detailed(self):
        uniform = self.picture().crop(0, 0, 2, 3).stats()
        self.assertEqual(uniform, {"mean": 0.0, "stddev": 0.0, "colours": 1})
        mixed = self.picture().stats()
        self.assertEqual(mixed["colours"], 3)
        self.assertGreater(mixed["stddev"], 0.4)
        self.assertAlmostEqual(mixed["mean"], (5 + 0.2126) / 12, places=4)

    def test_png_holds_the_same_pixels(self):
        picture = self.picture()
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "p.png")
            picture.save_png(path)
            width, height, depth_and_type, rows = read_png(path)
        self.assertEqual((width, height, depth_and_type), (4, 3, (8, 2)))
        self.assertEqual(b"".join(row[1:] for row in rows), picture.rgb)


class WaitTest(unittest.TestCase):
    def test_a_dead_process_ends_the_wait_at_once(self):
        with self.assertRaisesRegex(xvfb.DisplayError, "ended"):
            xvfb.wait_until(lambda: False, 60, "nothing", alive=lambda: False)

    def test_a_wait_runs_out(self):
        with self.assertRaisesRegex(xvfb.DisplayError, "timed out"):
            xvfb.wait_until(lambda: False, 0.2, "nothing", interval=0.05)


@unittest.skipIf(xvfb.missing_tools(), "Xvfb, xdotool, xwininfo or import is missing")
class DisplayTest(unittest.TestCase):
    def test_a_private_display_starts_captures_and_stops(self):
        with xvfb.VirtualDisplay(320, 200) as display:
            self.assertRegex(display.name, r"^:\d+$")
            self.assertEqual(display.env({})["DISPLAY"], display.name)
            self.assertEqual(display.find_window("Quadrill by Harnwick"), None)
            screen = display.capture()
            self.assertEqual((screen.width, screen.height), (320, 200))
            self.assertEqual(screen.stats()["colours"], 1)
            server = display._server
        self.assertIsNotNone(server.poll())

    def test_two_displays_get_different_numbers(self):
        with xvfb.VirtualDisplay(64, 64) as first, xvfb.VirtualDisplay(64, 64) as second:
            self.assertNotEqual(first.name, second.name)


if __name__ == "__main__":
    unittest.main()
