#include "editor/win/window.hpp"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "win32/accessible.hpp"
#include "win32/caption.hpp"
#include "win32/caption_size.hpp"
#include "win32/dpi.hpp"
#include "win32/error.hpp"
#include "win32/text.hpp"

namespace editor {

void WindowRegistry::add(HWND window) {
    if (!contains(window)) windows_.push_back(window);
}

void WindowRegistry::remove(HWND window) {
    const auto found = std::find(windows_.begin(), windows_.end(), window);
    if (found == windows_.end()) return;
    windows_.erase(found);
    if (windows_.empty()) PostQuitMessage(0);
}

void WindowRegistry::closeAll() {
    // Destroying a window removes it from the list, so work on a copy.
    const std::vector<HWND> open = windows_;
    for (HWND window : open) {
        if (IsWindow(window)) DestroyWindow(window);
    }
}

bool WindowRegistry::contains(HWND window) const {
    return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

Window::~Window() {
    if (!hwnd_) return;
    HWND window = hwnd_;
    // The derived object is gone already: its handler must not hear the destruction.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (registry_) registry_->remove(window);
    DestroyWindow(window);
}

void Window::registerClass(const wchar_t* className) {
    WNDCLASSEXW windowClass{};
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, className, &windowClass)) return;
    // Every window of the editor carries its icon; a program without it (a test) gets none.
    constexpr int kIconId = 1;
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    HICON smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
}

schedule::Outcome Window::create(const WindowDesign& design, WindowRegistry* registry, HMENU menu) {
    registerClass(design.className);
    registry_ = registry;
    clientArea_ = design.clientArea;
    smallestClientArea_ =
        design.smallestClientArea.width > 0 && design.smallestClientArea.height > 0
            ? design.smallestClientArea
            : design.clientArea;
    controls_ = design.controls;
    children_.clear();
    designs_.clear();
    for (const ControlRow& row : controls_) designs_.push_back(row.font);
    createFailure_.clear();
    // Sized for the system's DPI here; WM_CREATE sizes it again for its own monitor's.
    const unsigned systemDpi = win32::systemDpi();
    const win32::PixelRect client = win32::toPixels(design.clientArea, systemDpi);
    RECT frame{0, 0, client.width, client.height};
    win32::adjustWindowRectForDpi(frame, design.style, menu != nullptr, design.extendedStyle,
                                  systemDpi);
    if (CreateWindowExW(design.extendedStyle, design.className, design.title, design.style,
                        CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, menu, GetModuleHandleW(nullptr), this)) {
        return schedule::Outcome::success();
    }
    // What WM_CREATE found is the reason; the system's last error may be about anything since.
    if (!createFailure_.empty()) return schedule::Outcome::failure(createFailure_);
    const DWORD error = GetLastError();
    return schedule::Outcome::failure(win32::systemReason(error ? error : ERROR_CANNOT_MAKE));
}

void Window::show(int command) {
    ShowWindow(hwnd_, command);
    UpdateWindow(hwnd_);
}

void Window::hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

bool Window::bringForward() {
    if (!hwnd_) return false;
    if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOW);
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    return true;
}

win32::PixelRect Window::placeOf(const ControlRow& row, unsigned dpi) const {
    return win32::toPixels(row.place, dpi);
}

win32::PixelSize Window::shortOfDesign() const {
    return {win32::twipsToPixels(clientArea_.width, dpi_) - client_.width,
            win32::twipsToPixels(clientArea_.height, dpi_) - client_.height};
}

HWND Window::control(int id) const {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (controls_[i].id == id) return children_[i];
    }
    return GetDlgItem(hwnd_, id);
}

HFONT Window::font(const win32::FontSpec& design) const {
    return madeFont(design, win32::fontHeight(design.hundredthsOfPoint, dpi_));
}

HFONT Window::madeFont(const win32::FontSpec& design, int height) const {
    for (const MadeFont& made : fonts_) {
        if (made.design == &design && made.height == height) return made.font.get();
    }
    return nullptr;
}

HFONT Window::fontAt(const win32::FontSpec& design, int hundredthsOfPoint) {
    const int height = win32::fontHeight(hundredthsOfPoint, dpi_);
    if (HFONT made = madeFont(design, height)) return made;
    win32::FontSpec sized = design;
    sized.hundredthsOfPoint = hundredthsOfPoint;
    fonts_.push_back({&design, height, win32::createFont(sized, dpi_)});
    return fonts_.back().font.get();
}

void Window::setControlFont(int id, const win32::FontSpec& design) {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].id != id) continue;
        designs_[i] = &design;
        // Before the control exists, the font comes with the others once it does.
        if (i >= children_.size()) return;
        const win32::UniqueDC measuring(CreateCompatibleDC(nullptr));
        win32::ButtonMargins margins;
        fitCaption(children_[i], design, measuring.get(), margins);
        return;
    }
}

bool Window::OnCreateWindow() {
    monitorDpi_ = win32::windowDpi(hwnd_);
    fitOn(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), monitorDpi_);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlRow& row : controls_) {
        const win32::PixelRect place = placeOf(row, dpi_);
        const std::wstring_view kind = row.className;
        // A list box made with its redraw off works out no scroll bar until releaseHeldLists
        // lets it, once it has its font, items and item height.
        const DWORD held = kind == WC_LISTBOXW ? LBS_NOREDRAW : 0;
        HWND child = CreateWindowExW(row.extendedStyle, row.className, row.caption,
                                     WS_CHILD | WS_CLIPSIBLINGS | row.style | held, place.left,
                                     place.top, place.width, place.height, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                     instance, nullptr);
        if (!child) {
            createFailure_ = win32::lastErrorReason();
            return false;
        }
        children_.push_back(child);
        // A combo box has no such style: it is held as soon as it is made.
        if (kind == WC_COMBOBOXW) SendMessageW(child, WM_SETREDRAW, FALSE, 0);
        if (row.accessibleName) win32::setAccessibleName(child, row.accessibleName);
    }
    applyFonts();
    if (const schedule::Outcome created = OnCreate(); !created) {
        createFailure_ = created.error;
        return false;
    }
    // After OnCreate, which may give a control its text.
    fitCaptions();
    OnLaidOut(dpi_);
    releaseHeldLists();
    fitClientArea();
    // The system's default place may leave part of the window off the screen.
    keepInWorkArea();
    return true;
}

void Window::OnDpiChanged(unsigned dpi, const RECT& suggested) {
    monitorDpi_ = dpi;
    fitOn(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), dpi);
    // The controls keep using the previous fonts until applyFonts hands them the new ones.
    const auto previous = std::move(fonts_);
    fonts_.clear();
    applyFonts();
    // A caption fits or not in the control's new size.
    layOut(dpi_);
    fitCaptions();
    OnLaidOut(dpi_);
    const POINT topLeft{suggested.left, suggested.top};
    fitClientArea(&topLeft);
    // The suggested place follows the mouse that drags the window across monitors; a window
    // that had to give way is brought whole onto the work area, where its controls are within
    // reach.
    if (dpi_ != dpi || shortOfDesign() != win32::PixelSize{0, 0}) keepInWorkArea();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::fitOn(HMONITOR monitor, unsigned monitorDpi) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT frame{0, 0, 0, 0};
    win32::adjustWindowRectForDpi(
        frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
        static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), monitorDpi);
    if (!monitor || !GetMonitorInfoW(monitor, &info)) {
        // Nothing to fit into: the design as it is.
        dpi_ = monitorDpi;
        client_ = {win32::twipsToPixels(clientArea_.width, dpi_),
                   win32::twipsToPixels(clientArea_.height, dpi_)};
        return;
    }
    const win32::PixelSize room{info.rcWork.right - info.rcWork.left - (frame.right - frame.left),
                                info.rcWork.bottom - info.rcWork.top - (frame.bottom - frame.top)};
    const win32::WindowFit fit =
        win32::fitWindow(clientArea_, smallestClientArea_, monitorDpi, room);
    dpi_ = fit.dpi;
    client_ = fit.client;
}

void Window::keepInWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT window;
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info) ||
        !GetWindowRect(hwnd_, &window)) {
        return;
    }
    const RECT& work = info.rcWork;
    const auto within = [](LONG start, LONG size, LONG low, LONG high) {
        // Where it is larger than the work area, its start (the title bar) stays in view.
        return std::max(low, std::min(start, high - size));
    };
    const LONG left = within(window.left, window.right - window.left, work.left, work.right);
    const LONG top = within(window.top, window.bottom - window.top, work.top, work.bottom);
    if (left != window.left || top != window.top) {
        SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::releaseHeldLists() {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        const std::wstring_view kind = controls_[i].className;
        if (kind != WC_LISTBOXW && kind != WC_COMBOBOXW) continue;
        SendMessageW(children_[i], WM_SETREDRAW, TRUE, 0);
        // As Microsoft asks once redrawing is allowed again.
        InvalidateRect(children_[i], nullptr, TRUE);
    }
}

void Window::applyFonts() {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (!designs_[i]) continue;
        SendMessageW(children_[i], WM_SETFONT,
                     reinterpret_cast<WPARAM>(fontAt(*designs_[i], designs_[i]->hundredthsOfPoint)),
                     FALSE);
    }
}

void Window::fitCaptions() {
    // One DC of the screen's kind measures them all: a control's own DC would be fetched from
    // the system for each, which costs more than the measuring.
    const win32::UniqueDC measuring(CreateCompatibleDC(nullptr));
    win32::ButtonMargins margins;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (designs_[i]) {
            fitCaption(children_[i], *designs_[i], measuring.get(), margins);
        }
    }
}

void Window::fitCaption(HWND child, const win32::FontSpec& design, HDC measuring,
                        win32::ButtonMargins& margins) {
    HFONT fitting = fontAt(design, design.hundredthsOfPoint);
    // A button's frame is the system's, drawn at its monitor's DPI.
    if (const std::optional<win32::CaptionLayout> caption =
            win32::captionLayout(child, monitorDpi_, margins)) {
        for (int size : win32::captionSizes(design.hundredthsOfPoint, dpi_)) {
            fitting = fontAt(design, size);
            if (win32::captionFits(measuring, *caption, fitting)) break;
        }
    }
    if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) != fitting) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fitting), TRUE);
    }
}

void Window::layOut(unsigned dpi) {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        const win32::PixelRect place = placeOf(controls_[i], dpi);
        SetWindowPos(children_[i], nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::fitClientArea(const POINT* topLeft) {
    const win32::PixelSize client = client_;
    RECT frame{0, 0, client.width, client.height};
    win32::adjustWindowRectForDpi(
        frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
        static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), monitorDpi_);
    const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    RECT current;
    GetWindowRect(hwnd_, &current);
    if (topLeft || current.right - current.left != size.cx ||
        current.bottom - current.top != size.cy) {
        const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE | (topLeft ? 0 : SWP_NOMOVE);
        SetWindowPos(hwnd_, nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0, size.cx,
                     size.cy, keep);
    }
    // The frame can differ from the system's sums for a DPI (a menu bar that wraps, a frame not
    // yet scaled): what counts is the client area, so the size is corrected by what it came out
    // as.
    RECT actual;
    GetClientRect(hwnd_, &actual);
    if (actual.right != client.width || actual.bottom != client.height) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + client.width - actual.right,
                     size.cy + client.height - actual.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool Window::pressFocusedButton() {
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd_, focus) ||
        !(SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON)) {
        return false;
    }
    SendMessageW(focus, BM_CLICK, 0, 0);
    return true;
}

void Window::OnActivateFocus(bool active, HWND first) {
    if (active) {
        OnSetFocusTo(first);
        return;
    }
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void Window::OnSetFocusTo(HWND first) {
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : first;
    if (target && IsWindowEnabled(target) && IsWindowVisible(target)) SetFocus(target);
}

// clang-format off
LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:     return OnCreateWindow() ? 0 : -1;
        case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    }
    return HandleMessage(message, wParam, lParam);
}
// clang-format on

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self->registry_) self->registry_->add(window);
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    std::string failure;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& caught) {
        failure = caught.what();
    } catch (...) {
        failure = "an unknown error";
    }
    if (!failure.empty()) {
        if (message == WM_CREATE) {
            // A window whose making failed half-way must not come into being: its creator
            // reports why.
            self->createFailure_ = failure;
            result = -1;
        } else {
            reportUnexpectedFailure(window, failure);
            result = DefWindowProcW(window, message, wParam, lParam);
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        // The controls are gone; a closed window kept by its owner holds no fonts.
        self->fonts_.clear();
        self->children_.clear();
        if (self->registry_) self->registry_->remove(window);
    }
    return result;
}

void reportUnexpectedFailure(HWND owner, std::string_view what) {
    const std::wstring text = L"Norvell could not finish this step: " + win32::widen(what) + L".";
    MessageBoxW(owner && IsWindowVisible(owner) ? owner : nullptr, text.c_str(), L"Norvell", MB_OK);
}

int runMessageLoop(const std::function<bool(MSG&)>& accelerators) {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        if (accelerators && accelerators(message)) continue;
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace editor
