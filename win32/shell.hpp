// Known folders and shell links (.lnk shortcuts).
#pragma once

#include <string>

#include <windows.h>
#include <shlobj.h>

#include "schedule/outcome.hpp"

namespace win32 {

// A known folder's path (FOLDERID_Startup, FOLDERID_CommonStartup ...) into `path`.
schedule::Outcome knownFolder(const KNOWNFOLDERID& id, std::wstring& path);

struct Link {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
};

// Writes `path` (ending in .lnk) as a shortcut, replacing one that is there. COM must be
// initialised on this thread.
schedule::Outcome saveLink(const std::wstring& path, const Link& link);

// Reads the shortcut `path` as the shell reads it: the target as stored, without expanding
// environment variables or resolving a moved target. COM must be initialised on this thread.
schedule::Outcome loadLink(const std::wstring& path, Link& link);

}  // namespace win32
