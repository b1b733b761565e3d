#include "ProfileFile.h"

// Texts stay UTF-8 bytes as they are; without this the header converts them.
#define SI_NO_CONVERSION
// Debian's header hides the template bodies behind this; its prebuilt library uses
// another converter, so the one translation unit that needs them compiles them here.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qinglan {

namespace fs = std::filesystem;

struct ProfileFile::Store {
    // CSimpleIniA compares names without ASCII case; keeps duplicate keys; one-line values.
    CSimpleIniA ini { false, true, false };
};

namespace {

constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool hasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool hasOuterBlanks(std::string_view text) {
    return !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
}

bool isQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

bool sameAsciiCaseless(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

bool isStorableSection(std::string_view name) {
    return !name.empty() && !hasLineBreakOrNul(name) && !hasOuterBlanks(name)
        && name.find(']') == std::string_view::npos;
}

bool isStorableKey(std::string_view name) {
    return !name.empty() && !hasLineBreakOrNul(name) && !hasOuterBlanks(name)
        && name.find('=') == std::string_view::npos && name.front() != ';' && name.front() != '#'
        && name.front() != '[';
}

// The reader trims blanks around a value; quotes keep them, and values that are
// quoted already get a second pair so that reading removes only that one. An empty
// value is quoted too, or the line would be saved as a bare key without "=".
std::string storedForm(std::string_view value) {
    if (value.empty() || hasOuterBlanks(value) || isQuoted(value))
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

// Replaces path's content; through a temporary file beside it when the folder allows,
// so that a failed write never leaves half a file.
bool writeWholeFile(const std::string& path, const std::string& text) {
    std::error_code error;
    fs::path target(path);
    if (fs::is_symlink(target, error)) { // write through a link, never over it
        target = fs::canonical(target, error);
        if (error) return false;
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);

    fs::path temporary = target;
    temporary += ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        // A folder we may not write in, holding a file we may: write the file in place.
        std::ofstream inPlace(target, std::ios::binary | std::ios::trunc);
        return inPlace && inPlace.write(text.data(), std::streamsize(text.size()))
            && inPlace.flush();
    }
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    if (out) {
        fs::perms mode = fs::status(target, error).permissions();
        if (!error && mode != fs::perms::unknown) fs::permissions(temporary, mode, error);
        fs::rename(temporary, target, error);
        if (!error) return true;
    }
    fs::remove(temporary, error); // the old file stays whole
    return false;
}

// SimpleIni 4.19 gives a line without "=" the value of the line before it, which a save
// then writes out ("note" after "a=1" comes back as "note=1"). An "=" at the end gives
// such a line the empty value it should have, and an empty value is saved as the bare key.
std::string withKeyOnlyLinesEnded(const std::string& data) {
    std::string out;
    out.reserve(data.size());
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t end = data.find_first_of("\r\n", at);
        if (end == std::string::npos) end = data.size();
        const std::string_view line(data.data() + at, end - at);
        const std::size_t first = line.find_first_not_of(" \t");
        const bool keyOnly = first != std::string_view::npos
            && line.find('=') == std::string_view::npos && line[first] != ';' && line[first] != '#'
            && line[first] != '[';
        out += line;
        if (keyOnly) out += '=';
        const std::size_t next = data.find_first_not_of("\r\n", end);
        out.append(data, end, (next == std::string::npos ? data.size() : next) - end);
        at = next == std::string::npos ? data.size() : next;
    }
    return out;
}

} // namespace

int parseProfileInt(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && isBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    long long value = 0;
    const long long limit = negative ? -(long long)INT_MIN : INT_MAX;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        if (value < limit) value = std::min(limit, value * 10 + (text[at] - '0'));
    return int(negative ? -value : value);
}

std::string formatProfileInt(int value) {
    return std::to_string(value);
}

ProfileFile::ProfileFile(const std::string& readPath, std::string savePath)
    : store_(std::make_unique<Store>())
    , sameFile_(readPath == savePath)
    , savePath_(std::move(savePath)) {
    store_->ini.SetSpaces(false);
    store_->ini.SetAllowKeyOnly(true); // keeps stray lines instead of dropping them on save
    std::error_code error;
    fs::file_status status = fs::status(readPath, error);
    if (!fs::exists(status)) {
        loadState_ = LoadState::Missing;
        return;
    }
    std::ifstream in(readPath, std::ios::binary);
    if (!in || fs::is_directory(status)) {
        loadState_ = LoadState::Unreadable;
        return;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Windows editors start a UTF-8 file with a byte order mark; left in place it would
    // turn the first section line into a stray key.
    if (data.starts_with(UTF8_BYTE_ORDER_MARK)) data.erase(0, UTF8_BYTE_ORDER_MARK.size());
    // The parser stops at a NUL byte; a blank keeps the lines after it.
    for (char& c : data)
        if (c == '\0') c = ' ';
    loadState_ = store_->ini.LoadData(withKeyOnlyLinesEnded(data)) >= 0 ? LoadState::Loaded
                                                                        : LoadState::Unreadable;
}

ProfileFile::ProfileFile(ProfileFile&&) noexcept = default;
ProfileFile& ProfileFile::operator=(ProfileFile&&) noexcept = default;
ProfileFile::~ProfileFile() = default;

std::string ProfileFile::read(
    std::string_view section, std::string_view key, std::string_view fallback) const {
    const char* value
        = store_->ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr);
    if (!value) return std::string(fallback);
    std::string_view text(value);
    if (isQuoted(text)) text = text.substr(1, text.size() - 2);
    return std::string(text);
}

std::vector<std::pair<std::string, std::string>> ProfileFile::entries(
    std::string_view section) const {
    const CSimpleIniA::TKeyVal* keys = store_->ini.GetSection(std::string(section).c_str());
    if (!keys) return {};
    std::vector<std::pair<CSimpleIniA::Entry, const char*>> lines(keys->begin(), keys->end());
    std::ranges::sort(
        lines, CSimpleIniA::Entry::LoadOrder(), [](const auto& line) { return line.first; });
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [key, value] : lines) {
        // A key written twice is listed once, with the value read() gives. (The name is
        // copied because clang before 16 cannot capture a structured binding.)
        const char* name = key.pItem;
        if (std::ranges::any_of(
                out, [name](const auto& entry) { return sameAsciiCaseless(entry.first, name); }))
            continue;
        std::string_view text(value ? value : "");
        if (isQuoted(text)) text = text.substr(1, text.size() - 2);
        out.emplace_back(key.pItem, std::string(text));
    }
    return out;
}

int ProfileFile::readInt(std::string_view section, std::string_view key, int fallback) const {
    return parseProfileInt(read(section, key, formatProfileInt(fallback)));
}

bool ProfileFile::write(std::string_view section, std::string_view key, std::string_view value) {
    if (!isStorableSection(section) || !isStorableKey(key) || hasLineBreakOrNul(value))
        return false;
    const std::string sectionName(section);
    // A key already in the file keeps its spelling there.
    std::string keyName(key);
    CSimpleIniA::TNamesDepend keys;
    store_->ini.GetAllKeys(sectionName.c_str(), keys);
    for (const auto& entry : keys)
        if (sameAsciiCaseless(entry.pItem, keyName)) keyName = entry.pItem;
    return store_->ini.SetValue(
               sectionName.c_str(), keyName.c_str(), storedForm(value).c_str(), nullptr, true)
        >= 0;
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, int value) {
    return write(section, key, formatProfileInt(value));
}

void ProfileFile::removeSection(std::string_view section) {
    store_->ini.Delete(std::string(section).c_str(), nullptr, true);
}

bool ProfileFile::save() {
    if (sameFile_ && loadState_ == LoadState::Unreadable) return false;
    std::string text;
    if (store_->ini.Save(text, false) < 0) return false;
    return writeWholeFile(savePath_, text);
}

} // namespace qinglan
