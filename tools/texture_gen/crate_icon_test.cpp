// crate_icon_test.cpp: the icon shows a lit crate inside a clear border, and
// the committed PNGs and .ico are what the generator makes.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crate_icon.h"
#include "painters.h"

namespace {

using Bytes = std::vector<uint8_t>;

IconImage icon(int side)
{
    TextureImage crate;
    paintCrate(crate);
    return paintCrateIcon(crate, side);
}

const uint8_t* pixel(const IconImage& image, int x, int y)
{
    return &image.rgba[(size_t(y) * size_t(image.side) + size_t(x)) * 4];
}

// Mean brightness of the opaque pixels in a rectangle given in shares of the side.
double meanBrightness(const IconImage& image, double x0, double y0, double x1, double y1)
{
    double sum = 0.0;
    int n = 0;
    for (int y = int(y0 * image.side); y < int(y1 * image.side); ++y) {
        for (int x = int(x0 * image.side); x < int(x1 * image.side); ++x) {
            const uint8_t* p = pixel(image, x, y);
            if (p[3] == 255) {
                sum += p[0] + p[1] + p[2];
                ++n;
            }
        }
    }
    return n ? sum / n : 0.0;
}

TEST(CrateIcon, ACrateLitFromAboveFillsTheIconInsideAClearBorder)
{
    for (int side : {48, 256}) {
        const IconImage image = icon(side);
        ASSERT_EQ(image.rgba.size(), size_t(side) * size_t(side) * 4);
        int left = side, right = -1, top = side, bottom = -1;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                if (pixel(image, x, y)[3] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        // A border of about a twenty-fourth of the side on the longer axis, centred.
        const int border = side / 24;
        EXPECT_GE(std::min(left, top), border - 1) << side;
        EXPECT_LE(std::max(right, bottom), side - border) << side;
        EXPECT_GE(std::max(right - left, bottom - top) + 1, side * 9 / 10) << side;
        EXPECT_LE(std::abs((left + right) - (side - 1)), 2) << side;
        EXPECT_EQ(pixel(image, side / 2, side / 2)[3], 255) << side;
        // The top face brightest, the front one next, the right one darkest.
        const double topFace = meanBrightness(image, 0.35, 0.1, 0.65, 0.2);
        const double front = meanBrightness(image, 0.15, 0.5, 0.45, 0.8);
        const double rightFace = meanBrightness(image, 0.7, 0.5, 0.85, 0.8);
        EXPECT_GT(topFace, front * 1.1) << side;
        EXPECT_GT(front, rightFace * 1.1) << side;
        EXPECT_GT(rightFace, 100.0) << side << ": the darkest face should still show its wood";
    }
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Decodes PNG bytes to RGBA, top row first; side 0 when they are not a square PNG.
IconImage decodePng(const Bytes& png)
{
    IconImage image;
    SDL_Surface* loaded = IMG_Load_RW(SDL_RWFromConstMem(png.data(), int(png.size())), 1);
    if (!loaded)
        return image;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (rgba && rgba->w == rgba->h) {
        image.side = rgba->w;
        for (int y = 0; y < rgba->h; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch;
            image.rgba.insert(image.rgba.end(), row, row + rgba->w * 4);
        }
    }
    SDL_FreeSurface(rgba);
    return image;
}

uint32_t le(const Bytes& b, size_t at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | b.at(at + size_t(i));
    return v;
}

// An .ico's bitmap entry: 32-bit BGRA rows bottom-up, then a 1-bit mask
// that must be set exactly where the pixel is fully transparent.
IconImage decodeIconBitmap(const Bytes& ico, size_t at, int side)
{
    IconImage image;
    if (le(ico, at, 4) != 40 || int(le(ico, at + 4, 4)) != side || int(le(ico, at + 8, 4)) != 2 * side ||
        le(ico, at + 14, 2) != 32)
        return image;
    image.side = side;
    image.rgba.resize(size_t(side) * size_t(side) * 4);
    const size_t colours = at + 40;
    const size_t mask = colours + size_t(side) * size_t(side) * 4;
    const size_t maskRow = size_t(side + 31) / 32 * 4;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const size_t from = colours + (size_t(side - 1 - y) * size_t(side) + size_t(x)) * 4;
            uint8_t* to = &image.rgba[(size_t(y) * size_t(side) + size_t(x)) * 4];
            to[0] = ico.at(from + 2);
            to[1] = ico.at(from + 1);
            to[2] = ico.at(from);
            to[3] = ico.at(from + 3);
            const bool masked = ico.at(mask + size_t(side - 1 - y) * maskRow + size_t(x) / 8) & (0x80 >> (x % 8));
            if (masked != (to[3] == 0))
                return IconImage{};
        }
    }
    return image;
}

// Lossless both ways: at most one level apart, should another libm round a
// sample the other way.
void expectSameIcon(const IconImage& committed, const IconImage& generated, const std::string& what)
{
    ASSERT_EQ(committed.side, generated.side) << what << " is missing, unreadable or of another size";
    ASSERT_EQ(committed.rgba.size(), generated.rgba.size()) << what;
    int worst = 0;
    for (size_t i = 0; i < committed.rgba.size(); ++i)
        worst = std::max(worst, std::abs(int(committed.rgba[i]) - int(generated.rgba[i])));
    EXPECT_LE(worst, 1) << what << " is stale: run texture_gen --icons packaging/icons";
}

TEST(CrateIcon, CommittedFilesMatchTheGenerator)
{
    const std::string folder = QUADRILL_ICON_DIR;
    for (int side : {48, 256}) {
        const std::string name = "quadrill-" + std::to_string(side) + ".png";
        expectSameIcon(decodePng(readFile(folder + "/" + name)), icon(side), name);
    }
    const Bytes ico = readFile(folder + "/quadrill.ico");
    ASSERT_GE(ico.size(), 6u) << "quadrill.ico is missing";
    ASSERT_EQ(le(ico, 0, 2), 0u);
    ASSERT_EQ(le(ico, 2, 2), 1u) << "not an icon";
    const int sides[] = {16, 32, 48, 256};
    ASSERT_EQ(le(ico, 4, 2), std::size(sides));
    for (size_t i = 0; i < std::size(sides); ++i) {
        const size_t entry = 6 + i * 16;
        const int side = ico.at(entry) == 0 ? 256 : ico.at(entry);
        const size_t size = le(ico, entry + 8, 4);
        const size_t offset = le(ico, entry + 12, 4);
        ASSERT_EQ(side, sides[i]);
        EXPECT_EQ(le(ico, entry + 6, 2), 32u) << side;
        ASSERT_LE(offset + size, ico.size()) << side;
        const std::string what = "quadrill.ico at " + std::to_string(side);
        if (side == 256)
            expectSameIcon(decodePng(Bytes(ico.begin() + long(offset), ico.begin() + long(offset + size))),
                           icon(side), what);
        else
            expectSameIcon(decodeIconBitmap(ico, offset, side), icon(side), what);
    }
}

} // namespace
