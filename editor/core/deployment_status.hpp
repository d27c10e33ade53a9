// "Deployment Status...": whether Brightwick is deployed, for whom, pointing where, whether
// Windows will start it, and what happened at the last logon. Deploy reads the Startup folders
// the same way after it has made its shortcut.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/core/launcher_shortcut.hpp"

namespace editor {

// What one Startup folder holds of Brightwick, read now.
struct StartupPlace {
    StartupFolder where = StartupFolder::CurrentUser;
    std::string folder;       // its path; empty when the system cannot tell it
    std::string folderError;  // why not
    std::string link;         // the shortcut file's full path
    std::optional<Shortcut> shortcut;
    std::string shortcutError;  // a file that is there but cannot be read as a shortcut
    bool targetExists = false;
    bool targetIsOurs = false;         // this editor's Brightwick.exe
    bool workingFolderIsOurs = false;  // this editor's working folder
    StartupListState listState = StartupListState::NoEntry;
    std::string listError;  // the startup list's entry could not be read

    // A file of the shortcut's name is there, readable or not.
    bool present() const { return shortcut.has_value() || !shortcutError.empty(); }
    // Windows starts Brightwick from it at logon, as far as can be told.
    bool starts() const {
        return shortcut && targetExists && listState != StartupListState::Disabled;
    }
    // It starts this editor's Brightwick.exe in this editor's working folder.
    bool isOurs() const { return shortcut && targetIsOurs && workingFolderIsOurs; }
};

// Reads the Startup folder `where`. `applicationFolder` ends in a backslash (CheckPath);
// `ours` is the launcher's shortcut as Deploy makes it now (launcherShortcut), so that a
// mapped drive spelt as its share counts as this editor's too.
StartupPlace inspectStartupFolder(Uses<const Folders, const Files, const Startup> services,
                                  StartupFolder where, const std::string& applicationFolder,
                                  const Shortcut& ours);

// Whether the two shortcuts start Brightwick with the same schedule: their working folders are
// the same folder. One that names none counts as the same, so that it is not taken for a
// schedule of its own.
bool sameSchedule(Uses<const Files> services, const StartupPlace& first,
                  const StartupPlace& second);

// When both places start Brightwick with the same schedule: the one whose shortcut to remove, so
// that it starts once.
const StartupPlace* secondShortcut(Uses<const Files> services, const StartupPlace& user,
                                   const StartupPlace& allUsers);

// When both places start Brightwick, each with a schedule of its own: both run at logon, each
// named with the Startup folder that starts it.
std::string bothSchedulesRun(const StartupPlace& user, const StartupPlace& allUsers);

// How many records are turned off, and on which days, as the status tells it; none when no
// record is. Information only: the user turned them off.
std::optional<std::string> turnedOffSentence(Uses<Folders> services);

// The menu item Schedule > Deployment Status...: one message that says, for the Startup folder
// of the user and the one of all users, whether a Brightwick shortcut is there, what it starts
// and where, and whether Windows' startup list lets it start; then the last logon run of the
// history; then every problem found, each with what to do about it: the shortcuts', and every
// due program the last logon did not start. "All is well" only when there is none.
void deploymentStatus(
    Uses<Messages, const Programs, Folders, const Files, const Startup, const Access> services);

}  // namespace editor
