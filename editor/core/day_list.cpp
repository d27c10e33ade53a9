#include "editor/core/day_list.hpp"

#include <stdexcept>

#include "schedule/run_style.hpp"
#include "schedule/weekday.hpp"

namespace editor {

namespace {
// Whether the third character of a UTF-8 line is ":". Characters, not bytes: a line that
// starts with a letter outside ASCII has its third character further on.
bool thirdCharacterIsColon(std::string_view line) {
    int character = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if ((byte & 0xC0) == 0x80) continue;  // continues the character before
        if (++character == 3) return byte == ':';
    }
    return false;
}
}  // namespace

std::optional<std::string> shownLine(std::string_view line) {
    std::string shown(line);
    if (thirdCharacterIsColon(shown)) shown.insert(0, "Time: ");
    // One word at most can match; a run-style wording never equals a stored word or a day.
    if (const auto style = schedule::runStyleByStoredWord(shown)) {
        shown = std::string(style->shownAs);
    }
    if (schedule::weekdayByDayLine(shown)) return std::nullopt;
    return shown;
}

std::vector<std::string> ReadDayList(schedule::LineSource& file) {
    std::vector<std::string> lines;
    while (auto line = file.next()) {
        if (auto shown = shownLine(*line)) lines.push_back(std::move(*shown));
    }
    return lines;
}

void OnDayButton(int index, ViewerControls& controls, schedule::Folder& folder,
                 const DayFileDecoder& decode) {
    if (index < 0 || index >= static_cast<int>(schedule::kWeekdays.size())) {
        throw std::out_of_range("no weekday has the index " + std::to_string(index));
    }
    controls.setLines({});
    for (int day = 0; day < static_cast<int>(schedule::kWeekdays.size()); ++day) {
        controls.setDayBold(day, day == index);
    }
    std::string bytes;
    if (!folder.readFile(schedule::kWeekdays[static_cast<std::size_t>(index)].dayFile, bytes)) {
        return;
    }
    const std::string text = decode(bytes);
    schedule::LineReader reader(text);
    controls.setLines(ReadDayList(reader));
}

}  // namespace editor
