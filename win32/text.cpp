#include "win32/text.hpp"

#include <windows.h>

namespace win32 {

namespace {
std::wstring toUtf16(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length);
    return text;
}
}  // namespace

std::wstring widen(std::string_view utf8) {
    return toUtf16(utf8, CP_UTF8);
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
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
