#include "launcher/system_start.hpp"

#include "win32/owners.hpp"
#include "win32/process.hpp"
#include "win32/text.hpp"

namespace launcher {

bool SystemStart::isFile(std::string_view path) {
    return win32::isFile(win32::widen(path));
}

schedule::Outcome SystemStart::createProcess(std::string_view application,
                                             std::string_view commandLine, int showWindow) {
    // The launcher never waits: the process handle goes as soon as the program starts.
    win32::UniqueHandle process;
    const std::wstring line = win32::widen(commandLine);
    if (application.empty()) return win32::startProgram(line, showWindow, process);
    const std::wstring file = win32::widen(application);
    return win32::startProgram(line, showWindow, process, &file);
}

schedule::Outcome SystemStart::shellExecute(std::string_view verb, std::string_view file,
                                            std::string_view parameters, int showWindow) {
    const std::wstring wideVerb = win32::widen(verb);
    // Named, although the shell would take this process's folder by default: an elevated
    // program is started by another process, and the folder must reach it.
    return shell_.start(verb.empty() ? nullptr : wideVerb.c_str(), win32::widen(file),
                        win32::widen(parameters), win32::currentFolder(), showWindow, owner_);
}

std::string SystemStart::commandInterpreter() {
    return win32::narrow(win32::systemFolder() + L"\\cmd.exe");
}

StartResult RecordStarter::start(std::string_view programLine, int showWindow) {
    return startProgramLine(win32::narrow(win32::fromCodePage(programLine)), showWindow, system_);
}

}  // namespace launcher
