// How a window designed in twips fits the room its monitor's work area leaves for its client
// area: free of <windows.h>, so that the host tests hold the decision.
#pragma once

#include <algorithm>

#include "win32/twips.hpp"

namespace win32 {

struct PixelSize {
    int width, height;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// What a window lays its contents out at: the DPI its twips and points are turned into pixels
// at, and the size of its client area then.
struct WindowFit {
    unsigned dpi;
    PixelSize client;
    friend bool operator==(const WindowFit&, const WindowFit&) = default;
};

// The lowest share of its monitor's DPI that a window is laid out at, in percent, to fit a
// monitor too small for it: below it, its text could hardly be read.
inline constexpr int kSmallestLayoutPercent = 50;

// The layout of a window designed with the client area `design` (twips), which still works
// down to `smallest` (twips; the design itself for a window that cannot give way), on a
// monitor of `dpi` that leaves `room` pixels for the client area:
// - the design where it fits: nothing changes;
// - else, where `smallest` fits at `dpi`, a client area as large as the design and the room
//   allow, at `dpi`: the window gives way itself;
// - else the design at the highest DPI below at which `smallest` fits, given way as above;
//   down to kSmallestLayoutPercent of `dpi`, where `smallest` is taken when nothing fits.
inline WindowFit fitWindow(const TwipsRect& design, const TwipsRect& smallest, unsigned dpi,
                           PixelSize room) {
    const auto fits = [&](const TwipsRect& area, unsigned at) {
        return twipsToPixels(area.width, at) <= room.width &&
               twipsToPixels(area.height, at) <= room.height;
    };
    const auto givenWay = [&](unsigned at) {
        return WindowFit{at,
                         {std::min(twipsToPixels(design.width, at), std::max(room.width, 0)),
                          std::min(twipsToPixels(design.height, at), std::max(room.height, 0))}};
    };
    if (fits(design, dpi)) {
        return {dpi, {twipsToPixels(design.width, dpi), twipsToPixels(design.height, dpi)}};
    }
    const unsigned lowest = std::max(1u, dpi * kSmallestLayoutPercent / 100);
    for (unsigned at = dpi; at >= lowest; --at) {
        if (fits(smallest, at)) return givenWay(at);
    }
    // No layout fits: the most compact one, of which the least is cut off.
    return {lowest,
            {twipsToPixels(smallest.width, lowest), twipsToPixels(smallest.height, lowest)}};
}

}  // namespace win32
