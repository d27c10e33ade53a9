#include "editor/core/restore.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "editor/core/check_path.hpp"
#include "editor/core/launcher_shortcut.hpp"
#include "editor/core/deployment_status.hpp"
#include "editor/core/helper_runs.hpp"
#include "editor/core/pick.hpp"
#include "editor/core/wording.hpp"
#include "schedule/helpers.hpp"
#include "schedule/lines.hpp"
#include "schedule/pick_file.hpp"

namespace editor {

namespace {

std::string clearedFolderPath(Uses<const Folders> services) {
    std::string path = services.folders().workingFolder();
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + std::string(schedule::kClearedFolder);
}

// Restored picks named one by one in the message; more are only counted.
constexpr std::size_t kNamedPicks = 5;

// The program line of a pick file's bytes (UTF-8), empty when it has none.
std::string programOf(std::string_view bytes, Uses<const Files> services) {
    const std::string text = services.files().fromAnsi(bytes);
    schedule::LineReader reader(text);
    reader.next();
    return reader.next().value_or(std::string());
}

// "Restored 1 cleared pick: "C:\a.exe".", "Restored 2 cleared picks: "C:\a.exe" and
// "C:\b.exe".", "Restored 9 cleared picks.": the programs tell the user what came back, where
// pick numbers would tell nothing.
std::string restoredSentence(std::size_t picks, const std::vector<std::string>& programs) {
    std::string sentence =
        "Restored " + std::to_string(picks) + (picks == 1 ? " cleared pick" : " cleared picks");
    if (picks > kNamedPicks || programs.empty()) return sentence + ".";
    std::vector<std::string> quoted;
    quoted.reserve(programs.size());
    for (const std::string& program : programs) quoted.push_back("\"" + program + "\"");
    return sentence + ": " + joined(quoted) + ".";
}

bool scheduleStartsAtLogon(Uses<const Folders, const Files, const Startup> services);

// What building the day files again came to, after the restored picks.
std::string rebuiltSentence(std::size_t picks,
                            Uses<Programs, Folders, const Files, const Startup> services) {
    const HelperRun run = services.programs().runHelper(kCombineHelper, kHelperDeadline);
    if (leftPicksOut(run)) return "\n\n" + leftOutPicksMessage(services.folders().scheduleFolder());
    const std::string they = picks == 1 ? "it" : "they";
    const std::optional<std::string> trouble = helperMessage(
        kCombineHelper, run,
        "The restored picks start at logon only once the day files are built: click \"Ready to "
        "Deploy...\" to build them.");
    if (trouble) return "\n\n" + *trouble;
    if (!scheduleStartsAtLogon(services)) {
        return " The day files are built again; no Brightwick shortcut starts this schedule at "
               "logon yet: deploy to start " +
               std::string(picks == 1 ? "it" : "them") + " at logon.";
    }
    return " The day files are built again, so " + they + (picks == 1 ? " starts" : " start") +
           " from your next logon.";
}

// Whether a Startup folder holds a shortcut that starts Brightwick in this schedule's folder,
// which is where it reads the day files.
bool scheduleStartsAtLogon(Uses<const Folders, const Files, const Startup> services) {
    std::string MyPath;
    CheckPath(MyPath, services);
    const Shortcut ours = launcherShortcut(services, MyPath);
    for (const StartupFolder where : {StartupFolder::CurrentUser, StartupFolder::AllUsers}) {
        const StartupPlace place = inspectStartupFolder(services, where, MyPath, ours);
        if (place.starts() && place.workingFolderIsOurs) return true;
    }
    return false;
}

// What is left after a restore: "1 earlier clear remains: ...", empty when none is.
std::string remainingSentence(std::size_t clears) {
    if (clears == 0) return {};
    return "\n\n" +
           (clears == 1 ? std::string("1 earlier clear remains")
                        : std::to_string(clears) + " earlier clears remain") +
           ": Restore Cleared Picks again brings back the one before.";
}

// The picks of one clear's folder, in the order they come back.
std::vector<schedule::ClearedPick> picksIn(schedule::Folder& folder, schedule::Outcome& listed) {
    std::vector<std::string> names;
    listed = folder.fileNames(names);
    return schedule::clearedPicks(names);
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

// Moves the turned-off picks a clear kept (`off`) back into the Turned Off folder, each under
// its name or, where a pick turned off since has it, the next free number there. How many came
// back; `stopped` gets why the rest stay.
std::size_t restoreTurnedOff(schedule::Folder& off, Uses<Folders> services, std::string& stopped) {
    std::vector<std::string> names;
    off.fileNames(names);
    schedule::Folder& root = services.folders().scheduleFolder();
    std::size_t back = 0;
    for (const schedule::ClearedPick& file : schedule::clearedPicks(names)) {
        std::string bytes;
        std::string kept;
        schedule::Outcome done = off.readFile(file.name, bytes);
        if (done) done = root.createSubfolder(schedule::kTurnedOffFolder);
        if (done) {
            done = writeUnderFreeName(root.subfolder(schedule::kTurnedOffFolder), file.name, bytes,
                                      services.folders().processId(), kept);
        }
        if (!done) {
            stopped = "The turned-off pick file " + file.name +
                      " could not be restored: " + done.error + ".";
            break;
        }
        // Only once its copy is written, as the other picks.
        if (const schedule::Outcome removed = off.removeFile(file.name); !removed) {
            stopped = "The turned-off pick file " + file.name + " was restored as " + kept +
                      " but could not be removed from the Cleared folder: " + removed.error + ".";
            break;
        }
        ++back;
    }
    return back;
}

}  // namespace

void restoreClearedPicks(MainControls& controls,
                         Uses<Messages, Programs, Folders, const Files, const Startup> services) {
    schedule::Folder& clearedFolder =
        services.folders().scheduleFolder().subfolder(schedule::kClearedFolder);
    const auto unreadable = [&](const std::string& error) {
        services.messages().message("The cleared picks in " + clearedFolderPath(services) +
                                    " cannot be read: " + error + ". Nothing was restored.");
    };
    std::vector<std::string> folders;
    if (const schedule::Outcome listed = clearedFolder.folderNames(folders); !listed) {
        unreadable(listed.error);
        return;
    }
    // The newest clear that still holds picks; an earlier version kept its one clear's picks
    // right in the Cleared folder, older than any clear's folder. The clears' folders
    // emptied by a restore that was cut off go on the way.
    std::vector<std::string> clears = schedule::clearFoldersNewestFirst(folders);
    std::vector<std::pair<schedule::Folder*, std::vector<schedule::ClearedPick>>> sets;
    std::string chosenClear;  // empty for the earlier version's files
    for (const std::string& clear : clears) {
        schedule::Outcome listed;
        auto picks = picksIn(clearedFolder.subfolder(clear), listed);
        if (!listed) {
            unreadable(listed.error);
            return;
        }
        std::vector<std::string> off;
        clearedFolder.subfolder(clear).subfolder(schedule::kTurnedOffFolder).fileNames(off);
        if (picks.empty() && schedule::clearedPicks(off).empty()) {
            clearedFolder.removeSubfolder(clear);  // one that holds anything else stays
            continue;
        }
        if (sets.empty()) chosenClear = clear;
        sets.emplace_back(&clearedFolder.subfolder(clear), std::move(picks));
    }
    schedule::Outcome listedLoose;
    auto loose = picksIn(clearedFolder, listedLoose);
    if (!listedLoose) {
        unreadable(listedLoose.error);
        return;
    }
    if (!loose.empty()) sets.emplace_back(&clearedFolder, std::move(loose));
    if (sets.empty()) {
        services.messages().message(kNothingToRestore);
        return;
    }
    schedule::Folder& cleared = *sets.front().first;
    const std::vector<schedule::ClearedPick>& files = sets.front().second;

    std::size_t restored = 0;           // picks that hold a restored file
    std::vector<std::string> programs;  // theirs, each once, in order
    bool unnamed = false;               // a restored pick whose program line is missing
    std::string stopped;                // why the rest stay in the Cleared folder
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
        if (!written.names.empty()) {
            ++restored;
            const std::string program = programOf(copies.front().bytes, services);
            if (program.empty()) {
                unnamed = true;
            } else if (std::find(programs.begin(), programs.end(), program) == programs.end()) {
                programs.push_back(program);
            }
        }
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

    // The clear's turned-off picks come back turned off, as they were.
    std::size_t keptOff = 0;
    if (stopped.empty() && !chosenClear.empty()) {
        keptOff =
            restoreTurnedOff(cleared.subfolder(schedule::kTurnedOffFolder), services, stopped);
    }
    // A list that leaves out a pick would misstate what came back: then only the count is told.
    if (unnamed) programs.clear();
    std::string message = restored == 0 ? std::string() : restoredSentence(restored, programs);
    if (keptOff > 0) {
        message += std::string(message.empty() ? "" : " ") + std::to_string(keptOff) +
                   (keptOff == 1 ? " turned-off pick came back turned off, as it was."
                                 : " turned-off picks came back turned off, as they were.");
    }
    if (!stopped.empty()) {
        if (!message.empty()) message += " ";
        message += stopped + " What was not restored stays in " + clearedFolderPath(services) +
                   (chosenClear.empty() ? std::string() : "\\" + chosenClear) + ".";
    }
    // The launcher reads the day files, not the picks: without them built again, the restored
    // picks would not start at the next logon.
    if (restored > 0) message += rebuiltSentence(restored, services);
    // After a stop, restoring again brings back the rest of this clear, told above.
    if (stopped.empty()) {
        if (!chosenClear.empty()) {
            clearedFolder.subfolder(chosenClear).removeSubfolder(schedule::kTurnedOffFolder);
            clearedFolder.removeSubfolder(chosenClear);
        }
        message += remainingSentence(sets.size() - 1);
    }
    services.messages().message(message);
}

}  // namespace editor
