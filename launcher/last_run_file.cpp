// The editor's reading of the history, in an object of its own: the launcher links only
// what it writes with.
#include <windows.h>

#include "launcher/history_file.hpp"
#include "win32/folder.hpp"

namespace launcher {

schedule::Outcome readLastLogonRun(std::optional<LastRun>& last) {
    last.reset();
    const std::optional<std::wstring> folder = logonHistoryFolder();
    if (!folder) return schedule::Outcome::success();
    win32::WorkingFolder place(*folder + L'\\');
    std::string history;
    if (schedule::Outcome read = place.readFile(kHistoryFileName, history); !read) {
        if (read.code == ERROR_FILE_NOT_FOUND || read.code == ERROR_PATH_NOT_FOUND) {
            return schedule::Outcome::success();
        }
        return read;
    }
    last = newestRun(history);
    return schedule::Outcome::success();
}

}  // namespace launcher
