#include "editor/core/day_list.hpp"

#include <algorithm>
#include <array>
#include <iterator>
#include <stdexcept>

#include "schedule/command_line.hpp"
#include "schedule/helpers.hpp"
#include "schedule/path_limit.hpp"
#include "schedule/pick_file.hpp"
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

const schedule::Weekday& weekday(int index) {
    if (index < 0 || index >= static_cast<int>(schedule::kWeekdays.size())) {
        throw std::out_of_range("no weekday has the index " + std::to_string(index));
    }
    return schedule::kWeekdays[static_cast<std::size_t>(index)];
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

std::vector<DayEntry> ReadDayList(schedule::LineSource& file) {
    std::vector<DayEntry> entries;
    int records = 0;
    for (;;) {
        std::array<std::string, schedule::kRecordLines> group;
        std::size_t read = 0;
        while (read < group.size()) {
            std::optional<std::string> line = file.next();
            if (!line) break;
            group[read++] = std::move(*line);
        }
        if (read == 0) break;
        DayEntry entry;
        for (std::size_t i = 0; i < read; ++i) {
            if (auto shown = shownLine(group[i])) entry.lines.push_back(std::move(*shown));
        }
        if (read == group.size()) {
            entry.record = schedule::Record{group[0], group[1], group[2], group[3]};
            entry.recordIndex = records++;
        }
        if (!entry.lines.empty()) entries.push_back(std::move(entry));
        if (read < group.size()) break;
    }
    return entries;
}

std::vector<std::string> shownLines(const std::vector<DayEntry>& entries) {
    std::vector<std::string> lines;
    for (const DayEntry& entry : entries)
        lines.insert(lines.end(), entry.lines.begin(), entry.lines.end());
    return lines;
}

ProgramState programState(std::string_view programLine,
                          Uses<const Programs, const Files> services) {
    // Asked first: the system's program search cannot find a file by such a path either, and
    // the user would look for a file that is there.
    if (schedule::pathTooLong(programLine) && services.files().isFile(programLine)) {
        return ProgramState::PathTooLong;
    }
    if (!schedule::unmistakableCommandLine(programLine) && !services.files().isFile(programLine)) {
        return ProgramState::Unquoted;
    }
    return services.programs().programFound(programLine) ? ProgramState::Found
                                                         : ProgramState::NotFound;
}

ProgramState recordState(const schedule::Record& record,
                         Uses<const Programs, const Files> services) {
    if (schedule::recordDamage(record)) return ProgramState::NeverStarts;
    return programState(record.program, services);
}

std::vector<DayEntry> turnedOffEntries(int index,
                                       Uses<const Programs, Folders, const Files> services) {
    const int day = weekday(index).checkIndex;
    schedule::Folder& off =
        services.folders().scheduleFolder().subfolder(schedule::kTurnedOffFolder);
    std::vector<std::string> names;
    if (!off.fileNames(names)) return {};
    std::vector<std::pair<unsigned long long, std::string>> picks;
    for (std::string& name : names) {
        const auto pick = schedule::parsePickFileName(name);
        if (pick && pick->day.checkIndex == day) picks.emplace_back(pick->number, std::move(name));
    }
    std::sort(picks.begin(), picks.end());
    std::vector<DayEntry> entries;
    for (auto& [number, name] : picks) {
        std::string bytes;
        std::string reason;
        if (!off.readFile(name, bytes)) continue;
        const auto record = schedule::pickRecord(services.files().fromAnsi(bytes), reason);
        if (!record) continue;
        DayEntry entry;
        for (const std::string* line : {&record->time, &record->program, &record->style}) {
            if (auto shown = shownLine(*line)) entry.lines.push_back(std::move(*shown));
        }
        if (entry.lines.empty()) continue;
        entry.lines.front() += kOffMark;
        entry.record = *record;
        entry.program = recordState(*record, services);
        entry.off = true;
        entry.offPick = std::move(name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<DayEntry> readDay(int index, Uses<const Programs, Folders, const Files> services) {
    std::vector<DayEntry> entries;
    if (std::string bytes;
        services.folders().scheduleFolder().readFile(weekday(index).dayFile, bytes)) {
        const std::string text = services.files().fromAnsi(bytes);
        schedule::LineReader reader(text);
        entries = ReadDayList(reader);
        for (DayEntry& entry : entries) {
            if (entry.record) entry.program = recordState(*entry.record, services);
        }
    }
    std::vector<DayEntry> off = turnedOffEntries(index, services);
    entries.insert(entries.end(), std::make_move_iterator(off.begin()),
                   std::make_move_iterator(off.end()));
    return entries;
}

void OnDayButton(int index, ViewerControls& controls,
                 Uses<const Programs, Folders, const Files> services) {
    weekday(index);  // refused before anything changes
    controls.setEntries({});
    for (int day = 0; day < static_cast<int>(schedule::kWeekdays.size()); ++day) {
        controls.setDayBold(day, day == index);
    }
    controls.setEntries(readDay(index, services));
}

}  // namespace editor
