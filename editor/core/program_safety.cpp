#include "editor/core/program_safety.hpp"

#include <algorithm>

#include "editor/core/folder_safety.hpp"
#include "editor/core/wording.hpp"
#include "schedule/ascii.hpp"
#include "schedule/lines.hpp"
#include "schedule/record.hpp"

namespace editor {

namespace {

// A shortcut may lead to another; a loop of them must still end.
constexpr int kShortcutDepth = 8;

bool isFullPath(std::string_view path) {
    const bool letter = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    return letter || path.starts_with("\\\\");
}

bool endsWithIgnoringCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                      [](char a, char b) { return schedule::lowerAscii(a) == b; });
}

bool hasExtension(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string_view::npos && path.find('\\', dot) == std::string_view::npos;
}

// The file that a program line starts: the file it names as a whole, or else the program of
// the command line it is, which is quoted or its first word. None, with `problem` set, when
// it cannot be told.
std::optional<std::string> programFileOf(Uses<const Programs, const Files> services,
                                         const std::string& line, std::string& problem) {
    if (services.files().isFile(line)) return line;
    std::string part;
    if (line.starts_with('"')) {
        const std::size_t close = line.find('"', 1);
        part = line.substr(1, close == std::string::npos ? close : close - 1);
    } else {
        part = line.substr(0, line.find_first_of(" \t"));
    }
    if (part.empty()) {
        problem = line + ": it names no program, so what it would start cannot be checked.";
        return std::nullopt;
    }
    if (isFullPath(part)) {
        // As CreateProcessW takes a name without an extension.
        if (!services.files().isFile(part) && !hasExtension(part) &&
            services.files().isFile(part + ".exe")) {
            part += ".exe";
        }
        return part;
    }
    if (std::optional<std::string> found = services.programs().searchProgram(part)) return found;
    problem = line + ": the system's program search does not find " + part +
              ", so what it would start cannot be checked. Give the program's full path.";
    return std::nullopt;
}

void addFileProblems(Uses<const Files, const Startup, const Access> services,
                     const std::string& file, int depth, std::vector<std::string>& problems) {
    for (std::string& problem : programFileProblems(services, file)) {
        problems.push_back(std::move(problem));
    }
    if (!endsWithIgnoringCase(file, ".lnk") || !services.files().isFile(file)) return;
    // The shell starts what the shortcut leads to: whoever may change that may change what
    // starts.
    std::optional<Shortcut> link;
    if (const schedule::Outcome read = services.startup().readShortcut(file, link); !read) {
        problems.push_back(file +
                           ": it is a shortcut that cannot be read, so the program it "
                           "starts cannot be checked: " +
                           withFullStop(read.error));
    } else if (!link || link->target.empty()) {
        problems.push_back(file +
                           ": it is a shortcut that names no program file, so what it starts "
                           "cannot be checked.");
    } else if (depth == kShortcutDepth) {
        problems.push_back(file + ": it leads through " + std::to_string(kShortcutDepth) +
                           " shortcuts or more, so what it starts cannot be checked.");
    } else {
        addFileProblems(services, link->target, depth + 1, problems);
    }
}

std::string programsExample(Uses<const Folders> services) {
    const std::optional<std::string> programFiles = services.folders().programFilesFolder();
    return programFiles ? *programFiles : std::string("Program Files");
}

}  // namespace

DayFiles workingDayFiles(Uses<Folders> services) {
    DayFiles days;
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        std::string bytes;
        if (services.folders().scheduleFolder().readFile(day.dayFile, bytes)) {
            days[static_cast<std::size_t>(day.checkIndex)] = std::move(bytes);
        }
    }
    return days;
}

std::vector<ScheduledProgram> scheduledPrograms(Uses<const Files> services, const DayFiles& days) {
    std::vector<ScheduledProgram> programs;
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        const std::vector<std::string> lines =
            schedule::splitLines(days[static_cast<std::size_t>(day.checkIndex)]);
        // The program line is the second of each record's four.
        for (std::size_t i = 1; i < lines.size(); i += schedule::kRecordLines) {
            const std::string line = services.files().fromAnsi(lines[i]);
            auto known = std::find_if(programs.begin(), programs.end(),
                                      [&](const ScheduledProgram& p) { return p.line == line; });
            if (known == programs.end()) {
                programs.push_back({line, {}});
                known = programs.end() - 1;
            }
            const std::string name(day.dayLine);
            if (known->days.empty() || known->days.back() != name) known->days.push_back(name);
        }
    }
    return programs;
}

std::vector<std::string> programLineProblems(
    Uses<const Programs, const Files, const Startup, const Access> services,
    const std::string& line) {
    std::vector<std::string> problems;
    std::string problem;
    if (const std::optional<std::string> file = programFileOf(services, line, problem)) {
        addFileProblems(services, *file, 0, problems);
    } else {
        problems.push_back(std::move(problem));
    }
    return problems;
}

std::vector<ProgramProblems> unsafePrograms(
    Uses<const Programs, const Files, const Startup, const Access> services,
    const std::vector<ScheduledProgram>& programs) {
    std::vector<ProgramProblems> unsafe;
    for (const ScheduledProgram& program : programs) {
        std::vector<std::string> problems = programLineProblems(services, program.line);
        if (!problems.empty()) unsafe.push_back({program, std::move(problems)});
    }
    return unsafe;
}

std::optional<std::string> programsRefusal(Uses<const Folders> services,
                                           const std::vector<ProgramProblems>& unsafe) {
    if (unsafe.empty()) return std::nullopt;
    std::string text =
        "Brightwick was not deployed for all users. It would start these programs at the logon "
        "of every user of this computer, administrators too, but others than administrators "
        "could change them:\n";
    for (const ProgramProblems& program : unsafe) {
        text += "\n- " + program.program.line;
        if (!program.program.days.empty()) text += " (" + joined(program.program.days) + ")";
        text += ":";
        for (const std::string& problem : program.problems) text += "\n  - " + problem;
    }
    text += "\n\nPut each of them into a folder that only administrators can change, such as " +
            programsExample(services) +
            ", and pick it there, or remove its records (Show List, select one and press Del). "
            "Then deploy for all users again.";
    return text;
}

std::optional<std::string> dayFilesRefusal(
    Uses<const Programs, Folders, const Files, const Startup, const Access> services) {
    return programsRefusal(
        services, unsafePrograms(services, scheduledPrograms(services, workingDayFiles(services))));
}

std::string programRemedy(Uses<const Folders> services, const ProgramProblems& unsafe) {
    std::string text = unsafe.program.line + " starts at every user's logon";
    if (!unsafe.program.days.empty()) text += " (" + joined(unsafe.program.days) + ")";
    text += ", but others than administrators could change it:";
    for (const std::string& problem : unsafe.problems) text += " " + problem;
    text += " Put it into a folder that only administrators can change, such as " +
            programsExample(services) + ", and pick it there, or remove its record";
    if (!unsafe.program.days.empty()) text += " in Show List under " + unsafe.program.days.front();
    return text + " (select it and press Del).";
}

}  // namespace editor
