#include "schedule/lines.hpp"

namespace schedule {

std::optional<std::string> LineReader::next() {
    if (atEnd()) return std::nullopt;
    const std::size_t end = bytes_.find_first_of("\r\n", position_);
    if (end == std::string_view::npos) {
        std::string line(bytes_.substr(position_));
        position_ = bytes_.size();
        return line;
    }
    std::string line(bytes_.substr(position_, end - position_));
    position_ = end + 1;
    if (bytes_[end] == '\r' && position_ < bytes_.size() && bytes_[position_] == '\n') ++position_;
    return line;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    LineReader reader(bytes);
    while (auto line = reader.next()) lines.push_back(std::move(*line));
    return lines;
}

}  // namespace schedule
