// The schedule core's Folder on the Win32 file API: bare names are opened in the process's
// working folder, as every schedule file is.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "schedule/folder.hpp"

namespace win32 {

class WorkingFolder final : public schedule::Folder {
  public:
    // `prefix` is put before every name: empty for the working folder itself, or a folder
    // path ending in a backslash (tests and benchmarks).
    explicit WorkingFolder(std::wstring prefix = {}) : prefix_(std::move(prefix)) {}

    schedule::Outcome fileNames(std::vector<std::string>& names) override;
    schedule::Outcome readFile(std::string_view name, std::string& bytes) override;
    schedule::Outcome writeFile(std::string_view name, std::string_view bytes) override;
    schedule::Outcome replaceFile(std::string_view from, std::string_view to) override;
    schedule::Outcome removeFile(std::string_view name) override;
    schedule::Folder& subfolder(std::string_view name) override;
    schedule::Outcome createSubfolder(std::string_view name) override;
    schedule::Outcome moveToSubfolder(std::string_view from, std::string_view folder,
                                      std::string_view to) override;
    void pause(std::chrono::milliseconds duration) override;

  private:
    std::wstring path(std::string_view name) const;
    std::wstring prefix_;
    std::map<std::string, std::unique_ptr<WorkingFolder>, std::less<>> subfolders_;
};

// lastErrorFailure, marked busy when the error means another process holds the file for a
// moment.
schedule::Outcome lastFileFailure();

// The whole of an open file from where it stands, its start for a file just opened.
schedule::Outcome readOpenFile(HANDLE file, std::string& bytes);

// All of `bytes`, where the file stands; at its end for a file opened with FILE_APPEND_DATA
// and without FILE_WRITE_DATA, whatever else writes to it.
schedule::Outcome writeOpenFile(HANDLE file, std::string_view bytes);

}  // namespace win32
