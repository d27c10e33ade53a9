#include "editor/core/desktop_start.hpp"

#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/wording.hpp"

namespace editor {

namespace {

std::string inFolder(const std::string& folder, std::string_view name) {
    return folder + (folder.ends_with('\\') ? "" : "\\") + std::string(name);
}

}  // namespace

unsigned long startForDesktopUser(const std::vector<std::string>& arguments,
                                  const DesktopPlaces& places, DesktopStarts& starts) {
    const bool norvell = arguments.size() == 3 && arguments[2] == kStartNorvell;
    const bool readme = arguments.size() == 3 && arguments[2] == kShowReadme;
    if (!asksFor(arguments, kStartForDesktopUserSwitch) || !(norvell || readme)) {
        starts.message("Norvell.exe " + std::string(kStartForDesktopUserSwitch) +
                       " takes one word after it: " + std::string(kStartNorvell) +
                       " to start Norvell, or " + std::string(kShowReadme) +
                       " to show the read-me. Nothing was started.");
        return kInvalidParameter;
    }
    const std::string program = inFolder(places.programFolder, "Norvell.exe");
    const std::string readmeFile = inFolder(places.programFolder, "readme.1st");
    const DesktopProgram start =
        norvell ? DesktopProgram{program, "", places.workingFolder}
                : DesktopProgram{inFolder(places.systemFolder, "notepad.exe"),
                                 "\"" + readmeFile + "\"", places.programFolder};
    // Unknown counts as elevated: a start through the shell is never worse than one from here.
    const bool elevated = starts.runsElevated().value_or(true);
    const schedule::Outcome started =
        elevated ? starts.startThroughDesktopShell(start) : starts.startDirect(start);
    if (started) return 0;
    const std::string what = norvell ? "Norvell" : "The read-me";
    const std::string done = norvell ? "started" : "opened";
    std::string text = elevated ? what + " was not " + done +
                                      ", so that nothing runs with administrator rights on your "
                                      "desktop: Windows' desktop could not do it for you. "
                                : what + " could not be " + done + ": ";
    text += withFullStop(started.error.empty() ? "Windows gave no reason" : started.error) + "\n\n";
    text += norvell ? "Start it from the Start menu (Norvell), or start " + program + "."
                    : "It is " + readmeFile + ": open it in Notepad.";
    starts.message(text);
    return started.code != 0 ? started.code : kCannotComplete;
}

}  // namespace editor
