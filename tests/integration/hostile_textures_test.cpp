// Whatever lies at textures/crate.jpg, the real start-up finishes: a file
// that cannot be a texture gets the game's failure box, standard error says
// where it looked and why, and the game plays on. A file that blocked or
// exhausted the loader would hang this test instead.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/game_fixture.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::string sourcePath(const std::string& relative)
{
    const char* dir = std::getenv("QUADRILL_SOURCE_DIR");
    return std::string(dir ? dir : ".") + "/" + relative;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A progressive JPEG whose last scan is repeated thousands of times: each
// scan makes the decoder pass over the whole image again.
std::string scanBomb()
{
    std::string jpeg = readAll(sourcePath("tests/fuzz/corpus/progressive.jpg"));
    size_t lastScan = jpeg.rfind("\xff\xda");
    size_t end = jpeg.rfind("\xff\xd9");
    std::string scan = jpeg.substr(lastScan, end - lastScan);
    std::string bomb = jpeg.substr(0, end);
    for (int i = 0; i < 5000; ++i)
        bomb += scan;
    return bomb + "\xff\xd9";
}

struct CrateFile {
    const char* name;
    std::function<void(const std::string& path)> make;
    // What standard error says, or nullptr when the file loads.
    const char* reason;
};

const CrateFile kCrateFiles[] = {
    {"NamedPipe", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); },
     "not a regular file: a named pipe"},
    {"Device", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, "not a regular file: a device"},
    {"Directory", [](const std::string& p) { fs::create_directory(p); }, "not a regular file: a directory"},
    {"Unreadable",
     [](const std::string& p) {
         if (geteuid() == 0)
             GTEST_SKIP() << "root reads any file";
         writeAll(p, readAll(sourcePath("textures/crate.jpg")));
         ASSERT_EQ(chmod(p.c_str(), 0), 0);
     },
     "cannot be read: permission denied"},
    {"SymlinkLoop", [](const std::string& p) { fs::create_symlink("crate.jpg", p); },
     "cannot be read: a loop of symbolic links"},
    {"Empty", [](const std::string& p) { writeAll(p, ""); }, "corrupt: an empty file"},
    // Whole and well formed, but its pixel data fails its checksum: only the
    // decoder finds out, and its error text must not leak.
    {"CorruptPng",
     [](const std::string& p) {
         std::string png = readAll(sourcePath("tests/fuzz/corpus/rgb.png"));
         size_t data = png.find("IDAT") + 20;
         png[data] = char(png[data] ^ 0x55);
         writeAll(p, png);
     },
     "corrupt: the decoder refused it"},
    {"HugeGif", [](const std::string& p) { writeAll(p, readAll(sourcePath("tests/fuzz/corpus/huge-gif.gif"))); },
     "not a format this loader reads: a GIF file"},
    {"HugeTga", [](const std::string& p) { writeAll(p, readAll(sourcePath("tests/fuzz/corpus/huge-tga.tga"))); },
     "too large: a side over 8192 pixels"},
    {"ThousandsOfJpegScans", [](const std::string& p) { writeAll(p, scanBomb()); },
     "too large: a JPEG of over 100 scans"},
    // D3DX goes by the contents, not the name.
    {"PngNamedJpg", [](const std::string& p) { writeAll(p, readAll(sourcePath("tests/fuzz/corpus/rgba.png"))); },
     nullptr},
    {"Tga", [](const std::string& p) { writeAll(p, readAll(sourcePath("tests/fuzz/corpus/tga32rle.tga"))); },
     nullptr},
};

void PrintTo(const CrateFile& file, std::ostream* out) { *out << file.name; }

struct HostileCrateTexture : GameTest, ::testing::WithParamInterface<CrateFile> {
    std::string previous;
    std::string folder;
    std::string errors;

    void beforeStart() override
    {
        previous = fs::current_path();
        folder = ::testing::TempDir() + "hostile-" + GetParam().name;
        fs::remove_all(folder);
        fs::create_directories(folder + "/textures");
        for (const char* name : {"ground.jpg", "brick.jpg"})
            fs::copy_file(sourcePath(std::string("textures/") + name), folder + "/textures/" + name);
        GetParam().make(folder + "/textures/crate.jpg");
        fs::current_path(folder);
        ::testing::internal::CaptureStderr();
    }
    void SetUp() override
    {
        GameTest::SetUp();
        errors = ::testing::internal::GetCapturedStderr();
    }
    void TearDown() override
    {
        GameTest::TearDown();
        fs::current_path(previous);
        fs::remove_all(folder);
    }
};

TEST_P(HostileCrateTexture, StartUpReportsItAndTheGamePlaysOn)
{
    const CrateFile& file = GetParam();
    if (file.reason) {
        EXPECT_EQ(testctl::shownTexts(), Texts{"Failed to load crate texture"});
        EXPECT_EQ(g_crateTexture, nullptr);
        std::string expected = "texture \"textures/crate.jpg\" (working directory \"" +
                               fs::canonical(folder).string() + "\"): " + file.reason + "\n";
        // Last, after anything the decoder itself printed.
        ASSERT_GE(errors.size(), expected.size()) << errors;
        EXPECT_EQ(errors.substr(errors.size() - expected.size()), expected) << errors;
    } else {
        EXPECT_EQ(testctl::shownTexts(), Texts{});
        EXPECT_NE(g_crateTexture, nullptr);
        EXPECT_EQ(errors, "");
    }
    EXPECT_TRUE(frames(10));
    EXPECT_EQ(game->quit(), 0);
    EXPECT_EQ(testctl::liveTextures(), 0);
}

INSTANTIATE_TEST_SUITE_P(AtTexturesCrateJpg, HostileCrateTexture, ::testing::ValuesIn(kCrateFiles),
                         [](const ::testing::TestParamInfo<CrateFile>& param) { return param.param.name; });

} // namespace
