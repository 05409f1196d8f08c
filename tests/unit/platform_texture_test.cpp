// D3DXCreateTextureFromFileA: real files load; missing, empty, corrupt,
// truncated and absurd files are refused without a crash.
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/headless_device.h"
#include "test_controls.h"
#include "texture_decoding.h"

namespace {

// Made absolute when the binary starts, so that a test that changes the
// working directory still finds the sources when run by hand from them.
const std::string g_sourceDir = std::filesystem::absolute(
    std::getenv("QUADRILL_SOURCE_DIR") ? std::getenv("QUADRILL_SOURCE_DIR") : ".").string();

std::string sourceDir() { return g_sourceDir; }

std::vector<char> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string writeTemp(const std::string& name, const std::vector<char>& bytes)
{
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

struct TextureFiles : ::testing::Test {
    HeadlessDevice headless;
    IDirect3DTexture9* texture = nullptr;
    HRESULT load(const std::string& path) { return D3DXCreateTextureFromFileA(headless.device, path.c_str(), &texture); }
    void TearDown() override
    {
        if (texture)
            texture->Release();
    }
};

TEST_F(TextureFiles, TheGameTexturesLoadWithAFullMipChain)
{
    for (const char* name : {"crate", "ground", "brick"}) {
        std::string path = sourceDir() + "/textures/" + name + ".jpg";
        ASSERT_EQ(load(path), D3D_OK) << path;
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->GetLevelCount(), 9u); // 256x256 down to 1x1
        texture->Release();
        texture = nullptr;
    }
    EXPECT_EQ(testctl::liveTextures(), 0);
}

// A picture of sides that are not powers of two is stretched to 512x256 as
// Direct3D's D3DX stretches it: its corner texels stay, its colours go to
// B, G, R and its chain runs down to 1x1. (tests/windows compares the
// whole texture with the Windows build's.)
TEST_F(TextureFiles, ANonPowerOfTwoPictureIsStretchedToPowerOfTwoSides)
{
    const int width = 300, height = 200;
    std::string ppm = "P6\n300 200\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ppm += {char(x * 255 / (width - 1)), char(y * 255 / (height - 1)), char(0x40)};
    ASSERT_EQ(load(writeTemp("npot.ppm", std::vector<char>(ppm.begin(), ppm.end()))), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 10u);
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 256u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto texel = [&](int x, int y) {
        const uint8_t* p = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4;
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(texel(0, 0), (std::vector<int>{0x40, 0, 0, 255}));
    EXPECT_EQ(texel(511, 0), (std::vector<int>{0x40, 0, 255, 255}));
    EXPECT_EQ(texel(0, 255), (std::vector<int>{0x40, 255, 0, 255}));
    EXPECT_EQ(texel(511, 255), (std::vector<int>{0x40, 255, 255, 255}));
    texture->UnlockRect(0);
}

TEST_F(TextureFiles, MissingAndEmptyFilesAreRefused)
{
    EXPECT_NE(load(::testing::TempDir() + "does-not-exist.jpg"), D3D_OK);
    EXPECT_NE(load(writeTemp("empty.jpg", {})), D3D_OK);
    EXPECT_NE(D3DXCreateTextureFromFileA(headless.device, nullptr, &texture), D3D_OK);
    EXPECT_NE(D3DXCreateTextureFromFileA(nullptr, "textures/crate.jpg", &texture), D3D_OK);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureFiles, CorruptAndTruncatedFilesAreRefused)
{
    std::vector<char> jpeg = readFile(sourceDir() + "/textures/crate.jpg");
    ASSERT_GT(jpeg.size(), 1000u);
    std::vector<char> truncated(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2));
    EXPECT_NE(load(writeTemp("truncated.jpg", truncated)), D3D_OK);
    std::vector<char> garbage(4096, '\x5a');
    EXPECT_NE(load(writeTemp("garbage.jpg", garbage)), D3D_OK);
    std::vector<char> headerOnly(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_NE(load(writeTemp("header.jpg", headerOnly)), D3D_OK);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureFiles, AbsurdDimensionsAreRefusedBeforeDecoding)
{
    // A PNG header that claims 100000 x 100000 pixels.
    std::vector<char> png = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                             0, 1, char(0x86), char(0xa0), 0, 1, char(0x86), char(0xa0), 8, 6, 0, 0, 0, 0, 0, 0, 0};
    const char end[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0};
    png.insert(png.end(), end, end + sizeof end);
    EXPECT_NE(load(writeTemp("huge.png", png)), D3D_OK);
    EXPECT_EQ(texture, nullptr);
}

// An installed game lies in PREFIX/games/NAME with its data in
// PREFIX/share/games/NAME. A tree laid out so, and a working directory with
// only what a test puts there; both undone on leaving.
struct InstalledTree {
    std::filesystem::path root = std::filesystem::path(::testing::TempDir()) / "installed-tree";
    std::filesystem::path data = root / "share/games/somegame";
    std::filesystem::path elsewhere = root / "elsewhere";
    std::filesystem::path previous = std::filesystem::current_path();

    InstalledTree()
    {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "games");
        std::filesystem::create_directories(data / "textures");
        std::filesystem::create_directories(elsewhere / "textures");
        elsewhere = std::filesystem::canonical(elsewhere);
        testctl::setExecutablePath((root / "games/somegame").c_str());
        std::filesystem::current_path(elsewhere);
    }
    ~InstalledTree()
    {
        testctl::setExecutablePath(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
};

// Relative paths not found from the working directory are looked for in the
// installed data folder; the working directory still comes first, absolute
// paths are only themselves, and the message names every place looked in.
TEST_F(TextureFiles, RelativePathsFallBackToTheInstalledDataFolder)
{
    InstalledTree tree;
    const std::string crate = sourceDir() + "/textures/crate.jpg";
    std::filesystem::copy_file(crate, tree.data / "textures/crate.jpg");
    ASSERT_EQ(load("textures/crate.jpg"), D3D_OK);
    texture->Release();
    texture = nullptr;

    std::ofstream(tree.elsewhere / "textures/crate.jpg") << "not a picture";
    ::testing::internal::CaptureStderr();
    EXPECT_NE(load("textures/crate.jpg"), D3D_OK);
    EXPECT_NE(load((tree.elsewhere / "missing.jpg").string()), D3D_OK);
    EXPECT_NE(load("textures/missing.jpg"), D3D_OK);
    const std::string cwd = " (working directory \"" + tree.elsewhere.string() + "\"";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "texture \"textures/crate.jpg\"" + cwd + "): not a format this loader reads: not an image file of a known kind\n"
              "texture \"" + (tree.elsewhere / "missing.jpg").string() + "\"" + cwd + "): not found\n"
              "texture \"textures/missing.jpg\"" + cwd + ", also tried \"" +
                  (tree.data / "textures/missing.jpg").string() + "\"): not found\n");
    EXPECT_EQ(texture, nullptr);
}

} // namespace

// The seed corpus of the fuzz target holds one picture saved in many formats.
namespace corpus {

std::string path(const std::string& name) { return sourceDir() + "/tests/fuzz/corpus/" + name; }

// Empty when the file decodes, else the loader's reason.
std::string decode(const std::string& name, testctl::DecodedPicture& picture)
{
    std::vector<char> bytes = readFile(path(name));
    return testctl::decodeTextureFile(std::vector<uint8_t>(bytes.begin(), bytes.end()), picture);
}

} // namespace corpus

TEST(TextureDecoders, EveryLosslessCopyOfAPictureDecodesToTheSamePixels)
{
    const std::vector<std::vector<std::string>> sameImages = {
        {"rgb.png", "interlaced.png", "bmp24.bmp", "tga24.tga", "raw.ppm", "plain.ppm"},
        {"rgba.png", "tga32rle.tga", "bmp32.bmp"},
        {"raw.pgm", "plain.pgm", "tgagrey.tga", "grey16.png"},
        {"raw.pbm", "plain.pbm"},
        {"palette.png", "tgamapped.tga"},
    };
    for (const auto& group : sameImages) {
        testctl::DecodedPicture first;
        ASSERT_EQ(corpus::decode(group[0], first), "") << group[0];
        EXPECT_EQ(first.width, 16);
        EXPECT_EQ(first.height, 12);
        for (size_t i = 1; i < group.size(); ++i) {
            testctl::DecodedPicture other;
            ASSERT_EQ(corpus::decode(group[i], other), "") << group[i];
            EXPECT_EQ(other.rgba, first.rgba) << group[i] << " against " << group[0];
            EXPECT_EQ(other.hasAlpha, first.hasAlpha) << group[i];
        }
    }
    testctl::DecodedPicture rgba;
    ASSERT_EQ(corpus::decode("rgba.png", rgba), "");
    EXPECT_TRUE(rgba.hasAlpha);
}

TEST(TextureDecoders, HostileFilesAreRefusedForWhatTheyAre)
{
    const std::string unsupported = "not a format this loader reads: ";
    const std::string tooLarge = "too large: ";
    const std::string corrupt = "corrupt: ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"huge-gif.gif", unsupported},   {"huge-tga.tga", tooLarge},          {"huge-png.png", tooLarge},
        {"huge-bmp.bmp", tooLarge},      {"huge-jpeg.jpg", tooLarge},         {"many-scans.jpg", tooLarge},
        {"truncated-baseline.jpg", corrupt}, {"truncated-rgb.png", corrupt}, {"truncated-bmp24.bmp", corrupt},
        {"image.gif", unsupported},      {"truncated-tga24.tga", corrupt},    {"truncated-raw.ppm", corrupt},
    };
    for (const auto& [name, kind] : cases) {
        testctl::DecodedPicture picture;
        EXPECT_EQ(corpus::decode(name, picture).rfind(kind, 0), 0u) << name << ": " << corpus::decode(name, picture);
    }
    const std::vector<uint8_t> dds = {'D', 'D', 'S', ' ', 124, 0, 0, 0};
    testctl::DecodedPicture picture;
    EXPECT_EQ(testctl::decodeTextureFile(dds, picture), unsupported + "a DDS file");
}

// The levels D3DX makes, read back through LockRect: sides round up to
// powers of two, the stretch keeps the ends, and each level averages the
// one above.
TEST(MipChain, SidesRoundUpToPowersOfTwoAndEachLevelAveragesTheOneAbove)
{
    HeadlessDevice headless;
    IDirect3DTexture9* texture = nullptr;
    // A 3x1 strip from black to white, stretched to 4x1.
    ASSERT_EQ(testctl::createTexture(headless.device, 3, 1, {0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255},
                                     &texture),
              D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u); // 4x1, 2x1, 1x1
    std::vector<std::vector<uint8_t>> levels;
    for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc = {};
        D3DLOCKED_RECT locked = {};
        ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const uint8_t* bytes = static_cast<const uint8_t*>(locked.pBits);
        levels.emplace_back(bytes, bytes + desc.Width * 4);
        texture->UnlockRect(level);
    }
    texture->Release();
    EXPECT_EQ(levels[0].size(), 16u);
    EXPECT_EQ(levels[0][0], 0);
    EXPECT_EQ(levels[0][12], 255);
    EXPECT_LT(levels[0][4], levels[0][8]);
    for (size_t i = 1; i < levels.size(); ++i) {
        const std::vector<uint8_t>& above = levels[i - 1];
        EXPECT_EQ(levels[i].size(), above.size() / 2);
        for (size_t x = 0; x < levels[i].size() / 4; ++x)
            EXPECT_EQ(levels[i][x * 4], (above[x * 8] + above[x * 8 + 4] + 1) / 2);
    }
    EXPECT_EQ(levels.back()[3], 255);

    // 257 pixels wide gives 512.
    ASSERT_EQ(testctl::createTexture(headless.device, 257, 1, std::vector<uint8_t>(257 * 4, 255), &texture), D3D_OK);
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 512u);
    texture->Release();
}
