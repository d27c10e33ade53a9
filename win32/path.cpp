#include "win32/path.hpp"

#include <windows.h>

namespace win32 {

namespace {

std::wstring fullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    size = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (size != 0) {
        std::wstring longPath(size, L'\0');
        size = GetLongPathNameW(full.c_str(), longPath.data(), size);
        if (size != 0 && size < longPath.size()) {
            longPath.resize(size);
            full = std::move(longPath);
        }
    }
    // "C:\" keeps its backslash: "C:" alone names the drive's current folder.
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return full;
}

}  // namespace

bool samePath(const std::wstring& first, const std::wstring& second) {
    const std::wstring a = fullPath(first);
    const std::wstring b = fullPath(second);
    // Ordinal and without letter case: the comparison Microsoft gives for file names.
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace win32
