// Where a label or a push button draws its caption and how it breaks it into lines, as the
// system draws them, and whether a caption in a given font fits there whole: what a window
// measures to pick the size of each caption's font.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32 {

struct CaptionLayout {
    std::wstring text;
    RECT area;    // where the text goes, in the control's client coordinates
    UINT format;  // DrawText's flags for the control's own wrapping and alignment
};

// A visual style's content margins of a push button, kept while a window's captions are
// fitted: the theme gives every button it draws at one DPI the same (its TMT_CONTENTMARGINS),
// and asking it needs a DC of the button, which costs more than the rest of the fitting.
struct ButtonMargins {
    HANDLE theme = nullptr;  // the HTHEME they are of; none yet
    unsigned dpi = 0;
    RECT margins{};
};

// The caption of a static control that shows text (SS_LEFT, SS_CENTER and SS_RIGHT break lines
// between words, SS_LEFTNOWORDWRAP and SS_SIMPLE do not) or of a push button (one line unless
// BS_MULTILINE, inside the frame the system draws at `dpi` and the button's text margins);
// nothing for any other control, or for one without text. `known` keeps the theme's margins
// for the next button.
std::optional<CaptionLayout> captionLayout(HWND control, unsigned dpi, ButtonMargins& known);

// Whether the caption drawn in `font` fits its area whole: measured with DrawText and the
// control's own wrapping, no line wider and no more lines than the area holds, and drawn so,
// no ink outside it where a glyph could reach past the area's edge. Measured on `measuring`,
// a DC of the screen's kind: a memory DC will do, and spares fetching each control's own.
bool captionFits(HDC measuring, const CaptionLayout& layout, HFONT font);

}  // namespace win32
