// The player's application-data folders: where SHGetFolderPathA finds them
// from the XDG variables and HOME, and making them on request.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace {

// Sets or clears environment variables for one test and puts them back.
struct Environment {
    std::string saved[3];
    bool had[3] = {};
    const char* names[3] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
    Environment()
    {
        for (int i = 0; i < 3; ++i)
            if (const char* v = std::getenv(names[i])) {
                had[i] = true;
                saved[i] = v;
            }
    }
    ~Environment()
    {
        for (int i = 0; i < 3; ++i)
            had[i] ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
    }
};

std::string folder(int csidl, HRESULT expected = S_OK)
{
    char path[MAX_PATH] = "unchanged";
    EXPECT_EQ(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path), expected) << csidl;
    return path;
}

bool isFolder(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST(ShellFolders, ComeFromTheXdgVariablesOrHomeAndAreMadeOnRequest)
{
    Environment restore;
    char scratch[] = "/tmp/quadrill-folders-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string root = scratch;

    setenv("HOME", (root + "/home").c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(folder(CSIDL_APPDATA), root + "/home/.config");
    EXPECT_EQ(folder(CSIDL_LOCAL_APPDATA), root + "/home/.local/share");
    EXPECT_FALSE(isFolder(root + "/home")) << "asking alone makes nothing";

    setenv("XDG_DATA_HOME", (root + "/data/deep").c_str(), 1);
    EXPECT_EQ(folder(CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE), root + "/data/deep");
    EXPECT_TRUE(isFolder(root + "/data/deep"));

    // A file where the folder should be, an unknown folder, no home at all.
    FILE* file = std::fopen((root + "/file").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    setenv("XDG_CONFIG_HOME", (root + "/file/sub").c_str(), 1);
    EXPECT_EQ(folder(CSIDL_APPDATA | CSIDL_FLAG_CREATE, E_FAIL), "");
    EXPECT_EQ(folder(0x0005, E_FAIL), "");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(folder(CSIDL_APPDATA, E_FAIL), "");

    std::remove((root + "/file").c_str());
    for (const char* sub : {"/data/deep", "/data"})
        rmdir((root + sub).c_str());
    rmdir(root.c_str());
}

} // namespace
