// CheckPath: the folder of the editor's own program file, with exactly one backslash at its
// end; the launcher is expected beside the editor.
#pragma once

#include <string>
#include <string_view>

#include "editor/core/services.hpp"

namespace editor {

// Replaces whatever MyPath held.
void CheckPath(std::string& MyPath, Uses<const Folders> services);

// One of the system's own programs by its full path in the Windows folder ("explorer.exe"):
// never found by a search, which would look in the schedule folder first.
std::string windowsProgram(Uses<const Folders> services, std::string_view file);

}  // namespace editor
