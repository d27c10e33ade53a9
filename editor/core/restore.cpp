#include "editor/core/restore.hpp"

#include <string>
#include <vector>

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

// "5", "5 and 6", "5 to 8", "2, 4 and 5", "2 to 4 and 7": the numbers in increasing order,
// three or more in a row as a range.
std::string numbersWording(const std::vector<unsigned long long>& numbers) {
    std::vector<std::string> parts;
    for (std::size_t first = 0; first < numbers.size();) {
        std::size_t last = first;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
        if (last - first >= 2) {
            parts.push_back(std::to_string(numbers[first]) + " to " +
                            std::to_string(numbers[last]));
        } else {
            for (std::size_t i = first; i <= last; ++i) parts.push_back(std::to_string(numbers[i]));
        }
        first = last + 1;
    }
    std::string wording;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) wording += i + 1 == parts.size() ? " and " : ", ";
        wording += parts[i];
    }
    return wording;
}

// "Restored 1 cleared pick as number 5.", "... 2 cleared picks as numbers 5 and 6.", "... 4
// cleared picks as numbers 5 to 8.": a number taken meanwhile by another editor is passed.
std::string restoredSentence(const std::vector<unsigned long long>& numbers) {
    if (numbers.size() == 1) {
        return "Restored 1 cleared pick as number " + std::to_string(numbers.front()) + ".";
    }
    return "Restored " + std::to_string(numbers.size()) + " cleared picks as numbers " +
           numbersWording(numbers) + ".";
}

// The cleared files that come back as one pick, under one number: those of one number and
// one clear, each of its own day. A day met twice (the same number written with other leading
// zeros or letter case) starts another.
std::vector<std::vector<const schedule::ClearedPick*>> picksOf(
    const std::vector<schedule::ClearedPick>& files) {
    std::vector<std::vector<const schedule::ClearedPick*>> picks;
    for (const schedule::ClearedPick& file : files) {
        bool joins = !picks.empty();
        if (joins) {
            const schedule::ClearedPick& first = *picks.back().front();
            joins = file.pick.number == first.pick.number && file.staged == first.staged;
            for (const schedule::ClearedPick* other : picks.back()) {
                joins = joins && other->pick.day.checkIndex != file.pick.day.checkIndex;
            }
        }
        if (!joins) picks.emplace_back();
        picks.back().push_back(&file);
    }
    return picks;
}

}  // namespace

void restoreClearedPicks(MainControls& controls, Services& services) {
    schedule::Folder& cleared = services.scheduleFolder().subfolder(schedule::kClearedFolder);
    std::vector<std::string> names;
    if (const schedule::Outcome listed = cleared.fileNames(names); !listed) {
        services.message("The cleared picks in " + clearedFolderPath(services) +
                         " cannot be read: " + listed.error + ". Nothing was restored.");
        return;
    }
    const std::vector<schedule::ClearedPick> files = schedule::clearedPicks(names);
    if (files.empty()) {
        services.message(kNothingToRestore);
        return;
    }

    std::vector<unsigned long long> given;  // the numbers that hold a restored file
    std::string stopped;                    // why the rest stay in the Cleared folder
    for (const std::vector<const schedule::ClearedPick*>& pick : picksOf(files)) {
        if (const auto full = advancePickCounter(controls, 1)) {
            stopped = *full;
            break;
        }
        std::vector<PickFile> copies;
        for (const schedule::ClearedPick* file : pick) {
            std::string bytes;
            if (const schedule::Outcome read = cleared.readFile(file->name, bytes); !read) {
                stopped =
                    "The cleared pick file " + file->name + " cannot be read: " + read.error + ".";
                break;
            }
            copies.push_back({file->pick.day, std::move(bytes)});
        }
        if (!stopped.empty()) break;
        const WrittenPick written = writePickFiles(controls, services, copies);
        if (!written.names.empty()) given.push_back(std::stoull(controls.text(Field::Text4)));
        // A file leaves the Cleared folder only once its copy is written.
        for (std::size_t i = 0; i < written.names.size() && stopped.empty(); ++i) {
            const std::string& name = pick[i]->name;
            if (const schedule::Outcome removed = cleared.removeFile(name); !removed) {
                stopped = "The cleared pick file " + name + " was restored as " + written.names[i] +
                          " but could not be removed from the Cleared folder: " + removed.error +
                          ". Delete it there, or a later restore brings it back a second time.";
            }
        }
        if (stopped.empty()) stopped = written.failure;
        if (!stopped.empty()) break;
    }

    std::string message = given.empty() ? std::string() : restoredSentence(given);
    if (!stopped.empty()) {
        if (!message.empty()) message += " ";
        message += stopped + " What was not restored stays in " + clearedFolderPath(services) + ".";
    }
    services.message(message);
}

}  // namespace editor
