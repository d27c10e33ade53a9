// A Folder on the standard library's file system calls, so that the host benchmark combines
// real files. The Windows programs use the Win32 folder instead, which tells a busy file apart
// and gives the system's own wording.
#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "schedule/folder.hpp"

namespace bench {

class StdFolder final : public schedule::Folder {
  public:
    explicit StdFolder(std::filesystem::path root) : root_(std::move(root)) {}

    schedule::Outcome fileNames(std::vector<std::string>& names) override;
    schedule::Outcome folderNames(std::vector<std::string>& names) override;
    schedule::Outcome readFile(std::string_view name, std::string& bytes) override;
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
    std::filesystem::path path(std::string_view name) const { return root_ / name; }
    std::filesystem::path root_;
    std::map<std::string, std::unique_ptr<StdFolder>, std::less<>> subfolders_;
};

}  // namespace bench
