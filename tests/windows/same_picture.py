# same_picture.py: how far apart two renderings of one view are.
#
# The Windows build draws through Wine's Direct3D 9 into a client area a
# little smaller than 800x600 (the frame takes the rest) and stretches the
# back buffer into it; the Linux build shows it 1:1. Both are averaged down
# onto one coarse grid first, so the stretch and sub-pixel edge placement do
# not count, and then compared pixel by pixel.
import xvfb

GRID = (160, 120)  # 5x5 pixels of the back buffer per cell
# A cell is "different" when some channel is off by more than this much.
DIFFERENT = 24


def average_down(picture, width, height):
    """Each cell is the mean of the source pixels whose centres fall in it."""
    sums = [0] * (width * height * 3)
    counts = [0] * (width * height)
    column = [x * width // picture.width for x in range(picture.width)]
    rgb = picture.rgb
    for y in range(picture.height):
        row = (y * height // picture.height) * width
        base = y * picture.width * 3
        for x in range(picture.width):
            cell = row + column[x]
            i = base + x * 3
            s = cell * 3
            sums[s] += rgb[i]
            sums[s + 1] += rgb[i + 1]
            sums[s + 2] += rgb[i + 2]
            counts[cell] += 1
    out = bytearray(width * height * 3)
    for cell, n in enumerate(counts):
        for c in range(3):
            out[cell * 3 + c] = (sums[cell * 3 + c] + n // 2) // n if n else 0
    return xvfb.Picture(width, height, bytes(out))


def difference(a, b):
    """Mean absolute difference per channel (levels of 255) and the share of
    cells that differ visibly, after both are averaged onto the grid."""
    ga, gb = average_down(a, *GRID), average_down(b, *GRID)
    total = 0
    different = 0
    for cell in range(GRID[0] * GRID[1]):
        deltas = [abs(ga.rgb[cell * 3 + c] - gb.rgb[cell * 3 + c]) for c in range(3)]
        total += sum(deltas)
        different += max(deltas) > DIFFERENT
    cells = GRID[0] * GRID[1]
    return {"mean": total / (cells * 3), "different": different / cells}


def scale_nearest(picture, width, height):
    rows = []
    for y in range(height):
        sy = y * picture.height // height
        line = bytearray(width * 3)
        for x in range(width):
            i = (sy * picture.width + x * picture.width // width) * 3
            line[x * 3:x * 3 + 3] = picture.rgb[i:i + 3]
        rows.append(bytes(line))
    return xvfb.Picture(width, height, b"".join(rows))


def side_by_side(left, right, gap=8, shade=255):
    """The two at the same height next to each other, for looking at."""
    height = max(left.height, right.height)
    left = scale_nearest(left, left.width * height // left.height, height)
    right = scale_nearest(right, right.width * height // right.height, height)
    spacer = bytes([shade]) * (gap * 3)
    rows = []
    for y in range(height):
        rows.append(left.rgb[y * left.width * 3:(y + 1) * left.width * 3] + spacer
                    + right.rgb[y * right.width * 3:(y + 1) * right.width * 3])
    return xvfb.Picture(left.width + gap + right.width, height, b"".join(rows))
