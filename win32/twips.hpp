// Twips to pixels, the one conversion behind every window layout, and points to pixels for the
// fonts in it. Deliberately free of <windows.h>, so that the host tests check the rounding too.
#pragma once

namespace win32 {

inline constexpr int kTwipsPerInch = 1440;

// MulDiv(twips, dpi, 1440): to the nearest pixel, halves away from zero, as MulDiv rounds.
constexpr int twipsToPixels(int twips, unsigned dpi) {
    const long long product = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kTwipsPerInch
                                         : (product - half) / kTwipsPerInch);
}

// The pixels of a length in hundredths of a point (1/7200 inch), rounded as MulDiv rounds.
constexpr int pointsToPixels(int hundredthsOfPoint, unsigned dpi) {
    const long long product = static_cast<long long>(hundredthsOfPoint) * dpi;
    constexpr long long kPerInch = 7200;
    return static_cast<int>(product >= 0 ? (product + kPerInch / 2) / kPerInch
                                         : (product - kPerInch / 2) / kPerInch);
}

// A pixel count drawn at 96 DPI, scaled to another DPI the same way.
constexpr int scalePixels(int pixelsAt96, unsigned dpi) {
    return twipsToPixels(pixelsAt96 * 15, dpi);
}

struct TwipsRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Each of the four values on its own, as the window tables give them.
constexpr PixelRect toPixels(const TwipsRect& twips, unsigned dpi) {
    return {twipsToPixels(twips.left, dpi), twipsToPixels(twips.top, dpi),
            twipsToPixels(twips.width, dpi), twipsToPixels(twips.height, dpi)};
}

}  // namespace win32
