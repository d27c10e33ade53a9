#include "win32/drive.hpp"

#include <windows.h>
#include <winnetwk.h>

#include <vector>

#include "win32/system_library.hpp"

namespace win32 {

namespace {

bool startsWithLetter(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// The folder a drive made by subst (or DefineDosDevice) stands for; empty for any other
// drive. Such a drive's device name is a link into the DOS namespace ("\??\C:\Tools"), while
// a disk or a network drive names a device ("\Device\HarddiskVolume2").
std::wstring substituteFolder(const std::wstring& drive) {
    std::vector<wchar_t> names(MAX_PATH);
    for (;;) {
        const DWORD stored =
            QueryDosDeviceW(drive.c_str(), names.data(), static_cast<DWORD>(names.size()));
        if (stored != 0) break;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || names.size() >= 32768) return {};
        names.resize(names.size() * 2);
    }
    // The first name is the current mapping; older ones follow it.
    const std::wstring current(names.data());
    constexpr std::wstring_view dosPrefix = L"\\??\\";
    if (current.rfind(dosPrefix, 0) != 0) return {};
    std::wstring folder = current.substr(dosPrefix.size());
    constexpr std::wstring_view share = L"UNC\\";
    if (folder.rfind(share, 0) == 0) folder = L"\\\\" + folder.substr(share.size());
    return folder;
}

}  // namespace

DriveLetter driveLetter(const std::wstring& path) {
    DriveLetter drive;
    if (!startsWithLetter(path)) return drive;
    const std::wstring letter = path.substr(0, 2);
    if (const std::wstring folder = substituteFolder(letter); !folder.empty()) {
        drive.kind = DriveLetter::Kind::Substitute;
        std::wstring rest = path.substr(2);
        // "C:\Tools" and "\Norvell" join with one backslash, as do "C:\" and "\Norvell".
        if (folder.back() == L'\\' && !rest.empty() && rest.front() == L'\\') rest.erase(0, 1);
        drive.path = folder + rest;
        return drive;
    }
    if (GetDriveTypeW((letter + L"\\").c_str()) != DRIVE_REMOTE) return drive;
    drive.kind = DriveLetter::Kind::Network;
    // mpr.dll is not one of the libraries Windows always takes from the system folder: imported,
    // it would be looked for beside the program first, where users may put files. Loaded here,
    // only for a network drive.
    const UniqueModule mpr = loadSystemLibrary(L"mpr.dll");
    using GetUniversalName = DWORD(WINAPI*)(LPCWSTR, DWORD, LPVOID, LPDWORD);
    const auto getUniversalName =
        mpr ? procedureOf<GetUniversalName>(mpr.get(), "WNetGetUniversalNameW") : nullptr;
    if (!getUniversalName) {
        drive.error = GetLastError();
        return drive;
    }
    std::vector<unsigned char> buffer(sizeof(UNIVERSAL_NAME_INFOW) + MAX_PATH * sizeof(wchar_t));
    for (;;) {
        auto size = static_cast<DWORD>(buffer.size());
        const DWORD result =
            getUniversalName(path.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
        if (result == NO_ERROR) {
            // The name is stored in the buffer after the structure that points to it.
            const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.data());
            if (info->lpUniversalName != nullptr) drive.path = info->lpUniversalName;
            if (drive.path.empty()) drive.error = ERROR_NO_NET_OR_BAD_PATH;
            return drive;
        }
        if (result != ERROR_MORE_DATA || size <= buffer.size()) {
            drive.error = result;
            return drive;
        }
        buffer.resize(size);
    }
}

}  // namespace win32
