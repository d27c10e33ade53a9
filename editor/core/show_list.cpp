#include "editor/core/show_list.hpp"

#include <optional>
#include <string>

#include "editor/core/helper_runs.hpp"
#include "schedule/helpers.hpp"

namespace editor {

namespace {
// What the failure means for the lists the viewer is about to show.
std::string_view consequence(const HelperRun& run) {
    switch (run.outcome) {
        case HelperRun::Outcome::NotStarted:
            return "The day lists cannot be shown.";
        case HelperRun::Outcome::TimedOut:
            return "The day lists may be incomplete.";
        case HelperRun::Outcome::Finished:
            break;
    }
    switch (run.exitCode) {
        case schedule::kHelperPicksLeftOut:
            return "Those programs are missing from the day lists.";
        case schedule::kHelperFailed:
            return "Some day lists may still show the schedule as it was before.";
        default:
            return "The day lists may be incomplete.";
    }
}
}  // namespace

bool PrepareShowList(Services& services) {
    const HelperRun run = services.runHelper(kCombineHelper, kHelperDeadline);
    const std::optional<std::string> failure = helperFailure(kCombineHelper, run);
    if (!failure) return true;
    services.message(*failure + " " + std::string(consequence(run)));
    return run.outcome != HelperRun::Outcome::NotStarted;
}

}  // namespace editor
