// Form3, the About window: one label with the about text and nothing else. It is modeless
// and has no owner, so it stays open when Main is closed and keeps the editor running until
// it is closed too; there is at most one.
#pragma once

#include <windows.h>

#include <string>

#include "editor/win/about_ids.hpp"
#include "editor/win/window.hpp"
#include "win32/font.hpp"
#include "win32/twips.hpp"

namespace editor {

class Form3 final : public Window {
  public:
    // Layout in twips, as the window was designed.
    static constexpr win32::TwipsRect kClientArea{0, 0, 7050, 3555};
    static constexpr win32::TwipsRect kLabel1{360, 240, 6135, 2775};
    static const win32::FontSpec kLabelFont;  // Arial 12 pt

    // Creates the About window at the system's chosen place, or brings the open one forward.
    // The window counts among `windows` while it is open. Empty on success, else the
    // system's reason.
    static std::string Show(WindowRegistry& windows);
    // The open About window; null when there is none.
    static HWND Current();

    ~Form3();

  private:
    Form3() = default;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool OnCreate();
    void OnDpiChanged(unsigned dpi, const RECT& suggested);

    void layOut(unsigned dpi);

    win32::UniqueFont font_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    unsigned long createError_ = 0;  // why WM_CREATE failed, when it did
};

}  // namespace editor
