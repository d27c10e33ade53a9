#include "editor/core/deploy.hpp"

#include "editor/core/check_path.hpp"
#include "editor/core/helper_runs.hpp"
#include "editor/core/pick.hpp"
#include "schedule/weekday.hpp"

namespace editor {

namespace {

// Runs a helper to its end; a failure is told to the user with what it means for them. Pick
// files that copyfle.com left out are named, and the work goes on without them.
bool runHelperOrTell(Services& services, std::string_view helper, std::string_view consequence) {
    const HelperRun run = services.runHelper(helper, kHelperDeadline);
    if (helper == kCombineHelper && leftPicksOut(run)) {
        services.message(leftOutPicksMessage(services.scheduleFolder()));
        return true;
    }
    const std::optional<std::string> message = helperMessage(helper, run, consequence);
    if (!message) return true;
    services.message(*message);
    return false;
}

std::string launcherMissing(const std::string& applicationFolder) {
    return std::string(kLauncherFile) + " is missing from " + applicationFolder +
           ", the folder Norvell runs from. Without it nothing would start your programs at "
           "logon, so nothing was deployed. Put " +
           std::string(kLauncherFile) +
           " back beside Norvell.exe (installing Norvell again "
           "does that) and deploy again.";
}

void placeShortcut(Services& services, StartupFolder where, const std::string& applicationFolder,
                   std::string_view success) {
    // The launcher opens the day files by bare name, so it must start in the folder that
    // holds them, wherever the editor itself was started from.
    const Shortcut shortcut{std::string(kLauncherName),
                            applicationFolder + std::string(kLauncherFile), "",
                            services.workingFolder()};
    std::string folder;
    const schedule::Outcome created = services.createShortcut(where, shortcut, folder);
    if (!created) {
        if (folder.empty()) {
            folder = where == StartupFolder::CurrentUser ? "the Startup folder of your account"
                                                         : "the Startup folder of all users";
        }
        services.message("The shortcut " + shortcut.name + " could not be created in " + folder +
                         ": " + created.error + ". Brightwick will not start at logon.");
        return;
    }
    services.message(success);
}

}  // namespace

void deploy(Services& services) {
    std::string MyPath;
    CheckPath(MyPath, services);
    // Before anything runs or is asked: neither Yes nor No could keep their promise, and the
    // user would answer a question for nothing.
    if (!services.isFile(MyPath + std::string(kLauncherFile))) {
        services.message(launcherMissing(MyPath));
        return;
    }
    if (!runHelperOrTell(services, kCombineHelper, "Nothing was deployed.")) return;
    switch (services.message(kDeployQuestion, Buttons::YesNoCancel)) {
        case Answer::Yes:
            placeShortcut(services, StartupFolder::CurrentUser, MyPath, kDeployedForUser);
            return;
        case Answer::No:
            placeShortcut(services, StartupFolder::AllUsers, MyPath, kDeployedForAll);
            return;
        case Answer::Ok:
        case Answer::Cancel:
            break;
    }
    if (!runHelperOrTell(services, kClearHelper, "The data files may not be clear.")) return;
    services.message(kDeployCancelled);
}

void resetClearList(MainControls& controls, Services& services) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        controls.setDayTicked(day.checkIndex, false);
    }
    selectResetChoices(controls);
    runHelperOrTell(services, kClearHelper, "The data files may not be clear.");
}

}  // namespace editor
