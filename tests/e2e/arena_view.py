# arena_view.py: measures of the game's 800x600 picture that the e2e tests judge it by.
#
# The arena is lit per vertex by two lights that fade with distance, so the
# walls and the ground show about a sixth of their textures' brightness: the
# measures compare regions with each other and with earlier pictures of the
# same run rather than with fixed colours.

# Regions of the start view, (x, y, width, height). The eye rides 0.1 below
# the top of the landed player cube, so the foot of the far wall (the horizon
# line) lies about 34 pixels below the centre.
WALL = (250, 60, 300, 220)
GROUND = (250, 420, 500, 170)
NEAREST_CRATE = (20, 310, 150, 110)
CENTRE = (392, 292, 17, 17)
# Columns clear of the crates at the left, for finding the horizon line.
HORIZON_COLUMNS = (250, 550)
HORIZON_BAND = 12
# The aiming marker: a few pixels lit by both lights' ambient colours, the
# spot light's being blue.
MARKER_MIN_BLUE = 200
MARKER_MIN_BLUE_EXCESS = 80
# The clear colour is opaque white.
WHITE = 250


def channel_means(picture):
    """Mean red, green and blue (0..255)."""
    count = max(1, picture.width * picture.height)
    return tuple(sum(picture.rgb[i::3]) / count for i in range(3))


def brightness(picture):
    """Mean of the three channels (0..255)."""
    return sum(channel_means(picture)) / 3


def region(picture, rect):
    return picture.crop(*rect)


def count_pixels(picture, test):
    rgb = picture.rgb
    return sum(1 for i in range(0, len(rgb), 3) if test(rgb[i], rgb[i + 1], rgb[i + 2]))


def marker_pixels(picture):
    """Pixels around the centre that have the marker's blue."""
    return count_pixels(region(picture, CENTRE),
                        lambda r, g, b: b >= MARKER_MIN_BLUE and b - max(r, g) >= MARKER_MIN_BLUE_EXCESS)


def white_pixels(picture):
    return count_pixels(picture, lambda r, g, b: min(r, g, b) >= WHITE)


def redness_by_row(picture, x0, x1):
    """Mean of red minus green over columns x0..x1 of every row: brick is red,
    grass is green."""
    width = picture.width
    result = []
    for y in range(picture.height):
        row = picture.rgb[(y * width + x0) * 3:(y * width + x1) * 3]
        result.append((sum(row[0::3]) - sum(row[1::3])) / (x1 - x0))
    return result


def horizon_row(picture, columns=HORIZON_COLUMNS, band=HORIZON_BAND):
    """The row where the red brick above gives way to the green ground below:
    the strongest step in redness between the `band` rows above and below.
    Returns (row, step); the step is near zero when there is no such line."""
    redness = redness_by_row(picture, *columns)
    best_row, best_step = None, None
    for y in range(band, picture.height - band):
        step = (sum(redness[y - band:y]) - sum(redness[y:y + band])) / band
        if best_step is None or step > best_step:
            best_row, best_step = y, step
    return best_row, best_step


def brightness_by_column(picture, y0, y1):
    """Mean brightness of every column over rows y0..y1."""
    width = picture.width
    sums = [0] * width
    for y in range(y0, y1):
        row = picture.rgb[y * width * 3:(y + 1) * width * 3]
        for x in range(width):
            sums[x] += row[3 * x] + row[3 * x + 1] + row[3 * x + 2]
    return [s / (3 * (y1 - y0)) for s in sums]


def last_bright_column(picture, y0, y1, threshold, x_limit):
    """The rightmost column left of `x_limit` that is brighter than `threshold`
    over rows y0..y1, or -1: the right edge of the lit crates at the left of
    the view, whose dark seams must not end the search."""
    profile = brightness_by_column(picture, y0, y1)[:x_limit]
    bright = [x for x, value in enumerate(profile) if value > threshold]
    return bright[-1] if bright else -1


def roughness(picture):
    """Mean brightness step between horizontally neighbouring pixels: high on a
    textured surface, near zero on a smoothly lit untextured one."""
    rgb, width = picture.rgb, picture.width
    total, count = 0, 0
    for y in range(picture.height):
        row = rgb[y * width * 3:(y + 1) * width * 3]
        grey = [row[i] + row[i + 1] + row[i + 2] for i in range(0, len(row), 3)]
        total += sum(abs(a - b) for a, b in zip(grey, grey[1:]))
        count += max(0, len(grey) - 1)
    return total / (3 * max(1, count))
