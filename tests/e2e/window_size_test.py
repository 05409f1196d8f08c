#!/usr/bin/env python3
# window_size_test.py: the 800x600 picture is stretched over the window whatever its size.
import time

import arena_view as view
import quadrill_e2e as e2e

START_HORIZON = 334  # the foot of the far wall at 800x600 (see start_view_test)
HORIZON_TOLERANCE = 8
RESIZE_TIMEOUT = 10.0
SIZES = ((400, 300), (1000, 750), (800, 300))


class WindowSize(e2e.GameTestCase):
    def resize(self, game, width, height):
        # At the display's corner, so the larger window still fits on the 1024x768 display.
        game.display.run(["xdotool", "windowmove", str(game.window.id), "0", "0"])
        game.display.run(["xdotool", "windowsize", str(game.window.id), str(width), str(height)])
        deadline = time.monotonic() + RESIZE_TIMEOUT
        while time.monotonic() < deadline:
            window = game.display.find_window(e2e.GAME_TITLE)
            if window and (window.width, window.height) == (width, height):
                game.window = window
                return
            game.run_for(0.1)
        raise AssertionError(f"the window did not become {width}x{height}")

    def test_the_picture_fills_the_resized_window(self):
        with self.game("resize") as game:
            game.start_view()
            for width, height in SIZES:
                self.resize(game, width, height)
                picture = game.settled_view(f"{width}x{height}", still_for=0.5)
                self.assertEqual((picture.width, picture.height), (width, height))
                self.assertEqual(view.white_pixels(picture), 0, f"white shows at {width}x{height}")
                row, _ = view.horizon_row(picture, columns=(width * 5 // 16, width * 11 // 16))
                self.assertAlmostEqual(row, START_HORIZON * height / 600, delta=HORIZON_TOLERANCE,
                                       msg=f"the picture is not stretched to {width}x{height}")
            self.end_with_escape(game, e2e.START_BOX_COUNT)


if __name__ == "__main__":
    e2e.main()
