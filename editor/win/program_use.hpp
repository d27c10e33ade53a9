// What the system tells of the processes that use some files: the Restart Manager's holders, and
// the running processes with their program files.
#pragma once

#include <string>
#include <vector>

#include "editor/core/programs_in_use.hpp"

namespace editor {

ProgramUse findProgramUse(const std::vector<std::wstring>& files);

}  // namespace editor
