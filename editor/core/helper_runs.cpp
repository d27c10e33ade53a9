#include "editor/core/helper_runs.hpp"

#include "schedule/helpers.hpp"

namespace editor {

namespace {
// A message box stays readable: past this many files the rest are only counted.
constexpr std::size_t kNamedAtMost = 10;

// The files a helper named, with its reasons, one a line after the sentence.
std::string withProblems(std::string sentence, const std::vector<std::string>& problems) {
    for (std::size_t i = 0; i < problems.size() && i < kNamedAtMost; ++i) {
        sentence += "\n" + problems[i] + (problems[i].ends_with('.') ? "" : ".");
    }
    if (problems.size() > kNamedAtMost) {
        sentence += "\n... and " + std::to_string(problems.size() - kNamedAtMost) + " more.";
    }
    return sentence;
}
}  // namespace

std::optional<std::string> helperFailure(std::string_view helper, const HelperRun& run) {
    const std::string name(helper);
    switch (run.ending) {
        case HelperRun::Ending::NotStarted:
            return name + " could not be started: " + run.error + ".";
        case HelperRun::Ending::TimedOut:
            return name + " did not finish within " +
                   std::to_string(kHelperDeadline.count() / 1000) + " seconds.";
        case HelperRun::Ending::Finished:
            break;
    }
    switch (run.exitCode) {
        case schedule::kHelperDone:
            return std::nullopt;
        case schedule::kHelperFailed:
            return helper == kCombineHelper
                       ? name + " could not write every day file (datmon.dat to datsun.dat)."
                       : name + " could not move every pick file into the " +
                             std::string(schedule::kClearedFolder) +
                             " folder or empty every day file.";
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

std::optional<std::string> helperMessage(std::string_view helper, const HelperRun& run,
                                         std::string_view consequence) {
    const std::optional<std::string> failure = helperFailure(helper, run);
    if (!failure) return std::nullopt;
    return withProblems(*failure + " " + std::string(consequence), run.problems);
}

bool leftPicksOut(const HelperRun& run) {
    return run.ending == HelperRun::Ending::Finished &&
           run.exitCode == schedule::kHelperPicksLeftOut;
}

std::string leftOutPicksMessage(schedule::Folder& folder) {
    schedule::CombinedPicks combined;
    const std::string text(kCombineHelper);
    // The files may have been put right since; then the run's own word is all there is.
    if (!schedule::readPickFiles(folder, combined) || combined.leftOut.empty()) {
        return text + " left out pick files that do not hold exactly one schedule record. " +
               "Their programs will not start; every other pick was combined.";
    }
    const std::size_t count = combined.leftOut.size();
    std::string message =
        text + (count == 1 ? " left out one pick file:\n"
                           : " left out " + std::to_string(count) + " pick files:\n");
    for (std::size_t i = 0; i < count && i < kNamedAtMost; ++i) {
        message += "\n" + combined.leftOut[i].name + ": " + combined.leftOut[i].reason;
    }
    if (count > kNamedAtMost) {
        message += "\n... and " + std::to_string(count - kNamedAtMost) + " more";
    }
    message += count == 1 ? "\n\nIts program will not start" : "\n\nTheir programs will not start";
    message += " at logon; every other pick was combined. Pick ";
    message += count == 1 ? "that program" : "those programs";
    message += " again, and delete or correct the files named.";
    return message;
}

std::optional<std::string> damagedPicksMessage(schedule::Folder& folder) {
    schedule::CombinedPicks combined;
    if (!schedule::readPickFiles(folder, combined) || combined.damaged.empty()) {
        return std::nullopt;
    }
    const std::size_t count = combined.damaged.size();
    std::string message = count == 1 ? "Brightwick will never start the record of one pick file:\n"
                                     : "Brightwick will never start the records of " +
                                           std::to_string(count) + " pick files:\n";
    for (std::size_t i = 0; i < count && i < kNamedAtMost; ++i) {
        message += "\n" + combined.damaged[i].name + ": " + combined.damaged[i].reason;
    }
    if (count > kNamedAtMost) {
        message += "\n... and " + std::to_string(count - kNamedAtMost) + " more";
    }
    message += "\n\nPick ";
    message += count == 1 ? "that program" : "those programs";
    message +=
        " again with a time and a run style from the lists, then remove the record that Show "
        "List marks \"(never starts)\" (select it and press Del), or correct the file named.";
    return message;
}

}  // namespace editor
