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

// The history's mutex: made by the first run at a logon, opened by the others. Made by a run
// at another integrity level, with that run's default security, it cannot be opened with every
// right, which CreateMutexW asks for; OpenMutexW asks only for the one to wait for it.
win32::UniqueHandle historyMutex(const std::wstring& name) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) {
        mutex = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    }
    return win32::UniqueHandle(mutex);
}

// A run that could not add its entry leaves it beside the history, said why, for the next run
// to add: without the mutex, each in one write to the file's end.
schedule::Outcome keepMissedEntry(const std::wstring& folder, std::string_view entry,
                                  const schedule::Outcome& failure) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const win32::UniqueHandle file = win32::ownHandle(
        CreateFileW((folder + L'\\' + win32::widen(kMissedEntriesFileName)).c_str(),
                    FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) win32::writeOpenFile(file.get(), missedEntry(entry, failure.error));
    return failure;
}

// The entries that runs without the mutex left, taken away under a name of this run's own so
// that one left meanwhile waits for the next run; empty when there are none. `taken` names the
// file to remove once they are in the history.
std::string takeMissedEntries(const std::wstring& folder, std::wstring& taken) {
    const std::wstring missed = folder + L'\\' + win32::widen(kMissedEntriesFileName);
    // Digits by std::to_string: std::to_wstring formats through the C library's swprintf,
    // which brings its floating-point formatting into every program that writes history.
    taken = missed + L'.' + win32::widen(std::to_string(GetCurrentProcessId()));
    if (!MoveFileExW(missed.c_str(), taken.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        taken.clear();
        return {};
    }
    std::string entries;
    const win32::UniqueHandle file = win32::ownHandle(
        CreateFileW(taken.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !win32::readOpenFile(file.get(), entries)) entries.clear();
    return entries;
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

namespace {

// Adds `entry` (one or more) to the history open in `file`, in the folder `folder`.
schedule::Outcome addEntries(win32::UniqueHandle& file, const std::wstring& folder,
                             std::string_view entry) {
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
    win32::WorkingFolder place(folder + L'\\');
    return schedule::writeFileAtomically(
        place, kHistoryFileName, historyWithEntry(history, entry),
        schedule::temporaryNameFor(kHistoryFileName, GetCurrentProcessId()));
}

}  // namespace

schedule::Outcome addToLogonHistory(std::string_view entry, std::chrono::milliseconds wait) {
    const std::optional<std::wstring> folder = logonHistoryFolder();
    if (!folder) {
        return schedule::Outcome::failure("the user's local application data folder is unknown");
    }
    // A second launcher at the same logon (a shortcut in both Startup folders) counts and
    // writes after this one, never between: a rewrite then cannot drop its entry, and only the
    // history's very first run writes the byte order mark.
    const std::wstring path = *folder + L'\\' + win32::widen(kHistoryFileName);
    const win32::UniqueHandle mutex = historyMutex(historyMutexName(path));
    if (!mutex) return keepMissedEntry(*folder, entry, win32::lastErrorFailure());
    switch (WaitForSingleObject(mutex.get(), static_cast<DWORD>(wait.count()))) {
        // WAIT_ABANDONED: a run ended while it held the mutex, and the system handed it to this
        // one; an append it cut short ends without a line end, which the appendix puts right,
        // and a rewrite it cut short left the old history whole.
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:
            break;
        case WAIT_TIMEOUT:
            return keepMissedEntry(*folder, entry, win32::systemFailure(ERROR_TIMEOUT));
        default:
            return keepMissedEntry(*folder, entry, win32::lastErrorFailure());
    }
    const win32::HeldMutex held(mutex.get());
    win32::UniqueHandle file;
    if (schedule::Outcome opened = openHistory(*folder, file); !opened) return opened;
    std::wstring taken;
    const std::string entries = takeMissedEntries(*folder, taken) + std::string(entry);
    schedule::Outcome added = addEntries(file, *folder, entries);
    if (added && !taken.empty()) DeleteFileW(taken.c_str());
    return added;
}

}  // namespace launcher
