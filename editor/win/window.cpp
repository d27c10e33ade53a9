#include "editor/win/window.hpp"

#include <algorithm>
#include <exception>
#include <string>

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

bool Window::create(const wchar_t* className, const wchar_t* title, DWORD style,
                    DWORD extendedStyle, int x, int y, int width, int height, HMENU menu,
                    WindowRegistry* registry) {
    registry_ = registry;
    return CreateWindowExW(extendedStyle, className, title, style, x, y, width, height, nullptr,
                           menu, GetModuleHandleW(nullptr), this) != nullptr;
}

SIZE Window::frameSize(const win32::PixelRect& client, DWORD style, DWORD extendedStyle,
                       bool hasMenu, unsigned dpi) {
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&frame, style, hasMenu, extendedStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Window::fitClientArea(const win32::PixelRect& client, unsigned dpi, const POINT* topLeft) {
    const SIZE size = frameSize(client, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)),
                                static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)),
                                GetMenu(hwnd_) != nullptr, dpi);
    RECT frame;
    GetWindowRect(hwnd_, &frame);
    if (topLeft || frame.right - frame.left != size.cx || frame.bottom - frame.top != size.cy) {
        const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE | (topLeft ? 0 : SWP_NOMOVE);
        SetWindowPos(hwnd_, nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0, size.cx,
                     size.cy, keep);
    }
    RECT actual;
    GetClientRect(hwnd_, &actual);
    if (actual.right != client.width || actual.bottom != client.height) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + client.width - actual.right,
                     size.cy + client.height - actual.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
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
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& failure) {
        reportUnexpectedFailure(window, failure.what());
        result = DefWindowProcW(window, message, wParam, lParam);
    } catch (...) {
        reportUnexpectedFailure(window, "an unknown error");
        result = DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        if (self->registry_) self->registry_->remove(window);
    }
    return result;
}

void reportUnexpectedFailure(HWND owner, std::string_view what) {
    const std::wstring text = L"Norvell could not finish this step: " + win32::widen(what) + L".";
    MessageBoxW(owner && IsWindowVisible(owner) ? owner : nullptr, text.c_str(), L"Norvell", MB_OK);
}

int runMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace editor
