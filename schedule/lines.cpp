#include "schedule/lines.hpp"

namespace schedule {

std::size_t lineEndFrom(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    return end;
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
