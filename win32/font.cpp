#include "win32/font.hpp"

#include <algorithm>

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

struct Chosen {
    std::wstring family;
    UniqueFont font;
};

Chosen choose(const FontSpec& wanted, unsigned dpi) {
    const int height = fontHeight(wanted.hundredthsOfPoint, dpi);
    const auto fits = [&](std::wstring_view family) -> Chosen {
        if (!fontFamilyInstalled(family)) return {};
        UniqueFont font = makeFont(family, wanted, height);
        if (!font || !drawsAtHeight(font.get(), height)) return {};
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
    return choose(wanted, dpi).family;
}

int fontHeight(int hundredthsOfPoint, unsigned dpi) {
    return -MulDiv(hundredthsOfPoint, static_cast<int>(dpi), 7200);
}

UniqueFont createFont(const FontSpec& wanted, unsigned dpi) {
    return choose(wanted, dpi).font;
}

}  // namespace win32
