// Text conversion at the edge of the Windows API: the portable code holds UTF-8, the W
// functions take UTF-16, and schedule files hold the system's ANSI code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// widen() into a string whose storage is reused: a loop over many names converts them
// without an allocation for each.
void widenInto(std::string_view utf8, std::wstring& into);

// Bytes in a code page (the ANSI one unless told otherwise) to UTF-16.
std::wstring fromCodePage(std::string_view bytes, unsigned codePage = 0 /* CP_ACP */);

// UTF-16 to a code page, but only when every character is represented exactly: no default
// character, no best-fit substitute, and the bytes convert back to the same text.
std::optional<std::string> toCodePageExactly(std::wstring_view text,
                                             unsigned codePage = 0 /* CP_ACP */);

}  // namespace win32
