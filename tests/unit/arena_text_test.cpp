// Saved arenas as text: every float and a whole state read back bit for
// bit, and every kind of bad file is refused with its reason and without a
// wait.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <vector>

#include "math/float_bits.h"
#include "save/arena_file.h"
#include "save/arena_text.h"
#include "support/temp_folder.h"
#include "text/exact_number.h"

namespace {

TEST(ExactNumbers, EveryFloatReadsBackToItsOwnBitsAndNothingElseReadsAsOne)
{
    std::vector<uint32_t> patterns = {
        0x00000000, 0x80000000, 0x00000001, 0x807fffff, 0x00800000, 0x7f7fffff, 0xff7fffff, 0x7f800000,
        0xff800000, 0x7fc00000, 0xffc00001, 0x7f800001, 0x3dcccccd, 0xc1533333, 0x4b800001,
    };
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        patterns.push_back(seed);
    }
    for (uint32_t bits : patterns) {
        std::string text;
        appendExactFloat(text, floatOf(bits));
        float back = 0.0f;
        ASSERT_TRUE(readExactFloat(text, back)) << text;
        ASSERT_EQ(bitsOf(back), bits) << text;
    }
    std::string shortest;
    appendExactFloat(shortest, -13.2f);
    EXPECT_EQ(shortest, "-13.2");
    float unused = 0.0f;
    for (const char* word : {"", "nan", "NaN", "infinity", "+1", "1e99", "0x1p3", " 1", "1 ", "1.5.2", "1,5", "nan:7f80",
                             "nan:3f800000", "--1", "e5"})
        EXPECT_FALSE(readExactFloat(word, unused)) << word;
}

ArenaState oddState()
{
    ArenaState s;
    s.freeCameraMode = true;
    s.collisionType = CollisionType::Bounce;
    s.shadowsEnabled = false;
    s.spotLightEnabled = false;
    s.spawnCooldown = floatOf(0x00000001); // the smallest float above zero
    s.lastAimPoint = Vec3(-0.0f, 1e30f, -1e-30f);
    s.eye = Vec3(0.1f, -3.1f, -5.0f);
    s.target = Vec3(0.1f, -3.1f, 1.0f);
    s.up = Vec3(0.0f, 1.0f, 0.0f);
    s.boxes = {{Vec3(0, -5, 0), Vec3(2, 2, 2), Vec3(0, -0.32000002f, 0), 1.0f},
               {Vec3(-20, -5, -20), Vec3(40, 40, 2), Vec3(0, 0, 0), 7.8125f},
               {Vec3(-13.2f, 4.2075214f, 5), Vec3(2, 2, 2), Vec3(1e-38f, -0.0f, 123456.79f), 1.0f}};
    return s;
}

bool readText(const std::string& text, ArenaState& out, std::string& problem)
{
    ArenaReader reader(out);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (!reader.accept(std::string_view(text).substr(at, end - at), problem))
            return false;
        at = end + 1;
    }
    return reader.finish(problem);
}

TEST(ArenaText, AStateReadsBackBitForBitHoweverItsLinesAreLaidOut)
{
    const ArenaState saved = oddState();
    std::string text;
    appendArenaText(saved, text);
    ArenaState back;
    std::string problem;
    ASSERT_TRUE(readText(text, back, problem)) << problem;
    std::string again;
    appendArenaText(back, again);
    EXPECT_EQ(again, text);
    ASSERT_EQ(back.boxes.size(), saved.boxes.size());
    EXPECT_EQ(std::memcmp(back.boxes.data(), saved.boxes.data(), sizeof(BoxState) * saved.boxes.size()), 0);
    EXPECT_EQ(bitsOf(back.lastAimPoint.x), 0x80000000u);

    // A person's edit: comments, blank lines, Windows line ends, settings moved after the boxes.
    std::string edited = "# my tower\r\n\r\n" + text.substr(0, text.find("mode")) +
                         text.substr(text.find("boxes")) + "\n";
    edited.insert(edited.find("end"), text.substr(text.find("mode"), text.find("boxes") - text.find("mode")));
    for (size_t at = 0; (at = edited.find('\n', at)) != std::string::npos; at += 2)
        edited.replace(at, 1, "\r\n");
    ArenaState fromEdit;
    ASSERT_TRUE(readText(edited, fromEdit, problem)) << problem << "\n" << edited;
    std::string third;
    appendArenaText(fromEdit, third);
    EXPECT_EQ(third, text);
}

struct BadFile {
    const char* name;
    std::string contents;
    const char* reason;
};

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

TEST(ArenaFiles, EveryKindOfBadFileIsRefusedWithItsReason)
{
    TempFolder folder;
    ASSERT_FALSE(folder.path.empty());
    std::string good;
    appendArenaText(oddState(), good);
    const std::string junk("\x7f" "ELF\0\0\x01\xff\xfe junk\n\x1b[31m", 18);
    const std::vector<BadFile> cases = {
        {"cut-at-line", good.substr(0, good.find("box 2")), "the arena stops before its 'end' line"},
        {"cut-mid-line", good.substr(0, good.find("box 2") + 9), "line 14: usage: box INDEX"},
        {"negative-size", replaced(good, "box 1 -20 -5 -20 40", "box 1 -20 -5 -20 -40"),
         "line 13: box 1 size.x is -40: sizes must be greater than 0"},
        {"nan", replaced(good, "box 1 -20", "box 1 nan:7fc00000"), "box 1 position.x is nan:7fc00000: every value"},
        {"infinite", replaced(good, "box 1 -20", "box 1 -inf"), "box 1 position.x is -inf: every value"},
        {"not-a-number", replaced(good, "box 1 -20", "box 1 -2O"), "box 1 position.x: '-2O' is not a number"},
        {"junk", junk, "line 1: this is not a saved Quadrill arena"},
        {"newer", replaced(good, "quadrill-arena 1", "quadrill-arena 2"),
         "saved in format 2 by a newer Quadrill; this one reads format 1"},
        {"millions", replaced(good, "boxes 3", "boxes 5000000"), "5000000 boxes are more than a saved arena may hold"},
        {"short-count", replaced(good, "boxes 3", "boxes 4"), "the arena ends after 3 of its 4 boxes"},
        {"skipped-index", replaced(good, "box 1 ", "box 2 "), "box 2 where box 1 comes next"},
        {"twice", replaced(good, "mode free", "mode free\nmode player"), "a second 'mode' line"},
        {"missing", replaced(good, "shadows off\n", ""), "the arena has no 'shadows' line"},
        {"unknown", replaced(good, "mode free", "colour red"), "unknown line 'colour'"},
        {"choice", replaced(good, "mode free", "mode fly"), "mode is 'player' or 'free', not 'fly'"},
        {"blind-camera", replaced(good, "camera 0.1 -3.1 -5", "camera 0.1 -3.1 1"), "the camera's eye and target"},
        {"after-end", good + "box 3 0 0 0 1 1 1 0 0 0 1\n", "something follows the 'end' line"},
        {"empty", "", "the file is empty"},
        {"long-line", std::string(5000, 'x'), "line 1 is too long"},
    };
    for (const BadFile& bad : cases) {
        const std::string path = folder / bad.name;
        ASSERT_TRUE(writeTextFile(path, bad.contents));
        ArenaState state;
        std::string reason;
        EXPECT_FALSE(readArenaFile(path, state, reason)) << bad.name;
        EXPECT_NE(reason.find(bad.reason), std::string::npos) << bad.name << ": " << reason;
        EXPECT_EQ(reason.find('\x1b'), std::string::npos) << bad.name << ": bytes from the file are shown escaped";
    }

    // Not files at all, or far too large: refused before a byte is read.
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((folder / "folder").c_str(), 0700), 0);
    const std::string huge = folder / "huge";
    ASSERT_TRUE(writeTextFile(huge, good));
    ASSERT_EQ(truncate(huge.c_str(), off_t(kMaxArenaFileBytes) + 1), 0);
    const std::vector<std::pair<std::string, const char*>> others = {
        {folder / "fifo", "it is not a regular file"},
        {folder / "folder", "it is a folder"},
        {huge, "it is 65 MiB, more than the 64 MiB"},
        {folder / "absent", "there is no such file"},
        {folder / "absent/deeper", "there is no such file"},
    };
    for (const auto& other : others) {
        ArenaState state;
        std::string reason;
        EXPECT_FALSE(readArenaFile(other.first, state, reason)) << other.first;
        EXPECT_NE(reason.find(other.second), std::string::npos) << other.first << ": " << reason;
    }
}

} // namespace
