// The font sizes a caption may take when the size it was designed with does not fit its
// control: free of <windows.h>, so that the host tests hold the steps.
#pragma once

#include <vector>

#include "win32/twips.hpp"

namespace win32 {

// A caption is never drawn smaller than this share of its design size, in percent: below it,
// the window would no longer look as designed.
inline constexpr int kSmallestCaptionPercent = 80;
// The step from one size to the next, in hundredths of a point.
inline constexpr int kCaptionStep = 50;

// The sizes to try, largest first: the design size, then half a point smaller at a time, and
// last the smallest allowed size where the steps pass over it. A size that comes out at the
// same pixel height at `dpi` as the one before it is left out, as it would draw the same.
inline std::vector<int> captionSizes(int hundredthsOfPoint, unsigned dpi) {
    const int smallest = (hundredthsOfPoint * kSmallestCaptionPercent + 99) / 100;
    std::vector<int> sizes;
    int lastHeight = -1;
    const auto add = [&](int size) {
        const int height = pointsToPixels(size, dpi);
        if (height == lastHeight) return;
        sizes.push_back(size);
        lastHeight = height;
    };
    int size = hundredthsOfPoint;
    for (; size > smallest; size -= kCaptionStep) add(size);
    add(smallest);
    return sizes;
}

}  // namespace win32
