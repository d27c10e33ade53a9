// Norvell.exe's start of Norvell or its read-me for the desktop's user, which the installer's
// last page asks for.
#pragma once

#include <string>
#include <vector>

#include "editor/core/desktop_start.hpp"

namespace editor {

// The switch's work on this computer; its exit status. COM must be started on this thread.
unsigned long startForDesktopUser(const std::vector<std::string>& arguments);

}  // namespace editor
