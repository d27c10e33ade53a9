#include "win32/font.hpp"

#include <algorithm>

namespace win32 {

bool fontFamilyInstalled(std::wstring_view family) {
    if (family.empty() || family.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::copy(family.begin(), family.end(), query.lfFaceName);
    HDC screen = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(
        screen, &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring chooseFamily(const FontSpec& spec) {
    if (fontFamilyInstalled(spec.family)) return std::wstring(spec.family);
    for (std::wstring_view family : spec.nearest) {
        if (fontFamilyInstalled(family)) return std::wstring(family);
    }
    return {};
}

int fontHeight(int hundredthsOfPoint, unsigned dpi) {
    return -MulDiv(hundredthsOfPoint, static_cast<int>(dpi), 7200);
}

UniqueFont createFont(const FontSpec& spec, unsigned dpi) {
    LOGFONTW font{};
    font.lfHeight = fontHeight(spec.hundredthsOfPoint, dpi);
    font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = static_cast<BYTE>(VARIABLE_PITCH | spec.generic);
    const std::wstring family = chooseFamily(spec);
    std::copy(family.begin(), family.end(), font.lfFaceName);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace win32
