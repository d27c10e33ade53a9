#include "win32/recycle.hpp"

#include <shellapi.h>

#include <array>
#include <charconv>
#include <string>
#include <string_view>

#include "schedule/ascii.hpp"
#include "win32/drive.hpp"
#include "win32/error.hpp"

namespace win32 {

namespace {

// Codes that SHFileOperation returns from before Win32's: they overlap Win32 errors of other
// meanings, so the system's wording of the number would mislead. Those a file's deletion can
// meet are worded here; the rest are named by their number.
struct ShellCode {
    int code;
    std::string_view reason;
};
constexpr std::array kShellCodes{
    ShellCode{0x74, "it is the root folder of a drive"},
    ShellCode{0x78, "the system's security settings deny access to it"},
    ShellCode{0x79, "its path is too long"},
    ShellCode{0x7C, "its path is not valid"},
    ShellCode{0x81, "its name is too long"},
    ShellCode{0x86, "it is on a read-only CD-ROM"},
    ShellCode{0x87, "it is on a read-only DVD"},
    ShellCode{0x88, "it is on a writable CD-ROM"},
};

bool isShellCode(int code) {
    return (code >= 0x71 && code <= 0x88) || code == 0xB7 || code == 0x402 || code >= 0x10000;
}

schedule::Outcome shellFailure(int code) {
    for (const ShellCode& known : kShellCodes) {
        if (known.code == code) return schedule::Outcome::failure(std::string(known.reason));
    }
    // In hexadecimal, as the shell's documentation lists them. Not through printf, whose
    // formatting of every kind of number, floating point too, took 23 KB of the editor.
    char digits[8];
    char* end = std::to_chars(digits, digits + sizeof digits, static_cast<unsigned>(code), 16).ptr;
    std::string number(static_cast<char*>(digits), end);
    for (char& digit : number) digit = schedule::upperAscii(digit);
    return schedule::Outcome::failure("the shell could not delete it (its code 0x" + number + ")");
}

}  // namespace

bool recycleBinTakes(const std::wstring& folder) {
    // A share's files are deleted on the server, where no Recycle Bin of this computer is.
    if (folder.rfind(L"\\\\", 0) == 0 && folder.rfind(L"\\\\?\\", 0) != 0) return false;
    // The volume the folder is on, also one mounted in a folder of another.
    std::wstring volume(MAX_PATH + 1, L'\0');
    if (!GetVolumePathNameW(folder.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) {
        return false;
    }
    if (GetDriveTypeW(volume.c_str()) != DRIVE_FIXED) return false;
    return driveLetter(folder).kind == DriveLetter::Kind::Local;
}

schedule::Outcome recycle(const std::wstring& path, bool forGoodAgreed, HWND owner) {
    // A list of names, each ended by a null, the list by one more.
    std::wstring from = path;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // Undo, which puts the file into the Recycle Bin, needs a full path. No confirmation, the
    // editor asked; but unless the user agreed already, the shell's own warning before it would
    // delete the file for good instead (FOF_WANTNUKEWARNING overrides FOF_NOCONFIRMATION there).
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    if (!forGoodAgreed) operation.fFlags |= FOF_WANTNUKEWARNING;
    const int result = SHFileOperationW(&operation);
    // A cancelled operation may still return 0: only the aborted flag tells.
    if (operation.fAnyOperationsAborted || result == 0x75 || result == ERROR_CANCELLED) {
        return schedule::Outcome::systemFailure(ERROR_CANCELLED,
                                                "you chose to keep it rather than delete it for "
                                                "good");
    }
    if (result == 0) return schedule::Outcome::success();
    if (isShellCode(result)) return shellFailure(result);
    return systemFailure(static_cast<unsigned long>(result));
}

}  // namespace win32
