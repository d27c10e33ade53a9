#include "launcher/history_file.hpp"

#include <windows.h>

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

schedule::Outcome addToLogonHistory(std::string_view entry) {
    const std::optional<std::wstring> folder = logonHistoryFolder();
    if (!folder) {
        return schedule::Outcome::failure("the user's local application data folder is unknown");
    }
    win32::WorkingFolder place(*folder + L'\\');
    const std::string name(kHistoryFileName);
    std::string history;
    if (schedule::Outcome read = place.readFile(name, history); !read) {
        // The folder is made on the first run only, not looked for at every logon.
        if (read.code == ERROR_PATH_NOT_FOUND) {
            if (!CreateDirectoryW(folder->c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS) {
                return win32::lastErrorFailure();
            }
        } else if (read.code != ERROR_FILE_NOT_FOUND) {
            return read;
        }
        history.clear();
    }
    return schedule::writeFileAtomically(place, name, historyWithEntry(history, entry));
}

}  // namespace launcher
