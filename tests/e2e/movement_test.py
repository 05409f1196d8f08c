#!/usr/bin/env python3
# movement_test.py: walking, mouse look, jumping and the free camera's climb, judged by where the scene is drawn.
import math

import arena_view as view
import quadrill_e2e as e2e

# The view: 800x600, a vertical field of view of 90 degrees, so a direction
# at angle a from the view axis is drawn 300 tan(a) pixels from the centre.
HALF_HEIGHT = 300
CENTRE_X, CENTRE_Y = 400, 300
RADIANS_PER_PIXEL = 0.01
# How far a measured position may stray from the predicted one, in pixels.
TOLERANCE = 12
# How still a view must be: the same line within this many pixels.
SAME_PLACE = 3
CRATE_ROWS = (340, 410)
CRATE_EDGE_LIMIT = 480

WALK_SECONDS = 1.0
# Walking 5 units (a second at 5 units per second) toward a wall 17 units
# away draws its foot about 13 pixels lower; ask for half of that.
MIN_WALK_SHIFT = 6
TURN_PIXELS = -20   # left
PITCH_PIXELS = -10  # up
# A jump lifts the eye 2.8 units, 48 pixels' worth at the wall's foot.
MIN_JUMP_RISE = 20
# Flying up 7.5 units (0.15 s at 50 units a second) moves the wall's foot
# down about 130 pixels. A stall of the loaded machine can shorten the hold
# the game sees (one run saw 15 pixels of a 0.1 s descent), so any clear
# move counts: a few times the noise of a settled view.
CLIMB_HOLD = 0.15
MIN_CLIMB_SHIFT = 10
DESCEND_HOLD = 0.1
MIN_DESCEND_SHIFT = 10
# A stall as long as the hold hides the key from every frame; the press is
# then tried again, this many times at most.
MAX_PRESSES = 3
SETTLE_SECONDS = 0.5


def horizon(picture):
    return view.horizon_row(picture)[0]


def drawn_at(angle):
    """Screen offset from the centre of a direction `angle` radians off the view axis."""
    return HALF_HEIGHT * math.tan(angle)


def angle_of(offset):
    return math.atan(offset / HALF_HEIGHT)


class Movement(e2e.GameTestCase):
    def press_until_moved(self, game, keysym, hold, name, before):
        """Holds `keysym` for `hold` seconds and returns the settled horizon, pressing
        again when the view did not move at all (a press no frame saw)."""
        for _ in range(MAX_PRESSES):
            game.key(keysym, hold=hold)
            after = horizon(game.settled_view(name))
            if abs(after - before) > SAME_PLACE:
                break
        return after

    def crate_edge(self, picture, wall_brightness):
        return view.last_bright_column(picture, *CRATE_ROWS, threshold=2 * wall_brightness, x_limit=CRATE_EDGE_LIMIT)

    def test_w_walks_toward_the_far_wall_and_s_walks_back(self):
        with self.game("walk") as game:
            start = game.start_view()
            start_horizon = horizon(start)
            game.key("w", hold=WALK_SECONDS)
            forward = game.settled_view("after-w")
            self.assertGreaterEqual(horizon(forward) - start_horizon, MIN_WALK_SHIFT,
                                    "walking forward should bring the far wall's foot lower in the view")
            wall = view.brightness(view.region(start, view.WALL))
            self.assertEqual(self.crate_edge(forward, wall), -1, "the crate at the left should be passed")
            game.key("s", hold=WALK_SECONDS)
            back = game.settled_view("after-s")
            self.assertAlmostEqual(horizon(back), start_horizon, delta=TOLERANCE,
                                   msg="walking back as long should return to the start")

    def test_the_mouse_turns_and_pitches_the_view_a_hundredth_of_a_radian_per_pixel(self):
        with self.game("look") as game:
            start = game.start_view()
            wall = view.brightness(view.region(start, view.WALL))
            edge = self.crate_edge(start, wall)
            self.assertGreater(edge, 0, "no crate at the left of the start view")
            game.turn(TURN_PIXELS, 0)
            turned = game.settled_view("turned")
            # Turning left swings the crates at the left toward the centre.
            expected = CENTRE_X + drawn_at(angle_of(edge - CENTRE_X) - TURN_PIXELS * RADIANS_PER_PIXEL)
            self.assertAlmostEqual(self.crate_edge(turned, wall), expected, delta=TOLERANCE,
                                   msg=f"a {TURN_PIXELS} pixel move should turn the view left by 0.2 rad")
            game.turn(0, PITCH_PIXELS)
            pitched = game.settled_view("pitched")
            start_horizon = horizon(start)
            expected = CENTRE_Y + drawn_at(angle_of(start_horizon - CENTRE_Y) - PITCH_PIXELS * RADIANS_PER_PIXEL)
            self.assertAlmostEqual(horizon(pitched), expected, delta=TOLERANCE,
                                   msg=f"a move {-PITCH_PIXELS} pixels up should pitch the view up by 0.1 rad")
            game.turn(0, -PITCH_PIXELS)
            level = game.settled_view("level")
            self.assertAlmostEqual(horizon(level), start_horizon, delta=SAME_PLACE,
                                   msg="moving the mouse back down should level the view again")

    def test_space_jumps_and_the_view_comes_back_down(self):
        with self.game("jump") as game:
            start_horizon = horizon(game.start_view())
            # Held, Space jumps again at every landing: the eye is up most of
            # the time, so a picture taken whenever the loaded machine gets
            # to it will catch it up.
            heights = []

            def risen(picture):
                heights.append(horizon(picture) - start_horizon)
                return heights[-1] >= MIN_JUMP_RISE
            game.hold_key("space")
            try:
                game.watch("jumping", risen)
            finally:
                game.release_key("space")
            self.assertGreaterEqual(max(heights), MIN_JUMP_RISE,
                                    f"the eye should rise on Space: shifts {e2e.runs(heights)}")
            landed = horizon(game.settled_view("landed"))
            self.assertAlmostEqual(landed, start_horizon, delta=SAME_PLACE, msg="the eye should come back down")

    def test_x_frees_the_camera_which_climbs_with_space_and_stays_up(self):
        with self.game("climb") as game:
            start_horizon = horizon(game.start_view())
            game.key("x")
            game.run_for(SETTLE_SECONDS)
            switched = horizon(game.view("free-camera"))
            self.assertAlmostEqual(switched, start_horizon, delta=SAME_PLACE,
                                   msg="switching to the free camera should keep the view")
            up = self.press_until_moved(game, "space", CLIMB_HOLD, "climbed", switched)
            self.assertGreaterEqual(up - start_horizon, MIN_CLIMB_SHIFT,
                                    "Space should lift the free camera and the wall's foot sink in the view")
            game.run_for(SETTLE_SECONDS)
            self.assertAlmostEqual(horizon(game.view("hovering")), up, delta=SAME_PLACE,
                                   msg="the free camera should not fall")
            down = self.press_until_moved(game, "ctrl", DESCEND_HOLD, "descended", up)
            self.assertGreaterEqual(up - down, MIN_DESCEND_SHIFT, "Ctrl should lower the free camera")


if __name__ == "__main__":
    e2e.main()
