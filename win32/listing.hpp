// What the drive, folder and file pickers show: the drives with their labels, a drive's
// current folder as the system keeps it, and one folder's subfolders and files, read on a
// worker thread where the folder may not answer.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

struct DriveInfo {
    wchar_t letter;      // upper case
    std::wstring label;  // empty when the volume has none or cannot be asked (no disc)
    bool network = false;
};

// The drives of the computer in letter order. A network drive is never asked for its volume
// label, which would wait for its server: its label is the share it is mapped to.
std::vector<DriveInfo> drives();

// The share that drive `letter` is mapped to ("\\server\share"), read from the mapping the
// system keeps; empty when the drive is not mapped or the mapping cannot be read.
std::wstring networkShare(wchar_t letter);

// The folder the system keeps as current for drive `letter`: the working folder for the
// working folder's drive, else the one recorded for that drive, else its root. No backslash
// at its end except at the root.
std::wstring driveCurrentFolder(wchar_t letter);

struct FolderContents {
    std::vector<std::wstring> folders;  // subfolders, without "." and ".."
    std::vector<std::wstring> files;
    unsigned long error = 0;  // the system's error code when the folder cannot be listed
    explicit operator bool() const { return error == 0; }
};

// One pass over `folder`: its subfolders and its files, hidden and system entries left out,
// each list sorted by name without regard to case.
FolderContents listFolder(std::wstring_view folder);

// The form of listFolder that runs on a worker thread: `list` gets the folder there.
using FolderLister = FolderContents (*)(std::wstring_view folder);

// `list` (listFolder unless a test says otherwise) on a worker thread, waited for no longer
// than `limit`; none when the limit passed first. Meanwhile this thread's windows keep
// painting and answering other threads' messages, while input and posted messages wait for
// the caller's handler to return, so nothing else runs inside it. A worker that was not
// waited for goes on alone with a copy of the folder's name and ends when its read does.
std::optional<FolderContents> listFolderWithin(std::wstring_view folder,
                                               std::chrono::milliseconds limit,
                                               FolderLister list = listFolder);

// What a full path names, asked without a prompt for a missing disc.
struct PathFacts {
    bool exists = false;
    DWORD attributes = 0;  // when it exists
    // Its last part as the file system spells it, whatever the path's case; empty at a root,
    // and when the folder above may not be listed.
    std::wstring name;
    unsigned long error = 0;  // the system's error code when it cannot be asked about
};
PathFacts pathFacts(const std::wstring& path);

// Name order without regard to case; names that differ only in case (possible on some file
// systems) keep a fixed order.
bool lessIgnoringCase(std::wstring_view a, std::wstring_view b);

// `names` in lessIgnoringCase order.
void sortIgnoringCase(std::vector<std::wstring>& names);

}  // namespace win32
