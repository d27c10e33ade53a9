// A font family that a Windows-side test relies on, with the Debian package that brings it into
// the test prefix: a missing package then fails by name rather than as a comparison with "";
// and whether a font draws bold in what comes out, not only in what was asked for.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace driver {

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
    static constexpr wchar_t kSample[] = L"Norvell Program Wednesday";
    constexpr int kWidth = 800, kHeight = 100;
    const win32::ClientDC screen(nullptr);
    const win32::UniqueDC dc(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const win32::UniqueBitmap bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return 0;
    const win32::Selected canvas(dc.get(), bitmap.get());
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const win32::Selected selected(dc.get(), font);
    SetBkMode(dc.get(), TRANSPARENT);
    TextOutW(dc.get(), 4, 4, kSample, static_cast<int>(std::wstring_view(kSample).size()));
    GdiFlush();
    long long ink = 0;
    const auto* pixel = static_cast<const DWORD*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        ink += 765 - (GetRValue(pixel[i]) + GetGValue(pixel[i]) + GetBValue(pixel[i]));
    }
    return ink;
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
