#include "editor/core/logon_history.hpp"

#include "editor/core/check_path.hpp"

namespace editor {

void showLogonHistory(Services& services) {
    const std::optional<std::string> history = services.logonHistoryFile();
    if (!history) {
        services.message(kNoLogonHistory);
        return;
    }
    if (const schedule::Outcome started = services.start(
            windowsProgram(services, "notepad.exe"), "\"" + *history + "\"", schedule::kShowNormal);
        !started) {
        services.message("notepad.exe could not be started to show the logon history " + *history +
                         ": " + started.error + ".");
    }
}

}  // namespace editor
