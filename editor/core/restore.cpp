#include "editor/core/restore.hpp"

#include <set>

#include "editor/core/pick.hpp"
#include "schedule/helpers.hpp"
#include "schedule/pick_file.hpp"

namespace editor {

namespace {

std::string clearedFolderPath(const Services& services) {
    std::string path = services.workingFolder();
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + std::string(schedule::kClearedFolder);
}

// "Restored 1 cleared pick as number 5.", "... 2 cleared picks as numbers 5 and 6.", "... 4
// cleared picks as numbers 5 to 8.": the numbers given are consecutive.
std::string restoredSentence(unsigned long long first, unsigned long long count) {
    const std::string from = std::to_string(first);
    const std::string to = std::to_string(first + count - 1);
    if (count == 1) return "Restored 1 cleared pick as number " + from + ".";
    return "Restored " + std::to_string(count) + " cleared picks as numbers " + from +
           (count == 2 ? " and " : " to ") + to + ".";
}

}  // namespace

void restoreClearedPicks(MainControls& controls, Services& services) {
    schedule::Folder& working = services.scheduleFolder();
    schedule::Folder& cleared = working.subfolder(schedule::kClearedFolder);
    std::vector<std::string> names;
    if (const schedule::Outcome listed = cleared.fileNames(names); !listed) {
        services.message("The cleared picks in " + clearedFolderPath(services) +
                         " cannot be read: " + listed.error + ". Nothing was restored.");
        return;
    }
    const std::vector<schedule::ClearedPick> picks = schedule::clearedPicks(names);
    if (picks.empty()) {
        services.message(kNothingToRestore);
        return;
    }

    unsigned long long first = 0;     // the first number given
    unsigned long long restored = 0;  // numbers given that hold a restored file
    std::string stopped;              // why the rest stay in the Cleared folder
    // The pick that the files being restored belong to; a day met twice (the same number
    // written with other leading zeros or letter case) starts another.
    const schedule::ClearedPick* group = nullptr;
    std::set<int> groupDays;
    std::string number;
    bool written = false;
    for (const schedule::ClearedPick& pick : picks) {
        if (!group || pick.pick.number != group->pick.number || pick.staged != group->staged ||
            groupDays.count(pick.pick.day.checkIndex)) {
            if (const auto full = advancePickCounter(controls, 1)) {
                stopped = *full;
                break;
            }
            number = controls.text(Field::Text4);
            if (!group) first = std::stoull(number);
            group = &pick;
            groupDays.clear();
            written = false;
        }
        groupDays.insert(pick.pick.day.checkIndex);
        std::string bytes;
        if (const schedule::Outcome read = cleared.readFile(pick.name, bytes); !read) {
            stopped = "The cleared pick file " + pick.name + " cannot be read: " + read.error + ".";
            break;
        }
        const std::string name = schedule::pickFileName(number, pick.pick.day);
        if (const schedule::Outcome copied = schedule::writeFileAtomically(working, name, bytes);
            !copied) {
            stopped = "The pick file " + name + " could not be written in " +
                      services.workingFolder() + ": " + copied.error + ".";
            break;
        }
        if (!written) ++restored;
        written = true;
        if (const schedule::Outcome removed = cleared.removeFile(pick.name); !removed) {
            stopped = "The cleared pick file " + pick.name + " was restored as " + name +
                      " but could not be removed from the Cleared folder: " + removed.error +
                      ". Delete it there, or a later restore brings it back a second time.";
            break;
        }
    }

    std::string message = restored > 0 ? restoredSentence(first, restored) : std::string();
    if (!stopped.empty()) {
        if (!message.empty()) message += " ";
        message += stopped + " What was not restored stays in " + clearedFolderPath(services) + ".";
    }
    services.message(message);
}

}  // namespace editor
