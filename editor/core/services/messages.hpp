// Talking to the user: the editor's message boxes.
#pragma once

#include <string_view>

#include "editor/core/services/types.hpp"

namespace editor {

class Messages {
  public:
    // A modal message box titled "Norvell", without an icon. With YesNoCancel, Yes is the
    // default and closing the box counts as Cancel; with YesNo, No is the default, so that a
    // hasty Enter changes nothing, and the box cannot be closed without an answer.
    virtual Answer message(std::string_view text, Buttons buttons = Buttons::Ok) = 0;

  protected:
    ~Messages() = default;
};

}  // namespace editor
