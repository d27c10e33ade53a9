#include "editor/win/day_list_area.hpp"

#include <algorithm>
#include <cwchar>

#include "editor/win/viewer_ids.hpp"
#include "win32/owners.hpp"

namespace editor {

void DayListArea::registerWindowClass() {
    registerClass(form2::kDayListClassName);
}

void DayListArea::setLines(std::vector<std::wstring> lines) {
    lines_ = std::move(lines);
    firstLine_ = 0;
    wheelRemainder_ = 0;
    if (!hwnd()) return;
    updateScrollBar();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// clang-format off
LRESULT DayListArea::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:          OnPaint(); return 0;
        case WM_PRINTCLIENT:    OnPrintClient(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_ERASEBKGND:     return 1;  // PaintContent fills the background itself
        case WM_SETFONT:        OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
        case WM_GETFONT:        return reinterpret_cast<LRESULT>(font_);
        case WM_SIZE:           OnSize(); return 0;
        case WM_VSCROLL:        OnVScroll(LOWORD(wParam)); return 0;
        case WM_MOUSEWHEEL:     OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
        case WM_GETTEXT:        return OnGetText(static_cast<std::size_t>(wParam), reinterpret_cast<wchar_t*>(lParam));
        case WM_GETTEXTLENGTH:  return OnGetTextLength();
        case WM_SETTEXT:        return FALSE;  // the lines come from the viewer only
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}
// clang-format on

void DayListArea::OnPaint() {
    const win32::PaintDC dc(hwnd());
    if (dc) PaintContent(dc.get(), dc.area());
}

void DayListArea::OnPrintClient(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    PaintContent(dc, client);
}

void DayListArea::PaintContent(HDC dc, const RECT& area) const {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (lines_.empty()) return;
    const win32::Selected font(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    // Only the lines that reach into the area that needs painting.
    const int first = firstLine_ + std::max(0, static_cast<int>(area.top) / lineHeight_);
    const int last = firstLine_ + static_cast<int>(area.bottom) / lineHeight_;
    for (int index = first; index <= last && index < static_cast<int>(lines_.size()); ++index) {
        const std::wstring& line = lines_[static_cast<std::size_t>(index)];
        TextOutW(dc, 0, (index - firstLine_) * lineHeight_, line.c_str(),
                 static_cast<int>(line.size()));
    }
}

void DayListArea::OnSetFont(HFONT font, bool redraw) {
    font_ = font;
    measure();
    updateScrollBar();
    if (redraw) InvalidateRect(hwnd(), nullptr, TRUE);
}

void DayListArea::measure() {
    const win32::ClientDC dc(hwnd());
    if (!dc) return;
    const win32::Selected font(dc.get(), font_);
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc.get(), &metrics)) {
        lineHeight_ = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
    }
}

void DayListArea::OnSize() {
    updateScrollBar();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

int DayListArea::visibleLines() const {
    RECT client;
    GetClientRect(hwnd(), &client);
    return std::max(1, static_cast<int>(client.bottom - client.top) / lineHeight_);
}

void DayListArea::updateScrollBar() {
    const int count = static_cast<int>(lines_.size());
    const int page = visibleLines();
    firstLine_ = std::clamp(firstLine_, 0, std::max(0, count - page));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    // Without SIF_DISABLENOSCROLL the system hides the bar whenever the page holds every line.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, count - 1);
    info.nPage = static_cast<UINT>(page);
    info.nPos = firstLine_;
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
}

void DayListArea::scrollTo(int firstLine) {
    const int count = static_cast<int>(lines_.size());
    const int clamped = std::clamp(firstLine, 0, std::max(0, count - visibleLines()));
    if (clamped == firstLine_) return;
    firstLine_ = clamped;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = firstLine_;
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DayListArea::OnVScroll(int request) {
    const int page = visibleLines();
    switch (request) {
        case SB_LINEUP:
            scrollTo(firstLine_ - 1);
            break;
        case SB_LINEDOWN:
            scrollTo(firstLine_ + 1);
            break;
        case SB_PAGEUP:
            scrollTo(firstLine_ - page);
            break;
        case SB_PAGEDOWN:
            scrollTo(firstLine_ + page);
            break;
        case SB_TOP:
            scrollTo(0);
            break;
        case SB_BOTTOM:
            scrollTo(static_cast<int>(lines_.size()));
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit track position, not the 16-bit one in the message.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(hwnd(), SB_VERT, &info)) scrollTo(info.nTrackPos);
            break;
        }
        default:
            break;
    }
}

void DayListArea::OnMouseWheel(int delta) {
    UINT linesPerNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    if (linesPerNotch == 0) return;
    const int step =
        linesPerNotch == WHEEL_PAGESCROLL ? visibleLines() : static_cast<int>(linesPerNotch);
    // Fine-grained wheels send less than a notch at a time: keep the rest for the next turn.
    wheelRemainder_ += delta;
    const int lines = wheelRemainder_ * step / WHEEL_DELTA;
    if (lines == 0) return;
    wheelRemainder_ -= lines * WHEEL_DELTA / step;
    scrollTo(firstLine_ - lines);
}

std::wstring DayListArea::text() const {
    std::wstring joined;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) joined += L"\r\n";
        joined += lines_[i];
    }
    return joined;
}

LRESULT DayListArea::OnGetText(std::size_t capacity, wchar_t* buffer) const {
    if (capacity == 0 || !buffer) return 0;
    const std::wstring joined = text();
    const std::size_t copied = std::min(joined.size(), capacity - 1);
    std::wmemcpy(buffer, joined.data(), copied);
    buffer[copied] = L'\0';
    return static_cast<LRESULT>(copied);
}

LRESULT DayListArea::OnGetTextLength() const {
    std::size_t length = 0;
    for (const std::wstring& line : lines_) length += line.size();
    if (!lines_.empty()) length += 2 * (lines_.size() - 1);
    return static_cast<LRESULT>(length);
}

}  // namespace editor
