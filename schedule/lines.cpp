#include "schedule/lines.hpp"

#include <algorithm>
#include <cstring>

namespace schedule {

std::size_t lineEndFrom(std::string_view text, std::size_t from) {
    // Looked for a stretch at a time: searched to the end of the text, LF in a file of lone CRs
    // would be looked for through all the rest of it at every line.
    constexpr std::size_t kStretch = 512;
    for (std::size_t at = from; at < text.size(); at += kStretch) {
        const char* const begin = text.data() + at;
        const std::size_t left = std::min(kStretch, text.size() - at);
        const auto* feed = static_cast<const char*>(std::memchr(begin, '\n', left));
        const std::size_t beforeFeed = feed ? static_cast<std::size_t>(feed - begin) : left;
        if (const auto* carriage = static_cast<const char*>(std::memchr(begin, '\r', beforeFeed))) {
            return at + static_cast<std::size_t>(carriage - begin);
        }
        if (feed) return at + beforeFeed;
    }
    return text.size();
}

std::optional<std::string> LineReader::next() {
    if (atEnd()) return std::nullopt;
    const std::size_t end = lineEndFrom(bytes_, position_);
    std::string line(bytes_.substr(position_, end - position_));
    position_ = end + 1;
    if (end < bytes_.size() && bytes_[end] == '\r' && position_ < bytes_.size() &&
        bytes_[position_] == '\n') {
        ++position_;
    }
    return line;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    LineReader reader(bytes);
    while (auto line = reader.next()) lines.push_back(std::move(*line));
    return lines;
}

}  // namespace schedule
