#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// Cuts a byte stream into lines. A line ends at LF; a CR right before the LF is
// dropped even when the two arrived in different chunks. A line that grows past
// maxLineBytes without an end is cut there and handed out in pieces, so a stream
// that never ends its line cannot grow the buffer without bound.
class LineBuffer {
public:
    explicit LineBuffer(std::size_t maxLineBytes)
        : maxLineBytes_(maxLineBytes) { }

    void append(std::string_view bytes);
    // The next complete (or cut) line without its line end; nothing when the bytes
    // waiting do not make a line yet.
    std::optional<std::string> takeLine();
    // Every byte not yet handed out as a line, line ends and all.
    std::string_view pending() const { return std::string_view(bytes_).substr(start_); }
    void clear();

private:
    std::size_t maxLineBytes_;
    std::string bytes_;
    std::size_t start_ = 0; // bytes before this have been handed out
};

} // namespace qinglan
