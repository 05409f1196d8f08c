// arena_compare.cpp: the digest and the first difference.
#include "save/arena_compare.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "math/float_bits.h"
#include "text/exact_number.h"

namespace {

constexpr uint64_t kFnvOffsetBasis = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

struct Digest {
    uint64_t hash = kFnvOffsetBasis;

    void word(uint32_t w)
    {
        hash ^= w;
        hash *= kFnvPrime;
    }
    void line(const char*) {}
    template <typename T, size_t N>
    void choice(const char*, const T& value, const Choice (&)[N])
    {
        word(uint32_t(int32_t(value)));
    }
    void real(const char*, const char*, const float& value)
    {
        word(bitsOf(value));
    }
};

// Each value's name, bits and text, in order.
struct Field {
    std::string name;
    uint32_t bits;
    std::string text;
};

struct Fields {
    std::vector<Field> all;

    void line(const char*) {}
    template <typename T, size_t N>
    void choice(const char* name, const T& value, const Choice (&words)[N])
    {
        std::string text = "?";
        for (const Choice& c : words)
            if (c.value == int(value))
                text = c.word;
        all.push_back(Field{name, uint32_t(int32_t(value)), text});
    }
    void real(const char* name, const char* part, const float& value)
    {
        Field f{*part ? std::string(name) + "." + part : std::string(name), bitsOf(value), ""};
        appendExactFloat(f.text, value);
        all.push_back(f);
    }
};

std::string difference(const std::string& what, const std::string& recorded, const std::string& found)
{
    return what + ": expected " + recorded + ", found " + found;
}

// The first of two lists of fields that differs, prefixed with `where`.
std::string firstOf(const Fields& recorded, const Fields& found, const std::string& where)
{
    for (size_t i = 0; i < recorded.all.size() && i < found.all.size(); ++i)
        if (recorded.all[i].bits != found.all[i].bits)
            return difference(where + recorded.all[i].name, recorded.all[i].text, found.all[i].text);
    return "";
}

} // namespace

uint64_t arenaDigest(const ArenaState& state)
{
    Digest digest;
    visitArenaSettings(state, digest);
    digest.word(uint32_t(state.boxes.size()));
    for (const BoxState& box : state.boxes)
        visitBoxFields(box, digest);
    return digest.hash;
}

// The boxes first: where play departs, a box is what a developer looks for.
std::string firstDifference(const ArenaState& recorded, const ArenaState& found)
{
    const size_t common = std::min(recorded.boxes.size(), found.boxes.size());
    for (size_t i = 0; i < common; ++i) {
        if (std::memcmp(&recorded.boxes[i], &found.boxes[i], sizeof(BoxState)) == 0)
            continue;
        Fields ra, fb;
        visitBoxFields(recorded.boxes[i], ra);
        visitBoxFields(found.boxes[i], fb);
        return firstOf(ra, fb, "box " + std::to_string(i) + " ");
    }
    if (recorded.boxes.size() != found.boxes.size())
        return difference("the number of boxes", std::to_string(recorded.boxes.size()),
                          std::to_string(found.boxes.size()));
    Fields a, b;
    visitArenaSettings(recorded, a);
    visitArenaSettings(found, b);
    return firstOf(a, b, "");
}
