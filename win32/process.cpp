#include "win32/process.hpp"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "win32/error.hpp"
#include "win32/system_library.hpp"

namespace win32 {

schedule::Outcome startProgram(const std::wstring& commandLine, int showWindow,
                               UniqueHandle& process, const std::wstring* application,
                               HANDLE output) {
    process.reset();
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup.StartupInfo;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = static_cast<WORD>(showWindow);
    // A program handed an output inherits that one handle, not every inheritable handle this
    // process happens to hold.
    std::vector<unsigned char> attributes;
    DWORD flags = 0;
    if (output) {
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdOutput = output;
        startup.StartupInfo.hStdError = output;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        attributes.resize(size);
        startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
        if (!InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &size) ||
            !UpdateProcThreadAttribute(startup.lpAttributeList, 0,
                                       PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &output, sizeof output,
                                       nullptr, nullptr)) {
            return lastErrorFailure();
        }
        flags = EXTENDED_STARTUPINFO_PRESENT;
    }
    PROCESS_INFORMATION info{};
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    const BOOL created =
        CreateProcessW(application ? application->c_str() : nullptr, line.data(), nullptr, nullptr,
                       output ? TRUE : FALSE, flags, nullptr, nullptr, &startup.StartupInfo, &info);
    const DWORD error = GetLastError();
    if (startup.lpAttributeList) DeleteProcThreadAttributeList(startup.lpAttributeList);
    if (!created) return systemFailure(error);
    // Only the process is watched; its first thread is of no use here.
    const UniqueHandle thread(info.hThread);
    process.reset(info.hProcess);
    return schedule::Outcome::success();
}

schedule::Outcome createOutputPipe(OutputPipe& pipe, unsigned long bufferBytes) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, bufferBytes)) return lastErrorFailure();
    pipe.read.reset(read);
    pipe.write.reset(write);
    // Only the write end goes to the program.
    if (!SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0)) return lastErrorFailure();
    return schedule::Outcome::success();
}

std::string readAll(HANDLE read, std::size_t limit) {
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (bytes.size() < limit && ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    if (bytes.size() > limit) bytes.resize(limit);
    return bytes;
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

namespace {
bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && isSeparator(path[2]);
    return drive || path.starts_with(L"\\\\");
}
}  // namespace

std::wstring extendedLengthPath(const std::wstring& path) {
    const bool share = path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1]) &&
                       path[2] != L'?' && path[2] != L'.';
    const bool drive = path.size() >= 3 && path[1] == L':' && isSeparator(path[2]);
    if (path.size() < MAX_PATH || !(drive || share)) return path;
    // Behind the prefix the system takes the path as it stands: one backslash between names.
    std::wstring extended = share ? L"\\\\?\\UNC\\" : L"\\\\?\\";
    for (std::size_t i = share ? 2 : 0; i < path.size(); ++i) {
        if (!isSeparator(path[i])) {
            extended += path[i];
        } else if (extended.back() != L'\\') {
            extended += L'\\';
        }
    }
    return extended;
}

bool isFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(extendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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
