// Questions about paths, files and folders anywhere, and the system's ANSI code page that
// schedule files are written in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services/types.hpp"
#include "schedule/outcome.hpp"

namespace editor {

class Files {
  public:
    // Whether `path` names an existing file (a folder does not count), however long the path.
    virtual bool isFile(std::string_view path) const = 0;
    // Whether two paths name the same file or folder, compared as Windows compares them.
    virtual bool samePath(std::string_view first, std::string_view second) const = 0;
    // What the drive letter that `path` starts with stands for; Local for a path without one.
    virtual DriveLetter driveLetter(std::string_view path) const = 0;
    // The files and folders that the folder at `path` holds, without "." and "..".
    virtual schedule::Outcome folderItems(std::string_view path,
                                          std::vector<FolderItem>& items) const = 0;
    // UTF-8 text in the system's ANSI code page, only when it is represented exactly.
    virtual std::optional<std::string> toAnsi(std::string_view text) const = 0;
    // Bytes in the system's ANSI code page, as schedule files hold them, as UTF-8.
    virtual std::string fromAnsi(std::string_view bytes) const = 0;

  protected:
    ~Files() = default;
};

}  // namespace editor
