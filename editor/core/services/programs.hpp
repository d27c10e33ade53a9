// Starting programs, a record's program line and the helpers, and finding the programs a
// record names.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "editor/core/services/types.hpp"
#include "schedule/outcome.hpp"

namespace editor {

// How long the editor waits for copyfle.com or clrfle.com before it tells the user.
inline constexpr std::chrono::milliseconds kHelperDeadline{30'000};

class Programs {
  public:
    // Starts `program`, a full path that is never searched for, with `arguments` after its
    // quoted name on the command line and a show-window value, in the editor's working
    // folder; never waits.
    virtual schedule::Outcome start(std::string_view program, std::string_view arguments,
                                    int showWindow) = 0;
    // Starts a record's program line (UTF-8) exactly as Brightwick starts it at logon, with
    // `showWindow`, in the editor's working folder; never waits.
    virtual schedule::Outcome startRecord(std::string_view programLine, int showWindow) = 0;
    // Starts a helper by bare name, hidden, without arguments, in the working folder, and
    // waits for it until the deadline.
    virtual HelperRun runHelper(std::string_view name, std::chrono::milliseconds deadline) = 0;
    // Whether a record's program line (UTF-8) names something that would start: an existing
    // file, or a command that the system's program search finds.
    virtual bool programFound(std::string_view programLine) const = 0;
    // The file that the system's program search finds for a program named without its folder
    // (".exe" added to a name without an extension), as a command line's program is searched
    // for; none when it finds none.
    virtual std::optional<std::string> searchProgram(std::string_view name) const = 0;

  protected:
    ~Programs() = default;
};

}  // namespace editor
