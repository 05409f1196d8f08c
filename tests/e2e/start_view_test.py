#!/usr/bin/env python3
# start_view_test.py: the real game's window and settled start view on a virtual display, and both ways it ends.
import os
import signal

import arena_view as view
import quadrill_e2e as e2e
import xvfb

# The foot of the far wall in the start view (see arena_view), and how far a
# measure may stray from it.
START_HORIZON = 334
HORIZON_TOLERANCE = 8
MIN_HORIZON_STEP = 5.0
# The right edge of the nearest crate, which fills the lower left corner.
CRATE_EDGE_RANGE = (160, 220)
CRATE_ROWS = (340, 410)
CRATE_EDGE_LIMIT = 480
# Walls and ground are dim: a sixth or so of their textures' brightness.
DIM_RANGE = (4.0, 60.0)
# A colour dominates another by at least this much (0..255) on average.
TINT = 3.0
# Texture detail: the mean step between neighbouring pixels of a textured
# surface; a flat one stays far below.
MIN_TEXTURE_ROUGHNESS = 0.2
LIT_CRATE_OVER_WALL = 2.0
MIN_MARKER_PIXELS = 2
# A drawn message box shows at least its background, its text and its button.
MIN_BOX_COLOURS = 3


class StartAndEnd(e2e.GameTestCase):
    def check_start_view(self, picture):
        self.assertEqual(view.white_pixels(picture), 0, "the white clear colour shows through the arena")

        wall = view.region(picture, view.WALL)
        red, green, blue = view.channel_means(wall)
        self.assertGreater(red, green + TINT, f"the far wall should be red brick: {red:.1f} {green:.1f} {blue:.1f}")
        self.assertGreaterEqual(green, blue, "brick is warm, not blue")
        self.assert_between(view.brightness(wall), *DIM_RANGE, "the far wall should be dimly lit")
        self.assertGreater(view.roughness(wall), MIN_TEXTURE_ROUGHNESS, "the far wall shows no brick texture")

        ground = view.region(picture, view.GROUND)
        red, green, blue = view.channel_means(ground)
        self.assertGreater(green, red, f"the ground should be green: {red:.1f} {green:.1f} {blue:.1f}")
        self.assertGreater(green, blue + TINT, f"the ground should be green: {red:.1f} {green:.1f} {blue:.1f}")
        self.assert_between(view.brightness(ground), *DIM_RANGE, "the ground should be dimly lit")
        self.assertGreater(view.roughness(ground), MIN_TEXTURE_ROUGHNESS, "the ground shows no texture")

        row, step = view.horizon_row(picture)
        self.assertGreater(step, MIN_HORIZON_STEP, "no line between brick above and ground below")
        self.assertAlmostEqual(row, START_HORIZON, delta=HORIZON_TOLERANCE,
                               msg="the foot of the far wall is not where the eye on the landed cube sees it")

        crate = view.region(picture, view.NEAREST_CRATE)
        red, green, blue = view.channel_means(crate)
        self.assertGreater(view.brightness(crate), LIT_CRATE_OVER_WALL * view.brightness(wall),
                           "the nearest crate at the left should stand out, lit, from the dim wall")
        self.assertTrue(red > green > blue, f"the crate should be wooden brown: {red:.1f} {green:.1f} {blue:.1f}")
        edge = view.last_bright_column(picture, *CRATE_ROWS, threshold=2 * view.brightness(wall),
                                       x_limit=CRATE_EDGE_LIMIT)
        self.assert_between(edge, *CRATE_EDGE_RANGE, "the right edge of the nearest crate, at the left")

        self.assertGreaterEqual(view.marker_pixels(picture), MIN_MARKER_PIXELS, "no aiming marker at the centre")

    def test_the_window_shows_the_arena_and_escape_ends_with_the_box_count(self):
        with self.game("escape") as game:
            self.assertEqual((game.window.width, game.window.height), (800, 600), "the window's size")
            picture = game.start_view()
            self.assert_no_error_boxes(game)
            self.check_start_view(picture)
            game.key("Escape")
            self.assertEqual(game.wait_for_logged_box(e2e.END_CAPTION), e2e.box_count_text(e2e.START_BOX_COUNT))
            # The closing box is really on the display, drawn, and Return closes it.
            box = game.wait_for_box(e2e.END_CAPTION)

            def drawn():
                shot = game.display.capture(box)
                game.views["end-box"] = shot
                return shot.stats()["colours"] >= MIN_BOX_COLOURS
            xvfb.wait_until(drawn, e2e.BOX_TIMEOUT, "the closing box to be drawn", game.alive)
            game.dismiss(box)
            self.assertIsNone(game.display.find_window(e2e.END_CAPTION), "Return should close the box")
            self.assertEqual(game.wait_exit(), 0, "the exit code after the closing box")

    def test_closing_the_window_ends_the_game_like_escape(self):
        with self.game("close") as game:
            game.run_for(1.0)
            game.display.close_window(game.window)
            self.expect_end(game, e2e.START_BOX_COUNT)

    def test_ctrl_c_ends_the_game_like_closing_the_window_and_a_second_one_at_once(self):
        # A terminal sends Ctrl+C to its whole foreground process group.
        with self.game("interrupt") as game:
            game.run_for(1.0)
            os.killpg(game.process.pid, signal.SIGINT)
            self.expect_end(game, e2e.START_BOX_COUNT)
        with self.game("interrupt-twice") as game:
            game.run_for(1.0)
            os.killpg(game.process.pid, signal.SIGINT)
            game.wait_for_box(e2e.END_CAPTION)
            os.killpg(game.process.pid, signal.SIGINT)
            self.assertEqual(game.wait_exit(), -signal.SIGINT, "a second Ctrl+C ends the game by the signal")


if __name__ == "__main__":
    e2e.main()
