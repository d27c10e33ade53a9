// Whether the programs that a schedule names may start for all users: Brightwick starts them at
// the logon of every user, administrators included, so each one, and the program behind a
// shortcut, must be one that only administrators and SYSTEM can change, as Brightwick itself.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "editor/core/services.hpp"
#include "schedule/weekday.hpp"

namespace editor {

// A program line of a schedule (UTF-8), with the days whose files name it ("Monday").
struct ScheduledProgram {
    std::string line;
    std::vector<std::string> days;
};

// The day files' bytes, by the weekday's checkIndex.
using DayFiles = std::array<std::string, schedule::kWeekdays.size()>;

// The day files of the working folder as they are now; one that cannot be read holds nothing,
// as the launcher then starts nothing from it.
DayFiles workingDayFiles(Uses<Folders> services);

// Each program line that the day files name, once, in the order of the week.
std::vector<ScheduledProgram> scheduledPrograms(Uses<const Files> services, const DayFiles& days);

// A program that others than administrators could change, with each reason.
struct ProgramProblems {
    ScheduledProgram program;
    std::vector<std::string> problems;
};

// The problems of one program line: the file it names, or the program a command line starts
// (found as the system's program search finds it), and for a shortcut (.lnk) also the file it
// leads to.
std::vector<std::string> programLineProblems(
    Uses<const Programs, const Files, const Startup, const Access> services,
    const std::string& line);

// The programs of `programs` that a deployment for all users must not start.
std::vector<ProgramProblems> unsafePrograms(
    Uses<const Programs, const Files, const Startup, const Access> services,
    const std::vector<ScheduledProgram>& programs);

// The message that refuses a deployment for all users for these programs, naming each with
// why and what to do; none when there is none.
std::optional<std::string> programsRefusal(Uses<const Folders> services,
                                           const std::vector<ProgramProblems>& unsafe);

// programsRefusal for the programs that the working folder's day files name.
std::optional<std::string> dayFilesRefusal(
    Uses<const Programs, Folders, const Files, const Startup, const Access> services);

// What Deployment Status tells to do about one such program of a schedule deployed for all
// users.
std::string programRemedy(Uses<const Folders> services, const ProgramProblems& unsafe);

}  // namespace editor
