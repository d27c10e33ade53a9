#include "editor/core/shared_schedule.hpp"

#include <array>
#include <cstddef>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/core/wording.hpp"

namespace editor {

namespace {

// What each change is, as the sentence that says it needs the rights names it; in the order
// of ScheduleChange.
constexpr std::array<std::string_view, 7> kChangeWords{"Picking a program",
                                                       "Resetting and clearing the list",
                                                       "Deploying",
                                                       "Restoring cleared picks",
                                                       "Removing a program from the schedule",
                                                       "Turning a program off or on",
                                                       "Changing a program's record"};
static_assert(kChangeWords.size() == static_cast<std::size_t>(ScheduleChange::Change) + 1);

std::string_view changeWords(ScheduleChange change) {
    const auto index = static_cast<std::size_t>(change);
    return index < kChangeWords.size() ? kChangeWords[index] : "Changing the schedule";
}

}  // namespace

std::optional<std::string> editSharedScheduleRefusal(Uses<const Files, const Access> services,
                                                     const std::string& folder) {
    const std::vector<std::string> problems = allUsersProblems(services, folder);
    if (problems.empty()) return std::nullopt;
    std::string text = "Norvell was started with administrator rights for the schedule in " +
                       folder + ", but that is no schedule that only administrators can change:\n";
    for (const std::string& problem : problems) text += "\n- " + problem;
    return text + "\n\nNorvell did not open it with administrator rights.";
}

std::string sharedScheduleQuestion(std::string_view folder) {
    return "The schedule in " + std::string(folder) +
           " is shared by all users of this computer; only an administrator can change it. "
           "Start Norvell with administrator rights?";
}

std::optional<ScheduleUse> offerAdministratorRights(
    Uses<Messages, const Folders, const Files, Access> services) {
    // With those rights already, starting again would meet the same refusal.
    if (services.access().runsElevated()) return std::nullopt;
    const std::string folder = services.folders().workingFolder();
    if (!safeForAllUsers(services, folder)) return std::nullopt;
    if (services.messages().message(sharedScheduleQuestion(folder), Buttons::YesNo) !=
        Answer::Yes) {
        return ScheduleUse::LookOnly;
    }
    const schedule::Outcome started = services.access().startAsAdministrator(
        switchArguments(kEditSharedScheduleSwitch, {folder}));
    if (started) return ScheduleUse::HandedOver;
    // Declining the system's prompt is an answer, not a failure.
    if (started.code != kCancelled) {
        services.messages().message("Norvell could not be started with administrator rights: " +
                                    withFullStop(started.error) +
                                    " You can look at the schedule, but not change it.");
    }
    return ScheduleUse::LookOnly;
}

bool mayChangeSchedule(ScheduleUse use, ScheduleChange change,
                       Uses<Messages, const Folders> services) {
    if (use != ScheduleUse::LookOnly) return true;
    services.messages().message(
        std::string(changeWords(change)) + " needs administrator rights: the schedule in " +
        services.folders().workingFolder() +
        " is shared by all users of this computer, and only an administrator can "
        "change it. Close Norvell, start it again and answer Yes when it asks to "
        "start with administrator rights.");
    return false;
}

}  // namespace editor
