#include "editor/win/viewer_window.hpp"

#include <commctrl.h>

#include <iterator>
#include <string_view>
#include <utility>

#include "editor/core/show_list.hpp"
#include "win32/error.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

namespace editor {

using namespace form2;

namespace {
// Fixed single border, no minimize or maximize box, not resizable.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr win32::TwipsRect kClientArea{0, 0, 10095, 7785};

// "Back to Main Menu" does not fit on one line of its narrow button.
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;

struct ButtonPlace {
    int id;
    const wchar_t* caption;
    win32::TwipsRect place;  // in the client area
};

// Created in this order, which is the keyboard order (Tab).
// clang-format off
constexpr ButtonPlace kButtons[] = {
    {Command1, L"Monday",            { 120, 7200,  975, 495}},
    {Command2, L"Tuesday",           {1200, 7200,  975, 495}},
    {Command3, L"Wednesday",         {2280, 7200, 1215, 495}},
    {Command4, L"Thursday",          {3600, 7200,  975, 495}},
    {Command5, L"Friday",            {4560, 7200,  975, 495}},
    {Command6, L"Saturday",          {5640, 7200,  975, 495}},
    {Command7, L"Sunday",            {6720, 7200,  975, 495}},
    {Command8, L"Back to Main Menu", {7800, 7200,  975, 495}},
};
// clang-format on
constexpr int kDayButtons = 7;

// Everything above the row of buttons, less a small gap that keeps lines off the buttons.
constexpr win32::TwipsRect kListArea{0, 0, 10095, 7080};

constexpr std::wstring_view kSansNearest[] = {L"Microsoft Sans Serif", L"Tahoma", L"Arial",
                                              L"Liberation Sans", L"DejaVu Sans"};
constexpr std::wstring_view kNarrowNearest[] = {L"Liberation Sans Narrow",
                                                L"Nimbus Sans Narrow",
                                                L"Helvetica Narrow",
                                                L"DejaVu Sans Condensed",
                                                L"Arial",
                                                L"Liberation Sans"};
const win32::FontSpec kButtonFont{L"MS Sans Serif", 825, false, kSansNearest, FF_SWISS};
const win32::FontSpec kBoldButtonFont{L"MS Sans Serif", 825, true, kSansNearest, FF_SWISS};
// The lines are drawn at 12 points, the size the viewer sets before every line it draws.
const win32::FontSpec kListFont{L"Arial Narrow", 1200, true, kNarrowNearest, FF_SWISS};

// The day files hold the ANSI code page; the core works in UTF-8.
std::string ansiToUtf8(std::string_view bytes) {
    return win32::narrow(win32::fromCodePage(bytes));
}
}  // namespace

Form2::Form2(schedule::Folder& dayFiles, std::function<void()> onBackToMain)
    : dayFiles_(dayFiles), onBackToMain_(std::move(onBackToMain)) {}

std::unique_ptr<Form2> Form2::Open(schedule::Folder& dayFiles, std::function<void()> onBackToMain,
                                   WindowRegistry* windows) {
    std::unique_ptr<Form2> viewer(new Form2(dayFiles, std::move(onBackToMain)));
    if (!viewer->create(windows)) return nullptr;
    ShowWindow(viewer->hwnd(), SW_SHOW);
    UpdateWindow(viewer->hwnd());
    return viewer;
}

bool Form2::create(WindowRegistry* windows) {
    registerClass(kClassName);
    // Sized for the system's DPI here; WM_CREATE sizes it again for its own monitor's.
    const SIZE size = frameSize(win32::toPixels(kClientArea, GetDpiForSystem()), kWindowStyle,
                                kWindowExStyle, false, GetDpiForSystem());
    return Window::create(kClassName, kTitle, kWindowStyle, kWindowExStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, size.cx, size.cy, nullptr, windows);
}

// clang-format off
LRESULT Form2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:      return OnCreate() ? 0 : -1;
        case WM_COMMAND:     OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_CLOSE:       OnBackToMain(); return 0;
        case WM_DPICHANGED:  OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
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

bool Form2::OnCreate() {
    dpi_ = GetDpiForWindow(hwnd());
    if (dpi_ == 0) dpi_ = USER_DEFAULT_SCREEN_DPI;
    createFonts(dpi_);
    if (!list_.create(hwnd(), DayList)) return false;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ButtonPlace& entry : kButtons) {
        HWND button = CreateWindowExW(
            0, WC_BUTTONW, entry.caption, WS_CHILD | kButton, 0, 0, 0, 0, hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
        if (!button) return false;
    }
    applyFonts();
    layOut(dpi_);
    fitClientArea(win32::toPixels(kClientArea, dpi_), dpi_);
    return true;
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

void Form2::OnDpiChanged(unsigned dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The controls keep using the previous fonts until applyFonts hands them the new ones.
    std::array<win32::UniqueFont, 8> previousButtons = std::move(buttonFonts_);
    win32::UniqueFont previousList = std::move(listFont_);
    createFonts(dpi);
    applyFonts();
    layOut(dpi);
    const POINT topLeft{suggested.left, suggested.top};
    fitClientArea(win32::toPixels(kClientArea, dpi), dpi, &topLeft);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void Form2::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    // The wheel goes to the focused button, which passes it up here; the list is what scrolls.
    if (list_.hwnd()) SendMessageW(list_.hwnd(), WM_MOUSEWHEEL, wParam, lParam);
}

void Form2::OnNcDestroy() {
    // The children are gone by now; a closed viewer kept by its owner holds no fonts.
    for (win32::UniqueFont& font : buttonFonts_) font.reset();
    listFont_.reset();
}

void Form2::setDayBold(int index, bool bold) {
    if (index < 0 || index >= kDayButtons) return;
    const auto day = static_cast<std::size_t>(index);
    if (bold_[day] == bold && buttonFonts_[day]) return;
    bold_[day] = bold;
    win32::UniqueFont font = win32::createFont(bold ? kBoldButtonFont : kButtonFont, dpi_);
    SendMessageW(control(Command1 + index), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    buttonFonts_[day] = std::move(font);  // the button has let go of the previous one
}

void Form2::setLines(std::vector<std::string> lines) {
    std::vector<std::wstring> wide;
    wide.reserve(lines.size());
    for (const std::string& line : lines) wide.push_back(win32::widen(line));
    list_.setLines(std::move(wide));
}

void Form2::createFonts(unsigned dpi) {
    for (int index = 0; index < static_cast<int>(std::size(kButtons)); ++index) {
        const bool bold = index < kDayButtons && bold_[static_cast<std::size_t>(index)];
        buttonFonts_[static_cast<std::size_t>(index)] =
            win32::createFont(bold ? kBoldButtonFont : kButtonFont, dpi);
    }
    listFont_ = win32::createFont(kListFont, dpi);
}

void Form2::applyFonts() {
    for (std::size_t index = 0; index < std::size(kButtons); ++index) {
        SendMessageW(control(kButtons[index].id), WM_SETFONT,
                     reinterpret_cast<WPARAM>(buttonFonts_[index].get()), TRUE);
    }
    SendMessageW(list_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
}

void Form2::layOut(unsigned dpi) {
    const win32::PixelRect list = win32::toPixels(kListArea, dpi);
    SetWindowPos(list_.hwnd(), nullptr, list.left, list.top, list.width, list.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ButtonPlace& button : kButtons) {
        const win32::PixelRect place = win32::toPixels(button.place, dpi);
        SetWindowPos(control(button.id), nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

std::unique_ptr<Form2> ShowList(Services& services, WindowRegistry* windows,
                                const std::function<void()>& hideMain,
                                std::function<void()> showMain) {
    if (!PrepareShowList(services)) return nullptr;
    std::unique_ptr<Form2> viewer(new Form2(services.scheduleFolder(), std::move(showMain)));
    if (!viewer->create(windows)) {
        const DWORD error = GetLastError();
        services.message(
            error ? "The day list viewer could not be opened: " + win32::systemReason(error) + "."
                  : std::string("The day list viewer could not be opened."));
        return nullptr;
    }
    if (hideMain) hideMain();
    ShowWindow(viewer->hwnd(), SW_SHOW);
    UpdateWindow(viewer->hwnd());
    return viewer;
}

}  // namespace editor
