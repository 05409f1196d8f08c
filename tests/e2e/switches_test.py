#!/usr/bin/env python3
# switches_test.py: the keys that switch the lights ("n", "m") and move the player cube ("c").
# (The shadow switch "z" is checked in the render tests, frame by frame: a
# shadow shows only under a crate in the air, which falls in two seconds.)
import arena_view as view
import quadrill_e2e as e2e

# Without the overhead point light only what the camera's spot light reaches is
# lit: the far wall and the ground go (nearly) black.
DARK_SHARE = 0.25
# A picture back to how it was: brightness within this share.
SAME_SHARE = 0.05
# The spot light's ambient colour is blue; a crate close ahead loses that much of its blue without it.
SPOT_BLUE_SHARE = 0.7
NEAR = (360, 320, 80, 80)
# "c" in the free camera drops the brick player cube 6 units ahead, a unit to the right.
CUBE = (410, 300, 70, 70)
LIT = 2.0
CUBE_FALL_SECONDS = 2.0
# Riding the moved cube again puts the eye 6 units nearer the far wall: its
# foot is drawn about 20 pixels lower.
MIN_RIDE_SHIFT = 12


def blue_near(picture):
    return view.channel_means(view.region(picture, NEAR))[2]


class Switches(e2e.GameTestCase):
    def test_n_and_m_switch_off_the_point_and_the_spot_light(self):
        with self.game("lights") as game:
            start = game.start_view()
            lit = view.brightness(start)
            game.key("n")
            dark = view.brightness(game.watch("point-light-off", lambda p: view.brightness(p) < DARK_SHARE * lit))
            self.assertLess(dark, DARK_SHARE * lit, '"n" should switch off the light of the arena')
            game.key("n")
            back = view.brightness(game.watch("point-light-on",
                                              lambda p: abs(view.brightness(p) - lit) <= SAME_SHARE * lit))
            self.assertAlmostEqual(back, lit, delta=SAME_SHARE * lit, msg='a second "n" should switch it on again')
            # The spot light on the camera shows on things close ahead: a placed crate.
            game.click(1)
            crate = view.channel_means(view.region(game.settled_view("crate"), NEAR))
            game.key("m")
            spotless = view.channel_means(view.region(game.watch(
                "spot-light-off", lambda p: blue_near(p) < SPOT_BLUE_SHARE * crate[2]), NEAR))
            self.assertLess(spotless[2], SPOT_BLUE_SHARE * crate[2],
                            f'"m" should take the spot light\'s blue off the crate: {crate} to {spotless}')
            self.assertLess(sum(spotless), sum(crate), '"m" should darken the crate')
            game.key("m")
            back = blue_near(game.watch("spot-light-on",
                                        lambda p: abs(blue_near(p) - crate[2]) <= SAME_SHARE * crate[2]))
            self.assertAlmostEqual(back, crate[2], delta=SAME_SHARE * crate[2],
                                   msg='a second "m" should switch the spot light on again')

    def test_c_puts_the_player_cube_at_the_aim_point_without_adding_a_box(self):
        with self.game("cube") as game:
            start = game.start_view()
            start_horizon = view.horizon_row(start)[0]
            game.key("x")
            game.key("c")
            game.run_for(CUBE_FALL_SECONDS)
            moved = game.settled_view("cube-moved")
            cube = view.region(moved, CUBE)
            self.assertGreater(view.brightness(cube), LIT * view.brightness(view.region(start, CUBE)),
                               '"c" should drop the player cube just ahead of the free camera')
            red, green, blue = view.channel_means(cube)
            self.assertGreater(red, green, f"the player cube is brick: {red:.1f} {green:.1f} {blue:.1f}")
            game.key("x")
            riding = game.settled_view("riding")
            self.assertGreaterEqual(view.horizon_row(riding)[0] - start_horizon, MIN_RIDE_SHIFT,
                                    "back in player mode the eye should ride the moved cube, nearer the far wall")
            self.end_with_escape(game, e2e.START_BOX_COUNT)


if __name__ == "__main__":
    e2e.main()
