// Whether the folders of a deployment for all users are safe: whatever Brightwick starts at
// logon starts for every user, administrators included, so the programs and the schedule must
// be in folders that only administrators and SYSTEM can change, replace or rename, all the way
// up to their drive's root, on a disk of this computer, and that every user can read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services.hpp"

namespace editor {

// Windows' access rights that the decisions read, by their documented values.
namespace rights {
inline constexpr unsigned long kReadData = 0x1;        // a folder: list it
inline constexpr unsigned long kWriteData = 0x2;       // a folder: create files in it
inline constexpr unsigned long kAppendData = 0x4;      // a folder: create subfolders in it
inline constexpr unsigned long kWriteExtended = 0x10;  // FILE_WRITE_EA
inline constexpr unsigned long kExecute = 0x20;        // a folder: go through it
inline constexpr unsigned long kDeleteChild = 0x40;    // a folder: delete what is in it
inline constexpr unsigned long kWriteAttributes = 0x100;
inline constexpr unsigned long kDelete = 0x10000;
inline constexpr unsigned long kWriteDac = 0x40000;
inline constexpr unsigned long kWriteOwner = 0x80000;
inline constexpr unsigned long kGenericAll = 0x10000000;
inline constexpr unsigned long kGenericExecute = 0x20000000;
inline constexpr unsigned long kGenericWrite = 0x40000000;
inline constexpr unsigned long kGenericRead = 0x80000000;

// Any of these lets its holder rename or delete the file or folder itself (and so put another
// in its place), or give itself any right there.
inline constexpr unsigned long kReplace = kDelete | kWriteDac | kWriteOwner;
// Any of these lets its holder create, change, replace or delete files, or give itself
// that right.
inline constexpr unsigned long kChange =
    kWriteData | kAppendData | kWriteExtended | kDeleteChild | kWriteAttributes | kReplace;
// Both are needed to read a file and run it, or to find the files of a folder.
inline constexpr unsigned long kReadAndRun = kReadData | kExecute;

// A mask with its generic rights turned into the file rights they stand for.
unsigned long forFiles(unsigned long mask);
}  // namespace rights

// What an access list lets others do with a file or folder. Others are every account and group
// but Administrators, SYSTEM, TrustedInstaller, and the deploying account when it is an
// administrator's.
struct AccessVerdict {
    // Others that may create or change files there (for a folder, also in the files created
    // inside), replace it or give themselves that right, by name.
    std::vector<std::string> mayChange;
    // Others that may rename or delete the place itself, change its access list or take it
    // over (for a folder that holds the programs or the schedule further down).
    std::vector<std::string> mayReplace;
    // Others, not among mayReplace, that may rename or delete what a folder holds.
    std::vector<std::string> mayReplaceInside;
    std::string foreignOwner;  // its owner, when that is another: it may change the list
    // Every user of the computer may read and run what is there: a folder and the files
    // created inside, or a file.
    bool usersMayRead = true;
};
// `volumeRoot`: the root of a volume (D:\ or C:\), which no one can rename or delete.
AccessVerdict judgeAccess(const Security& security, const Account& deployer, bool isFolder,
                          bool volumeRoot = false);

// The message that refuses a deployment for all users from this editor's folders (the
// application folder, its Brightwick.exe, the working folder, and every folder above them up
// to their drive's root), naming each problem and where to put the programs instead; none
// when they are safe. `applicationFolder` ends in a backslash (CheckPath).
std::optional<std::string> allUsersRefusal(Uses<const Folders, const Files, const Access> services,
                                           const std::string& applicationFolder);

// Each problem, as a sentence, of a program that Brightwick would start for all users: the
// file `program` itself (when it is there), its folder, where whoever may create files could
// put one of their own, or one that the program loads, and every folder above them up to the
// drive's root, judged as Brightwick.exe and its folder are.
std::vector<std::string> programFileProblems(Uses<const Files, const Access> services,
                                             const std::string& program);

// Whether `folder`, every folder above it and the files created in it pass the same judgement:
// only administrators and SYSTEM can change them, every user can read them, and they are on a
// disk of this computer. Such a folder holds a schedule that all users share.
bool safeForAllUsers(Uses<const Files, const Access> services, const std::string& folder);
// Each reason why it does not, a sentence each; none when it does.
std::vector<std::string> allUsersProblems(Uses<const Files, const Access> services,
                                          const std::string& folder);

}  // namespace editor
