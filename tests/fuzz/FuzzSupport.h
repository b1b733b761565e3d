#pragma once

// What every fuzz target shares: a failed property aborts, so libFuzzer keeps the input.

#include <cstdlib>
#include <string_view>
#include <vector>

namespace qinglan::fuzz {

inline void require(bool condition) {
    if (!condition) std::abort();
}

// The input's lines, split at LF as an engine's or a file's would be.
inline std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

inline bool hasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace qinglan::fuzz
