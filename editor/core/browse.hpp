// Picking as Windows users pick elsewhere: a program chosen in the system's Open dialog, or
// files dropped on Main. Either moves the pickers to what the user chose, and the user then
// picks it with "Pick Program"; neither writes anything itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/pickers.hpp"
#include "editor/core/services.hpp"
#include "schedule/outcome.hpp"

namespace editor {

// The Open dialog, as the window shows it.
class ProgramChooser {
  public:
    // The system's Open dialog for a program, opening in `folder` (none given when empty):
    // `chosen` gets the full path of the file the user chose, a shortcut itself rather than its
    // target, and nothing on Cancel. Fails when the dialog cannot be shown.
    virtual schedule::Outcome chooseProgram(std::string_view folder,
                                            std::optional<std::string>& chosen) = 0;

  protected:
    ~ProgramChooser() = default;
};

// Schedule > Browse for a Program: the dialog opens in Dir1's folder, and the chosen file
// becomes the pickers' place and File1's selection. Cancel changes nothing.
void browseForProgram(Pickers& pickers, ProgramChooser& chooser, Uses<Messages> services);

// Files and folders dropped on Main, in the order the drop gives them: the first becomes the
// pickers' place; a message says when others were left out.
void showDropped(Pickers& pickers, Uses<Messages> services, const std::vector<std::string>& paths);

}  // namespace editor
