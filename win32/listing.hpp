// What the drive, folder and file pickers show: the drives with their labels, a drive's
// current folder as the system keeps it, and one folder's subfolders and files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace win32 {

struct DriveInfo {
    wchar_t letter;      // upper case
    std::wstring label;  // empty when the volume has none or cannot be asked (no disc)
};

// The drives of the computer in letter order.
std::vector<DriveInfo> drives();

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

// Name order without regard to case; names that differ only in case (possible on some file
// systems) keep a fixed order.
bool lessIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace win32
