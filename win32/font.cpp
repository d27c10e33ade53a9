#include "win32/font.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "win32/canvas.hpp"
#include "win32/twips.hpp"

namespace win32 {

bool fontFamilyInstalled(std::wstring_view family) {
    if (family.empty() || family.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::copy(family.begin(), family.end(), query.lfFaceName);
    // A memory DC enumerates the screen's fonts without fetching the screen's own DC.
    const UniqueDC screen(CreateCompatibleDC(nullptr));
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
// outline font does at every size, and says so in `outline`; a bitmap font only at the few it
// was drawn in, which a window that scales with its DPI soon leaves.
bool drawsAtHeight(HFONT font, int height, bool& outline) {
    const std::optional<TEXTMETRICW> metrics = textMetrics(font);
    if (!metrics) return false;
    outline = drawnFromOutlines(*metrics);
    return outline || metrics->tmHeight - metrics->tmInternalLeading == -height;
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
    static constexpr std::wstring_view kSample = L"HOmnbdg";
    const long long bold = inkOf(font, kSample), plain = inkOf(twin.get(), kSample);
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

// A family looked at once: whether it is installed, and whether it is drawn from outlines.
// Neither changes while the editor runs, and captions fitted to smaller sizes ask about the
// same families at each size: the enumeration and the sample are the costly part of a choice.
struct Family {
    std::wstring name;
    bool installed;
    bool outline;
};

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

std::vector<Family>& knownFamilies() {
    static std::vector<Family> families;
    return families;
}

// The family as last seen; looked for among the installed families the first time.
Family family(std::wstring_view name) {
    {
        const KeptLock lock;
        for (const Family& known : knownFamilies()) {
            if (known.name == name) return known;
        }
    }
    Family found{std::wstring(name), fontFamilyInstalled(name), false};
    const KeptLock lock;
    knownFamilies().push_back(found);
    return found;
}

void markOutline(std::wstring_view name) {
    const KeptLock lock;
    for (Family& known : knownFamilies()) {
        if (known.name == name) known.outline = true;
    }
}

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
    const auto fits = [&](std::wstring_view name) -> Chosen {
        const Family known = family(name);
        if (!known.installed) return {};
        UniqueFont font = makeFont(name, wanted, height);
        if (!font) return {};
        bool outline = known.outline;
        if (!outline) {
            if (!drawsAtHeight(font.get(), height, outline)) return {};
            if (outline) markOutline(name);
        }
        // A raster face without a bold of its own is made bold by the system's overstrike,
        // which always puts down more ink: only an outline family can name a bold face and
        // still draw regular strokes.
        if (wanted.bold && outline && !drawsBold(font.get())) return {};
        return {std::wstring(name), std::move(font)};
    };
    if (Chosen chosen = fits(wanted.family); chosen.font) return chosen;
    for (std::wstring_view name : wanted.nearest) {
        if (Chosen chosen = fits(name); chosen.font) return chosen;
    }
    return {std::wstring(), makeFont({}, wanted, height)};
}
}  // namespace

std::wstring chooseFamily(const FontSpec& wanted, unsigned dpi) {
    return chooseOnce(wanted, dpi).family;
}

std::optional<TEXTMETRICW> textMetrics(HFONT font) {
    const UniqueDC screen(CreateCompatibleDC(nullptr));
    const Selected selected(screen.get(), font);
    TEXTMETRICW metrics{};
    if (!screen || !GetTextMetricsW(screen.get(), &metrics)) return std::nullopt;
    return metrics;
}

int fontHeight(int hundredthsOfPoint, unsigned dpi) {
    return -pointsToPixels(hundredthsOfPoint, dpi);
}

UniqueFont createFont(const FontSpec& wanted, unsigned dpi) {
    return chooseOnce(wanted, dpi).font;
}

}  // namespace win32
