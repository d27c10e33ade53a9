// A schedule that all users of the computer share, which only administrators may change: what
// the editor asks when it starts there without the rights to change it, and what it says when
// the user looks at such a schedule without them.
#pragma once

#include <string>
#include <string_view>

#include "editor/core/services.hpp"

namespace editor {

// How the editor goes on after Main's loading.
enum class ScheduleUse {
    Change,      // as ever: every action may change the schedule
    LookOnly,    // a shared schedule without the rights to change it: it can only be looked at
    HandedOver,  // an instance with administrator rights took over: this one ends
};

// The actions that change the schedule.
enum class ScheduleChange { Pick, Reset, Deploy, RestoreCleared, Remove, TurnOffOrOn, Change };

// The internal switch that starts the editor with administrator rights in a shared schedule's
// folder, given after it.
inline constexpr std::string_view kEditSharedScheduleSwitch = "/edit-shared-schedule";

// Why the instance started with administrator rights for the shared schedule in `folder` must
// not open it: whoever started it chose the folder, so it is judged again there. None when only
// administrators can change it.
std::optional<std::string> editSharedScheduleRefusal(Uses<const Files, const Access> services,
                                                     const std::string& folder);

// The question at start-up, for the working folder `folder`.
std::string sharedScheduleQuestion(std::string_view folder);

// After start-up found that it cannot write to its working folder: when that folder holds a
// shared schedule and the editor runs without an administrator's full rights, the user is asked
// once whether to start the editor again with them. Yes starts it in the same folder
// (HandedOver), unless the user then declines the system's prompt or the start fails, which is
// told; No leaves this one to look at the schedule (LookOnly). Otherwise none, and start-up
// tells what it always told.
std::optional<ScheduleUse> offerAdministratorRights(
    Uses<Messages, const Folders, const Files, Access> services);

// Whether `change` may go on; when the editor may only look, the user is told what it needs and
// the answer is false.
bool mayChangeSchedule(ScheduleUse use, ScheduleChange change,
                       Uses<Messages, const Folders> services);

}  // namespace editor
