#include "editor/win/message_window.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "win32/dpi.hpp"
#include "win32/font.hpp"
#include "win32/message_fit.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {

constexpr wchar_t kTitle[] = L"Norvell";
// The id of a message box's text: whatever reads a box's text (a screen reader, a test) reads
// the window's the same way.
constexpr int kTextId = 0xFFFF;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME;

struct ButtonRow {
    int id;
    const wchar_t* caption;
};

std::vector<ButtonRow> buttonsOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNoCancel:
            return {{IDYES, L"&Yes"}, {IDNO, L"&No"}, {IDCANCEL, L"Cancel"}};
        case Buttons::YesNo:
            return {{IDYES, L"&Yes"}, {IDNO, L"&No"}};
        case Buttons::Ok:
            break;
    }
    return {{IDOK, L"OK"}};
}

int defaultButton(Buttons buttons) {
    return buttons == Buttons::YesNoCancel ? IDYES : buttons == Buttons::YesNo ? IDNO : IDOK;
}

// The work area of the monitor that `window` is on, or of the primary one.
win32::PixelRect workAreaOf(HWND window) {
    const HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                    : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT work{};
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        work = info.rcWork;
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    return {work.left, work.top, work.right - work.left, work.bottom - work.top};
}

win32::PixelSize sizeOf(const win32::PixelRect& rect) {
    return {rect.width, rect.height};
}

// The text laid out in `font` within `width`: as a message box breaks it (between words), or
// as an edit control does (a word too long for a line broken too).
win32::PixelSize measure(const std::wstring& text, HFONT font, int width, bool asEdit) {
    const win32::ClientDC screen(nullptr);
    const win32::Selected selected(screen.get(), font);
    RECT area{0, 0, width, 0};
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    if (asEdit) format |= DT_EDITCONTROL;
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &area, format);
    return {area.right - area.left, area.bottom - area.top};
}

int lineHeight(HFONT font) {
    const std::optional<TEXTMETRICW> metrics = win32::textMetrics(font);
    return metrics ? std::max(1, static_cast<int>(metrics->tmHeight + metrics->tmExternalLeading))
                   : 1;
}

// Pixels of the window's design at 96 DPI, at the window's DPI.
struct Layout {
    unsigned dpi;
    int margin() const { return win32::scalePixels(11, dpi); }
    int gap() const { return win32::scalePixels(7, dpi); }
    int buttonWidth() const { return win32::scalePixels(88, dpi); }
    int buttonHeight() const { return win32::scalePixels(26, dpi); }
};

class MessageWindow {
  public:
    MessageWindow(std::wstring text, Buttons buttons) : text_(std::move(text)), buttons_(buttons) {}

    int show(HWND owner) {
        // A dialog template of no controls: they are made at WM_INITDIALOG, in pixels for the
        // window's DPI. WORD-aligned: the template's header, then no menu, the default class
        // and the title.
        std::vector<WORD> layout(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
        auto* header = reinterpret_cast<DLGTEMPLATE*>(layout.data());
        header->style = kStyle;
        header->cx = 200;
        header->cy = 100;
        layout.push_back(0);
        layout.push_back(0);
        for (const wchar_t* c = kTitle; *c; ++c) layout.push_back(static_cast<WORD>(*c));
        layout.push_back(0);
        // DLGTEMPLATE's size is a multiple of 2: the vector's data holds it aligned for the
        // DWORD fields, as DialogBoxIndirectParamW requires.
        const INT_PTR ended = DialogBoxIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()), owner,
            &MessageWindow::Procedure, reinterpret_cast<LPARAM>(this));
        return static_cast<int>(ended);
    }

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            auto* self = reinterpret_cast<MessageWindow*>(lParam);
            self->window_ = window;
            return self->OnInitDialog();
        }
        auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self) return FALSE;
        switch (message) {
            case WM_SIZE:
                self->layOut();
                return TRUE;
            case WM_GETMINMAXINFO:
                self->OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
                return TRUE;
            case WM_DPICHANGED:
                self->OnDpiChanged(HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
                return TRUE;
            case WM_COMMAND:
                return self->OnCommand(LOWORD(wParam));
            default:
                return FALSE;
        }
    }

    BOOL OnInitDialog() {
        dpi_ = win32::windowDpi(window_);
        makeFont();
        const DWORD textStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL;
        HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", textStyle, 0, 0, 0, 0, window_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), nullptr,
                                    nullptr);
        // An edit control breaks lines only at CR LF.
        std::wstring shown;
        for (wchar_t c : text_) {
            if (c == L'\n' && (shown.empty() || shown.back() != L'\r')) shown += L'\r';
            shown += c;
        }
        SetWindowTextW(edit, shown.c_str());
        const int chosen = defaultButton(buttons_);
        for (const ButtonRow& row : buttonsOf(buttons_)) {
            const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                                (row.id == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            CreateWindowExW(0, L"BUTTON", row.caption, style, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), nullptr,
                            nullptr);
        }
        SendMessageW(window_, DM_SETDEFID, static_cast<WPARAM>(chosen), 0);
        if (buttons_ == Buttons::YesNo) {
            // As a message box with Yes and No: no answer but one of them.
            EnableMenuItem(GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        }
        applyFont();
        place();
        SetFocus(GetDlgItem(window_, chosen));
        return FALSE;  // the focus is set
    }

    void makeFont() {
        LOGFONTW font = win32::messageFont(dpi_);
        font_.reset(CreateFontIndirectW(&font));
    }

    void applyFont() {
        for (HWND child = GetWindow(window_, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
        }
    }

    // The size a message box of this text would have, or the work area where that is larger.
    void place() {
        const Layout layout{dpi_};
        const win32::PixelRect work = workAreaOf(window_);
        const int scrollBar = GetSystemMetrics(SM_CXVSCROLL) * static_cast<int>(dpi_) /
                              static_cast<int>(win32::systemDpi());
        const int edges = 2 * win32::scalePixels(2, dpi_) + scrollBar;
        const int textWidth = win32::messageWrapWidth(sizeOf(work));
        const win32::PixelSize text = measure(text_, font_.get(), textWidth, true);
        RECT frame{0, 0, textWidth + edges + 2 * layout.margin(),
                   text.height + lineHeight(font_.get()) + edges + 3 * layout.margin() +
                       layout.buttonHeight()};
        win32::adjustWindowRectForDpi(frame, kStyle, false, 0, dpi_);
        const win32::PixelRect at = win32::scrollingMessagePlace(
            {frame.right - frame.left, frame.bottom - frame.top}, work);
        SetWindowPos(window_, nullptr, at.left, at.top, at.width, at.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
    }

    void layOut() {
        RECT client{};
        GetClientRect(window_, &client);
        const Layout layout{dpi_};
        const std::vector<ButtonRow> rows = buttonsOf(buttons_);
        const int buttonTop = client.bottom - layout.margin() - layout.buttonHeight();
        int left = client.right - layout.margin() -
                   static_cast<int>(rows.size()) * (layout.buttonWidth() + layout.gap()) +
                   layout.gap();
        for (const ButtonRow& row : rows) {
            MoveWindow(GetDlgItem(window_, row.id), left, buttonTop, layout.buttonWidth(),
                       layout.buttonHeight(), TRUE);
            left += layout.buttonWidth() + layout.gap();
        }
        MoveWindow(GetDlgItem(window_, kTextId), layout.margin(), layout.margin(),
                   std::max(0, static_cast<int>(client.right) - 2 * layout.margin()),
                   std::max(0, buttonTop - 2 * layout.margin()), TRUE);
    }

    void OnGetMinMaxInfo(MINMAXINFO& limits) const {
        const Layout layout{dpi_};
        const int buttons = static_cast<int>(buttonsOf(buttons_).size());
        RECT frame{0, 0, buttons * (layout.buttonWidth() + layout.gap()) + 2 * layout.margin(),
                   4 * lineHeight(font_.get()) + 3 * layout.margin() + layout.buttonHeight()};
        win32::adjustWindowRectForDpi(frame, kStyle, false, 0, dpi_);
        limits.ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
    }

    void OnDpiChanged(unsigned dpi, const RECT& suggested) {
        dpi_ = dpi;
        makeFont();
        applyFont();
        SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
    }

    BOOL OnCommand(int id) {
        switch (id) {
            case IDOK:
            case IDYES:
            case IDNO:
                EndDialog(window_, id);
                return TRUE;
            case IDCANCEL:
                // Esc or the close box: OK where that is the only button, Cancel where there is
                // one; Yes and No must be answered.
                if (buttons_ == Buttons::YesNo) return TRUE;
                EndDialog(window_, buttons_ == Buttons::Ok ? IDOK : IDCANCEL);
                return TRUE;
            default:
                return FALSE;
        }
    }

    std::wstring text_;
    Buttons buttons_;
    HWND window_ = nullptr;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    win32::UniqueFont font_;
};

// Whether the text fits a message box on the monitor of `owner`.
bool fitsMessageBox(HWND owner, const std::wstring& text) {
    const unsigned dpi = owner ? win32::windowDpi(owner) : win32::systemDpi();
    const win32::PixelSize work = sizeOf(workAreaOf(owner));
    LOGFONTW design = win32::messageFont(dpi);
    const win32::UniqueFont font(CreateFontIndirectW(&design));
    const int line = lineHeight(font.get());
    const int wrap = win32::messageWrapWidth(work);
    const int frame = 2 * (win32::systemMetric(SM_CXFIXEDFRAME, dpi) +
                           win32::systemMetric(SM_CXPADDEDBORDER, dpi));
    // Margins above and below the text, and a row of buttons with its margins: about five
    // lines; beside the text, about two lines each side.
    const win32::MessageMeasure measured{
        wrap,
        measure(text, font.get(), wrap, false),
        {frame + 4 * line, frame + win32::systemMetric(SM_CYCAPTION, dpi) + 5 * line}};
    return win32::fitsMessageBox(measured, work);
}

}  // namespace

Answer showMessage(HWND owner, std::string_view text, Buttons buttons) {
    const std::wstring wide = win32::widen(text);
    const UINT style = buttons == Buttons::YesNoCancel ? MB_YESNOCANCEL | MB_DEFBUTTON1
                       : buttons == Buttons::YesNo     ? MB_YESNO | MB_DEFBUTTON2
                                                       : MB_OK;
    int chosen = 0;
    if (fitsMessageBox(owner, wide)) {
        chosen = MessageBoxW(owner, wide.c_str(), kTitle, style);
    } else {
        chosen = MessageWindow(wide, buttons).show(owner);
        // No window could be made: a message box, cut off or not, still tells it.
        if (chosen <= 0) chosen = MessageBoxW(owner, wide.c_str(), kTitle, style);
    }
    switch (chosen) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        case IDOK:
        default:
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

}  // namespace editor
