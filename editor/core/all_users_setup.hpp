// What the installer for all users has Norvell.exe do with its administrator rights: make the
// folder of the schedule that all users share, and deploy a schedule handed to the installer
// for all users. Each step ends with one of the installer's own statuses, which the installer
// passes on, and tells what it did in lines for the installer's log.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services.hpp"
#include "schedule/folder.hpp"
#include "schedule/helpers.hpp"

namespace editor {

// The installer's exit statuses. 1 and 2 are the installer's own (cancelled by the user, stopped
// by the installation); Norvell.exe's steps end with 0 or one of 4 to 17.
enum class SetupStatus : unsigned long {
    Done = 0,
    NoAdministratorRights = 3,  // the installation for all users was not given them
    SharedFolderNotMade = 4,    // the shared schedule's folder could not be made or secured
    ScheduleNotFound = 5,       // the schedule to deploy names no folder that can be read
    NoPickFile = 6,             // that folder holds no pick file
    PickFileNotValid = 7,       // a pick file there holds no valid record
    RefusedForAllUsers = 8,     // someone besides administrators could change the folders
    ScheduleNotCopied = 9,      // the shared schedule could not be cleared or the picks copied
    NotCombined = 10,           // copyfle.com could not combine them into day files
    ShortcutNotMade = 11,       // the shortcut in the Startup folder of all users
    ShortcutTurnedOff = 12,     // made, but Windows' startup list keeps it turned off
    BadCommandLine = 13,        // an option the installer does not take, or takes only otherwise
    StepFailed = 14,            // Norvell.exe ended otherwise
    ProgramsMayBeChanged = 15,  // a program the schedule names may be changed by others
    // The shared schedule's folder was there already and holds a junction, symbolic link or
    // mount point, or something that belongs to someone besides the administrators.
    ForeignInSharedFolder = 16,
    ValueNotValid = 17,  // a record's time is no time, or its run style none of the four words
    // The installer's own: an installation of the other kind (for the user or for all users)
    // is there, and the command line did not say to replace it (/ReplaceOther).
    OtherKindInstalled = 18,
};

// The installer's steps: the switch, then the shared schedule's folder, for the deployment the
// folder of the schedule to deploy, and last the installer's log.
inline constexpr std::string_view kMakeSharedFolderSwitch = "/make-shared-schedule-folder";
inline constexpr std::string_view kDeployForAllUsersSwitch = "/deploy-schedule-for-all-users";

// The folder of the schedule to deploy as the command line gives it, without the backslashes
// at its end ("C:\Sched\" is "C:\Sched"), but for the one of a drive's root ("D:\").
std::string withoutTrailingBackslashes(std::string folder);

// The access list of the shared schedule's folder: Administrators and SYSTEM may do everything,
// Users may read and run; the folder, the folders and the files inside alike.
std::vector<AccessEntry> sharedScheduleAccess();

// Why an installer step, which runs with administrator rights on whatever command line its
// starter gave, may not take the shared schedule's folder or the log it names: the folder must
// be %ProgramData%\Norvell and the log a .log file in the programs' own folder. None when both
// are.
std::optional<std::string> setupArgumentsRefusal(Uses<const Folders, const Files> services,
                                                 const std::string& folder, const std::string& log);

// Makes `folder` the shared schedule's folder with sharedScheduleAccess, taking nothing from the
// folder above it (where users may create files). A folder that is there already must lead
// nowhere else and belong to administrators; it gets that list first, so that no one else may
// add anything, and then everything below it is judged, links not followed: a link or
// anything that belongs to someone else is named and nothing inside is changed. Otherwise
// Administrators become the owner of all of it, which keeps only its inherited entries; its
// schedule files stay.
SetupStatus makeSharedScheduleFolder(Uses<const Files, Access> services, const std::string& folder,
                                     std::vector<std::string>& report);

// Deploys the schedule of the pick files in `source` (the folder `sourcePath`) for all users
// from the working folder: each pick file is read once, and only when every one holds a valid
// record, the folders are safe for all users and so is every program the records name, the
// working folder's schedule is cleared (its picks kept aside, as a clear keeps them), the bytes
// that were checked are written in under the pick files' names, copyfle.com combines them,
// and the launcher's shortcut goes into the Startup folder of all users, replacing one there.
// When the copy or the combining fails, the shared schedule is put back as it was.
// `now` names the clear's folder in Cleared, as clrfle.com names it.
SetupStatus deployScheduleForAllUsers(
    Uses<Programs, Folders, const Files, Startup, const Access> services, schedule::Folder& source,
    const std::string& sourcePath, const schedule::ClearTime& now,
    std::vector<std::string>& report);

}  // namespace editor
