// Initialisation files through GetPrivateProfileStringA and
// GetPrivateProfileIntA, read as Windows reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Profile : ::testing::Test {
    const std::string written = ::testing::TempDir() + "quadrill-profile-test.ini";
    std::string path = written; // the file read

    void write(const std::string& text)
    {
        FILE* file = std::fopen(written.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    void TearDown() override { std::remove(written.c_str()); }

    std::string get(const char* section, const char* key, const char* fallback = "default", DWORD size = 256)
    {
        std::vector<char> out(size + 1, '#');
        const DWORD n = GetPrivateProfileStringA(section, key, fallback, out.data(), size, path.c_str());
        EXPECT_EQ(out[size], '#') << "wrote past the buffer";
        if (!section || !key) { // a list: names each ending in a zero, two at the end
            EXPECT_TRUE(out[n] == '\0' && ((n > 0 && out[n - 1] == '\0') || out[n + 1] == '\0'))
                << "the list ends with two zeros";
            return std::string(out.data(), n);
        }
        EXPECT_EQ(n, std::string(out.data()).size());
        return out.data();
    }
};

TEST_F(Profile, FindsValuesAsWindowsDoes)
{
    write("\xEF\xBB\xBF"
          "top=before any section\r\n"
          "[Game]\r\n"
          "  Speed = 1.5  \r\n"
          "; speed=9 (a comment)\n"
          "name=\"  quoted  \"\n"
          "half='open\n"
          "speed=2\n"
          "flag\n"
          "empty=\n"
          "[ other ]\n"
          "speed=3\n"
          "[game]\n"
          "late=ignored: the first of two sections wins\n");
    EXPECT_EQ(get("game", "speed"), "1.5") << "names match without case, the first key wins";
    EXPECT_EQ(get("GAME", "name"), "  quoted  ");
    EXPECT_EQ(get("game", "half"), "'open");
    EXPECT_EQ(get("game", "empty"), "");
    EXPECT_EQ(get("game", "flag"), "default") << "a key without '=' has no value";
    EXPECT_EQ(get("game", "top"), "default");
    EXPECT_EQ(get("other", "speed"), "3");
    EXPECT_EQ(get("game", "late"), "default");
    EXPECT_EQ(get("game", "missing", "fallback \t "), "fallback") << "trailing blanks of the default go";
    EXPECT_EQ(get("game", "missing", nullptr), "");
    EXPECT_EQ(get("game", "speed", "", 3), "1.") << "cut short to fit";
    EXPECT_EQ(get(nullptr, nullptr), std::string("Game\0other\0game\0", 16));
    EXPECT_EQ(get("game", nullptr), std::string("Speed\0name\0half\0speed\0flag\0empty\0", 33));
    EXPECT_EQ(get("game", nullptr, "", 12), std::string("Speed\0name", 10)) << "a list cut short";
    EXPECT_EQ(get("nowhere", nullptr), "");
}

TEST_F(Profile, AMissingOrUnreadableFileGivesTheDefaults)
{
    EXPECT_EQ(get("game", "speed"), "default");
    EXPECT_EQ(GetPrivateProfileIntA("game", "speed", 7, path.c_str()), 7u);
    path = ::testing::TempDir(); // a folder
    EXPECT_EQ(get("game", "speed"), "default");
    path = "/dev/zero"; // a device: never read, so never a stall
    EXPECT_EQ(get("game", "speed"), "default");
}

TEST_F(Profile, NumbersAreTheValuesLeadingWholeNumber)
{
    write("[n]\na=42\nb= 17 apples\nc=0x1F\nd=-5\ne=none\nf=\n");
    const char* file = path.c_str();
    EXPECT_EQ(GetPrivateProfileIntA("n", "a", 7, file), 42u);
    EXPECT_EQ(GetPrivateProfileIntA("n", "b", 7, file), 17u);
    EXPECT_EQ(GetPrivateProfileIntA("n", "c", 7, file), 31u);
    EXPECT_EQ(GetPrivateProfileIntA("n", "d", 7, file), 0u) << "below zero gives 0";
    EXPECT_EQ(GetPrivateProfileIntA("n", "e", 7, file), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("n", "f", 7, file), 7u) << "an empty value gives the default";
    EXPECT_EQ(GetPrivateProfileIntA("n", "g", 7, file), 7u);
}

} // namespace
