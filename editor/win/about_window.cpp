#include "editor/win/about_window.hpp"

#include <commctrl.h>

#include "editor/core/help.hpp"
#include "editor/win/fonts.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {
using namespace form3;

// Only a close box: the window has nothing to resize, minimize or maximize.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// SS_LEFT wraps at word boundaries; SS_NOPREFIX keeps an ampersand in the text as it is.
constexpr DWORD kLabelStyle = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

constexpr ControlRow kControls[] = {
    {Label1, WC_STATICW, L"", kLabelStyle, 0, {360, 240, 6135, 2775}, &fonts::kAbout},
};
constexpr WindowDesign kDesign{kClassName, kTitle, kWindowStyle, 0, {0, 0, 7050, 3555}, kControls};
}  // namespace

schedule::Outcome Form3::create(WindowRegistry* windows) {
    return Window::create(kDesign, windows);
}

LRESULT Form3::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Esc: the dialog manager of the message loop turns it into IDCANCEL for the window.
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        SendMessageW(hwnd(), WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

schedule::Outcome Form3::OnCreate() {
    SetWindowTextW(control(Label1), win32::widen(help::kAboutText).c_str());
    return schedule::Outcome::success();
}

}  // namespace editor
