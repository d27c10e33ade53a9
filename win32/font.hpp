// Fonts named in points and made for a window's DPI, with the nearest installed family
// standing in for one that is missing.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "win32/owners.hpp"

namespace win32 {

struct FontSpec {
    std::wstring_view family;  // the family the window is designed with
    int hundredthsOfPoint;     // 825 for 8.25 pt
    bool bold;
    std::span<const std::wstring_view> nearest;  // tried in order when `family` is missing
    BYTE generic;  // FF_ROMAN, FF_SWISS ...: the system's choice when none is installed
};

// Whether a font family of this name is installed.
bool fontFamilyInstalled(std::wstring_view family);

// The family that stands for `wanted` at `dpi`: its own, else the first nearest one, taking
// only a family that is installed, draws the size asked for (a bitmap font has a few sizes
// only) and, where `wanted` is bold, draws bold; empty when none does, and the generic family
// decides.
std::wstring chooseFamily(const FontSpec& wanted, unsigned dpi = 96);

// The metrics of `font`, measured on a memory DC of the screen's kind: a font's metrics are the
// same in any such DC, and a window's own would be fetched from the system. Nothing when the
// system cannot measure it.
std::optional<TEXTMETRICW> textMetrics(HFONT font);

// Whether a font of these metrics is drawn from outlines (TrueType, OpenType, vector) at any
// size, rather than from bitmaps drawn for a few sizes.
inline bool drawnFromOutlines(const TEXTMETRICW& metrics) {
    return (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0;
}

// The LOGFONT height (negative: the character height) of a point size at `dpi`.
int fontHeight(int hundredthsOfPoint, unsigned dpi);

// The font of chooseFamily's family; null only when the system cannot make any font.
UniqueFont createFont(const FontSpec& wanted, unsigned dpi);

}  // namespace win32
