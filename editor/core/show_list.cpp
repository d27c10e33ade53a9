#include "editor/core/show_list.hpp"

#include <optional>
#include <string>

#include "editor/core/helper_runs.hpp"
#include "schedule/helpers.hpp"

namespace editor {

namespace {
// What the failure means for the lists the viewer is about to show.
std::string_view consequence(const HelperRun& run) {
    switch (run.ending) {
        case HelperRun::Ending::NotStarted:
            return "The day lists cannot be shown.";
        case HelperRun::Ending::TimedOut:
            return "The day lists may be incomplete.";
        case HelperRun::Ending::Finished:
            break;
    }
    switch (run.exitCode) {
        case schedule::kHelperFailed:
            return "Some day lists may still show the schedule as it was before.";
        default:
            return "The day lists may be incomplete.";
    }
}
}  // namespace

bool PrepareShowList(Uses<Messages, Programs, Folders> services, ScheduleUse use) {
    if (use == ScheduleUse::LookOnly) return true;
    const HelperRun run = services.programs().runHelper(kCombineHelper, kHelperDeadline);
    if (leftPicksOut(run)) {
        services.messages().message(leftOutPicksMessage(services.folders().scheduleFolder()));
        return true;
    }
    const std::optional<std::string> message = helperMessage(kCombineHelper, run, consequence(run));
    if (!message) return true;
    services.messages().message(*message);
    return run.ending != HelperRun::Ending::NotStarted;
}

}  // namespace editor
