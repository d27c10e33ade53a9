// A font family that a Windows-side test relies on, with the Debian package that brings it into
// the test prefix: a missing package then fails by name rather than as a comparison with "".
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "win32/font.hpp"
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

}  // namespace driver
