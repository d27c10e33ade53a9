#include "win32/process.hpp"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "win32/error.hpp"
#include "win32/system_library.hpp"

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

std::wstring systemFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        // The length without the terminator, or, when the buffer is too small, the size
        // needed with it.
        const UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

bool isFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
bool isFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    return drive || path.starts_with(L"\\\\");
}
}  // namespace

std::optional<std::wstring> localAppDataFolder() {
    // The system sets the variable in every user's environment at logon: the folder's default
    // path is written with it. Reading it costs no library, where the shell's known-folder
    // functions would load the shell at every logon.
    const wchar_t* const name = L"LOCALAPPDATA";
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size > 1) {
        std::wstring path(size, L'\0');
        const DWORD length = GetEnvironmentVariableW(name, path.data(), size);
        if (length > 0 && length < size) {
            path.resize(length);
            if (isFullPath(path)) return path;
        }
    }
    // A program started with an environment of its caller's making may lack it: ask the shell.
    const UniqueModule shell = loadSystemLibrary(L"shell32.dll");
    if (!shell) return std::nullopt;
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const auto getFolderPath = procedureOf<GetFolderPath>(shell.get(), "SHGetFolderPathW");
    wchar_t path[MAX_PATH];
    if (!getFolderPath ||
        FAILED(getFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::nullopt;
    }
    return std::wstring(path);
}

}  // namespace win32
