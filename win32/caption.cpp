#include "win32/caption.hpp"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <span>

#include "win32/canvas.hpp"
#include "win32/dpi.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/system_library.hpp"

namespace win32 {

namespace {

// The theme functions, from the library that Common Controls 6 loads already for the buttons
// it draws with visual styles: imported, the library would be looked for beside the program
// first. Without it (or without visual styles) buttons are drawn classic.
enum ThemeProcedure { kThemeActive, kWindowTheme, kContentRect };
using Themes = SystemLibrary<decltype(&IsThemeActive), decltype(&GetWindowTheme),
                             decltype(&GetThemeBackgroundContentRect)>;

const Themes& themes() {
    static const Themes library(L"uxtheme.dll", "IsThemeActive", "GetWindowTheme",
                                "GetThemeBackgroundContentRect");
    return library;
}

std::wstring windowText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool isClass(HWND control, const wchar_t* name) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    return CompareStringOrdinal(className, -1, name, -1, TRUE) == CSTR_EQUAL;
}

std::optional<UINT> labelFormat(DWORD style) {
    UINT format = DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    switch (style & SS_TYPEMASK) {
        case SS_LEFT:
            return format | DT_WORDBREAK | DT_LEFT;
        case SS_CENTER:
            return format | DT_WORDBREAK | DT_CENTER;
        case SS_RIGHT:
            return format | DT_WORDBREAK | DT_RIGHT;
        case SS_LEFTNOWORDWRAP:
            return format | DT_LEFT;
        case SS_SIMPLE:
            return format | DT_SINGLELINE | DT_LEFT;
        default:
            return std::nullopt;  // pictures, frames, owner-drawn
    }
}

// Inside a push button's frame: with visual styles the theme's content area of the button
// part at the button's DPI; without them the raised edge, the line that marks the default
// button and the focus rectangle drawn inside them, which the text must not touch either; then
// the text margins the button keeps (common controls 6 has them).
RECT buttonTextArea(HWND button, unsigned dpi, ButtonMargins& known) {
    RECT client{};
    GetClientRect(button, &client);
    RECT area = client;
    // Without visual styles no window has a theme: the session says so at once, where asking
    // each button for its theme costs a look-up of the window's properties.
    const Themes& library = themes();
    HTHEME theme = library.complete() && library.get<kThemeActive>()()
                       ? library.get<kWindowTheme>()(button)
                       : nullptr;
    if (theme) {
        if (known.theme != theme || known.dpi != dpi) {
            const ClientDC dc(button);
            library.get<kContentRect>()(theme, dc.get(), BP_PUSHBUTTON, PBS_NORMAL, &client, &area);
            known = {theme,
                     dpi,
                     {area.left - client.left, area.top - client.top, client.right - area.right,
                      client.bottom - area.bottom}};
        }
        area = {client.left + known.margins.left, client.top + known.margins.top,
                client.right - known.margins.right, client.bottom - known.margins.bottom};
    } else {
        InflateRect(&area,
                    -(systemMetric(SM_CXEDGE, dpi) + systemMetric(SM_CXBORDER, dpi) +
                      systemMetric(SM_CXFOCUSBORDER, dpi)),
                    -(systemMetric(SM_CYEDGE, dpi) + systemMetric(SM_CYBORDER, dpi) +
                      systemMetric(SM_CYFOCUSBORDER, dpi)));
    }
    RECT margin{};
    if (SendMessageW(button, BCM_GETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin))) {
        area.left += margin.left;
        area.top += margin.top;
        area.right -= margin.right;
        area.bottom -= margin.bottom;
    }
    return area;
}

// Whether the caption, drawn as the control draws it, puts no ink outside its area. A glyph's
// ink may reach past the advance that DrawText measures (an overhang; Wine's Tahoma at 9
// pixels draws its dots 4 pixels wider than it measures them), so the drawing has the last
// word. Drawn unclipped on a white bitmap with room around the area.
bool inkWithin(const CaptionLayout& layout, HFONT font) {
    const LONG width = layout.area.right - layout.area.left;
    const LONG height = layout.area.bottom - layout.area.top;
    const LONG room = std::max<LONG>(height, 8);
    const LONG bitmapWidth = width + 2 * room, bitmapHeight = height + 2 * room;
    const Canvas canvas(bitmapWidth, bitmapHeight);
    if (!canvas) return true;
    RECT area{room, room, room + width, room + height};
    {
        const Selected selected(canvas.dc(), font);
        SetTextColor(canvas.dc(), RGB(0, 0, 0));
        SetBkMode(canvas.dc(), TRANSPARENT);
        // A single line sits in the middle of its area, as a button draws it.
        const UINT vertical = (layout.format & DT_SINGLELINE) ? DT_VCENTER : 0;
        DrawTextW(canvas.dc(), layout.text.c_str(), static_cast<int>(layout.text.size()), &area,
                  layout.format | vertical | DT_NOCLIP);
    }
    // Ink on the area's last pixel touches what lies beyond: a button's frame, or the next
    // control. A centred caption keeps off the first one too; a left-aligned one starts there.
    const LONG keepOff = (layout.format & DT_CENTER) ? 1 : 0;
    const std::span<const DWORD> pixels = canvas.pixels();
    auto pixel = pixels.begin();
    for (LONG y = 0; y < bitmapHeight; ++y) {
        for (LONG x = 0; x < bitmapWidth; ++x, ++pixel) {
            const bool inside =
                x >= room + keepOff && x < room + width - 1 && y >= room && y < room + height - 1;
            if (!inside && (*pixel & 0xFFFFFF) != 0xFFFFFF) return false;
        }
    }
    return true;
}

// Whether the first glyph drawn of a one-line caption starts at or right of its origin: its
// left side bearing (the A width) is not negative. The prefix character, where the control
// shows access keys, is not drawn.
bool startsWithinArea(HDC measuring, const CaptionLayout& layout) {
    std::size_t first = 0;
    if (!(layout.format & DT_NOPREFIX)) {
        while (first + 1 < layout.text.size() && layout.text[first] == L'&') ++first;
    }
    const auto glyph = static_cast<UINT>(layout.text[first]);
    ABC widths{};
    if (GetCharABCWidthsW(measuring, glyph, glyph, &widths)) return widths.abcA >= 0;
    // A bitmap font has no bearings: it draws within its cells.
    ABCFLOAT cells{};
    return GetCharABCWidthsFloatW(measuring, glyph, glyph, &cells) && cells.abcfA >= 0;
}

}  // namespace

std::optional<CaptionLayout> captionLayout(HWND control, unsigned dpi, ButtonMargins& known) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    CaptionLayout layout{};
    if (isClass(control, WC_STATICW)) {
        const std::optional<UINT> format = labelFormat(style);
        if (!format) return std::nullopt;
        layout.format = *format;
        GetClientRect(control, &layout.area);
    } else if (isClass(control, WC_BUTTONW)) {
        const DWORD kind = style & BS_TYPEMASK;
        if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON) return std::nullopt;
        layout.format = DT_CENTER | ((style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
        layout.area = buttonTextArea(control, dpi, known);
    } else {
        return std::nullopt;
    }
    layout.text = windowText(control);
    if (layout.text.empty()) return std::nullopt;
    return layout;
}

bool captionFits(HDC measuring, const CaptionLayout& layout, HFONT font) {
    const LONG width = layout.area.right - layout.area.left;
    const LONG height = layout.area.bottom - layout.area.top;
    if (!measuring) return true;  // nothing to measure with: the design stands
    const Selected selected(measuring, font);
    // Lines break at the area's width; a word wider than that widens the rectangle, more lines
    // than fit lengthen it.
    RECT measured{0, 0, width, height};
    if (!DrawTextW(measuring, layout.text.c_str(), static_cast<int>(layout.text.size()), &measured,
                   layout.format | DT_CALCRECT)) {
        return true;
    }
    if (measured.right - measured.left > width || measured.bottom - measured.top > height) {
        return false;
    }
    // Drawing the caption to see its ink is most of the cost of a window's start. It can only
    // find ink cut where a glyph may reach past the measure to the area's edge: not where the
    // caption leaves more room on each side it may reach than a glyph's overhang. An outline
    // glyph's is bounded by half the font's height (the widest seen is 4 pixels of a 9-pixel
    // font). A raster glyph is drawn inside its cell, and the cells are what DrawText measures,
    // so only the overstrike of a made-up bold or italic (tmOverhang) remains, with the pixel
    // that must stay clear of the edge and one more to spare. A centred caption has that room
    // on both sides; one that starts at the area's left edge needs it on the right only, while
    // its one line starts with a glyph that reaches no further left than its start.
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(measuring, &metrics)) return inkWithin(layout, font);
    const bool raster = !drawnFromOutlines(metrics);
    const LONG overhang = raster ? 2 + metrics.tmOverhang : (metrics.tmHeight + 1) / 2;
    const LONG slack = width - (measured.right - measured.left);
    const LONG lines = measured.bottom - measured.top;
    if (layout.format & DT_CENTER) {
        // A raster cell's last row may hold ink (a descender), so it keeps off the bottom edge.
        if (slack >= 2 * overhang && (!raster || lines < height)) return true;
    } else if (layout.format & DT_RIGHT) {
        // A right-aligned caption ends at the edge: its ink is drawn to see.
    } else if (slack >= overhang && lines <= metrics.tmHeight && lines < height &&
               startsWithinArea(measuring, layout)) {
        return true;
    }
    return inkWithin(layout, font);
}

}  // namespace win32
