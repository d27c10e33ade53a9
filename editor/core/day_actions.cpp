#include "editor/core/day_actions.hpp"

#include "editor/core/check_path.hpp"
#include "schedule/run_style.hpp"

namespace editor {

namespace {
// The program line between quotes, as a message names it.
std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}
}  // namespace

void startNow(const DayEntry& entry, Services& services) {
    if (!entry.record) return;
    const schedule::Record& record = *entry.record;
    const std::optional<schedule::RunStyle> style = schedule::runStyleByStoredWord(record.style);
    if (!style) {
        services.message("The run style " + quoted(record.style) + " of " + quoted(record.program) +
                         " is not one that Brightwick knows, so it passes this entry over at "
                         "logon and it is not started now either.");
        return;
    }
    if (const schedule::Outcome started = services.startRecord(record.program, style->showWindow);
        !started) {
        services.message(quoted(record.program) + " could not be started: " + started.error + ".");
    }
}

void openFileLocation(const DayEntry& entry, Services& services) {
    if (!entry.record) return;
    const std::string& program = entry.record->program;
    if (entry.missing) {
        services.message("The program " + quoted(program) +
                         " does not exist, so there is no folder to show.");
        return;
    }
    if (const schedule::Outcome started =
            services.start(windowsProgram(services, "explorer.exe"), "/select," + quoted(program),
                           schedule::kShowNormal);
        !started) {
        services.message("Explorer could not be started to show " + quoted(program) + ": " +
                         started.error + ".");
    }
}

}  // namespace editor
