#!/usr/bin/env python3
# missing_textures_test.py: run where there are no textures, each is reported in turn and the game goes on untextured.
import tempfile

import arena_view as view
import quadrill_e2e as e2e

MESSAGES = ("Failed to load crate texture", "Failed to load ground texture", "Failed to load brick texture")
# Untextured surfaces are lit smoothly: hardly any step between neighbours,
# against about 0.5 on the textured walls and ground.
MAX_FLAT_ROUGHNESS = 0.1
NEAREST_CRATE_OVER_WALL = 1.5
MODAL_CHECK_SECONDS = 0.5
# Without textures the white material under white light is grey.
MAX_GREY_TINT = 2.0


class MissingTextures(e2e.GameTestCase):
    def test_each_missing_texture_is_reported_in_turn_and_the_arena_is_drawn_untextured(self):
        with tempfile.TemporaryDirectory() as empty, self.game("missing-textures", cwd=empty) as game:
            for number, expected in enumerate(MESSAGES, 1):
                text = game.wait_for_logged_box(e2e.ERROR_CAPTION, number)
                self.assertEqual(text, expected, f"error box {number}")
                box = game.wait_for_box(e2e.ERROR_CAPTION)
                # Modal: the game goes no further until the box is dismissed.
                game.run_for(MODAL_CHECK_SECONDS)
                self.assertEqual(len(game.error_boxes()), 1, "one error box at a time")
                self.assertEqual(game.logged_boxes(e2e.ERROR_CAPTION), list(MESSAGES[:number]),
                                 "the box should hold the game until it is dismissed")
                game.dismiss(box)
            picture = game.start_view()
            self.assert_no_error_boxes(game)
            self.assertEqual(view.white_pixels(picture), 0, "the white clear colour shows through the arena")
            wall = view.region(picture, view.WALL)
            ground = view.region(picture, view.GROUND)
            self.assertLess(view.roughness(wall), MAX_FLAT_ROUGHNESS, "the far wall should have no texture")
            self.assertLess(view.roughness(ground), MAX_FLAT_ROUGHNESS, "the ground should have no texture")
            for name, surface in (("wall", wall), ("ground", ground)):
                channels = view.channel_means(surface)
                self.assertLessEqual(max(channels) - min(channels), MAX_GREY_TINT,
                                     f"the untextured {name} should show the lights' white as grey: {channels}")
            self.assertGreater(view.brightness(view.region(picture, view.NEAREST_CRATE)),
                               NEAREST_CRATE_OVER_WALL * view.brightness(wall),
                               "the nearest crate should still be drawn, lit, at the left")
            self.end_with_escape(game, e2e.START_BOX_COUNT)


if __name__ == "__main__":
    e2e.main()
