// Control identifiers of Form3, the About window, and the names by which tests find it.
// Plain values only, so that any program can include it.
#pragma once

namespace editor::form3 {

enum Form3Id : int {
    Label1 = 100,  // the about text
};

inline constexpr wchar_t kTitle[] = L"About this program";
inline constexpr wchar_t kClassName[] = L"NorvellForm3";

}  // namespace editor::form3
