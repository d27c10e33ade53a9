#include "editor/core/show_list.hpp"

#include <string>

#include "schedule/helpers.hpp"

namespace editor {

namespace {
constexpr std::string_view kCombiner = "copyfle.com";
}

bool PrepareShowList(Services& services) {
    const HelperRun run = services.runHelper(kCombiner, kHelperDeadline);
    const std::string seconds =
        std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kHelperDeadline).count());
    switch (run.outcome) {
        case HelperRun::Outcome::NotStarted:
            services.message(
                "copyfle.com could not be started, so the day lists cannot be "
                "shown: " +
                run.error);
            return false;
        case HelperRun::Outcome::TimedOut:
            services.message("copyfle.com did not finish within " + seconds +
                             " seconds. The day lists may be incomplete.");
            return true;
        case HelperRun::Outcome::Finished:
            break;
    }
    switch (run.exitCode) {
        case schedule::kHelperDone:
            break;
        case schedule::kHelperPicksLeftOut:
            services.message(
                "copyfle.com left out pick files that do not hold one whole schedule record. "
                "Those programs are missing from the day lists.");
            break;
        case schedule::kHelperFailed:
            services.message(
                "copyfle.com could not write a day file. The day lists may show the schedule "
                "as it was before.");
            break;
        default:
            services.message("copyfle.com ended with the unexpected exit code " +
                             std::to_string(run.exitCode) + ". The day lists may be incomplete.");
            break;
    }
    return true;
}

}  // namespace editor
