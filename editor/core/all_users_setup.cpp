#include "editor/core/all_users_setup.hpp"

#include <algorithm>
#include <map>
#include <optional>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/check_path.hpp"
#include "editor/core/launcher_shortcut.hpp"
#include "editor/core/deployment_status.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/core/helper_runs.hpp"
#include "editor/core/program_safety.hpp"
#include "editor/core/wording.hpp"
#include "schedule/helpers.hpp"

namespace editor {

namespace {

constexpr unsigned long kFullControl = 0x1F01FF;  // FILE_ALL_ACCESS
constexpr unsigned long kReadAndRun = 0x1200A9;   // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE

std::string owner(const Security& security) {
    return security.ownerName.empty() ? security.ownerSid : security.ownerName;
}

// Why a folder or file that is there already cannot stay in the shared schedule's folder.
std::optional<std::string> cannotStay(Uses<const Access> services, const std::string& path,
                                      bool reparsePoint) {
    if (reparsePoint) {
        return path + " is a junction, symbolic link or mount point, which leads elsewhere.";
    }
    Security security;
    if (const schedule::Outcome read = services.access().security(path, security); !read) {
        return path + ": who owns it could not be read: " + withFullStop(read.error);
    }
    if (security.reparsePoint) return cannotStay(services, path, true);
    if (!judgeAccess(security, services.access().account(), true).foreignOwner.empty()) {
        return path + " belongs to " + owner(security) +
               ", who could let anyone change it whatever its access list says.";
    }
    return std::nullopt;
}

// Goes through everything below `top`, a folder before what it holds, links not followed.
// Judging, every problem is named; taking over, each item is judged again (it may have changed
// since), then taken over before its own contents are listed, and the first problem stops it.
// Whether it found something foreign; a failure to list or take over is a problem too.
bool walkBelow(Uses<const Files, Access> services, const std::string& top, bool takeOver,
               std::vector<std::string>& problems, std::size_t& items) {
    bool foreign = false;
    std::vector<std::string> pending{top};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        std::vector<FolderItem> held;
        if (const schedule::Outcome listed = services.files().folderItems(folder, held); !listed) {
            problems.push_back(
                folder + ": what it holds could not be listed: " + withFullStop(listed.error));
            if (takeOver) return foreign;
            continue;
        }
        for (const FolderItem& item : held) {
            const std::string path = folder + "\\" + item.name;
            if (auto problem = cannotStay(services, path, item.reparsePoint)) {
                problems.push_back(std::move(*problem));
                foreign = true;
                if (takeOver) return foreign;
            } else if (takeOver) {
                if (const schedule::Outcome taken = services.access().takeOver(path); !taken) {
                    problems.push_back(path + " could not be given to Administrators: " +
                                       withFullStop(taken.error));
                    return foreign;
                }
                ++items;
            }
            // Judging, a user's folder is looked into too, so that all of it is named.
            if (item.folder && !item.reparsePoint) pending.push_back(path);
        }
    }
    return foreign;
}

// Each pick file of a schedule: those whose records the day files would hold, and those left
// out, which a pick file of the shared schedule must never be.
std::vector<std::string> pickFileNames(const schedule::CombinedPicks& combined) {
    std::vector<std::string> names;
    for (const auto& day : combined.pickNames) names.insert(names.end(), day.begin(), day.end());
    for (const schedule::LeftOutPick& pick : combined.leftOut) names.push_back(pick.name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// The helper run to its end with status 0; otherwise what went wrong, for the log.
std::optional<std::string> helperProblem(Uses<Programs> services, std::string_view helper) {
    const HelperRun run = services.programs().runHelper(helper, kHelperDeadline);
    if (run.ending == HelperRun::Ending::Finished && run.exitCode == 0) return std::nullopt;
    return helperMessage(helper, run, "Nothing was deployed.")
        .value_or(std::string(helper) + " ended with status " + std::to_string(run.exitCode) +
                  ". Nothing was deployed.");
}

// The shared schedule as it was before a deployment replaced it: its pick files and its day
// files, each with its bytes, or none for a day file that was not there.
struct Snapshot {
    std::vector<std::pair<std::string, std::optional<std::string>>> files;
};

schedule::Outcome takeSnapshot(schedule::Folder& folder, Snapshot& snapshot) {
    std::vector<std::string> names;
    if (schedule::Outcome listed = folder.fileNames(names); !listed) return listed;
    const auto there = [&](std::string_view name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (const std::string& name : names) {
        if (!schedule::parsePickFileName(name)) continue;
        std::string bytes;
        if (schedule::Outcome read = folder.readFile(name, bytes); !read) {
            return schedule::Outcome::failure(name + ": " + read.error);
        }
        snapshot.files.emplace_back(name, std::move(bytes));
    }
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        const std::string name(day.dayFile);
        if (!there(name)) {
            snapshot.files.emplace_back(name, std::nullopt);
            continue;
        }
        std::string bytes;
        if (schedule::Outcome read = folder.readFile(name, bytes); !read) {
            return schedule::Outcome::failure(name + ": " + read.error);
        }
        snapshot.files.emplace_back(name, std::move(bytes));
    }
    return schedule::Outcome::success();
}

// The folder below the schedule's folder where a clear kept its picks.
std::string keptFolder(const std::vector<schedule::KeptPick>& kept) {
    if (kept.empty()) return std::string(schedule::kClearedFolder);
    const std::string& path = kept.front().keptAs;
    return path.substr(0, path.find_last_of('\\'));
}

// The folder that holds `path`, a path below `folder`, and the last name of the path.
schedule::Folder& holder(schedule::Folder& folder, std::string_view& path) {
    schedule::Folder* inside = &folder;
    for (std::size_t slash = path.find('\\'); slash != std::string_view::npos;
         slash = path.find('\\')) {
        inside = &inside->subfolder(path.substr(0, slash));
        path.remove_prefix(slash + 1);
    }
    return *inside;
}

// Removes the copy that a clear kept at `keptAs`, a path below `folder`.
schedule::Outcome removeKept(schedule::Folder& folder, std::string_view keptAs) {
    return holder(folder, keptAs).removeFile(keptAs);
}

// After a failure that followed the clear: the new pick files go, the old pick files and day
// files come back as they were, and then the copies the clear kept of them go, so that a
// restore cannot bring them back twice. What could not be put back is told.
void putScheduleBack(schedule::Folder& folder, const std::string& path, const Snapshot& before,
                     const std::vector<std::string>& written,
                     const std::vector<schedule::KeptPick>& kept,
                     std::vector<std::string>& report) {
    std::vector<std::string> problems;
    for (const std::string& name : written) {
        if (schedule::Outcome removed = folder.removeFile(name); !removed) {
            problems.push_back(name +
                               " (new) could not be removed: " + withFullStop(removed.error));
        }
    }
    std::vector<std::string> now;
    folder.fileNames(now);
    for (const auto& [name, bytes] : before.files) {
        schedule::Outcome back = schedule::Outcome::success();
        if (bytes) {
            back = schedule::writeFileAtomically(folder, name, *bytes);
        } else if (std::find(now.begin(), now.end(), name) != now.end()) {
            back = folder.removeFile(name);
        }
        if (!back) {
            problems.push_back(name + " could not be put back: " + withFullStop(back.error));
            continue;
        }
        for (const schedule::KeptPick& pick : kept) {
            if (pick.name != name) continue;
            if (schedule::Outcome removed = removeKept(folder, pick.keptAs); !removed) {
                problems.push_back(pick.keptAs + " is back as " + name +
                                   " but could not be removed: " + withFullStop(removed.error));
            }
        }
    }
    if (!kept.empty()) {
        // The clear's own folder goes too once it is empty, so that no clear seems to be there.
        std::string_view clearFolder = kept.front().keptAs;
        clearFolder = clearFolder.substr(0, clearFolder.find_last_of('\\'));
        holder(folder, clearFolder).removeSubfolder(clearFolder);
    }
    if (problems.empty()) {
        report.push_back("Put the schedule in " + path + " back as it was.");
        return;
    }
    report.push_back("The schedule in " + path + " could not be wholly put back as it was:");
    for (const std::string& problem : problems) report.push_back("- " + problem);
}

}  // namespace

std::string withoutTrailingBackslashes(std::string folder) {
    const bool root = folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\';
    while (folder.ends_with('\\') && folder.size() > (root ? 3u : 1u)) folder.pop_back();
    return folder;
}

std::vector<AccessEntry> sharedScheduleAccess() {
    // Protected from the folder above: ProgramData lets every user create files and folders,
    // and whoever creates one owns it.
    return {
        {true, "S-1-5-18", "SYSTEM", kFullControl, false, true, true},
        {true, "S-1-5-32-544", "Administrators", kFullControl, false, true, true},
        {true, "S-1-5-32-545", "Users", kReadAndRun, false, true, true},
    };
}

std::optional<std::string> setupArgumentsRefusal(Uses<const Folders, const Files> services,
                                                 const std::string& folder,
                                                 const std::string& log) {
    const std::optional<std::string> data = services.folders().programDataFolder();
    std::string shared = data.value_or("");
    if (!shared.empty() && shared.back() != '\\') shared += '\\';
    shared += "Norvell";
    if (!data || !services.files().samePath(folder, shared)) {
        return "The schedule that all users share is " +
               (data ? shared : std::string("in the ProgramData folder")) + ", not " + folder + ".";
    }
    const std::size_t slash = log.find_last_of('\\');
    std::string name = slash == std::string::npos ? log : log.substr(slash + 1);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (slash == std::string::npos || name.size() <= 4 || !name.ends_with(".log") ||
        !services.files().samePath(log.substr(0, slash), services.folders().programFolder())) {
        return "The installation's log is a .log file in " + services.folders().programFolder() +
               ", not " + log + ".";
    }
    return std::nullopt;
}

SetupStatus makeSharedScheduleFolder(Uses<const Files, Access> services, const std::string& folder,
                                     std::vector<std::string>& report) {
    const std::vector<AccessEntry> access = sharedScheduleAccess();
    bool existed = false;
    if (const schedule::Outcome made = services.access().createFolder(folder, access, existed);
        !made) {
        report.push_back("The schedule folder " + folder +
                         " could not be made: " + withFullStop(made.error));
        return SetupStatus::SharedFolderNotMade;
    }
    const auto refuse = [&](SetupStatus status, const std::vector<std::string>& problems) {
        report.push_back("The schedule folder " + folder +
                         " was there already, and cannot be the schedule that all users share:");
        for (const std::string& problem : problems) report.push_back("- " + problem);
        report.push_back(
            "Remove it, or make Administrators the owner of it and of what it holds, then "
            "install again.");
        return status;
    };
    if (existed) {
        if (services.files().isFile(folder)) {
            return refuse(SetupStatus::SharedFolderNotMade, {folder + " is a file, not a folder."});
        }
        if (auto problem = cannotStay(services, folder, false)) {
            return refuse(SetupStatus::ForeignInSharedFolder, {std::move(*problem)});
        }
    }
    // First, also on a folder made just now (what the system keeps is read back as it is set):
    // from here on only administrators may add anything inside.
    if (const schedule::Outcome set = services.access().setFolderAccess(folder, access); !set) {
        report.push_back("The access list of the schedule folder " + folder +
                         " could not be set: " + withFullStop(set.error));
        return SetupStatus::SharedFolderNotMade;
    }
    if (!existed) {
        report.push_back("Made the schedule folder " + folder +
                         ": administrators and SYSTEM may change it, users may read and run what "
                         "is there.");
        return SetupStatus::Done;
    }
    std::vector<std::string> problems;
    std::size_t items = 0;
    bool foreign = walkBelow(services, folder, false, problems, items);
    if (problems.empty()) foreign = walkBelow(services, folder, true, problems, items);
    if (!problems.empty()) {
        return refuse(
            foreign ? SetupStatus::ForeignInSharedFolder : SetupStatus::SharedFolderNotMade,
            problems);
    }
    report.push_back("Kept the schedule folder " + folder +
                     ": administrators and SYSTEM may change it and own the " +
                     std::to_string(items) +
                     " files and folders it holds, users may read and "
                     "run what is there.");
    return SetupStatus::Done;
}

namespace {

// The pick files of `sourcePath` that kept the schedule from being deployed, each with why.
void reportPicks(std::vector<std::string>& report, const std::string& sourcePath,
                 std::string_view fault, const std::vector<schedule::LeftOutPick>& picks) {
    report.push_back("Pick files in " + sourcePath + " " + std::string(fault) +
                     ", so nothing was deployed:");
    for (const schedule::LeftOutPick& pick : picks) {
        report.push_back("- " + pick.name + ": " + pick.reason);
    }
}

}  // namespace

SetupStatus deployScheduleForAllUsers(
    Uses<Programs, Folders, const Files, Startup, const Access> services, schedule::Folder& source,
    const std::string& sourcePath, const schedule::ClearTime& now,
    std::vector<std::string>& report) {
    const std::string target = services.folders().workingFolder();
    schedule::CombinedPicks combined;
    // Read once: what is written in is what was checked, whatever changes in the source after.
    std::map<std::string, std::string, std::less<>> checked;
    if (const schedule::Outcome read = schedule::readPickFiles(source, combined, &checked); !read) {
        report.push_back("The schedule folder " + sourcePath +
                         " cannot be read: " + withFullStop(read.error));
        return SetupStatus::ScheduleNotFound;
    }
    const std::vector<std::string> picks = pickFileNames(combined);
    if (picks.empty()) {
        report.push_back(sourcePath +
                         " holds no pick file (such as 2Mon.dat), so there is no "
                         "schedule to deploy.");
        return SetupStatus::NoPickFile;
    }
    if (!combined.leftOut.empty()) {
        reportPicks(report, sourcePath, "hold no valid schedule record", combined.leftOut);
        return SetupStatus::PickFileNotValid;
    }
    if (!combined.damaged.empty()) {
        reportPicks(report, sourcePath, "hold values that Brightwick cannot use", combined.damaged);
        report.push_back(
            "Correct the time (HH:MM, 00:00 to 23:59) or the run style (Normal, Hide, Min or "
            "Max) in each file named, or pick those programs again with Norvell and delete the "
            "files named, then install again.");
        return SetupStatus::ValueNotValid;
    }

    // Before the shared schedule changes: a refusal leaves it as it was.
    std::string MyPath;
    CheckPath(MyPath, services);
    const Shortcut shortcut = launcherShortcut(services, MyPath);
    if (!services.files().isFile(shortcut.target)) {
        report.push_back(shortcut.target + " is missing, so nothing would start at logon.");
        return SetupStatus::ShortcutNotMade;
    }
    if (const std::optional<std::string> refusal = allUsersRefusal(services, MyPath)) {
        report.push_back(*refusal);
        return SetupStatus::RefusedForAllUsers;
    }
    if (const std::optional<std::string> refusal = programsRefusal(
            services, unsafePrograms(services, scheduledPrograms(services, combined.days)))) {
        report.push_back(*refusal);
        return SetupStatus::ProgramsMayBeChanged;
    }

    schedule::Folder& shared = services.folders().scheduleFolder();
    Snapshot before;
    if (const schedule::Outcome read = takeSnapshot(shared, before); !read) {
        report.push_back(
            "The schedule in " + target +
            " could not be read, so it was left as it is: " + withFullStop(read.error));
        return SetupStatus::ScheduleNotCopied;
    }
    // Cleared here rather than by clrfle.com: where the clear kept each pick is what a
    // failure needs, to put the schedule back.
    const schedule::HelperReport clear = schedule::clearScheduleFiles(shared, now);
    std::vector<std::string> written;
    const auto putBack = [&] {
        putScheduleBack(shared, target, before, written, clear.kept, report);
    };
    if (clear.status != schedule::kHelperDone) {
        report.push_back("The schedule in " + target + " could not be cleared:");
        for (const std::string& problem : clear.problems) report.push_back("- " + problem);
        putBack();
        return SetupStatus::ScheduleNotCopied;
    }
    report.push_back("Cleared the schedule in " + target + "; the picks it held are kept in " +
                     target + "\\" + keptFolder(clear.kept) + ".");
    for (const std::string& name : picks) {
        const schedule::Outcome copied =
            schedule::writeFileAtomically(shared, name, checked.at(name));
        if (!copied) {
            std::string line = name;
            line.append(" could not be copied from ").append(sourcePath).append(" to ");
            line.append(target).append(": ").append(withFullStop(copied.error));
            report.push_back(std::move(line));
            putBack();
            return SetupStatus::ScheduleNotCopied;
        }
        written.push_back(name);
    }
    report.push_back("Copied " + std::to_string(picks.size()) + " pick file" +
                     (picks.size() == 1 ? "" : "s") + " from " + sourcePath + ".");
    if (const auto problem = helperProblem(services, kCombineHelper)) {
        report.push_back("The day files could not be made. " + *problem);
        putBack();
        return SetupStatus::NotCombined;
    }
    report.push_back("Combined them into the day files.");

    std::string startup;
    if (const schedule::Outcome created =
            services.startup().createShortcut(StartupFolder::AllUsers, shortcut, startup);
        !created) {
        report.push_back("The shortcut " + shortcut.name + " could not be made in " +
                         (startup.empty() ? startupFolderWords(StartupFolder::AllUsers) : startup) +
                         ": " + withFullStop(created.error));
        return SetupStatus::ShortcutNotMade;
    }
    const std::string made = "Made " + startup + "\\" + std::string(kLauncherLinkFile) +
                             ", which starts " + shortcut.target + " in " + shortcut.workingFolder +
                             " at every user's logon.";
    report.push_back(made);
    if (const std::optional<std::string> off =
            enableInStartupList(services, StartupFolder::AllUsers)) {
        report.push_back(*off);
        return SetupStatus::ShortcutTurnedOff;
    }
    return SetupStatus::Done;
}

}  // namespace editor
