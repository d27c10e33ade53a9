#include "launcher/start.hpp"

#include <iterator>
#include <optional>

#include "schedule/ascii.hpp"
#include "schedule/command_line.hpp"
#include "schedule/path_limit.hpp"

namespace launcher {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The extension of the path's last name, without its dot, in lower case; empty when there is
// none. The system drops blanks and dots at the end of a name, so they are no part of it.
std::string extensionOf(std::string_view path) {
    while (!path.empty() && (path.back() == ' ' || path.back() == '.')) path.remove_suffix(1);
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos) return {};
    const std::string_view extension = path.substr(dot + 1);
    if (extension.find_first_of("\\/") != std::string_view::npos) return {};
    std::string lower(extension);
    for (char& c : lower) c = schedule::lowerAscii(c);
    return lower;
}

// The command line of a program file started as exactly that file: the path in quotes, so a
// path with blanks can neither start a program at a shorter prefix ("C:\Program.exe" for
// "C:\Program Files\App\app.exe") nor reach the program split into several arguments.
std::string quotedPath(std::string_view path) {
    std::string quoted = "\"";
    quoted += path;
    quoted += '"';
    return quoted;
}

// The command line that runs a batch file through `interpreter`: /d leaves out the
// interpreter's AutoRun commands, and /s with the outer pair of quotes makes it take the
// quoted path as it stands, whatever ( ) & ^ @ or blanks it holds.
std::string batchCommandLine(std::string_view interpreter, std::string_view batchFile) {
    std::string line = quotedPath(interpreter);
    line += " /d /s /c \"";
    line += quotedPath(batchFile);
    line += '"';
    return line;
}

// A command line split into the program and its parameters, as the shell takes them: the
// program ends at its closing quote when it starts with one, else at the first blank.
struct SplitCommand {
    std::string program;
    std::string parameters;
};

SplitCommand splitCommandLine(std::string_view commandLine) {
    const auto rest = [&](std::size_t from) {
        while (from < commandLine.size() && isBlank(commandLine[from])) ++from;
        return std::string(commandLine.substr(from));
    };
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t close = commandLine.find('"', 1);
        if (close == std::string_view::npos) return {std::string(commandLine.substr(1)), {}};
        return {std::string(commandLine.substr(1, close - 1)), rest(close + 1)};
    }
    const std::size_t blank = commandLine.find_first_of(" \t");
    if (blank == std::string_view::npos) return {std::string(commandLine), {}};
    return {std::string(commandLine.substr(0, blank)), rest(blank)};
}

}  // namespace

std::string_view startWayWording(StartWay way) {
    // By StartWay's enumerators, in their order.
    constexpr std::string_view kWordings[] = {"as a program", "as a command line",
                                              "as a batch file", "as a document",
                                              "with administrator rights"};
    const auto index = static_cast<std::size_t>(way);
    return index < std::size(kWordings) ? kWordings[index] : std::string_view();
}

StartWay startWayFor(std::string_view programLine, bool namesExistingFile) {
    if (!namesExistingFile) return StartWay::commandLine;
    const std::string extension = extensionOf(programLine);
    if (extension == "exe" || extension == "com") return StartWay::program;
    if (extension == "bat" || extension == "cmd") return StartWay::batchFile;
    return StartWay::document;
}

StartResult startProgramLine(std::string_view programLine, int showWindow, StartSystem& system) {
    const bool namesFile = system.isFile(programLine);
    const StartWay way = startWayFor(programLine, namesFile);
    // The system would refuse it with a reason that points elsewhere, such as a file not found.
    if (namesFile && schedule::pathTooLong(programLine)) {
        return {schedule::Outcome::failure(schedule::pathTooLongReason(programLine)), way};
    }
    if (way == StartWay::document) {
        return {system.shellExecute({}, programLine, {}, showWindow), way};
    }
    if (way == StartWay::batchFile) {
        const std::string interpreter = system.commandInterpreter();
        return {system.createProcess(interpreter, batchCommandLine(interpreter, programLine),
                                     showWindow),
                way};
    }
    const bool wholeFile = way == StartWay::program;
    std::optional<std::string> commandLine;
    if (!wholeFile) {
        // An unquoted path with blanks that names nothing would be tried by the system at
        // each blank, and a program planted at the first one (C:\Program.exe) would start.
        commandLine = schedule::unmistakableCommandLine(programLine);
        if (!commandLine) {
            return {schedule::Outcome::failure(std::string(schedule::kProgramNotFoundUnquoted)),
                    StartWay::program};
        }
    }
    schedule::Outcome started =
        wholeFile ? system.createProcess(programLine, quotedPath(programLine), showWindow)
                  : system.createProcess({}, *commandLine, showWindow);
    if (started.code != kElevationRequired) return {std::move(started), way};
    // The shell is the documented way to a program that needs administrator rights: it asks
    // the user for consent, where CreateProcessW only refuses.
    if (wholeFile) {
        return {system.shellExecute("runas", programLine, {}, showWindow), StartWay::elevated};
    }
    const SplitCommand split = splitCommandLine(*commandLine);
    return {system.shellExecute("runas", split.program, split.parameters, showWindow),
            StartWay::elevated};
}

}  // namespace launcher
