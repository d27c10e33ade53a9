// What starts Brightwick at logon and what it left behind: the Startup folders and their
// shortcuts, Windows' startup list, and the user's logon history.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/core/services/types.hpp"
#include "launcher/last_run.hpp"
#include "schedule/outcome.hpp"

namespace editor {

class Startup {
  public:
    // Creates the shortcut in a Startup folder, replacing one of the same name. `folder` gets
    // the Startup folder's path as soon as it is known, so that a failure can name it; it
    // stays empty when the folder itself cannot be found.
    virtual schedule::Outcome createShortcut(StartupFolder where, const Shortcut& shortcut,
                                             std::string& folder) = 0;
    // The Startup folder's path, for reading what it holds.
    virtual schedule::Outcome startupFolder(StartupFolder where, std::string& folder) const = 0;
    // The shortcut file at `path` as the shell reads it into `shortcut` (its name stays
    // empty); none when there is no such file. Fails when a file is there but cannot be read.
    virtual schedule::Outcome readShortcut(std::string_view path,
                                           std::optional<Shortcut>& shortcut) const = 0;
    // The bytes that Windows' startup list keeps for the file `fileName` of that Startup
    // folder; none when it keeps nothing for it.
    virtual schedule::Outcome startupListEntry(StartupFolder where, std::string_view fileName,
                                               std::optional<std::string>& bytes) const = 0;
    // Replaces that entry's bytes.
    virtual schedule::Outcome setStartupListEntry(StartupFolder where, std::string_view fileName,
                                                  std::string_view bytes) = 0;
    // The full path of this account's logon history, which Brightwick writes; none while there
    // is none.
    virtual std::optional<std::string> logonHistoryFile() const = 0;
    // The newest run of the user's logon history; none when there is no history or entry.
    virtual schedule::Outcome lastLogonRun(std::optional<launcher::LastRun>& last) const = 0;

  protected:
    ~Startup() = default;
};

}  // namespace editor
