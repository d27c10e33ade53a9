#include "editor/core/change_record.hpp"

#include <algorithm>
#include <optional>
#include <vector>

#include "editor/core/day_actions.hpp"
#include "editor/core/pick.hpp"
#include "editor/core/show_list.hpp"
#include "schedule/helpers.hpp"
#include "schedule/run_style.hpp"
#include "schedule/time.hpp"
#include "schedule/weekday.hpp"

namespace editor {

namespace {

bool isItemOf(List list, const std::string& item) {
    const std::vector<std::string> items = mainListItems(list);
    return std::find(items.begin(), items.end(), item) != items.end();
}

// `item` when it is one of the list's items, else empty: the dialog then selects none.
std::string itemOrNone(List list, const std::string& item) {
    return isItemOf(list, item) ? item : std::string();
}

// What is wrong with the choices, as a sentence; none when they make a record.
std::optional<std::string> refusal(const RecordChoices& choices) {
    const std::pair<List, const std::string*> lists[] = {{List::List2, &choices.hour},
                                                         {List::List3, &choices.minute},
                                                         {List::List1, &choices.half},
                                                         {List::List4, &choices.style}};
    for (const auto& [list, item] : lists) {
        if (!isItemOf(list, *item)) {
            return "Please choose the hour, the minute, AM or PM and the run style from their "
                   "lists. Nothing was changed.";
        }
    }
    if (std::none_of(choices.days.begin(), choices.days.end(), [](bool day) { return day; })) {
        return "Please tick at least one day. Nothing was changed.";
    }
    return std::nullopt;
}

// Takes back the new pick files; the sentence that names those that stay, empty when none.
std::string takeBack(const std::vector<std::string>& names, Uses<Folders> services) {
    std::string stayed;
    for (const std::string& name : names) {
        if (!services.folders().scheduleFolder().removeFile(name))
            stayed += (stayed.empty() ? "" : ", ") + name;
    }
    if (stayed.empty()) return " The new pick files were taken back.";
    return " The new pick files " + stayed +
           " could not be taken back: remove them with "
           "Remove from Schedule, or the record starts twice.";
}

}  // namespace

RecordChoices choicesOf(const schedule::Record& record, int day) {
    RecordChoices choices;
    const std::string& time = record.time;
    const bool digits = time.size() == 5 && time[2] == ':' &&
                        std::all_of(time.begin(), time.end(),
                                    [](char c) { return c == ':' || (c >= '0' && c <= '9'); });
    if (digits) {
        const int hour = (time[0] - '0') * 10 + (time[1] - '0');
        if (hour < 24) {
            const int twelve = hour % 12 == 0 ? 12 : hour % 12;
            choices.hour = (twelve < 10 ? "0" : "") + std::to_string(twelve);
            choices.half = hour < 12 ? "AM" : "PM";
        }
        choices.minute = itemOrNone(List::List3, time.substr(3));
    }
    if (const auto style = schedule::runStyleByStoredWord(record.style)) {
        choices.style = std::string(style->listWord);
    }
    if (day >= 0 && day < static_cast<int>(choices.days.size())) {
        choices.days[static_cast<std::size_t>(day)] = true;
    }
    return choices;
}

bool changeRecord(int day, const DayEntry& entry, const RecordChoices& choices,
                  MainControls& counter, Uses<Messages, Programs, Folders, RecycleBin> services) {
    if (!entry.record || entry.off) return false;
    if (const std::optional<std::string> wrong = refusal(choices)) {
        services.messages().message(*wrong);
        return false;
    }
    const std::string timeLine =
        schedule::timeLine(schedule::hour24(choices.hour, choices.half), choices.minute);
    const std::string_view style = schedule::runStyleByListWord(choices.style)->storedWord;
    if (choices == choicesOf(*entry.record, day) && timeLine == entry.record->time &&
        style == entry.record->style) {
        return false;
    }
    bool reshow = false;
    const std::optional<std::string> old = pickOfEntry(day, entry, services, "changed", reshow);
    if (!old) return reshow;
    const std::string unchanged = " The record of \"" + entry.record->program + "\" is unchanged.";
    // The program line as the pick file holds it, in the code page's bytes.
    std::string bytes;
    std::string reason;
    std::optional<schedule::Record> record;
    if (const schedule::Outcome read = services.folders().scheduleFolder().readFile(*old, bytes);
        !read) {
        reason = read.error;
    } else {
        record = schedule::pickRecord(bytes, reason);
    }
    if (!record) {
        services.messages().message("The pick file " + *old + " cannot be read: " + reason + "." +
                                    unchanged);
        return false;
    }
    std::vector<PickFile> files;
    for (const schedule::Weekday& weekday : schedule::kWeekdays) {
        if (!choices.days[static_cast<std::size_t>(weekday.checkIndex)]) continue;
        files.push_back(
            {weekday, schedule::formatRecord({timeLine, record->program, std::string(style),
                                              std::string(weekday.dayLine)})});
    }
    if (const auto full = advancePickCounter(counter, 1)) {
        services.messages().message(*full + unchanged);
        return false;
    }
    const WrittenPick written = writePickFiles(counter, services, files);
    if (!written.failure.empty()) {
        services.messages().message(written.failure + unchanged +
                                    takeBack(written.names, services));
        return false;
    }
    const std::string working = services.folders().workingFolder();
    const std::string path =
        working + (working.empty() || working.back() != '\\' ? "\\" : "") + *old;
    if (const schedule::Outcome recycled = services.recycleBin().recycle(path, false); !recycled) {
        services.messages().message("The pick file " + *old +
                                    " could not be sent to the Recycle Bin: " + recycled.error +
                                    "." + unchanged + takeBack(written.names, services));
        return false;
    }
    PrepareShowList(services);
    return true;
}

}  // namespace editor
