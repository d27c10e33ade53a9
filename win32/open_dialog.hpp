// The system's Open dialog (the common item dialog), for one existing file.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <span>
#include <string>

#include "schedule/outcome.hpp"

namespace win32 {

struct OpenRequest {
    HWND owner = nullptr;
    const wchar_t* title = nullptr;
    // The file types to offer; the first is chosen when the dialog opens.
    std::span<const COMDLG_FILTERSPEC> types;
    std::wstring folder;  // where it opens; empty, or gone since: where the system chooses
};

// Shows the dialog modal to its owner. `chosen` gets the full file-system path of the file
// the user chose, a shortcut (.lnk) as itself rather than what it points to; it stays empty on
// Cancel. The process's working folder stays as it is. COM must be started on this thread.
schedule::Outcome chooseFileToOpen(const OpenRequest& request, std::wstring& chosen);

}  // namespace win32
