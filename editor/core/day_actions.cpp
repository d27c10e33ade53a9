#include "editor/core/day_actions.hpp"

#include "editor/core/check_path.hpp"
#include "editor/core/pick.hpp"
#include "editor/core/show_list.hpp"
#include "schedule/helpers.hpp"
#include "schedule/path_limit.hpp"
#include "schedule/pick_file.hpp"
#include "schedule/run_style.hpp"

namespace editor {

namespace {
// The program line between quotes, as a message names it.
std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The full path of `name`, a file of the working folder or of one of its subfolders.
std::string inWorking(Uses<const Folders> services, std::string_view name) {
    std::string path = services.folders().workingFolder();
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + std::string(name);
}

std::string offFolderPath(Uses<const Folders> services) {
    return inWorking(services, schedule::kTurnedOffFolder);
}

std::string listChanged(const schedule::Weekday& weekday, std::string_view done) {
    return "The " + std::string(weekday.dayLine) +
           " list had changed since it was shown and is shown anew. Nothing was " +
           std::string(done) + "; please choose the program again.";
}

// Whether the turned-off pick file of `entry` still holds the record shown: another editor
// may have turned it on or cleared it meanwhile.
bool stillTurnedOff(const DayEntry& entry, Uses<Folders, const Files> services) {
    std::string bytes;
    std::string reason;
    schedule::Folder& off =
        services.folders().scheduleFolder().subfolder(schedule::kTurnedOffFolder);
    if (!off.readFile(entry.offPick, bytes)) return false;
    return schedule::pickRecord(services.files().fromAnsi(bytes), reason) == entry.record;
}

}  // namespace

void startNow(const DayEntry& entry, Uses<Messages, Programs> services) {
    if (!entry.record) return;
    const schedule::Record& record = *entry.record;
    const std::optional<schedule::RunStyle> style = schedule::runStyleByStoredWord(record.style);
    if (!style) {
        services.messages().message(
            "The run style " + quoted(record.style) + " of " + quoted(record.program) +
            " is not one that Brightwick knows, so it passes this entry over at "
            "logon and it is not started now either.");
        return;
    }
    if (const schedule::Outcome started =
            services.programs().startRecord(record.program, style->showWindow);
        !started) {
        services.messages().message(quoted(record.program) +
                                    " could not be started: " + started.error + ".");
    }
}

std::optional<std::string> pickOfEntry(int day, const DayEntry& entry,
                                       Uses<Messages, Programs, Folders> services,
                                       std::string_view done, bool& reshow) {
    reshow = false;
    if (!entry.record || entry.off || day < 0 ||
        day >= static_cast<int>(schedule::kWeekdays.size())) {
        return std::nullopt;
    }
    const schedule::Weekday& weekday = schedule::kWeekdays[static_cast<std::size_t>(day)];
    schedule::Folder& folder = services.folders().scheduleFolder();
    schedule::CombinedPicks picks;
    if (const schedule::Outcome read = schedule::readPickFiles(folder, picks); !read) {
        services.messages().message("The pick files in " + services.folders().workingFolder() +
                                    " cannot be read: " + read.error + ". Nothing was " +
                                    std::string(done) + ".");
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(weekday.checkIndex);
    std::string shown;
    if (!folder.readFile(weekday.dayFile, shown)) shown.clear();
    const std::vector<std::string>& names = picks.pickNames[index];
    if (shown != picks.days[index] || entry.recordIndex < 0 ||
        static_cast<std::size_t>(entry.recordIndex) >= names.size()) {
        // The list no longer shows what the pick files hold: another editor picked or cleared
        // meanwhile. Acting by the old list could act on the wrong program.
        PrepareShowList(services);
        services.messages().message(listChanged(weekday, done));
        reshow = true;
        return std::nullopt;
    }
    return names[static_cast<std::size_t>(entry.recordIndex)];
}

bool removeFromSchedule(int day, const DayEntry& entry,
                        Uses<Messages, Programs, Folders, const Files, RecycleBin> services) {
    if (!entry.record || day < 0 || day >= static_cast<int>(schedule::kWeekdays.size())) {
        return false;
    }
    const schedule::Weekday& weekday = schedule::kWeekdays[static_cast<std::size_t>(day)];
    std::string pick;
    if (entry.off) {
        if (!stillTurnedOff(entry, services)) {
            services.messages().message(listChanged(weekday, "removed"));
            return true;
        }
        pick = std::string(schedule::kTurnedOffFolder) + "\\" + entry.offPick;
    } else {
        bool reshow = false;
        const std::optional<std::string> found =
            pickOfEntry(day, entry, services, "removed", reshow);
        if (!found) return reshow;
        pick = *found;
    }
    const schedule::Record& record = *entry.record;
    const std::string working = services.folders().workingFolder();
    // Where the Recycle Bin cannot keep it, the user hears so before the pick is gone for good.
    const bool recycled = services.recycleBin().recycleBinTakes(working);
    const std::string question =
        "Remove " + quoted(record.program) + ", due from " + record.time + ", from the " +
        std::string(weekday.dayLine) + " schedule?\n\nIts pick file " + pick +
        (recycled ? " goes to the Recycle Bin, from where it can be restored; the other days "
                    "keep their own."
                  : " will be deleted for good: the Recycle Bin does not keep files from " +
                        working + ". The other days keep their own.");
    if (services.messages().message(question, Buttons::YesNo) != Answer::Yes) return false;
    if (const schedule::Outcome removed =
            services.recycleBin().recycle(inWorking(services, pick), !recycled);
        !removed) {
        services.messages().message(
            "The pick file " + pick + " could not be removed: " + removed.error + ". " +
            quoted(record.program) + (entry.off ? " stays turned off." : " stays scheduled."));
        return false;
    }
    // A turned-off pick is in no day file.
    if (!entry.off) PrepareShowList(services);
    return true;
}

bool turnOff(int day, const DayEntry& entry, Uses<Messages, Programs, Folders> services) {
    bool reshow = false;
    const std::optional<std::string> pick = pickOfEntry(day, entry, services, "turned off", reshow);
    if (!pick) return reshow;
    const std::string program = quoted(entry.record->program);
    schedule::Folder& folder = services.folders().scheduleFolder();
    std::string bytes;
    schedule::Outcome done = folder.readFile(*pick, bytes);
    if (done) done = folder.createSubfolder(schedule::kTurnedOffFolder);
    std::string kept;
    if (done) {
        done = writeUnderFreeName(folder.subfolder(schedule::kTurnedOffFolder), *pick, bytes,
                                  services.folders().processId(), kept);
    }
    if (!done) {
        services.messages().message(program + " could not be turned off: its pick file " + *pick +
                                    " could not be copied into " + offFolderPath(services) + ": " +
                                    done.error + ". It stays on.");
        return false;
    }
    if (const schedule::Outcome removed = folder.removeFile(*pick); !removed) {
        // Both would start nothing twice, but the user would find the record on and off at once.
        folder.subfolder(schedule::kTurnedOffFolder).removeFile(kept);
        services.messages().message(program + " could not be turned off: its pick file " + *pick +
                                    " could not be moved: " + removed.error + ". It stays on.");
        return false;
    }
    PrepareShowList(services);
    return true;
}

bool turnOn(const DayEntry& entry, MainControls& counter,
            Uses<Messages, Programs, Folders, const Files> services) {
    if (!entry.record || !entry.off) return false;
    const std::optional<schedule::PickName> name = schedule::parsePickFileName(entry.offPick);
    if (!name) return false;
    if (!stillTurnedOff(entry, services)) {
        services.messages().message(listChanged(name->day, "turned on"));
        return true;
    }
    const std::string program = quoted(entry.record->program);
    schedule::Folder& folder = services.folders().scheduleFolder();
    schedule::Folder& off = folder.subfolder(schedule::kTurnedOffFolder);
    std::string bytes;
    off.readFile(entry.offPick, bytes);
    std::string back = entry.offPick;
    schedule::Outcome written = schedule::writeNewFile(
        folder, back, bytes, schedule::temporaryNameFor(back, services.folders().processId()));
    std::string failure;
    if (written.taken) {
        // As a pick takes a number: the counter's next one, or past it where that is taken too.
        if (const auto full = advancePickCounter(counter, 1)) {
            failure = *full;
        } else {
            const WrittenPick pick = writePickFiles(counter, services, {{name->day, bytes}});
            failure = pick.failure;
            if (!pick.names.empty()) back = pick.names.front();
        }
    } else if (!written) {
        failure = "The pick file " + back + " could not be written in " +
                  services.folders().workingFolder() + ": " + written.error + ".";
    }
    if (!failure.empty()) {
        services.messages().message(program + " could not be turned on. " + failure +
                                    " It stays off.");
        return false;
    }
    if (const schedule::Outcome removed = off.removeFile(entry.offPick); !removed) {
        folder.removeFile(back);
        services.messages().message(program + " could not be turned on: its pick file " +
                                    entry.offPick + " could not be moved out of " +
                                    offFolderPath(services) + ": " + removed.error +
                                    ". It stays off.");
        return false;
    }
    PrepareShowList(services);
    return true;
}

void openFileLocation(const DayEntry& entry, Uses<Messages, Programs, const Folders> services) {
    if (!entry.record) return;
    const std::string& program = entry.record->program;
    if (entry.program == ProgramState::NotFound || entry.program == ProgramState::Unquoted) {
        services.messages().message("The program " + quoted(program) +
                                    " does not exist, so there is no folder to show.");
        return;
    }
    std::string arguments = "/select," + quoted(program);
    if (entry.program == ProgramState::PathTooLong) {
        // Explorer takes no file by such a path either; its folder, where the user can move or
        // rename the program, may still be short enough.
        const std::string folder = program.substr(0, program.find_last_of('\\'));
        if (schedule::pathTooLong(folder)) {
            services.messages().message(
                "The folder of " + quoted(program) +
                " cannot be shown: its path, too, is longer than Windows takes.");
            return;
        }
        arguments = quoted(folder);
    }
    if (const schedule::Outcome started = services.programs().start(
            windowsProgram(services, "explorer.exe"), arguments, schedule::kShowNormal);
        !started) {
        services.messages().message("Explorer could not be started to show " + quoted(program) +
                                    ": " + started.error + ".");
    }
}

}  // namespace editor
