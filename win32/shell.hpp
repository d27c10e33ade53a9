// Known folders and shell links (.lnk shortcuts).
#pragma once

#include <optional>
#include <string>

#include <windows.h>
#include <shlobj.h>

namespace win32 {

// A known folder's path (FOLDERID_Startup, FOLDERID_CommonStartup ...), or the system's
// reason why it cannot be had, in `error`.
std::optional<std::wstring> knownFolder(const KNOWNFOLDERID& id, std::string* error = nullptr);

struct Link {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
};

// Writes `path` (ending in .lnk) as a shortcut, replacing one that is there. COM must be
// initialised on this thread. Empty on success, else the system's reason.
std::string saveLink(const std::wstring& path, const Link& link);

// Reads a shortcut back; none when it cannot be loaded.
std::optional<Link> loadLink(const std::wstring& path);

}  // namespace win32
