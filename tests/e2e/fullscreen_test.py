#!/usr/bin/env python3
# fullscreen_test.py: full screen on a 16:9 display: the window covers the screen
# and the 800x600 picture keeps its shape, black on either side; F11 and
# Alt+Enter switch back and forth.
import arena_view as view
import quadrill_e2e as e2e
import xvfb

SCREEN = (1280, 720)
# 800x600 scaled to the screen's height: 960 wide, 160 black columns each side.
PICTURE = (160, 0, 960, 720)
START_HORIZON = 334  # the foot of the far wall at 800x600 (see start_view_test)
HORIZON_TOLERANCE = 8
SWITCH_TIMEOUT = 15.0


class FullScreen(e2e.GameTestCase):
    def wait_for_size(self, game, size):
        def sized():
            window = game.display.find_window(e2e.GAME_TITLE)
            return window if window and (window.width, window.height) == size else None
        game.window = xvfb.wait_until(sized, SWITCH_TIMEOUT, f"the window at {size[0]}x{size[1]}", game.alive)
        return game.window

    def assert_letterboxed(self, game, name):
        x, y, width, height = PICTURE
        sides = (x, y, width, height)

        def lit(p, rect):
            return view.count_pixels(p.crop(*rect), lambda r, g, b: max(r, g, b) > 0)

        def letterboxed(p):
            return (lit(p, (0, 0, x, height)) == 0 and lit(p, (x + width, 0, SCREEN[0] - x - width, height)) == 0
                    and view.brightness(p.crop(*sides)) > 5)
        # The first frames after a switch may still show the window as it was.
        picture = game.watch(name, letterboxed)
        self.assertTrue(letterboxed(picture), "black at the sides, the picture between them")
        row, _ = view.horizon_row(picture.crop(*sides), columns=(width * 5 // 16, width * 11 // 16))
        self.assertAlmostEqual(row, START_HORIZON * height / 600, delta=HORIZON_TOLERANCE,
                               msg="the picture keeps its shape")

    def test_the_setting_f11_and_alt_enter(self):
        with self.game("fullscreen", settings="[quadrill]\nfullscreen=yes\n", display_size=SCREEN) as game:
            window = self.wait_for_size(game, SCREEN)
            self.assertEqual((window.x, window.y), (0, 0), "the window covers the screen")
            game.run_for(e2e.LANDING_SECONDS)
            game.wait_until_still()
            self.assert_letterboxed(game, "fullscreen-at-start")

            game.key("F11")
            self.wait_for_size(game, (800, 600))
            picture = game.settled_view("windowed")
            self.assertEqual(view.white_pixels(picture), 0, "in a window the picture fills it")

            game.display.run(["xdotool", "windowfocus", "--sync", str(game.window.id), "key", "alt+Return"])
            self.wait_for_size(game, SCREEN)
            self.assert_letterboxed(game, "fullscreen-again")
            self.assertEqual(game.stderr_text(), "", "nothing on standard error")
            self.end_with_escape(game, e2e.START_BOX_COUNT)


if __name__ == "__main__":
    e2e.main()
