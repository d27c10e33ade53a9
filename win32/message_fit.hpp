// Whether a message fits a message box on its monitor, or goes to the window that scrolls, and
// where that window goes: free of <windows.h>, so that the host tests hold the decision.
#pragma once

#include <algorithm>

#include "win32/twips.hpp"
#include "win32/window_fit.hpp"

namespace win32 {

// A message's text as a message box would lay it out on a monitor, in pixels at its DPI.
struct MessageMeasure {
    int wrapWidth;     // the width its lines are broken at
    PixelSize text;    // its widest line and its height; wider than wrapWidth where a word
                       // (a long path) cannot be broken
    PixelSize around;  // what the box adds: frame, title bar, margins, the row of buttons
};

// A message box lays its text out at no more than this share of the work area's width (in
// percent), and breaks lines between words only; the work area is what a window may cover.
inline constexpr int kMessageBoxWidthPercent = 50;

inline int messageWrapWidth(PixelSize workArea) {
    return std::max(1, workArea.width * kMessageBoxWidthPercent / 100);
}

// A message box cannot scroll, and Windows cuts what does not fit its monitor: the title bar
// and the buttons go first. Only a text whose every line breaks within the wrap width and whose
// box is no taller than the work area stays one.
inline bool fitsMessageBox(const MessageMeasure& measure, PixelSize workArea) {
    return measure.text.width <= measure.wrapWidth &&
           measure.text.width + measure.around.width <= workArea.width &&
           measure.text.height + measure.around.height <= workArea.height;
}

// The window that scrolls: the size it wants, no larger than the work area, centred in it.
inline PixelRect scrollingMessagePlace(PixelSize wanted, PixelRect workArea) {
    const int width = std::clamp(wanted.width, 1, std::max(1, workArea.width));
    const int height = std::clamp(wanted.height, 1, std::max(1, workArea.height));
    return {workArea.left + (workArea.width - width) / 2,
            workArea.top + (workArea.height - height) / 2, width, height};
}

}  // namespace win32
