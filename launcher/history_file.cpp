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

schedule::Outcome addToLogonHistory(std::string_view entry) {
    const std::optional<std::wstring> folder = logonHistoryFolder();
    if (!folder) {
        return schedule::Outcome::failure("the user's local application data folder is unknown");
    }
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
    return schedule::writeFileAtomically(place, kHistoryFileName, historyWithEntry(history, entry));
}

}  // namespace launcher
