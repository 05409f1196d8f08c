#!/usr/bin/env python3
# spawning_test.py: placing and throwing crates, in the view and the closing count.
# (Bouncing after "v" is checked by an integration test through the real frame loop.)
import arena_view as view
import quadrill_e2e as e2e

# Where a crate placed at the start lands: straight ahead, 5 to 7 units away.
NEAR = (360, 320, 80, 80)
# The lower part of it, below where a crate far ahead is drawn.
NEAR_LOW = (340, 360, 120, 50)
# Where a crate thrown at the start comes to rest: 12 to 14 units ahead.
FAR = (382, 302, 36, 34)
# A lit crate is at least this many times as bright as the wall or ground it hides.
LIT = 2.0
# A region left alone keeps its brightness within this share.
UNCHANGED = 0.25
# Looking up this many pixels' worth puts the aim point clear above the first crate.
LOOK_UP_PIXELS = -40


class Spawning(e2e.GameTestCase):
    def brightness_of(self, picture, rect):
        return view.brightness(view.region(picture, rect))

    def test_left_clicks_in_open_air_place_crates_that_the_box_count_counts(self):
        with self.game("place") as game:
            start = game.start_view()
            game.click(1)
            placed = game.settled_view("placed")
            self.assertGreater(self.brightness_of(placed, NEAR), LIT * self.brightness_of(start, NEAR),
                               "a left click should place a crate straight ahead, which lands there")
            red, green, blue = view.channel_means(view.region(placed, NEAR))
            self.assertGreater(red, green, f"the placed crate should be wooden: {red:.1f} {green:.1f} {blue:.1f}")
            game.turn(0, LOOK_UP_PIXELS)
            game.run_for(0.5)
            game.click(1)
            game.settled_view("stacked")
            self.end_with_escape(game, e2e.START_BOX_COUNT + 2)

    def test_a_right_click_throws_a_crate_that_stops_far_ahead(self):
        with self.game("throw") as game:
            start = game.start_view()
            game.click(3)
            thrown = game.settled_view("thrown")
            self.assertGreater(self.brightness_of(thrown, FAR), LIT * self.brightness_of(start, FAR),
                               "the thrown crate should come to rest far ahead")
            before, after = self.brightness_of(start, NEAR_LOW), self.brightness_of(thrown, NEAR_LOW)
            self.assertAlmostEqual(after, before, delta=UNCHANGED * before,
                                   msg="a thrown crate should not stay where a placed one would")
            self.end_with_escape(game, e2e.START_BOX_COUNT + 1)


if __name__ == "__main__":
    e2e.main()
