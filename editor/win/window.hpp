// What every window of the editor shares: the object behind the window handle, the boundary
// that keeps exceptions out of the system, the layout of its controls from a table in twips
// (again on every DPI change), its fonts with every caption whole in its control, and the count
// of open windows that decides when the editor ends.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "schedule/folder.hpp"
#include "win32/caption.hpp"
#include "win32/font.hpp"
#include "win32/twips.hpp"
#include "win32/window_fit.hpp"

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

// One child of a window, as the window was designed: created in table order, which is the
// keyboard order (Tab) and the stacking order, at its place, in its font.
struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;  // WS_CHILD and WS_CLIPSIBLINGS are added
    DWORD extendedStyle;
    win32::TwipsRect place;  // in the client area
    // The font the control was designed with; a caption that does not fit in it whole gets it
    // a little smaller (captionSizes). Null: the control keeps the system's font.
    const win32::FontSpec* font;
    // What a screen reader calls it where the caption does not say; null: the caption does.
    const wchar_t* accessibleName = nullptr;
};

// A top-level window of the editor as it was designed: one constant per window.
struct WindowDesign {
    const wchar_t* className;
    const wchar_t* title;
    DWORD style;
    DWORD extendedStyle;
    win32::TwipsRect clientArea;
    std::span<const ControlRow> controls;
    // The smallest client area the window still works with where its monitor has no room for
    // the design, its controls placed by its placeOf; empty: it cannot give way, and is laid out
    // smaller as a whole instead.
    win32::TwipsRect smallestClientArea{};
};

// A window owned by a C++ object: `this` comes in with WM_NCCREATE, messages go to
// HandleMessage, and the window joins the registry from WM_NCCREATE until WM_NCDESTROY.
// Exceptions stop at the window procedure: reported there, or while the window is being made,
// the reason its creation failed. A window fits its monitor's work area: one whose design is
// larger gives way (win32::fitWindow), and the window is made inside the work area.
class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Shows the window and paints it at once.
    void show(int command = SW_SHOW);
    // Hidden, the window still counts as open.
    void hide();
    // Shows the window again if hidden, restores it if minimized and activates it; false when
    // it is not open.
    bool bringForward();

  protected:
    Window() = default;
    // Destroys a window still open; the object no longer hears of it.
    ~Window();

    // Registers a window class with the editor's icon once per process; its procedure is
    // Window's.
    static void registerClass(const wchar_t* className);

    // Creates the window hidden at the system's default place, its frame sized for the
    // design's client area at the system DPI; WM_CREATE then makes the fonts and the controls
    // for the window's own DPI and corrects the frame. The window counts among `registry`
    // (null: it does not count) and owns `menu` once it exists. The reason when it cannot.
    schedule::Outcome create(const WindowDesign& design, WindowRegistry* registry,
                             HMENU menu = nullptr);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // What a window adds to the table's controls once they exist (list items, subclasses).
    virtual schedule::Outcome OnCreate() { return schedule::Outcome::success(); }
    // After every layout, at creation and at a new DPI, before the frame is fitted: what
    // depends on the fonts (item heights) or on the window's own fonts.
    virtual void OnLaidOut(unsigned dpi) { (void)dpi; }
    // Where a row's control goes at `dpi`: its table place unless the window says otherwise.
    virtual win32::PixelRect placeOf(const ControlRow& row, unsigned dpi) const;

    // The table's control `id`, from the handles kept as they were made: GetDlgItem has the
    // system list all the window's children for each call (under Wine a request to its server).
    HWND control(int id) const;
    // The DPI the window's contents are laid out at: its monitor's, unless the design is laid
    // out smaller to fit it.
    unsigned dpi() const { return dpi_; }
    // How many pixels the client area is narrower and lower than the design at dpi(): 0 and 0
    // unless the window gave way to fit its monitor.
    win32::PixelSize shortOfDesign() const;
    // The window's font of this design at its own size, made for the window's DPI; null when no
    // control uses it.
    HFONT font(const win32::FontSpec& design) const;
    // From now on control `id` is drawn in `design` (a day button turning bold), made for the
    // window's DPI and fitted to its caption as the table's fonts are, at every DPI change too.
    void setControlFont(int id, const win32::FontSpec& design);

    // Enter on a focused push button presses it, as in a dialog; false when the focus is
    // elsewhere.
    bool pressFocusedButton();

    // Keyboard focus goes back to the control that had it when the window was last active, or
    // to `first` the first time: call from WM_ACTIVATE and WM_SETFOCUS.
    void OnActivateFocus(bool active, HWND first);
    void OnSetFocusTo(HWND first);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreateWindow();
    void OnDpiChanged(unsigned dpi, const RECT& suggested);

    // The layout on `monitor` at its DPI `monitorDpi`: dpi_ and client_.
    void fitOn(HMONITOR monitor, unsigned monitorDpi);
    // Moves the window, as it is now, into its monitor's work area where it reaches past it.
    void keepInWorkArea();

    // List boxes and combo boxes are made with their redraw off, and redraw again from here:
    // each font, item and item height a list is given while the window is made would otherwise
    // have it work out its scroll bar (a combo box its drop-down part) anew and draw, with a DC
    // of its own fetched from the system each time.
    void releaseHeldLists();
    // Every control in its design's font at its own size.
    void applyFonts();
    // Each control that shows a caption in the font whose size fits it whole: the design's
    // size where it fits, else the first smaller step that does (at the last, the smallest).
    void fitCaptions();
    // Measured on `measuring`, a DC of the screen's kind.
    void fitCaption(HWND control, const win32::FontSpec& design, HDC measuring,
                    win32::ButtonMargins& margins);
    // The font of `design` at `hundredthsOfPoint` for the window's DPI, made once: controls of
    // one design and size share it.
    HFONT fontAt(const win32::FontSpec& design, int hundredthsOfPoint);
    // The font made already for `design` at this LOGFONT height; null when none is.
    HFONT madeFont(const win32::FontSpec& design, int height) const;
    void layOut(unsigned dpi);
    // Sizes the window so that its client area is client_, moved to `topLeft` when given (the
    // place WM_DPICHANGED suggests).
    void fitClientArea(const POINT* topLeft = nullptr);

    HWND hwnd_ = nullptr;
    WindowRegistry* registry_ = nullptr;
    HWND lastFocus_ = nullptr;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;         // of the layout
    unsigned monitorDpi_ = USER_DEFAULT_SCREEN_DPI;  // of the frame and the system's metrics
    win32::TwipsRect clientArea_{};
    win32::TwipsRect smallestClientArea_{};
    win32::PixelSize client_{};
    std::span<const ControlRow> controls_;
    // Each row's control once made, in the table's order; the window destroys them.
    std::vector<HWND> children_;
    // Each row's design of font: the table's, or what setControlFont gave it.
    std::vector<const win32::FontSpec*> designs_;
    struct MadeFont {
        const win32::FontSpec* design;
        int height;  // LOGFONT height at the window's DPI
        win32::UniqueFont font;
    };
    std::vector<MadeFont> fonts_;
    std::string createFailure_;  // why WM_CREATE failed, when it did
};

// A message box titled "Norvell" for a failure no handler expected; `owner` may be null.
void reportUnexpectedFailure(HWND owner, std::string_view what);

// Gets and dispatches messages until the quit message, with the keyboard navigation of
// dialogs (Tab, Enter) in every top-level window, after `accelerators` (when given) had the
// chance to take a message as a keyboard shortcut. The quit message's value.
int runMessageLoop(const std::function<bool(MSG&)>& accelerators = {});

}  // namespace editor
