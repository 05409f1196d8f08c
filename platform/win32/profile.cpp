// profile.cpp: GetPrivateProfileStringA and GetPrivateProfileIntA, reading
// initialisation files as Windows does.
//
// A file is "[section]" lines followed by "key=value" lines. Names match
// without regard to case, and the first of two equal names wins. Blanks
// around names and values go, and so do quotes around a whole value. A line
// whose first character is ';' is a comment; a line without '=' is a key
// without a value; a key before any section belongs to none and is never
// found. A missing or unreadable file reads as an empty one.
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Initialisation files are small; more than this is read no further.
constexpr size_t kMaxProfileBytes = 1 << 20;

struct ProfileKey {
    std::string name;
    std::string value;
    bool hasValue = false;
};

struct ProfileSection {
    std::string name;
    std::vector<ProfileKey> keys;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string trimmed(const std::string& text)
{
    size_t first = 0, end = text.size();
    while (first < end && isBlank(text[first]))
        ++first;
    while (end > first && isBlank(text[end - 1]))
        --end;
    return text.substr(first, end - first);
}

bool sameName(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i]))
            return false;
    return i == a.size() && !b[i];
}

// Regular files only, opened without blocking: a pipe or a device in the
// file's place reads as nothing rather than stalling the program.
std::string readFile(const char* path)
{
    std::string bytes;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    struct stat info = {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char chunk[4096];
        while (bytes.size() < kMaxProfileBytes) {
            const ssize_t got = read(fd, chunk, sizeof chunk);
            if (got <= 0)
                break;
            bytes.append(chunk, size_t(got));
        }
        if (bytes.size() > kMaxProfileBytes)
            bytes.resize(kMaxProfileBytes);
    }
    close(fd);
    return bytes;
}

std::string unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

std::vector<ProfileSection> parseProfile(const std::string& text)
{
    std::vector<ProfileSection> sections;
    size_t start = 0;
    // A byte-order mark written by an editor is not part of the first line.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            sections.push_back(ProfileSection{trimmed(line.substr(1, close == std::string::npos ? std::string::npos
                                                                                              : close - 1)),
                                              {}});
            continue;
        }
        if (sections.empty())
            continue;
        const size_t equals = line.find('=');
        ProfileKey key;
        key.name = trimmed(line.substr(0, equals));
        key.hasValue = equals != std::string::npos;
        if (key.hasValue)
            key.value = unquoted(trimmed(line.substr(equals + 1)));
        sections.back().keys.push_back(key);
    }
    return sections;
}

const ProfileSection* findSection(const std::vector<ProfileSection>& sections, const char* name)
{
    for (const ProfileSection& s : sections)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

// Copies `text` into a buffer of `size` bytes with its terminating zero,
// cutting it short to fit; returns the characters copied.
DWORD copyString(const std::string& text, LPSTR out, DWORD size)
{
    const size_t n = text.size() < size_t(size) ? text.size() : size_t(size) - 1;
    text.copy(out, n);
    out[n] = '\0';
    return DWORD(n);
}

// Copies names as a list: each ends with a zero and the list with a second
// one. Cut short, the list still ends with two zeros and the result is
// size - 2, as on Windows.
DWORD copyList(const std::vector<std::string>& names, LPSTR out, DWORD size)
{
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    size_t used = 0;
    const size_t room = size_t(size) - 1; // the list's final zero
    for (const std::string& name : names) {
        if (used + name.size() + 1 > room) {
            const size_t fits = room - used;
            if (fits > 0) {
                name.copy(out + used, fits - 1);
                out[used + fits - 1] = '\0';
            }
            out[size - 1] = '\0';
            return size - 2;
        }
        name.copy(out + used, name.size());
        used += name.size();
        out[used++] = '\0';
    }
    out[used] = '\0';
    if (used == 0 && size >= 2)
        out[1] = '\0';
    return DWORD(used);
}

} // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned, DWORD size,
                                      LPCSTR fileName)
{
    if (!returned || size == 0)
        return 0;
    const std::vector<ProfileSection> sections = fileName ? parseProfile(readFile(fileName))
                                                          : std::vector<ProfileSection>();
    if (!section) {
        std::vector<std::string> names;
        for (const ProfileSection& s : sections)
            names.push_back(s.name);
        return copyList(names, returned, size);
    }
    const ProfileSection* found = findSection(sections, section);
    if (!key) {
        std::vector<std::string> names;
        if (found)
            for (const ProfileKey& k : found->keys)
                names.push_back(k.name);
        return copyList(names, returned, size);
    }
    const ProfileKey* value = nullptr;
    for (size_t i = 0; found && !value && i < found->keys.size(); ++i)
        if (sameName(found->keys[i].name, key))
            value = &found->keys[i];
    if (value && value->hasValue)
        return copyString(value->value, returned, size);
    // Windows cuts trailing blanks off the default.
    std::string fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && isBlank(fallback.back()))
        fallback.pop_back();
    return copyString(fallback, returned, size);
}

// The value's leading whole number (decimal, or hexadecimal after "0x"), or
// the default when the key is missing or empty; a negative number gives 0.
UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName)
{
    char value[64];
    if (GetPrivateProfileStringA(section, key, "", value, sizeof value, fileName) == 0)
        return UINT(defaultValue);
    const char* c = value;
    bool negative = false;
    if (*c == '-' || *c == '+')
        negative = *c++ == '-';
    int base = 10;
    if (c[0] == '0' && (c[1] == 'x' || c[1] == 'X')) {
        base = 16;
        c += 2;
    }
    if (!(base == 16 ? std::isxdigit((unsigned char)*c) : std::isdigit((unsigned char)*c)))
        return 0;
    const unsigned long long number = std::strtoull(c, nullptr, base);
    if (negative && number != 0)
        return 0;
    return UINT(number);
}
