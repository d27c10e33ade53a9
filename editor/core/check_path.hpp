// CheckPath: the folder of the editor's own program file, with exactly one backslash at its
// end; the launcher is expected beside the editor.
#pragma once

#include <string>

#include "editor/core/services.hpp"

namespace editor {

// Replaces whatever MyPath held.
void CheckPath(std::string& MyPath, const Services& services);

}  // namespace editor
