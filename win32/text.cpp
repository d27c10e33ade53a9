#include "win32/text.hpp"

#include <windows.h>

#include <algorithm>

namespace win32 {

namespace {
// Names and paths are mostly ASCII, which reads the same in UTF-8 and UTF-16: such text is
// copied unit by unit instead of going through the system's conversion, which measures first
// and converts second (a folder of 20,000 names is converted twice on its way to File1).
template <typename From>
bool isAscii(From text) {
    for (const auto unit : text) {
        if (static_cast<unsigned>(unit) >= 0x80) return false;
    }
    return true;
}

template <typename To, typename From>
void copyAscii(From text, To& into) {
    into.resize(text.size());
    std::transform(text.begin(), text.end(), into.begin(),
                   [](auto unit) { return static_cast<typename To::value_type>(unit); });
}

template <typename To, typename From>
To copyAscii(From text) {
    To copy;
    copyAscii(text, copy);
    return copy;
}

void toUtf16(std::string_view bytes, UINT codePage, std::wstring& into) {
    into.clear();
    if (bytes.empty()) return;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    into.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(codePage, 0, bytes.data(), size, into.data(), length);
}

std::wstring toUtf16(std::string_view bytes, UINT codePage) {
    std::wstring text;
    toUtf16(bytes, codePage, text);
    return text;
}
}  // namespace

std::wstring widen(std::string_view utf8) {
    std::wstring text;
    widenInto(utf8, text);
    return text;
}

void widenInto(std::string_view utf8, std::wstring& into) {
    if (isAscii(utf8)) return copyAscii(utf8, into);
    toUtf16(utf8, CP_UTF8, into);
}

std::string narrow(std::wstring_view utf16) {
    if (isAscii(utf16)) return copyAscii<std::string>(utf16);
    const int size = static_cast<int>(utf16.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::wstring fromCodePage(std::string_view bytes, unsigned codePage) {
    return toUtf16(bytes, codePage);
}

std::optional<std::string> toCodePageExactly(std::wstring_view text, unsigned codePage) {
    if (text.empty()) return std::string();
    const UINT page = codePage == CP_ACP ? GetACP() : codePage;
    const int size = static_cast<int>(text.size());
    // UTF-8 and UTF-7 take neither flags nor a default character; everything else must not
    // fall back to best-fit look-alikes.
    const bool utf = page == CP_UTF8 || page == CP_UTF7;
    const DWORD flags = page == CP_UTF8   ? WC_ERR_INVALID_CHARS
                        : page == CP_UTF7 ? 0
                                          : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf ? nullptr : &usedDefault;
    const int length =
        WideCharToMultiByte(page, flags, text.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(page, flags, text.data(), size, bytes.data(), length, nullptr,
                        usedDefaultOut);
    if (usedDefault || toUtf16(bytes, page) != text) return std::nullopt;
    return bytes;
}

}  // namespace win32
