// The values the editor's services take and give: what a helper run or the instance with
// administrator rights ended with, shortcuts, drive letters, access lists and accounts. Below
// every role in services/, so that each can be used without the others.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "schedule/outcome.hpp"

namespace editor {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// How a helper run ended.
struct HelperRun {
    enum class Ending { Finished, NotStarted, TimedOut } ending = Ending::Finished;
    unsigned long exitCode = 0;  // when Finished
    std::string error;           // when NotStarted: the system's reason
    // When Finished: what the helper could not do, "name: reason" a line, as it reported it.
    std::vector<std::string> problems{};
};

enum class StartupFolder { CurrentUser, AllUsers };

struct Shortcut {
    std::string name;           // "Brightwick": the file Brightwick.lnk
    std::string target;         // full path of the program
    std::string arguments;      // empty
    std::string workingFolder;  // the folder the program starts in
};

// What the drive letter a path starts with stands for. At logon a drive made by subst does not
// exist, and Explorer may not have reconnected a mapped network drive before Brightwick starts.
struct DriveLetter {
    enum class Kind { Local, Network, Substitute } kind = Kind::Local;
    // Network: the path with the share (\\server\share) for the letter, empty when the network
    // could not say; Substitute: the path with the folder the letter stands for.
    std::string path;
    std::string error;  // Network without a path: the system's reason
};

// One entry of a file's or folder's access list, as the system keeps it.
struct AccessEntry {
    bool allows = true;         // false: it denies
    std::string sid;            // the account or group, "S-1-5-32-545"
    std::string name;           // how the system names it ("Users"); the SID when it cannot
    unsigned long rights = 0;   // Windows' access mask, generic rights not yet mapped
    bool inheritOnly = false;   // it applies only to what is created inside, not to this
    bool toNewFiles = false;    // files created inside inherit it
    bool toNewFolders = false;  // folders created inside inherit it
    // A callback entry: it applies only while its condition holds, which the system decides
    // from the token and the file's attributes at each access.
    bool conditional = false;
};

// Who owns a file or folder and who may do what there.
struct Security {
    std::string ownerSid;
    std::string ownerName;
    bool hasAccessList = true;         // false: there is none, which lets everyone do everything
    std::vector<AccessEntry> entries;  // in the order the system checks them
    // A junction, symbolic link or mount point: whatever it leads to is somewhere else.
    bool reparsePoint = false;
};

// A file or folder that a folder holds, as the folder's listing gives it: a link is not
// followed.
struct FolderItem {
    std::string name;
    bool folder = false;
    bool reparsePoint = false;  // a junction, symbolic link or mount point
};

// The account the editor runs as.
struct Account {
    std::string sid;
    // A member of Administrators, whether this process has the rights of one or, under User
    // Account Control, runs with them filtered out.
    bool administrator = false;
};

// How the editor's instance with administrator rights ended.
struct AdministratorRun {
    enum class Ending { Finished, NotStarted, StillRunning } ending = Ending::Finished;
    unsigned long exitCode = 0;  // when Finished
    // When NotStarted, the system's reason; when Finished with a status other than 0, what the
    // system says of it (nothing for the editor's own statuses).
    schedule::Outcome failure = schedule::Outcome::success();
};

}  // namespace editor
