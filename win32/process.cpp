#include "win32/process.hpp"

#include <windows.h>

#include <vector>

#include "win32/error.hpp"

namespace win32 {

schedule::Outcome startProgram(const std::wstring& commandLine, int showWindow,
                               UniqueHandle& process, const std::wstring* application) {
    process.reset();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    PROCESS_INFORMATION info{};
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!CreateProcessW(application ? application->c_str() : nullptr, line.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return lastErrorFailure();
    }
    // Only the process is watched; its first thread is of no use here.
    const UniqueHandle thread(info.hThread);
    process.reset(info.hProcess);
    return schedule::Outcome::success();
}

std::wstring ownProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    return path;
}

std::wstring currentFolder() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring path(length, L'\0');
    path.resize(GetCurrentDirectoryW(length, path.data()));
    return path;
}

}  // namespace win32
