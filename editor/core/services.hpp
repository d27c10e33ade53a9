// What the editor's handlers need of the platform beyond their window: message boxes,
// program starts, the helpers, folders and shortcuts, Windows' startup list, who may change a
// folder, the Recycle Bin, and the logon history. Win32 implements it in win/; tests use a
// recording fake.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/last_run.hpp"
#include "schedule/folder.hpp"
#include "schedule/show_window.hpp"

namespace editor {

// How long the editor waits for copyfle.com or clrfle.com before it tells the user.
inline constexpr std::chrono::milliseconds kHelperDeadline{30'000};
// How long the editor waits for its instance with administrator rights before it looks what
// is there: that instance reads every folder's access list, and naming the accounts in them can
// take long on a domain.
inline constexpr std::chrono::milliseconds kAdministratorPatience{120'000};

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

class Services {
  public:
    // A modal message box titled "Norvell", without an icon. With YesNoCancel, Yes is the
    // default and closing the box counts as Cancel; with YesNo, No is the default, so that a
    // hasty Enter changes nothing, and the box cannot be closed without an answer.
    virtual Answer message(std::string_view text, Buttons buttons = Buttons::Ok) = 0;
    // Starts `program`, a full path that is never searched for, with `arguments` after its
    // quoted name on the command line and a show-window value, in the editor's working
    // folder; never waits.
    virtual schedule::Outcome start(std::string_view program, std::string_view arguments,
                                    int showWindow) = 0;
    // The system's Windows folder, where its own programs are ("C:\Windows").
    virtual std::string windowsFolder() const = 0;
    // The full path of this account's logon history, which Brightwick writes; none while there
    // is none.
    virtual std::optional<std::string> logonHistoryFile() const = 0;
    // Starts a helper by bare name, hidden, without arguments, in the working folder, and
    // waits for it until the deadline.
    virtual HelperRun runHelper(std::string_view name, std::chrono::milliseconds deadline) = 0;
    // The folder of the editor's own program file, as the system gives it.
    virtual std::string programFolder() const = 0;
    // The editor's working folder, where the schedule files live.
    virtual std::string workingFolder() const = 0;
    // Whether `path` names an existing file (a folder does not count), however long the path.
    virtual bool isFile(std::string_view path) const = 0;
    // The system's Program Files folder; none when it cannot be found.
    virtual std::optional<std::string> programFilesFolder() const = 0;
    // The schedule files of the working folder; the picks a clear kept are in its subfolder
    // schedule::kClearedFolder.
    virtual schedule::Folder& scheduleFolder() = 0;
    // The editor's process id: no other program running now has it, so a file named with it
    // is the editor's own.
    virtual unsigned long processId() const = 0;
    // UTF-8 text in the system's ANSI code page, only when it is represented exactly.
    virtual std::optional<std::string> toAnsi(std::string_view text) const = 0;
    // Bytes in the system's ANSI code page, as schedule files hold them, as UTF-8.
    virtual std::string fromAnsi(std::string_view bytes) const = 0;
    // Whether a record's program line (UTF-8) names something that would start: an existing
    // file, or a command that the system's program search finds.
    virtual bool programFound(std::string_view programLine) const = 0;
    // The file that the system's program search finds for a program named without its folder
    // (".exe" added to a name without an extension), as a command line's program is searched
    // for; none when it finds none.
    virtual std::optional<std::string> searchProgram(std::string_view name) const = 0;
    // Starts a record's program line (UTF-8) exactly as Brightwick starts it at logon, with
    // `showWindow`, in the editor's working folder; never waits.
    virtual schedule::Outcome startRecord(std::string_view programLine, int showWindow) = 0;
    // Creates the shortcut in a Startup folder, replacing one of the same name. `folder` gets
    // the Startup folder's path as soon as it is known, so that a failure can name it; it
    // stays empty when the folder itself cannot be found.
    virtual schedule::Outcome createShortcut(StartupFolder where, const Shortcut& shortcut,
                                             std::string& folder) = 0;
    // The Startup folder's path, for reading what it holds.
    virtual schedule::Outcome startupFolder(StartupFolder where, std::string& folder) const = 0;
    // The shortcut file at `path` as the shell reads it into `shortcut` (its name stays
    // empty); none when there is no such file. Fails when a file is there but cannot be read.
    virtual schedule::Outcome readShortcut(std::string_view path,
                                           std::optional<Shortcut>& shortcut) const = 0;
    // The bytes that Windows' startup list keeps for the file `fileName` of that Startup
    // folder; none when it keeps nothing for it.
    virtual schedule::Outcome startupListEntry(StartupFolder where, std::string_view fileName,
                                               std::optional<std::string>& bytes) const = 0;
    // Replaces that entry's bytes.
    virtual schedule::Outcome setStartupListEntry(StartupFolder where, std::string_view fileName,
                                                  std::string_view bytes) = 0;
    // What the drive letter that `path` starts with stands for; Local for a path without one.
    virtual DriveLetter driveLetter(std::string_view path) const = 0;
    // Whether two paths name the same file or folder, compared as Windows compares them.
    virtual bool samePath(std::string_view first, std::string_view second) const = 0;
    // The newest run of the user's logon history; none when there is no history or entry.
    virtual schedule::Outcome lastLogonRun(std::optional<launcher::LastRun>& last) const = 0;
    // Whether the Recycle Bin keeps the files deleted from `folder`: not on a network folder,
    // a removable drive or a drive made by subst.
    virtual bool recycleBinTakes(std::string_view folder) const = 0;
    // Sends the file `path` to the Recycle Bin, with the shell's undo, so that Explorer's
    // Restore brings it back. Where the Recycle Bin cannot take it after all, the shell asks
    // before it deletes the file for good, unless `forGoodAgreed`: the user was told already.
    // Fails, naming why, whenever the file stays, a No to the shell's question too.
    virtual schedule::Outcome recycle(std::string_view path, bool forGoodAgreed) = 0;
    // The owner and access list of the file or folder at `path`, and whether it is a reparse
    // point.
    virtual schedule::Outcome security(std::string_view path, Security& security) const = 0;
    // The account the editor runs as; an empty SID when it cannot be told.
    virtual Account account() const = 0;
    // Starts the editor's own program again with administrator rights, which the system asks
    // an administrator to consent to, with `arguments`, and waits while it runs, up to
    // `patience`, while the editor's windows keep painting.
    virtual AdministratorRun runAsAdministrator(std::string_view arguments,
                                                std::chrono::milliseconds patience) = 0;

    // Makes the folder at `path` with an access list of exactly `entries`, in their order,
    // inheriting nothing; `existed` tells whether a file or folder of that name was there
    // already, which is then left as it was.
    virtual schedule::Outcome createFolder(std::string_view path,
                                           const std::vector<AccessEntry>& entries,
                                           bool& existed) = 0;
    // Gives the folder at `path` an access list of exactly `entries`, inheriting nothing; what
    // it holds inherits the entries meant for it anew.
    virtual schedule::Outcome setFolderAccess(std::string_view path,
                                              const std::vector<AccessEntry>& entries) = 0;
    // The system's folder for the data of all users' programs ("C:\ProgramData"); none when it
    // cannot be found.
    virtual std::optional<std::string> programDataFolder() const = 0;
    // The files and folders that the folder at `path` holds, without "." and "..".
    virtual schedule::Outcome folderItems(std::string_view path,
                                          std::vector<FolderItem>& items) const = 0;
    // Makes Administrators the owner of the file or folder at `path` (not a link), which then
    // keeps only the entries it inherits from the folder above.
    virtual schedule::Outcome takeOver(std::string_view path) = 0;
    // Whether the editor runs with an administrator's full rights, not the filtered ones User
    // Account Control gives an administrator's programs.
    virtual bool runsElevated() const = 0;
    // Starts the editor's own program again with administrator rights, which the system asks
    // the user or an administrator to consent to, with `arguments`, in the working folder;
    // never waits. A user who declines gives the failure ERROR_CANCELLED.
    virtual schedule::Outcome startAsAdministrator(std::string_view arguments) = 0;

  protected:
    ~Services() = default;
};

}  // namespace editor
