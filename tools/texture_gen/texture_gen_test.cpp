// texture_gen_test.cpp: the generated textures are deterministic, tile, have mid-range
// brightness, and the committed JPEGs are what the generator makes.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "painters.h"

namespace {

struct Named {
    const char* file;
    void (*paint)(TextureImage&);
};

const Named kAll[] = {{"crate.jpg", paintCrate}, {"ground.jpg", paintGround}, {"brick.jpg", paintBrick}};

float luma(Rgb c) { return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b; }

float saturation(Rgb c)
{
    const float hi = std::max(c.r, std::max(c.g, c.b));
    const float lo = std::min(c.r, std::min(c.g, c.b));
    return hi - lo;
}

// Mean absolute luma step between column a and column b, over all rows.
float columnStep(const TextureImage& image, int a, int b)
{
    float sum = 0.0f;
    for (int y = 0; y < image.height; ++y)
        sum += std::fabs(luma(image.get(a, y)) - luma(image.get(b, y)));
    return sum / float(image.height);
}

float rowStep(const TextureImage& image, int a, int b)
{
    float sum = 0.0f;
    for (int x = 0; x < image.width; ++x)
        sum += std::fabs(luma(image.get(x, a)) - luma(image.get(x, b)));
    return sum / float(image.width);
}

TEST(TextureNoise, RepeatsOverItsPeriodAndStaysInRange)
{
    constexpr int kPeriod = 8;
    for (float y = -3.0f; y < 12.0f; y += 0.37f) {
        for (float x = -3.0f; x < 12.0f; x += 0.41f) {
            const float v = valueNoise(x, y, kPeriod, kPeriod, 7u);
            EXPECT_GE(v, 0.0f);
            EXPECT_LT(v, 1.0f);
            EXPECT_NEAR(v, valueNoise(x + float(kPeriod), y, kPeriod, kPeriod, 7u), 1e-5f);
            EXPECT_NEAR(v, valueNoise(x, y - float(kPeriod), kPeriod, kPeriod, 7u), 1e-5f);
        }
    }
    EXPECT_NE(valueNoise(0.5f, 0.5f, kPeriod, kPeriod, 1u), valueNoise(0.5f, 0.5f, kPeriod, kPeriod, 2u));
}

TEST(TextureGenerator, PaintsTheSamePixelsEveryTime)
{
    for (const Named& t : kAll) {
        TextureImage first;
        TextureImage second;
        t.paint(first);
        t.paint(second);
        EXPECT_EQ(first.pixels, second.pixels) << t.file;
    }
}

TEST(TextureGenerator, TexturesHaveMidRangeBrightnessAndDetail)
{
    for (const Named& t : kAll) {
        TextureImage image;
        t.paint(image);
        double sum = 0.0;
        double squares = 0.0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const double l = luma(image.get(x, y));
                sum += l;
                squares += l * l;
            }
        }
        const double n = double(image.width) * image.height;
        const double mean = sum / n;
        const double deviation = std::sqrt(squares / n - mean * mean);
        EXPECT_GT(mean, 0.3) << t.file;
        EXPECT_LT(mean, 0.6) << t.file;
        EXPECT_GT(deviation, 0.04) << t.file;
    }
}

// Ground and brick repeat many times across the arena: the wrap-around seam must
// look like the step across the middle of the image (which for the brick falls
// on a joint at the same place in the pattern).
TEST(TextureGenerator, GroundAndBrickTileWithoutSeams)
{
    constexpr float kSlack = 0.01f;
    const int last = kTextureSide - 1;
    const int middle = kTextureSide / 2;
    for (const Named& t : {kAll[1], kAll[2]}) {
        TextureImage image;
        t.paint(image);
        EXPECT_LT(columnStep(image, last, 0), 1.5f * columnStep(image, middle - 1, middle) + kSlack) << t.file;
        EXPECT_LT(rowStep(image, last, 0), 1.5f * rowStep(image, middle - 1, middle) + kSlack) << t.file;
    }
}

TEST(TextureGenerator, BrickJointsAreGreyLinesBetweenRedCourses)
{
    TextureImage image;
    paintBrick(image);
    constexpr int kCourse = 32;
    float joint = 0.0f;
    float middle = 0.0f;
    for (int course = 0; course < kTextureSide / kCourse; ++course) {
        for (int x = 0; x < kTextureSide; ++x) {
            joint += saturation(image.get(x, course * kCourse));
            middle += saturation(image.get(x, course * kCourse + kCourse / 2));
        }
    }
    EXPECT_LT(joint, 0.5f * middle);
}

// Decoded RGB texels of a JPEG file, empty when it cannot be read or is not 256x256.
std::vector<uint8_t> loadTexels(const std::string& path)
{
    std::vector<uint8_t> texels;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return texels;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (rgb && rgb->w == kTextureSide && rgb->h == kTextureSide) {
        for (int y = 0; y < kTextureSide; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(rgb->pixels) + y * rgb->pitch;
            texels.insert(texels.end(), row, row + kTextureSide * 3);
        }
    }
    SDL_FreeSurface(rgb);
    return texels;
}

// The game loads the committed files; they must be the generator's current output.
// Both sides go through the same JPEG codec, so only a stale file differs.
TEST(TextureGenerator, CommittedFilesMatchTheGenerator)
{
    ASSERT_NE(IMG_Init(IMG_INIT_JPG), 0) << IMG_GetError();
    for (const Named& t : kAll) {
        const std::vector<uint8_t> committed = loadTexels(std::string(QUADRILL_TEXTURE_DIR) + "/" + t.file);
        ASSERT_EQ(committed.size(), size_t(kTextureSide) * kTextureSide * 3) << t.file << " is missing or not 256x256";
        TextureImage image;
        t.paint(image);
        const std::string fresh = ::testing::TempDir() + "fresh_" + t.file;
        ASSERT_TRUE(saveJpeg(image, fresh.c_str()));
        const std::vector<uint8_t> generated = loadTexels(fresh);
        std::remove(fresh.c_str());
        ASSERT_EQ(generated.size(), committed.size());
        double difference = 0.0;
        for (size_t i = 0; i < committed.size(); ++i)
            difference += std::abs(int(committed[i]) - int(generated[i]));
        EXPECT_LT(difference / double(committed.size()), 0.5) << t.file;
    }
    IMG_Quit();
}

} // namespace
