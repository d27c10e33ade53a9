// Form3, the About window: one label with the about text and nothing else. It is modeless
// and has no owner, so it stays open when Main is closed and keeps the editor running until
// it is closed too. Main keeps the one About window and brings it forward when asked again.
#pragma once

#include <windows.h>

#include "editor/win/about_ids.hpp"
#include "editor/win/window.hpp"

namespace editor {

class Form3 final : public Window {
  public:
    Form3() = default;

    // Makes the window, hidden, at the system's chosen place; it counts among `windows` while
    // it is open. The reason when it cannot.
    schedule::Outcome create(WindowRegistry* windows);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    schedule::Outcome OnCreate() override;
};

}  // namespace editor
