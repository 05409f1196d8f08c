// shell_folders.cpp: the user's application-data folders, in the places the
// XDG base directories give them on this host.
#include <shlobj.h>

#include <errno.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr mode_t kFolderMode = 0700; // the user's own, as XDG asks

// An XDG variable counts only when it holds an absolute path.
bool fromEnvironment(const char* variable, std::string& folder)
{
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/')
        return false;
    folder = value;
    return true;
}

bool knownFolder(int csidl, std::string& folder)
{
    const char* variable = nullptr;
    const char* underHome = nullptr;
    switch (csidl) {
    case CSIDL_APPDATA:
        variable = "XDG_CONFIG_HOME";
        underHome = "/.config";
        break;
    case CSIDL_LOCAL_APPDATA:
        variable = "XDG_DATA_HOME";
        underHome = "/.local/share";
        break;
    default:
        return false;
    }
    if (fromEnvironment(variable, folder))
        return true;
    std::string home;
    if (!fromEnvironment("HOME", home))
        return false;
    folder = home + underHome;
    return true;
}

// Every missing folder along the path, as mkdir -p makes them.
bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), kFolderMode) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

HRESULT WINAPI SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, LPSTR path)
{
    if (!path)
        return E_FAIL;
    path[0] = '\0';
    std::string folder;
    if (!knownFolder(csidl & ~CSIDL_FLAG_CREATE, folder) || folder.size() >= MAX_PATH)
        return E_FAIL;
    if ((csidl & CSIDL_FLAG_CREATE) && !makeFolders(folder))
        return E_FAIL;
    std::memcpy(path, folder.c_str(), folder.size() + 1);
    return S_OK;
}
