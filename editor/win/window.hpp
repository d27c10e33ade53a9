// What every top-level window of the editor shares: the object behind the window handle, the
// boundary that keeps exceptions out of the system, and the count of open windows that
// decides when the editor ends.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "win32/twips.hpp"

namespace editor {

// The editor's open top-level windows. The editor ends when the last one is destroyed; a
// hidden window still counts as open.
class WindowRegistry {
  public:
    WindowRegistry() = default;
    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    void add(HWND window);
    // Posts the quit message once no window is left.
    void remove(HWND window);
    // Destroys every window, in the order they opened: Exit.
    void closeAll();
    std::size_t count() const { return windows_.size(); }
    bool contains(HWND window) const;

  private:
    std::vector<HWND> windows_;
};

// A window owned by a C++ object: `this` comes in with WM_NCCREATE, messages go to
// HandleMessage, and the window joins the registry from WM_NCCREATE until WM_NCDESTROY.
class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

  protected:
    Window() = default;
    // Destroys a window still open; the object no longer hears of it.
    ~Window();

    // Registers a window class with the editor's icon once per process; its procedure is
    // Window's.
    static void registerClass(const wchar_t* className);

    // Creates the window; false with GetLastError set when the system refused.
    bool create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD extendedStyle,
                int x, int y, int width, int height, HMENU menu, WindowRegistry* registry);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The outer size of a window of this style whose client area is `client` at `dpi`.
    static SIZE frameSize(const win32::PixelRect& client, DWORD style, DWORD extendedStyle,
                          bool hasMenu, unsigned dpi);
    // Sizes the window so that its client area is `client`, moved to `topLeft` when given (the
    // place WM_DPICHANGED suggests). The frame can differ from the system's sums for a DPI (a
    // menu bar that wraps, a frame not yet scaled): what counts is the client area, so the size
    // is corrected by what the client area came out as.
    void fitClientArea(const win32::PixelRect& client, unsigned dpi,
                       const POINT* topLeft = nullptr);

    // Keyboard focus goes back to the control that had it when the window was last active, or
    // to `first` the first time: call from WM_ACTIVATE and WM_SETFOCUS.
    void OnActivateFocus(bool active, HWND first);
    void OnSetFocusTo(HWND first);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WindowRegistry* registry_ = nullptr;
    HWND lastFocus_ = nullptr;
};

// A message box titled "Norvell" for a failure no handler expected; `owner` may be null.
void reportUnexpectedFailure(HWND owner, std::string_view what);

// Gets and dispatches messages until the quit message, with the keyboard navigation of
// dialogs (Tab, Enter) in every top-level window. The quit message's value.
int runMessageLoop();

}  // namespace editor
