// A font family that a Windows-side test relies on, with the Debian package that brings it into
// the test prefix: a missing package then fails by name rather than as a comparison with "";
// and whether a font draws bold in what comes out, not only in what was asked for.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "win32/canvas.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace driver {

// The font a control draws its text in, as it was asked for.
inline LOGFONTW logFontOf(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    if (handle) GetObjectW(handle, sizeof font, &font);
    return font;
}

inline ::testing::AssertionResult fontInstalled(std::wstring_view family) {
    if (win32::fontFamilyInstalled(family)) return ::testing::AssertionSuccess();
    struct Source {
        std::wstring_view family;
        const char* package;
    };
    // Wine's own fonts stand in for the Windows families; DejaVu is the system's.
    constexpr Source kSources[] = {{L"Tahoma", "fonts-wine"},
                                   {L"MS Sans Serif", "fonts-wine"},
                                   {L"DejaVu Sans", "fonts-dejavu-core"},
                                   {L"DejaVu Serif", "fonts-dejavu-core"},
                                   {L"DejaVu Sans Condensed", "fonts-dejavu-extra"}};
    const char* package = "a package that holds it";
    for (const Source& source : kSources) {
        if (source.family == family) package = source.package;
    }
    return ::testing::AssertionFailure() << "the font family \"" << win32::narrow(family)
                                         << "\" is not installed under Wine: install Debian's "
                                         << package << " (scripts/deps.sh does)";
}

// How dark `font` draws a sample on white.
inline long long inkOf(HFONT font) {
    return win32::inkOf(font, L"Norvell Program Wednesday");
}

// `font` draws heavier than the same face, size and everything else at regular weight.
inline ::testing::AssertionResult drawsBold(HFONT font) {
    LOGFONTW regular{};
    GetObjectW(font, sizeof regular, &regular);
    const std::string what = win32::narrow(regular.lfFaceName) + " " +
                             std::to_string(-regular.lfHeight) + " px weight " +
                             std::to_string(regular.lfWeight);
    regular.lfWeight = FW_NORMAL;
    const win32::UniqueFont twin(CreateFontIndirectW(&regular));
    const long long bold = inkOf(font), plain = inkOf(twin.get());
    const std::string ink =
        ": ink " + std::to_string(bold) + " against " + std::to_string(plain) + " regular";
    if (bold * 5 <= plain * 6) return ::testing::AssertionFailure() << what << ink;
    return ::testing::AssertionSuccess() << what << ink;
}

}  // namespace driver
