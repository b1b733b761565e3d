#include "enginelink/AnnouncedOption.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <span>

namespace qinglan {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), lowerAscii);
    return lower;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find_first_of(" \t", start);
        if (end == std::string_view::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        at = end;
    }
    return out;
}

std::string joined(std::span<const std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) {
        if (!out.empty()) out += ' ';
        out += part;
    }
    return out;
}

std::optional<OptionKind> kindOf(std::string_view type) {
    static constexpr std::array<std::pair<std::string_view, OptionKind>, 5> KINDS { {
        { "check", OptionKind::Check },
        { "spin", OptionKind::Spin },
        { "combo", OptionKind::Combo },
        { "string", OptionKind::String },
        { "button", OptionKind::Button },
    } };
    for (const auto& [text, kind] : KINDS)
        if (sameOptionName(type, text)) return kind;
    return std::nullopt;
}

bool isKeyword(std::string_view word) {
    return word == "default" || word == "min" || word == "max" || word == "var";
}

// Reads the "default/min/max/var" part after the type; each value runs to the next
// keyword, so names and values may hold blanks.
void readValues(AnnouncedOption& option, std::span<const std::string_view> rest) {
    std::optional<long long> min, max;
    std::size_t at = 0;
    while (at < rest.size()) {
        const std::string_view keyword = rest[at++];
        const std::size_t start = at;
        while (at < rest.size() && !isKeyword(rest[at])) ++at;
        const std::string value = joined(rest.subspan(start, at - start));
        if (!isKeyword(keyword)) continue;
        if (keyword == "default")
            option.defaultValue = value == "<empty>" ? "" : value;
        else if (keyword == "min")
            min = optionInteger(value);
        else if (keyword == "max")
            max = optionInteger(value);
        else if (option.choices.size() < MAX_OPTION_CHOICES && !value.empty()
            && !hasControlCharacter(value))
            option.choices.push_back(value);
    }
    if (option.kind != OptionKind::Combo) option.choices.clear();
    if (option.kind != OptionKind::Spin) return;
    option.min = min.value_or(LLONG_MIN);
    option.max = max.value_or(LLONG_MAX);
    if (option.min > option.max) std::swap(option.min, option.max);
}

} // namespace

bool hasControlCharacter(std::string_view text) {
    return std::ranges::any_of(text, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

bool sameOptionName(std::string_view a, std::string_view b) {
    // UCCI names cannot hold blanks: engines that speak both write them with "_".
    const auto key = [](char c) { return c == '_' ? ' ' : lowerAscii(c); };
    return std::ranges::equal(a, b, {}, key, key);
}

std::optional<long long> optionInteger(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || negative)) text.remove_prefix(1);
    if (text.empty() || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    unsigned long long magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error == std::errc::result_out_of_range || magnitude > LLONG_MAX)
        return negative ? LLONG_MIN : LLONG_MAX;
    return negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
}

std::optional<AnnouncedOption> parseOptionLine(std::string_view line) {
    const std::vector<std::string_view> parts = words(line);
    if (parts.size() < 4 || parts[0] != "option") return std::nullopt;
    const std::size_t nameStart = parts[1] == "name" ? 2 : 1;
    const auto type = std::find(parts.begin() + nameStart, parts.end(), "type");
    if (type == parts.end() || type + 1 == parts.end()) return std::nullopt;
    const std::size_t nameEnd = static_cast<std::size_t>(type - parts.begin());
    AnnouncedOption option;
    option.name = joined(std::span(parts).subspan(nameStart, nameEnd - nameStart));
    if (option.name.empty() || option.name.size() > MAX_OPTION_NAME_BYTES
        || hasControlCharacter(option.name))
        return std::nullopt;
    const std::optional<OptionKind> kind = kindOf(*(type + 1));
    if (!kind) return std::nullopt;
    option.kind = *kind;
    readValues(option, std::span(parts).subspan(nameEnd + 2));
    if (hasControlCharacter(option.defaultValue)) return std::nullopt;
    return option;
}

bool acceptsOptionValue(const AnnouncedOption& option, std::string_view value) {
    if (hasControlCharacter(value)) return false;
    switch (option.kind) {
    case OptionKind::Check:
        return value == "true" || value == "false";
    case OptionKind::Spin: {
        const std::optional<long long> number = optionInteger(value);
        return number && *number >= option.min && *number <= option.max;
    }
    case OptionKind::Combo:
        return std::ranges::find(option.choices, value) != option.choices.end();
    case OptionKind::String:
        return true;
    case OptionKind::Button:
        return false;
    }
    return false;
}

std::string optionCommand(
    const AnnouncedOption& option, std::string_view value, EngineProtocol protocol) {
    const bool button = option.kind == OptionKind::Button;
    if (protocol == EngineProtocol::Uci) {
        std::string line = "setoption name " + option.name;
        if (!button)
            line += " value " + (value.empty() ? std::string("<empty>") : std::string(value));
        return line;
    }
    return "setoption " + option.name + (button ? "" : " " + std::string(value));
}

bool isProgramOption(std::string_view name, EngineProtocol protocol) {
    static constexpr std::array<std::string_view, 11> UCCI_OWN { "usemillisec", "ponder",
        "randomness", "pruning", "style", "hashsize", "threads", "bookfiles", "usebook", "newgame",
        "multipv" };
    static constexpr std::array<std::string_view, 4> UCI_OWN { "ponder", "hash", "threads",
        "multipv" };
    const std::string lower = lowerCase(name);
    if (protocol == EngineProtocol::Uci) return std::ranges::find(UCI_OWN, lower) != UCI_OWN.end();
    return std::ranges::find(UCCI_OWN, lower) != UCCI_OWN.end();
}

bool switchesProtocol(std::string_view name) {
    return sameOptionName(name, "Protocol");
}

std::optional<std::string> fixedOptionValue(const AnnouncedOption& option) {
    static constexpr std::string_view XIANGQI = "xiangqi";
    const bool offered = option.kind == OptionKind::Combo
        && std::ranges::find(option.choices, XIANGQI) != option.choices.end();
    if (!offered || !sameOptionName(option.name, "UCI_Variant")) return std::nullopt;
    return std::string(XIANGQI);
}

bool looksLikePath(const AnnouncedOption& option) {
    if (option.kind != OptionKind::String) return false;
    const std::string name = lowerCase(option.name);
    for (std::string_view hint : { "file", "path", "dir", "folder", "book", "network" })
        if (name.find(hint) != std::string::npos) return true;
    return option.defaultValue.find('/') != std::string::npos;
}

const std::string* storedOptionValue(
    const std::map<std::string, std::string>& stored, std::string_view name) {
    for (const auto& [key, value] : stored)
        if (sameOptionName(key, name)) return &value;
    return nullptr;
}

void eraseStoredOption(std::map<std::string, std::string>& stored, std::string_view name) {
    std::erase_if(stored, [&](const auto& entry) { return sameOptionName(entry.first, name); });
}

} // namespace qinglan
