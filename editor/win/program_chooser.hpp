// The Open dialog for a program, as Schedule > Browse for a Program shows it.
#pragma once

#include <windows.h>

#include "editor/core/browse.hpp"

namespace editor {

class OpenDialogChooser final : public ProgramChooser {
  public:
    // The dialog is modal to `owner`.
    explicit OpenDialogChooser(HWND owner) : owner_(owner) {}
    schedule::Outcome chooseProgram(std::string_view folder,
                                    std::optional<std::string>& chosen) override;

  private:
    HWND owner_;
};

}  // namespace editor
