#include "editor/win/about_window.hpp"

#include <memory>

#include "editor/core/help.hpp"
#include "win32/error.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {
// Only a close box: the window has nothing to resize, minimize or maximize.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = 0;
// SS_LEFT wraps at word boundaries; SS_NOPREFIX keeps an ampersand in the text as it is.
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

constexpr std::wstring_view kArialNearest[] = {L"Liberation Sans", L"Arimo",       L"Helvetica",
                                               L"Nimbus Sans",     L"DejaVu Sans", L"Tahoma"};

// The one About window of the editor's user-interface thread. The object outlives its
// window until the next Show, since a window's object cannot be freed inside its own
// WM_NCDESTROY.
std::unique_ptr<Form3>& instance() {
    static std::unique_ptr<Form3> form;
    return form;
}
}  // namespace

const win32::FontSpec Form3::kLabelFont{L"Arial", 1200, false, kArialNearest, FF_SWISS};

Form3::~Form3() = default;

std::string Form3::Show(WindowRegistry& windows) {
    if (HWND open = Current()) {
        if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
        SetForegroundWindow(open);
        return {};
    }
    registerClass(form3::kClassName);

    std::unique_ptr<Form3> form(new Form3);
    // Sized for the system's DPI here; WM_CREATE sizes it again for its own monitor's.
    const SIZE size = frameSize(win32::toPixels(kClientArea, GetDpiForSystem()), kWindowStyle,
                                kWindowExStyle, false, GetDpiForSystem());
    if (!form->create(form3::kClassName, form3::kTitle, kWindowStyle, kWindowExStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, size.cx, size.cy, nullptr, &windows)) {
        const unsigned long error = form->createError_ ? form->createError_ : GetLastError();
        return win32::systemReason(error ? error : ERROR_CANNOT_MAKE);
    }
    HWND window = form->hwnd();
    instance() = std::move(form);  // the previous object, whose window is gone, goes here
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return {};
}

HWND Form3::Current() {
    const std::unique_ptr<Form3>& form = instance();
    return form ? form->hwnd() : nullptr;
}

// clang-format off
LRESULT Form3::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:     return OnCreate() ? 0 : -1;
        case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}
// clang-format on

bool Form3::OnCreate() {
    dpi_ = GetDpiForWindow(hwnd());
    font_ = win32::createFont(kLabelFont, dpi_);
    const std::wstring text = win32::widen(help::kAboutText);
    HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), kLabelStyle, 0, 0, 0, 0, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(form3::Label1)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (!label) {
        createError_ = GetLastError();
        return false;
    }
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    layOut(dpi_);
    fitClientArea(win32::toPixels(kClientArea, dpi_), dpi_);
    return true;
}

void Form3::OnDpiChanged(unsigned dpi, const RECT& suggested) {
    dpi_ = dpi;
    win32::UniqueFont previous = std::move(font_);
    font_ = win32::createFont(kLabelFont, dpi);
    // The label lets go of the previous font here, before `previous` deletes it.
    SendMessageW(GetDlgItem(hwnd(), form3::Label1), WM_SETFONT,
                 reinterpret_cast<WPARAM>(font_.get()), FALSE);
    layOut(dpi);
    const POINT topLeft{suggested.left, suggested.top};
    fitClientArea(win32::toPixels(kClientArea, dpi), dpi, &topLeft);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void Form3::layOut(unsigned dpi) {
    const win32::PixelRect place = win32::toPixels(kLabel1, dpi);
    SetWindowPos(GetDlgItem(hwnd(), form3::Label1), nullptr, place.left, place.top, place.width,
                 place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace editor
