#include "win32/elevation.hpp"

#include <shellapi.h>

#include "win32/error.hpp"

namespace win32 {

namespace {

std::wstring ownProgramFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

schedule::Outcome startOwnProgramAsAdministrator(const std::wstring& parameters,
                                                 const std::wstring& folder, HWND owner,
                                                 UniqueHandle& process, int show) {
    process.reset();
    const std::wstring program = ownProgramFile();
    if (program.empty()) return lastErrorFailure();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The handle to wait for, no message box of the shell's own (the editor reports), and the
    // start finished before the call returns.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = show;
    if (!ShellExecuteExW(&info)) return lastErrorFailure();
    process.reset(info.hProcess);
    // An executable always gives its process; without one there is nothing to wait for.
    if (!process) return systemFailure(ERROR_INVALID_HANDLE);
    return schedule::Outcome::success();
}

std::optional<bool> tokenElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::nullopt;
    const UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

bool runsElevated() {
    return tokenElevated().value_or(false);
}

}  // namespace win32
