#include "editor/win/viewer_window.hpp"

#include <commctrl.h>

#include <utility>

#include "editor/core/show_list.hpp"
#include "editor/win/fonts.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {
using namespace form2;

// Fixed single border, no minimize or maximize box, not resizable.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// "Back to Main Menu" does not fit on one line of its narrow button.
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
constexpr int kDayButtons = 7;

// One row of buttons, all at the same height. They get their fonts from the viewer: each its
// own, so that one alone turns bold.
constexpr ControlRow button(int id, const wchar_t* caption, int left, int width) {
    return {id, WC_BUTTONW, caption, kButton, 0, {left, 7200, width, 495}, nullptr};
}

// The list area is everything above the row of buttons, less a small gap that keeps lines off
// them.
constexpr ControlRow kControls[] = {
    {DayList,
     kDayListClassName,
     L"",
     WS_VISIBLE,
     WS_EX_NOPARENTNOTIFY,
     {0, 0, 10095, 7080},
     &fonts::kDayList},
    button(Command1, L"Monday", 120, 975),
    button(Command2, L"Tuesday", 1200, 975),
    button(Command3, L"Wednesday", 2280, 1215),
    button(Command4, L"Thursday", 3600, 975),
    button(Command5, L"Friday", 4560, 975),
    button(Command6, L"Saturday", 5640, 975),
    button(Command7, L"Sunday", 6720, 975),
    button(Command8, L"Back to Main Menu", 7800, 975),
};
constexpr WindowDesign kDesign{kClassName,          kTitle,   kWindowStyle, kWindowExStyle,
                               {0, 0, 10095, 7785}, kControls};

// The day files hold the ANSI code page; the core works in UTF-8.
std::string ansiToUtf8(std::string_view bytes) {
    return win32::narrow(win32::fromCodePage(bytes));
}
}  // namespace

Form2::Form2(schedule::Folder& dayFiles, std::function<void()> onBackToMain)
    : dayFiles_(dayFiles), onBackToMain_(std::move(onBackToMain)) {}

schedule::Outcome Form2::create(WindowRegistry* windows) {
    DayListArea::registerWindowClass();
    return Window::create(kDesign, windows);
}

// clang-format off
LRESULT Form2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:     OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_CLOSE:       OnBackToMain(); return 0;
        case WM_ACTIVATE:    OnActivateFocus(LOWORD(wParam) != WA_INACTIVE, control(Command1)); return 0;
        case WM_SETFOCUS:    OnSetFocusTo(control(Command1)); return 0;
        case WM_MOUSEWHEEL:  OnMouseWheel(wParam, lParam); return 0;
        case WM_NCDESTROY:   OnNcDestroy(); break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

void Form2::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case Command1: case Command2: case Command3: case Command4:
        case Command5: case Command6: case Command7: OnDayButton(id - Command1); return;
        case Command8:                               OnBackToMain(); return;
    }
}
// clang-format on

Window* Form2::childObject(int id) {
    return id == DayList ? &list_ : nullptr;
}

void Form2::OnLaidOut(unsigned) {
    for (std::size_t index = 0; index < buttonFonts_.size(); ++index) {
        setButtonFont(index, index < bold_.size() && bold_[index]);
    }
}

void Form2::OnDayButton(int index) {
    editor::OnDayButton(index, *this, dayFiles_, ansiToUtf8);
}

void Form2::OnBackToMain() {
    // Main first: with no window of the editor visible in between, the system would hand the
    // activation to some other program's window.
    if (onBackToMain_) onBackToMain_();
    DestroyWindow(hwnd());
}

void Form2::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    // The wheel goes to the focused button, which passes it up here; the list is what scrolls.
    if (list_.hwnd()) SendMessageW(list_.hwnd(), WM_MOUSEWHEEL, wParam, lParam);
}

void Form2::OnNcDestroy() {
    // The buttons are gone by now; a closed viewer kept by its owner holds no fonts.
    for (win32::UniqueFont& font : buttonFonts_) font.reset();
}

void Form2::setButtonFont(std::size_t index, bool bold) {
    win32::UniqueFont font =
        win32::createFont(bold ? fonts::kSansSerifBold : fonts::kSansSerif, dpi());
    SendMessageW(control(Command1 + static_cast<int>(index)), WM_SETFONT,
                 reinterpret_cast<WPARAM>(font.get()), TRUE);
    buttonFonts_[index] = std::move(font);  // the button has let go of the previous one
}

void Form2::setDayBold(int index, bool bold) {
    if (index < 0 || index >= kDayButtons) return;
    const auto day = static_cast<std::size_t>(index);
    if (bold_[day] == bold && buttonFonts_[day]) return;
    bold_[day] = bold;
    setButtonFont(day, bold);
}

void Form2::setLines(std::vector<std::string> lines) {
    std::vector<std::wstring> wide;
    wide.reserve(lines.size());
    for (const std::string& line : lines) wide.push_back(win32::widen(line));
    list_.setLines(std::move(wide));
}

std::unique_ptr<Form2> ShowList(Services& services, WindowRegistry* windows,
                                const std::function<void()>& hideMain,
                                std::function<void()> showMain) {
    if (!PrepareShowList(services)) return nullptr;
    auto viewer = std::make_unique<Form2>(services.scheduleFolder(), std::move(showMain));
    if (const schedule::Outcome created = viewer->create(windows); !created) {
        services.message("The day list viewer could not be opened: " + created.error + ".");
        return nullptr;
    }
    if (hideMain) hideMain();
    viewer->show();
    return viewer;
}

}  // namespace editor
