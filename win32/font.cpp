#include "win32/font.hpp"

#include <algorithm>
#include <iterator>
#include <vector>

#include "win32/twips.hpp"

namespace win32 {

bool fontFamilyInstalled(std::wstring_view family) {
    if (family.empty() || family.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::copy(family.begin(), family.end(), query.lfFaceName);
    const ClientDC screen(nullptr);
    bool found = false;
    EnumFontFamiliesExW(
        screen.get(), &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

namespace {
UniqueFont makeFont(std::wstring_view family, const FontSpec& wanted, int height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = wanted.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = static_cast<BYTE>(VARIABLE_PITCH | wanted.generic);
    std::copy(family.begin(), family.end(), font.lfFaceName);
    return UniqueFont(CreateFontIndirectW(&font));
}

// Whether `font` draws characters `height` pixels high (a negative LOGFONT height): an
// outline font does at every size, a bitmap font only at the few it was drawn in, which a
// window that scales with its DPI soon leaves.
bool drawsAtHeight(HFONT font, int height) {
    TEXTMETRICW metrics{};
    {
        const ClientDC screen(nullptr);
        const Selected selected(screen.get(), font);
        if (!GetTextMetricsW(screen.get(), &metrics)) return false;
    }
    if (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) return true;
    return metrics.tmHeight - metrics.tmInternalLeading == -height;
}

// How dark `font` draws a sample: the sum, over a white bitmap, of how far each pixel went
// towards black. Smoothed edges count in part, so the sum follows the strokes' weight.
long long inkOf(HFONT font) {
    static constexpr wchar_t kSample[] = L"HOmnbdg";
    constexpr int kLength = static_cast<int>(std::size(kSample)) - 1;
    const ClientDC screen(nullptr);
    const UniqueDC dc(CreateCompatibleDC(screen.get()));
    if (!dc) return 0;
    SIZE extent{};
    {
        const Selected selected(dc.get(), font);
        if (!GetTextExtentPoint32W(dc.get(), kSample, kLength, &extent)) return 0;
    }
    // Room on the right for an overhang, which a made-up bold of a bitmap face has.
    const LONG width = extent.cx + extent.cy, height = extent.cy;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const UniqueBitmap bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return 0;
    const Selected canvas(dc.get(), bitmap.get());
    const RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
        const Selected selected(dc.get(), font);
        SetTextColor(dc.get(), RGB(0, 0, 0));
        SetBkMode(dc.get(), TRANSPARENT);
        TextOutW(dc.get(), 0, 0, kSample, kLength);
    }
    GdiFlush();
    long long ink = 0;
    const auto* pixel = static_cast<const DWORD*>(bits);
    for (LONG i = 0; i < width * height; ++i) {
        ink += 3 * 255 - (GetRValue(pixel[i]) + GetGValue(pixel[i]) + GetBValue(pixel[i]));
    }
    return ink;
}

// Whether `font`, made bold, draws heavier strokes than its family at the same size drawn
// regular. A family draws bold in its bold face or, without one, in the bold the system makes
// up; but a family can also name a bold face and draw the regular glyphs all the same (Wine's
// Tahoma does above 11 pixels), so what counts is what comes out: a true bold puts down half as
// much ink again or more, a regular drawn for bold the same as the regular. A quarter more
// tells them apart.
bool drawsBold(HFONT font) {
    LOGFONTW regular{};
    if (!GetObjectW(font, sizeof regular, &regular)) return false;
    regular.lfWeight = FW_NORMAL;
    const UniqueFont twin(CreateFontIndirectW(&regular));
    if (!twin) return false;
    const long long bold = inkOf(font), plain = inkOf(twin.get());
    return plain > 0 && bold * 4 > plain * 5;
}

struct Chosen {
    std::wstring family;
    UniqueFont font;
};

// A family chosen for a design at a height, kept for the process: the choice enumerates the
// installed families and draws samples, and windows, DPI changes and captions fitted to a
// smaller size ask for the same few fonts again and again.
struct Kept {
    std::wstring family;
    std::vector<std::wstring> nearest;
    bool bold;
    BYTE generic;
    int height;
    std::wstring chosen;
};

Chosen choose(const FontSpec& wanted, unsigned dpi);

// The system's own lock rather than std::mutex, whose lock() may throw std::system_error: that
// alone pulls the run-time library's error categories and message formatting into the editor.
class KeptLock {
  public:
    KeptLock() { AcquireSRWLockExclusive(&lock_); }
    ~KeptLock() { ReleaseSRWLockExclusive(&lock_); }
    KeptLock(const KeptLock&) = delete;
    KeptLock& operator=(const KeptLock&) = delete;

  private:
    static inline SRWLOCK lock_ = SRWLOCK_INIT;
};

Chosen chooseOnce(const FontSpec& wanted, unsigned dpi) {
    static std::vector<Kept> kept;
    const int height = fontHeight(wanted.hundredthsOfPoint, dpi);
    const auto same = [&](const Kept& k) {
        return k.family == wanted.family &&
               std::equal(k.nearest.begin(), k.nearest.end(), wanted.nearest.begin(),
                          wanted.nearest.end()) &&
               k.bold == wanted.bold && k.generic == wanted.generic && k.height == height;
    };
    {
        const KeptLock lock;
        if (const auto found = std::find_if(kept.begin(), kept.end(), same); found != kept.end()) {
            const std::wstring family = found->chosen;
            return {family, makeFont(family, wanted, height)};
        }
    }
    Chosen chosen = choose(wanted, dpi);
    if (chosen.font) {
        const KeptLock lock;
        kept.push_back({std::wstring(wanted.family),
                        {wanted.nearest.begin(), wanted.nearest.end()},
                        wanted.bold,
                        wanted.generic,
                        height,
                        chosen.family});
    }
    return chosen;
}

Chosen choose(const FontSpec& wanted, unsigned dpi) {
    const int height = fontHeight(wanted.hundredthsOfPoint, dpi);
    const auto fits = [&](std::wstring_view family) -> Chosen {
        if (!fontFamilyInstalled(family)) return {};
        UniqueFont font = makeFont(family, wanted, height);
        if (!font || !drawsAtHeight(font.get(), height)) return {};
        if (wanted.bold && !drawsBold(font.get())) return {};
        return {std::wstring(family), std::move(font)};
    };
    if (Chosen chosen = fits(wanted.family); chosen.font) return chosen;
    for (std::wstring_view family : wanted.nearest) {
        if (Chosen chosen = fits(family); chosen.font) return chosen;
    }
    return {std::wstring(), makeFont({}, wanted, height)};
}
}  // namespace

std::wstring chooseFamily(const FontSpec& wanted, unsigned dpi) {
    return chooseOnce(wanted, dpi).family;
}

int fontHeight(int hundredthsOfPoint, unsigned dpi) {
    return -pointsToPixels(hundredthsOfPoint, dpi);
}

UniqueFont createFont(const FontSpec& wanted, unsigned dpi) {
    return chooseOnce(wanted, dpi).font;
}

}  // namespace win32
