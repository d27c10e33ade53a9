// The schedule core's Folder on the Win32 file API: bare names are opened in the process's
// working folder, as every schedule file is.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "schedule/folder.hpp"
#include "win32/owners.hpp"

namespace win32 {

class WorkingFolder final : public schedule::Folder {
  public:
    // `prefix` is put before every name: empty for the working folder itself, or a folder
    // path ending in a backslash (tests and benchmarks).
    // `refuseLinks`: readFile refuses a file that is a reparse point (a symbolic link), whose
    // bytes could be changed by whoever may change where it leads.
    explicit WorkingFolder(std::wstring prefix = {}, bool refuseLinks = false)
        : prefix_(std::move(prefix)), refuseLinks_(refuseLinks) {}

    schedule::Outcome fileNames(std::vector<std::string>& names) override;
    schedule::Outcome folderNames(std::vector<std::string>& names) override;
    schedule::Outcome readFile(std::string_view name, std::string& bytes) override;
    schedule::Outcome readFileInParts(std::string_view name,
                                      const std::function<void(std::string_view)>& take) override;
    schedule::Outcome writeFile(std::string_view name, std::string_view bytes) override;
    schedule::Outcome replaceFile(std::string_view from, std::string_view to) override;
    schedule::Outcome renameIfFree(std::string_view from, std::string_view to) override;
    schedule::Outcome removeFile(std::string_view name) override;
    schedule::Folder& subfolder(std::string_view name) override;
    schedule::Outcome createSubfolder(std::string_view name) override;
    schedule::Outcome removeSubfolder(std::string_view name) override;
    schedule::Outcome moveToSubfolder(std::string_view from, std::string_view folder,
                                      std::string_view to) override;
    void pause(std::chrono::milliseconds duration) override;

  private:
    // The names of the entries that are folders (`folders`) or files.
    schedule::Outcome entryNames(bool folders, std::vector<std::string>& names);
    std::wstring path(std::string_view name) const;
    UniqueHandle openToRead(std::string_view name, DWORD flags = 0) const;
    std::wstring prefix_;
    bool refuseLinks_ = false;
    std::map<std::string, std::unique_ptr<WorkingFolder>, std::less<>> subfolders_;
};

// The whole of an open file from where it stands, its start for a file just opened.
schedule::Outcome readOpenFile(HANDLE file, std::string& bytes);

// The rest of an open file from where it stands, in parts of at most `buffer`'s size, each
// handed to `take` in the buffer, which serves every part.
schedule::Outcome readOpenFileInParts(HANDLE file, std::span<char> buffer,
                                      const std::function<void(std::string_view)>& take);

// All of `bytes`, where the file stands; at its end for a file opened with FILE_APPEND_DATA
// and without FILE_WRITE_DATA, whatever else writes to it.
schedule::Outcome writeOpenFile(HANDLE file, std::string_view bytes);

// Why the system refused to replace, move onto or remove a file, given its error and the
// attributes of the file refused (INVALID_FILE_ATTRIBUTES when it is not there). A read-only
// file is said to be so, and not worth another try: Windows refuses it with the same
// ERROR_ACCESS_DENIED as a file that another process holds for a moment, which may pass.
schedule::Outcome refusal(unsigned long error, unsigned long attributes);

}  // namespace win32
