#include "editor/core/day_actions.hpp"

#include "editor/core/check_path.hpp"
#include "editor/core/show_list.hpp"
#include "schedule/helpers.hpp"
#include "schedule/path_limit.hpp"
#include "schedule/run_style.hpp"

namespace editor {

namespace {
// The program line between quotes, as a message names it.
std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}
}  // namespace

void startNow(const DayEntry& entry, Services& services) {
    if (!entry.record) return;
    const schedule::Record& record = *entry.record;
    const std::optional<schedule::RunStyle> style = schedule::runStyleByStoredWord(record.style);
    if (!style) {
        services.message("The run style " + quoted(record.style) + " of " + quoted(record.program) +
                         " is not one that Brightwick knows, so it passes this entry over at "
                         "logon and it is not started now either.");
        return;
    }
    if (const schedule::Outcome started = services.startRecord(record.program, style->showWindow);
        !started) {
        services.message(quoted(record.program) + " could not be started: " + started.error + ".");
    }
}

bool removeFromSchedule(int day, const DayEntry& entry, Services& services) {
    if (!entry.record || day < 0 || day >= static_cast<int>(schedule::kWeekdays.size())) {
        return false;
    }
    const schedule::Weekday& weekday = schedule::kWeekdays[static_cast<std::size_t>(day)];
    schedule::Folder& folder = services.scheduleFolder();
    schedule::CombinedPicks picks;
    if (const schedule::Outcome read = schedule::readPickFiles(folder, picks); !read) {
        services.message("The pick files in " + services.workingFolder() +
                         " cannot be read: " + read.error + ". Nothing was removed.");
        return false;
    }
    const auto index = static_cast<std::size_t>(weekday.checkIndex);
    std::string shown;
    if (!folder.readFile(weekday.dayFile, shown)) shown.clear();
    const std::vector<std::string>& names = picks.pickNames[index];
    if (shown != picks.days[index] || entry.recordIndex < 0 ||
        static_cast<std::size_t>(entry.recordIndex) >= names.size()) {
        // The list no longer shows what the pick files hold: another editor picked or cleared
        // meanwhile. Removing by the old list could remove the wrong program.
        PrepareShowList(services);
        services.message("The " + std::string(weekday.dayLine) +
                         " list had changed since it was shown and is shown anew. Nothing was "
                         "removed; please choose the program again.");
        return true;
    }
    const schedule::Record& record = *entry.record;
    const std::string& pick = names[static_cast<std::size_t>(entry.recordIndex)];
    const std::string working = services.workingFolder();
    // Where the Recycle Bin cannot keep it, the user hears so before the pick is gone for good.
    const bool recycled = services.recycleBinTakes(working);
    const std::string question =
        "Remove " + quoted(record.program) + ", due from " + record.time + ", from the " +
        std::string(weekday.dayLine) + " schedule?\n\nIts pick file " + pick +
        (recycled ? " goes to the Recycle Bin, from where it can be restored; the other days "
                    "keep their own."
                  : " will be deleted for good: the Recycle Bin does not keep files from " +
                        working + ". The other days keep their own.");
    if (services.message(question, Buttons::YesNo) != Answer::Yes) return false;
    const std::string path =
        working + (working.empty() || working.back() != '\\' ? "\\" : "") + pick;
    if (const schedule::Outcome removed = services.recycle(path, !recycled); !removed) {
        services.message("The pick file " + pick + " could not be removed: " + removed.error +
                         ". " + quoted(record.program) + " stays scheduled.");
        return false;
    }
    PrepareShowList(services);
    return true;
}

void openFileLocation(const DayEntry& entry, Services& services) {
    if (!entry.record) return;
    const std::string& program = entry.record->program;
    if (entry.program == ProgramState::NotFound || entry.program == ProgramState::Unquoted) {
        services.message("The program " + quoted(program) +
                         " does not exist, so there is no folder to show.");
        return;
    }
    std::string arguments = "/select," + quoted(program);
    if (entry.program == ProgramState::PathTooLong) {
        // Explorer takes no file by such a path either; its folder, where the user can move or
        // rename the program, may still be short enough.
        const std::string folder = program.substr(0, program.find_last_of('\\'));
        if (schedule::pathTooLong(folder)) {
            services.message("The folder of " + quoted(program) +
                             " cannot be shown: its path, too, is longer than Windows takes.");
            return;
        }
        arguments = quoted(folder);
    }
    if (const schedule::Outcome started = services.start(windowsProgram(services, "explorer.exe"),
                                                         arguments, schedule::kShowNormal);
        !started) {
        services.message("Explorer could not be started to show " + quoted(program) + ": " +
                         started.error + ".");
    }
}

}  // namespace editor
