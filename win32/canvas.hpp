// A picture in memory to draw on without a window and read back pixel by pixel: how a font or
// a control's text comes out.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "win32/owners.hpp"

namespace win32 {

// `width` by `height` white pixels, 32 bits each from the top row down, selected into a DC of
// the screen's kind for as long as the canvas lives. Empty (false) when the system refused it.
class Canvas {
  public:
    Canvas(LONG width, LONG height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    explicit operator bool() const { return bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    LONG width() const { return width_; }
    // What has been drawn, each pixel as 0x00RRGGBB, row by row.
    std::span<const DWORD> pixels() const;

  private:
    UniqueDC dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    LONG width_;
    LONG height_;
};

// How dark `font` draws `sample` on white: the sum, over the pixels, of how far each went
// towards black. Smoothed edges count in part, so the sum follows the strokes' weight. 0 when
// nothing could be drawn.
long long inkOf(HFONT font, std::wstring_view sample);

}  // namespace win32
