// The editor's own folders and the system's: where the editor and its schedule are, and
// where Windows keeps its programs and the data of all users' programs.
#pragma once

#include <optional>
#include <string>

#include "schedule/folder.hpp"

namespace editor {

class Folders {
  public:
    // The editor's working folder, where the schedule files live.
    virtual std::string workingFolder() const = 0;
    // The schedule files of the working folder; the picks a clear kept are in its subfolder
    // schedule::kClearedFolder.
    virtual schedule::Folder& scheduleFolder() = 0;
    // The editor's process id: no other program running now has it, so a file named with it
    // is the editor's own.
    virtual unsigned long processId() const = 0;
    // The folder of the editor's own program file, as the system gives it.
    virtual std::string programFolder() const = 0;
    // The system's Windows folder, where its own programs are ("C:\Windows").
    virtual std::string windowsFolder() const = 0;
    // The system's Program Files folder; none when it cannot be found.
    virtual std::optional<std::string> programFilesFolder() const = 0;
    // The system's folder for the data of all users' programs ("C:\ProgramData"); none when it
    // cannot be found.
    virtual std::optional<std::string> programDataFolder() const = 0;

  protected:
    ~Folders() = default;
};

}  // namespace editor
