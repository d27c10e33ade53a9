// Whether this process runs elevated, and starting its own program again with administrator
// rights.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "schedule/outcome.hpp"
#include "win32/owners.hpp"

namespace win32 {

// Starts the program file of this process again through the shell's "runas" verb, for which
// the system asks the user's or an administrator's consent, with `parameters`, in `folder`,
// with the show-window value `show`. `owner` is the window the consent prompt belongs to. On
// success `process` holds the new process's handle; a user who declines gives the failure
// ERROR_CANCELLED. COM must be started on this thread.
schedule::Outcome startOwnProgramAsAdministrator(const std::wstring& parameters,
                                                 const std::wstring& folder, HWND owner,
                                                 UniqueHandle& process, int show = SW_HIDE);

// Whether this process runs with an elevated administrator's token; false when the system
// cannot tell.
bool runsElevated();
// The same, none when the system cannot tell.
std::optional<bool> tokenElevated();

}  // namespace win32
