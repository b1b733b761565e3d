#include "enginelink/LineBuffer.h"

namespace qinglan {

void LineBuffer::append(std::string_view bytes) {
    // Handing out a burst line by line only moves start_; the spent front is dropped
    // once it is most of the buffer, so each byte is moved a bounded number of times.
    if (start_ > 0 && start_ >= bytes_.size() / 2) {
        bytes_.erase(0, start_);
        start_ = 0;
    }
    bytes_.append(bytes);
}

std::optional<std::string> LineBuffer::takeLine() {
    std::string_view rest = pending();
    std::size_t lf = rest.find('\n');
    if (lf != std::string_view::npos) {
        std::string_view line = rest.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() <= maxLineBytes_) {
            start_ += lf + 1;
            return std::string(line);
        }
    } else if (rest.size() <= maxLineBytes_ + 1) {
        // Room for a CR whose LF is still on its way.
        return std::nullopt;
    }
    start_ += maxLineBytes_;
    return std::string(rest.substr(0, maxLineBytes_));
}

void LineBuffer::clear() {
    bytes_.clear();
    start_ = 0;
}

} // namespace qinglan
