#include "editor/core/logon_history.hpp"

#include "editor/core/check_path.hpp"

namespace editor {

void showLogonHistory(Uses<Messages, Programs, const Folders, const Startup> services) {
    const std::optional<std::string> history = services.startup().logonHistoryFile();
    if (!history) {
        services.messages().message(kNoLogonHistory);
        return;
    }
    if (const schedule::Outcome started = services.programs().start(
            windowsProgram(services, "notepad.exe"), "\"" + *history + "\"", schedule::kShowNormal);
        !started) {
        services.messages().message("notepad.exe could not be started to show the logon history " +
                                    *history + ": " + started.error + ".");
    }
}

}  // namespace editor
