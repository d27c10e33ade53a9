// The Recycle Bin: whether it keeps what is deleted from a folder, and sending a file there.
#pragma once

#include <windows.h>

#include <string>

#include "schedule/outcome.hpp"

namespace win32 {

// Whether the Recycle Bin keeps the files deleted from `folder` (a full path): those of a
// fixed drive of this computer. A network folder, a removable drive and a drive made by subst
// have none: what is deleted there is gone for good.
bool recycleBinTakes(const std::wstring& folder);

// Sends the file `path` (a full path) to the Recycle Bin through the shell, with undo, so that
// Explorer's Restore brings it back. Where the Recycle Bin cannot take it after all, the shell
// asks first, in a box owned by `owner`, before it deletes the file for good; `forGoodAgreed`
// leaves that question out, for a user who agreed already. Fails, naming why, whenever the
// file stays, also when the user answered the shell's question with No.
schedule::Outcome recycle(const std::wstring& path, bool forGoodAgreed, HWND owner);

}  // namespace win32
