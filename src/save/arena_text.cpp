// arena_text.cpp: writing an arena's lines, and reading them back.
#include "save/arena_text.h"

#include <cmath>

#include "text/exact_number.h"
#include "text/printable.h"
#include "text/words.h"

namespace {

constexpr char kBoxCountKeyword[] = "boxes";
constexpr char kBoxKeyword[] = "box";
constexpr char kEndKeyword[] = "end";
constexpr size_t kBoxLineWords = 2 + kBoxFieldCount; // "box", the index, the values
constexpr char kColumnsComment[] =
    "# box: index, position (minimum corner) x y z, size x y z, velocity x y z, texture scale\n";

std::string fieldName(const char* name, const char* part)
{
    return *part ? std::string(name) + "." + part : std::string(name);
}

std::string shown(std::string_view word) { return "'" + printable(word, kShownWordBytes) + "'"; }

std::string floatText(float value)
{
    std::string text;
    appendExactFloat(text, value);
    return text;
}

template <size_t N>
std::string choiceList(const Choice (&words)[N])
{
    std::string list;
    for (size_t i = 0; i < N; ++i)
        list += std::string(i == 0 ? "'" : i + 1 == N ? " or '" : ", '") + words[i].word + "'";
    return list;
}

// ---- Writing ---------------------------------------------------------------------------
// Writes the settings, each line into lines[i] (or all into one text,
// newline-terminated, when `joined` is set).
struct SettingsWriter {
    std::string* lines = nullptr;
    std::string* joined = nullptr;
    int index = -1;

    std::string& out() { return joined ? *joined : lines[index]; }
    void line(const char* keyword)
    {
        if (joined && index >= 0)
            *joined += '\n';
        ++index;
        out() += keyword;
    }
    template <typename T, size_t N>
    void choice(const char*, T& value, const Choice (&words)[N])
    {
        for (const Choice& c : words)
            if (c.value == int(value)) {
                out() += ' ';
                out() += c.word;
                return;
            }
        out() += " ?"; // a value no word stands for: unreadable, on purpose
    }
    void real(const char*, const char*, const float& value)
    {
        out() += ' ';
        appendExactFloat(out(), value);
    }
};

struct BoxWriter {
    std::string& out;
    void real(const char*, const char*, const float& value)
    {
        out += ' ';
        appendExactFloat(out, value);
    }
};

// ---- Reading ---------------------------------------------------------------------------
// Where a value stands, for a message: "box 7 size.y", "camera eye.x".
// Put in words only when something is wrong, so that reading costs nothing.
struct FieldPlace {
    const char* name;
    const char* part;
    const uint64_t* box; // the box's index, for a box's values

    std::string text() const
    {
        return (box ? "box " + std::to_string(*box) + " " : std::string()) + fieldName(name, part);
    }
};

bool readValue(std::string_view word, ArenaValues values, const FieldPlace& place, float& value, std::string& problem)
{
    float read = 0.0f;
    if (!readExactFloat(word, read)) {
        problem = place.text() + ": " + shown(word) + " is not a number";
        return false;
    }
    if (values == ArenaValues::Playable && !std::isfinite(read)) {
        problem = place.text() + " is " + floatText(read) + ": every value must be a finite number";
        return false;
    }
    if (values == ArenaValues::Playable && std::fabs(read) > kMaxArenaMagnitude) {
        problem = place.text() + " is " + floatText(read) + ": values lie between -1e30 and 1e30";
        return false;
    }
    value = read;
    return true;
}

// Reads the settings line whose keyword is words[0], if there is one.
struct SettingsReader {
    const Words& words;
    ArenaValues values;
    int current = -1;
    int matched = -1;
    const char* keyword = nullptr;
    size_t wanted = 0;
    std::string problem;

    bool active() const { return matched >= 0 && matched == current; }
    std::string_view nextWord() { return wanted < words.count ? words[wanted] : std::string_view(); }
    void line(const char* name)
    {
        ++current;
        if (words[0] == name) {
            matched = current;
            keyword = name;
        }
    }
    template <typename T, size_t N>
    void choice(const char* name, T& value, const Choice (&choices)[N])
    {
        if (!active())
            return;
        ++wanted;
        const std::string_view word = nextWord();
        if (!problem.empty())
            return;
        for (const Choice& c : choices)
            if (word == c.word) {
                value = T(c.value);
                return;
            }
        problem = std::string(name) + " is " + choiceList(choices) + ", not " + shown(word);
    }
    void real(const char* name, const char* part, float& value)
    {
        if (!active())
            return;
        ++wanted;
        const std::string_view word = nextWord();
        if (problem.empty())
            readValue(word, values, FieldPlace{name, part, nullptr}, value, problem);
    }
};

struct BoxReader {
    const Words& words;
    ArenaValues values;
    const uint64_t* index;
    size_t next = 2;
    std::string problem;

    void real(const char* name, const char* part, float& value)
    {
        const std::string_view word = words[next++];
        if (problem.empty())
            readValue(word, values, FieldPlace{name, part, index}, value, problem);
    }
};

bool playableBox(const BoxState& b, uint64_t index, std::string& problem)
{
    const float sizes[] = {b.size.x, b.size.y, b.size.z};
    const char* axes[] = {"x", "y", "z"};
    for (int i = 0; i < 3; ++i)
        if (!(sizes[i] > 0.0f)) {
            problem = FieldPlace{"size", axes[i], &index}.text() + " is " + floatText(sizes[i]) +
                      ": sizes must be greater than 0";
            return false;
        }
    if (!(b.textureScale > 0.0f)) {
        problem = FieldPlace{"texture scale", "", &index}.text() + " is " + floatText(b.textureScale) +
                  ": it must be greater than 0";
        return false;
    }
    return true;
}

bool playableSetting(const ArenaState& s, const char* keyword, std::string& problem)
{
    const std::string name = keyword;
    if (name == "spawn-timer" && s.spawnCooldown < 0.0f)
        problem = "spawn timer is " + floatText(s.spawnCooldown) + ": it must not be negative";
    else if (name == "camera" && !(s.target != s.eye))
        problem = "the camera's eye and target are the same point: it would look nowhere";
    else if (name == "camera" && !(s.up != Vec3(0.0f, 0.0f, 0.0f)))
        problem = "the camera's up direction is zero";
    return problem.empty();
}

// The settings lines' keywords, in their order.
struct SettingsKeywords {
    const char* names[kArenaSettingsLines] = {};
    int index = -1;
    void line(const char* keyword) { names[++index] = keyword; }
    template <typename T, size_t N>
    void choice(const char*, T&, const Choice (&)[N])
    {
    }
    void real(const char*, const char*, const float&) {}
};

bool readNumberWord(std::string_view word, const char* what, uint64_t& value, std::string& problem)
{
    if (readWholeNumber(word, value))
        return true;
    problem = std::string(what) + " " + shown(word) + " is not a whole number";
    return false;
}

bool wordCount(const Words& words, size_t wanted, const std::string& usage, std::string& problem)
{
    if (words.count == wanted && !words.tooMany)
        return true;
    problem = "usage: " + usage;
    return false;
}

} // namespace

// ---- Writing ---------------------------------------------------------------------------
void arenaSettingsLines(const ArenaState& state, std::string lines[kArenaSettingsLines])
{
    for (int i = 0; i < kArenaSettingsLines; ++i)
        lines[i].clear();
    SettingsWriter writer;
    writer.lines = lines;
    visitArenaSettings(state, writer);
}

void appendBoxLine(uint32_t index, const BoxState& box, std::string& out)
{
    out += kBoxKeyword;
    out += ' ';
    out += std::to_string(index);
    BoxWriter writer{out};
    visitBoxFields(box, writer);
}

void appendArenaText(const ArenaState& state, std::string& out)
{
    out += kArenaMagic;
    out += ' ';
    out += std::to_string(kArenaFormatVersion);
    out += '\n';
    SettingsWriter writer;
    writer.joined = &out;
    visitArenaSettings(state, writer);
    out += '\n';
    out += kBoxCountKeyword;
    out += ' ';
    out += std::to_string(state.boxes.size());
    out += '\n';
    out += kColumnsComment;
    for (size_t i = 0; i < state.boxes.size(); ++i) {
        appendBoxLine(uint32_t(i), state.boxes[i], out);
        out += '\n';
    }
    out += kEndKeyword;
    out += '\n';
}

// ---- Reading one line ------------------------------------------------------------------
bool readArenaLine(std::string_view text, ArenaValues values, ArenaState& into, ArenaLine& line, std::string& problem)
{
    const Words words = splitWords(withoutComment(text));
    line = ArenaLine();
    if (words.count == 0)
        return true;
    const std::string_view keyword = words[0];
    if (keyword == kArenaMagic) {
        line.kind = ArenaLine::Kind::Header;
        return wordCount(words, 2, std::string(kArenaMagic) + " VERSION", problem) &&
               readNumberWord(words[1], "the format version", line.number, problem);
    }
    if (keyword == kEndKeyword) {
        line.kind = ArenaLine::Kind::End;
        return wordCount(words, 1, kEndKeyword, problem);
    }
    if (keyword == kBoxCountKeyword) {
        line.kind = ArenaLine::Kind::BoxCount;
        return wordCount(words, 2, "boxes COUNT", problem) &&
               readNumberWord(words[1], "the box count", line.number, problem);
    }
    if (keyword == kBoxKeyword) {
        line.kind = ArenaLine::Kind::Box;
        if (!wordCount(words, kBoxLineWords, "box INDEX and its 10 values (position, size, velocity, texture scale)",
                       problem) ||
            !readNumberWord(words[1], "the box index", line.number, problem))
            return false;
        BoxReader reader{words, values, &line.number};
        visitBoxFields(line.box, reader);
        problem = reader.problem;
        return problem.empty() && (values == ArenaValues::Any || playableBox(line.box, line.number, problem));
    }
    // A line that turns out bad may leave some of its values in `into`:
    // whoever reads a bad line throws `into` away.
    SettingsReader reader{words, values};
    visitArenaSettings(into, reader);
    if (reader.matched < 0) {
        problem = "unknown line " + shown(keyword);
        return false;
    }
    if (words.tooMany || words.count != reader.wanted + 1) {
        problem = std::string("'") + reader.keyword + "' takes " + std::to_string(reader.wanted) + " value" +
                  (reader.wanted == 1 ? "" : "s");
        return false;
    }
    problem = reader.problem;
    if (!problem.empty() || (values == ArenaValues::Playable && !playableSetting(into, reader.keyword, problem)))
        return false;
    line.kind = ArenaLine::Kind::Setting;
    line.setting = reader.matched;
    return true;
}

// ---- Reading a whole arena -------------------------------------------------------------
bool ArenaReader::accept(std::string_view text, std::string& problem)
{
    if (!started_) {
        const Words words = splitWords(withoutComment(text));
        if (words.count == 0)
            return true;
        if (words[0] != kArenaMagic) {
            problem = "this is not a saved Quadrill arena: its first line is not '" + std::string(kArenaMagic) + " " +
                      std::to_string(kArenaFormatVersion) + "'";
            return false;
        }
    }
    ArenaLine line;
    if (!readArenaLine(text, ArenaValues::Playable, into_, line, problem))
        return false;
    using Kind = ArenaLine::Kind;
    if (line.kind == Kind::Blank)
        return true;
    if (ended_) {
        problem = "something follows the 'end' line";
        return false;
    }
    switch (line.kind) {
    case Kind::Header:
        if (started_) {
            problem = "a second '" + std::string(kArenaMagic) + "' line";
        } else if (line.number > kArenaFormatVersion) {
            problem = "the arena was saved in format " + std::to_string(line.number) +
                      " by a newer Quadrill; this one reads format " + std::to_string(kArenaFormatVersion);
        } else if (line.number != kArenaFormatVersion) {
            problem = "there is no arena format " + std::to_string(line.number);
        }
        started_ = true;
        break;
    case Kind::Setting: {
        const uint32_t bit = 1u << line.setting;
        if (settingsSeen_ & bit)
            problem = "a second '" + std::string(splitWords(withoutComment(text))[0]) + "' line";
        settingsSeen_ |= bit;
        break;
    }
    case Kind::BoxCount:
        if (countSeen_) {
            problem = "a second 'boxes' line";
        } else if (line.number == 0) {
            problem = "an arena holds at least its player cube: 'boxes' must be 1 or more";
        } else if (line.number > kMaxArenaBoxes) {
            problem = std::to_string(line.number) + " boxes are more than a saved arena may hold (" +
                      std::to_string(kMaxArenaBoxes) + ")";
        } else if (keepBoxes_) {
            into_.boxes.clear();
            into_.boxes.reserve(size_t(line.number));
        }
        countSeen_ = true;
        count_ = line.number;
        break;
    case Kind::Box:
        if (!countSeen_) {
            problem = "a 'box' line before the 'boxes' line";
        } else if (boxesRead_ == count_) {
            problem = "more box lines than the " + std::to_string(count_) + " that 'boxes' counts";
        } else if (line.number != boxesRead_) {
            problem = "box " + std::to_string(line.number) + " where box " + std::to_string(boxesRead_) + " comes next";
        } else {
            if (keepBoxes_)
                into_.boxes.push_back(line.box);
            ++boxesRead_;
        }
        break;
    case Kind::End:
        ended_ = true;
        return finish(problem);
    case Kind::Blank:
        break;
    }
    return problem.empty();
}

bool ArenaReader::finish(std::string& problem) const
{
    if (!started_) {
        problem = "the file is empty: there is no arena in it";
        return false;
    }
    if (!ended_) {
        problem = "the arena stops before its 'end' line: the file was cut short";
        return false;
    }
    SettingsKeywords keywords;
    const ArenaState any;
    visitArenaSettings(any, keywords);
    for (int i = 0; i < kArenaSettingsLines; ++i)
        if (!(settingsSeen_ & (1u << i))) {
            problem = std::string("the arena has no '") + keywords.names[i] + "' line";
            return false;
        }
    if (!countSeen_) {
        problem = "the arena has no 'boxes' line";
        return false;
    }
    if (boxesRead_ != count_) {
        problem = "the arena ends after " + std::to_string(boxesRead_) + " of its " + std::to_string(count_) + " boxes";
        return false;
    }
    return true;
}
