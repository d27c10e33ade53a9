#include "launcher/history_file.hpp"

#include <windows.h>

#include <array>

#include "win32/error.hpp"
#include "win32/folder.hpp"
#include "win32/process.hpp"
#include "win32/text.hpp"

namespace launcher {

std::optional<std::wstring> logonHistoryFolder() {
    std::optional<std::wstring> folder = win32::localAppDataFolder();
    if (!folder) return std::nullopt;
    if (folder->back() != L'\\') *folder += L'\\';
    *folder += win32::widen(kHistoryFolderName);
    return folder;
}

std::optional<std::wstring> logonHistoryPath() {
    std::optional<std::wstring> path = logonHistoryFolder();
    if (path) *path += L'\\' + win32::widen(kHistoryFileName);
    return path;
}

namespace {

// Opens the history to read it and then add to its end, made with its folder on the first run.
// A write through this handle goes to the end of the file and never over what is there, so a
// write cut short at a power failure cannot take earlier entries with it. Shared with every
// other writer and reader: a second launcher at the same logon adds its own entry.
schedule::Outcome openHistory(const std::wstring& folder, win32::UniqueHandle& file) {
    const std::wstring path = folder + L'\\' + win32::widen(kHistoryFileName);
    bool madeFolder = false;
    for (int attempt = 1;; ++attempt) {
        file = win32::ownHandle(CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return schedule::Outcome::success();
        const DWORD error = GetLastError();
        schedule::Outcome failed = win32::refusal(error, GetFileAttributesW(path.c_str()));
        // The folder is made on the first run only, not looked for at every logon.
        if (failed.code == ERROR_PATH_NOT_FOUND && !madeFolder) {
            if (!CreateDirectoryW(folder.c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS) {
                return win32::lastErrorFailure();
            }
            madeFolder = true;
            continue;
        }
        if (!failed.busy || attempt >= schedule::kReplaceAttempts) return failed;
        Sleep(static_cast<DWORD>(schedule::kReplacePause.count()));
    }
}

}  // namespace

std::wstring historyMutexName(const std::wstring& path) {
    // A mutex name may hold no backslash after its namespace: the path goes in as a hash of
    // the path in capitals (FNV-1a over its UTF-16 units), as the file system ignores case.
    std::wstring capitals(path);
    if (!capitals.empty() &&
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(),
                      static_cast<int>(path.size()), capitals.data(),
                      static_cast<int>(capitals.size()), nullptr, nullptr, 0) == 0) {
        capitals = path;
    }
    unsigned long long hash = 14695981039346656037ULL;
    for (const wchar_t unit : capitals) {
        hash ^= static_cast<unsigned short>(unit);
        hash *= 1099511628211ULL;
    }
    std::wstring name = L"Local\\Norvell.LogonHistory.";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += L"0123456789abcdef"[(hash >> shift) & 0xF];
    }
    return name;
}

schedule::Outcome addToLogonHistory(std::string_view entry, std::chrono::milliseconds wait) {
    const std::optional<std::wstring> folder = logonHistoryFolder();
    if (!folder) {
        return schedule::Outcome::failure("the user's local application data folder is unknown");
    }
    // A second launcher at the same logon (a shortcut in both Startup folders) counts and
    // writes after this one, never between: a rewrite then cannot drop its entry, and only the
    // history's very first run writes the byte order mark.
    const std::wstring path = *folder + L'\\' + win32::widen(kHistoryFileName);
    const win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, historyMutexName(path).c_str()));
    if (!mutex) return win32::lastErrorFailure();
    switch (WaitForSingleObject(mutex.get(), static_cast<DWORD>(wait.count()))) {
        case WAIT_OBJECT_0:
        // A run ended while it held the mutex, and the system handed it to this one: an
        // append it cut short ends without a line end, which the appendix puts right, and a
        // rewrite it cut short left the old history whole.
        case WAIT_ABANDONED:
            break;
        case WAIT_TIMEOUT:
            return win32::systemFailure(ERROR_TIMEOUT);
        default:
            return win32::lastErrorFailure();
    }
    const win32::HeldMutex held(mutex.get());
    win32::UniqueHandle file;
    if (schedule::Outcome opened = openHistory(*folder, file); !opened) return opened;
    // Only counted, through one small buffer: read whole into memory that the process touches
    // for the first time, the history cost a logon a page fault for every page of it.
    HistoryTally tally;
    std::array<char, std::size_t{16} * 1024> part;
    if (schedule::Outcome read = win32::readOpenFileInParts(
            file.get(), part, [&tally](std::string_view bytes) { tally.add(bytes); });
        !read) {
        return read;
    }
    // Not flushed: the history is a log the launcher never reads. At worst a power failure
    // loses this entry or leaves part of it, which the editor's reader passes over.
    if (const std::optional<std::string> appendix = historyAppendix(tally, entry)) {
        return win32::writeOpenFile(file.get(), *appendix);
    }
    // Every so many runs: written anew with only its newest entries, read whole for that.
    std::string history;
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
        return win32::lastErrorFailure();
    }
    if (schedule::Outcome read = win32::readOpenFile(file.get(), history); !read) return read;
    file.reset();
    win32::WorkingFolder place(*folder + L'\\');
    return schedule::writeFileAtomically(
        place, kHistoryFileName, historyWithEntry(history, entry),
        schedule::temporaryNameFor(kHistoryFileName, GetCurrentProcessId()));
}

}  // namespace launcher
