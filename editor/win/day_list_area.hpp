// The list area of Form2: a child window that holds the lines of one day and paints them line
// under line from its top left corner, in the font its parent gives it (WM_SETFONT). It
// answers WM_GETTEXT with its lines, CR LF between them, so screen readers and tests can read
// what is shown; a vertical scroll bar and the wheel reach lines that do not fit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editor/win/window.hpp"

namespace editor {

class DayListArea final : public Window {
  public:
    DayListArea() = default;

    // Registers the class a parent's table names for it (form2::kDayListClassName).
    static void registerWindowClass();

    // Replaces the lines and scrolls back to the first.
    void setLines(std::vector<std::wstring> lines);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    void OnPrintClient(HDC dc);
    void OnSetFont(HFONT font, bool redraw);
    void OnSize();
    void OnVScroll(int request);
    void OnMouseWheel(int delta);
    LRESULT OnGetText(std::size_t capacity, wchar_t* buffer) const;
    LRESULT OnGetTextLength() const;

    void PaintContent(HDC dc, const RECT& area) const;
    void measure();
    // Whole lines that fit into the client area; at least one.
    int visibleLines() const;
    void scrollTo(int firstLine);
    void updateScrollBar();
    std::wstring text() const;

    HFONT font_ = nullptr;  // the parent's, which it keeps while it is set here
    std::vector<std::wstring> lines_;
    int lineHeight_ = 16;
    int firstLine_ = 0;       // the line at the top of the area
    int wheelRemainder_ = 0;  // wheel movement not yet worth a whole line
};

}  // namespace editor
