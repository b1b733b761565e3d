#pragma once

#include <string_view>
#include <utility>

namespace qinglan {

// The value a command-line word names in a table of (word, value) rows; false, and
// value untouched, for a word the table lacks.
template<typename T, std::size_t N>
bool valueOfName(std::string_view text, const std::pair<const char*, T> (&names)[N], T& value) {
    for (const auto& row : names)
        if (text == row.first) {
            value = row.second;
            return true;
        }
    return false;
}

} // namespace qinglan
