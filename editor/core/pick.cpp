#include "editor/core/pick.hpp"

#include <algorithm>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/core/program_safety.hpp"
#include "schedule/folder.hpp"
#include "schedule/path_limit.hpp"
#include "schedule/pick_file.hpp"
#include "schedule/record.hpp"
#include "schedule/run_style.hpp"
#include "schedule/time.hpp"
#include "schedule/weekday.hpp"

namespace editor {

namespace {

// How often a pick kept aside looks for a free name before it gives up.
constexpr int kFreeNameAttempts = 10;

// How far a click moves the counter: once per weekday box up to and including the first
// ticked one, seven times when none is ticked.
unsigned long long counterSteps(const MainControls& controls) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        if (controls.dayTicked(day.checkIndex)) return static_cast<unsigned>(day.checkIndex) + 1;
    }
    return schedule::kWeekdays.size();
}

bool anyDayTicked(const MainControls& controls) {
    return std::any_of(
        schedule::kWeekdays.begin(), schedule::kWeekdays.end(),
        [&](const schedule::Weekday& day) { return controls.dayTicked(day.checkIndex); });
}

// "Normal, Hide, Minimize and Maximize": the list's words as a sentence names them.
std::string runStyleWords() {
    std::string words;
    for (std::size_t i = 0; i < schedule::kRunStyles.size(); ++i) {
        if (i > 0) words += i + 1 == schedule::kRunStyles.size() ? " and " : ", ";
        words += schedule::kRunStyles[i].listWord;
    }
    return words;
}

// The message when the counter has reached its limit: `full` names the limit.
std::string counterFullMessage(const std::string& full) {
    // Numbering from 1 again would only meet the numbers taken and move past the highest,
    // which is at the limit; a clear moves the picks aside, and a new start of the editor
    // then restores them under small numbers.
    return full +
           " Nothing was written. To go on, clear the schedule with Reset/Clear List, start "
           "Norvell again and bring your picks back with Schedule, Restore Cleared Picks: they "
           "get new numbers from 2 on.";
}

// After a pick file's name was found taken: Text4 moves to the highest pick number in the
// folder, as at start-up, when that is higher, and on by one. A folder that cannot be listed
// still moves it on by one, past the taken number.
std::optional<std::string> movePastTakenNumber(MainControls& controls, Uses<Folders> services) {
    std::vector<std::string> names;
    if (services.folders().scheduleFolder().fileNames(names)) {
        const unsigned long long highest = schedule::highestPickNumber(names);
        const std::optional<unsigned long long> counter =
            schedule::readPickNumber(controls.text(Field::Text4));
        if (counter && highest > *counter) controls.setText(Field::Text4, std::to_string(highest));
    }
    return advancePickCounter(controls, 1);
}

// Removes the files of a pick that did not get all of its files, newest first; `names` keeps
// those that stay. The failure that kept the newest of them; success when all went.
schedule::Outcome takeBack(schedule::Folder& folder, std::vector<std::string>& names) {
    while (!names.empty()) {
        if (schedule::Outcome removed = folder.removeFile(names.back()); !removed) return removed;
        names.pop_back();
    }
    return schedule::Outcome::success();
}

// Why `program` may not go into the working folder's schedule: a folder that only
// administrators can change holds a schedule that all users share, and what it starts, starts
// in every user's logon. None when it may.
std::optional<std::string> sharedScheduleRefusal(
    Uses<const Programs, const Folders, const Files, const Startup, const Access> services,
    const std::string& program) {
    const std::string folder = services.folders().workingFolder();
    if (!safeForAllUsers(services, folder)) return std::nullopt;
    const std::vector<std::string> problems = programLineProblems(services, program);
    if (problems.empty()) return std::nullopt;
    std::string text = "The program " + program + " cannot be picked into the schedule in " +
                       folder +
                       ", which Brightwick runs at the logon of every user, administrators too: "
                       "others than administrators could change it.\n";
    for (const std::string& problem : problems) text += "\n- " + problem;
    const std::optional<std::string> programFiles = services.folders().programFilesFolder();
    return text +
           "\n\nNothing was written; put the program into a folder that only administrators can "
           "change, such as " +
           programFiles.value_or("Program Files") + ", and pick it there.";
}

}  // namespace

std::vector<std::string> mainListItems(List list) {
    switch (list) {
        case List::List1:
            return {"AM", "PM"};
        case List::List2:
            return {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"};
        case List::List3:
            return {"00", "15", "30", "45"};
        case List::List4:
            break;
    }
    std::vector<std::string> words;
    words.reserve(schedule::kRunStyles.size());
    for (const schedule::RunStyle& style : schedule::kRunStyles) words.emplace_back(style.listWord);
    return words;
}

void selectResetChoices(MainControls& controls) {
    controls.selectItem(List::List2, "12");
    controls.selectItem(List::List3, "00");
    controls.selectItem(List::List1, "AM");
    controls.selectItem(List::List4, "Normal");
}

std::optional<std::string> advancePickCounter(MainControls& controls, unsigned long long steps) {
    const std::string text = controls.text(Field::Text4);
    const std::optional<unsigned long long> counter = schedule::readPickNumber(text);
    if (!counter) return "The pick counter \"" + text + "\" is not a pick number.";
    if (*counter > schedule::kPickNumberLimit - steps) {
        return "The pick counter stands at " + text + " and cannot go past " +
               schedule::pickNumberLimitText() + ", the highest number a pick file may have.";
    }
    controls.setText(Field::Text4, std::to_string(*counter + steps));
    return std::nullopt;
}

WrittenPick writePickFiles(MainControls& controls, Uses<Folders> services,
                           const std::vector<PickFile>& files) {
    schedule::Folder& folder = services.folders().scheduleFolder();
    WrittenPick pick;
    for (;;) {
        const std::string number = controls.text(Field::Text4);
        std::string taken;
        for (const PickFile& file : files) {
            const std::string name = schedule::pickFileName(number, file.day);
            const schedule::Outcome written = schedule::writeNewFile(
                folder, name, file.bytes,
                schedule::temporaryNameFor(name, services.folders().processId()));
            if (written) {
                pick.names.push_back(name);
                continue;
            }
            if (!written.taken) {
                pick.failure = "The pick file " + name + " could not be written in " +
                               services.folders().workingFolder() + ": " + written.error + ".";
                pick.denied = written.code == kAccessDenied;
                // A retry writes the whole pick again, under a new number: the days written
                // now would start the program twice.
                if (const schedule::Outcome removed = takeBack(folder, pick.names); !removed) {
                    pick.failure += " " + pick.names.back() +
                                    ", written for the same pick, could not be removed again: " +
                                    removed.error + "; delete it before you try again.";
                }
                return pick;
            }
            taken = name;
            break;
        }
        if (taken.empty()) return pick;
        // The files just written are this pick's own, made a moment ago under the number.
        if (const schedule::Outcome removed = takeBack(folder, pick.names); !removed) {
            pick.failure = "The pick file " + taken + " was taken meanwhile, and " +
                           pick.names.back() +
                           ", written for the same pick, could not be removed again to move the "
                           "pick to a free number: " +
                           removed.error + ".";
            return pick;
        }
        if (const auto full = movePastTakenNumber(controls, services)) {
            pick.failure = *full;
            pick.counterFull = true;
            return pick;
        }
    }
}

schedule::Outcome writeUnderFreeName(schedule::Folder& folder, const std::string& name,
                                     std::string_view bytes, unsigned long writer,
                                     std::string& written) {
    const std::optional<schedule::PickName> pick = schedule::parsePickFileName(name);
    written = name;
    // Another editor would have to take each name between one look and the next.
    for (int attempt = 0;; ++attempt) {
        schedule::Outcome outcome = schedule::writeNewFile(
            folder, written, bytes, schedule::temporaryNameFor(written, writer));
        if (!outcome.taken || !pick || attempt == kFreeNameAttempts) return outcome;
        std::vector<std::string> names;
        folder.fileNames(names);
        const unsigned long long next =
            std::max(schedule::highestPickNumber(names), pick->number) + 1;
        if (next > schedule::kPickNumberLimit) return outcome;
        written = schedule::pickFileName(std::to_string(next), pick->day);
    }
}

void pickProgram(
    MainControls& controls,
    Uses<Messages, const Programs, Folders, const Files, const Startup, const Access> services) {
    if (const auto full = advancePickCounter(controls, counterSteps(controls))) {
        services.messages().message(counterFullMessage(*full));
        return;
    }
    if (!anyDayTicked(controls)) return;
    const std::string file = controls.selectedFile();
    if (file.empty()) {
        services.messages().message(kNoFileSelected);
        return;
    }
    // The folder always gets one backslash, so a drive root gives two in a row; the
    // launcher and the viewer take the line as it stands.
    const std::string path = controls.folderPath() + "\\" + file;
    controls.setText(Field::Text1, path);
    // The list shows the folder as it was when it was read.
    if (!services.files().isFile(path)) {
        services.messages().message(
            "The program " + path +
            " is no longer there: it was moved or deleted after the file list "
            "was shown. Nothing was written; the file list now shows the folder as "
            "it is.");
        controls.setFolderPath(controls.folderPath());
        return;
    }
    // File1 lists a folder whose own path fits, and a name in it can still take the whole past
    // the limit: such a record would never start.
    if (schedule::pathTooLong(path)) {
        services.messages().message(
            "The program " + path + " cannot be scheduled: its path is " +
            std::to_string(schedule::utf16Length(path)) +
            " characters long, and Windows starts no program by a path of " +
            std::to_string(schedule::kLongestPath + 1) +
            " characters or more. Nothing was written; please move the program to a "
            "folder with a shorter path, or give it a shorter name, and pick it "
            "there.");
        return;
    }
    // A name the code page cannot hold would be written as look-alike characters and
    // schedule a program that does not exist.
    const std::optional<std::string> programLine = services.files().toAnsi(path);
    if (!programLine) {
        services.messages().message(
            "The program " + path +
            " cannot be scheduled: its name has characters that the system's "
            "code page for schedule files cannot hold. Nothing was written; please "
            "pick a program whose folder and file names use other characters.");
        return;
    }
    if (const auto refusal = sharedScheduleRefusal(services, path)) {
        services.messages().message(*refusal);
        return;
    }
    const std::string style = controls.currentItem(List::List4);
    const std::optional<schedule::RunStyle> runStyle = schedule::runStyleByListWord(style);
    if (!runStyle) {
        services.messages().message("The run style \"" + style + "\" is not one of " +
                                    runStyleWords() + ". Nothing was written.");
        return;
    }
    controls.setText(Field::Text3, schedule::hour24(controls.currentItem(List::List2),
                                                    controls.currentItem(List::List1)));
    const std::string timeLine =
        schedule::timeLine(controls.text(Field::Text3), controls.currentItem(List::List3));
    std::vector<PickFile> files;
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        if (!controls.dayTicked(day.checkIndex)) continue;
        files.push_back(
            {day, schedule::formatRecord({timeLine, *programLine, std::string(runStyle->storedWord),
                                          std::string(day.dayLine)})});
    }
    const WrittenPick written = writePickFiles(controls, services, files);
    if (written.counterFull) {
        services.messages().message(counterFullMessage(written.failure));
        return;
    }
    if (written.denied) {
        // Trying again changes nothing: the schedule lives in the folder Norvell started in.
        services.messages().message(
            written.failure +
            " Your account may not write in that folder, so nothing can be picked "
            "there. Start Norvell in a folder of your own (copy it there, or give "
            "its shortcut such a \"Start in\" folder), or ask whoever may change " +
            services.folders().workingFolder() + " to pick for you.");
        return;
    }
    if (!written.failure.empty()) {
        // The choices stay on the window, so the user can put the cause right and pick again.
        services.messages().message(written.failure + " Your choices are kept; please try again.");
        return;
    }
    services.messages().message(kProgramPicked);
    // All seven days stay ticked for the next pick; clearing them is Reset's job.
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        controls.setDayTicked(day.checkIndex, true);
    }
    selectResetChoices(controls);
}

}  // namespace editor
