#include "editor/core/helper_runs.hpp"

#include "schedule/helpers.hpp"

namespace editor {

std::optional<std::string> helperFailure(std::string_view helper, const HelperRun& run) {
    const std::string name(helper);
    switch (run.outcome) {
        case HelperRun::Outcome::NotStarted:
            return name + " could not be started: " + run.error + ".";
        case HelperRun::Outcome::TimedOut:
            return name + " did not finish within " +
                   std::to_string(kHelperDeadline.count() / 1000) + " seconds.";
        case HelperRun::Outcome::Finished:
            break;
    }
    switch (run.exitCode) {
        case schedule::kHelperDone:
            return std::nullopt;
        case schedule::kHelperFailed:
            return helper == kCombineHelper
                       ? name + " could not write every day file (datmon.dat to datsun.dat)."
                       : name + " could not remove or empty every data file.";
        case schedule::kHelperPicksLeftOut:
            if (helper == kCombineHelper) {
                return name + " left out pick files that do not hold exactly one schedule record.";
            }
            break;
        default:
            break;
    }
    return name + " ended with exit status " + std::to_string(run.exitCode) + ".";
}

}  // namespace editor
