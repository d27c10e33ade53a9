#include "win32/command_search.hpp"

#include <windows.h>

#include "win32/process.hpp"

namespace win32 {

namespace {
bool searched(const std::wstring& name) {
    return searchProgram(name).has_value();
}
}  // namespace

// The program search CreateProcess makes for a module name without a path of its own.
std::optional<std::wstring> searchProgram(const std::wstring& name) {
    if (name.empty()) return std::nullopt;
    wchar_t found[MAX_PATH];
    const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH || !isFile(found)) return std::nullopt;
    return std::wstring(found, length);
}

bool commandFound(const std::wstring& commandLine) {
    if (commandLine.empty()) return false;
    if (isFile(commandLine)) return true;
    // An unsearchable drive (an empty removable one) must not ask for a disc.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    bool found = false;
    if (commandLine.front() == L'"') {
        const std::size_t end = commandLine.find(L'"', 1);
        found = searched(commandLine.substr(1, end == std::wstring::npos ? end : end - 1));
    } else {
        // Only the first word: a line whose first word is part of a path with blanks is not
        // started at all, and the launcher quotes any other.
        found = searched(commandLine.substr(0, commandLine.find_first_of(L" \t")));
    }
    SetErrorMode(previous);
    return found;
}

}  // namespace win32
