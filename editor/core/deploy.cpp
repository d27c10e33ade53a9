#include "editor/core/deploy.hpp"

#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/check_path.hpp"
#include "editor/core/deployment_status.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/core/helper_runs.hpp"
#include "editor/core/launcher_shortcut.hpp"
#include "editor/core/pick.hpp"
#include "editor/core/program_safety.hpp"
#include "editor/core/wording.hpp"
#include "schedule/weekday.hpp"

namespace editor {

namespace {

// Runs a helper to its end; a failure is told to the user with what it means for them. Pick
// files that copyfle.com left out are named, and the work goes on without them.
bool runHelperOrTell(Uses<Messages, Programs, Folders> services, std::string_view helper,
                     std::string_view consequence) {
    const HelperRun run = services.programs().runHelper(helper, kHelperDeadline);
    if (helper == kCombineHelper && leftPicksOut(run)) {
        services.messages().message(leftOutPicksMessage(services.folders().scheduleFolder()));
        return true;
    }
    const std::optional<std::string> message = helperMessage(helper, run, consequence);
    if (!message) return true;
    services.messages().message(*message);
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

void tellNotCreated(Uses<Messages> services, const Shortcut& shortcut, const std::string& folder,
                    const std::string& reason) {
    services.messages().message("The shortcut " + shortcut.name + " could not be created in " +
                                folder + ": " + reason + ". Brightwick will not start at logon.");
}

std::string refusedByAdministratorInstance(Uses<const Folders> services) {
    const std::optional<std::string> programFiles = services.folders().programFilesFolder();
    return "Brightwick was not deployed for all users. Norvell, run with administrator rights, "
           "found that someone besides the administrators could change the folder of Norvell's "
           "programs or of its schedule, or a folder above them, though from your account "
           "Norvell finds nothing wrong with them: the administrator's account may see them "
           "otherwise. Put "
           "Norvell's programs and its schedule into a folder that only administrators can "
           "change and every user can read, such as " +
           (programFiles ? *programFiles + "\\Norvell"
                         : std::string("a folder under Program Files")) +
           ", and deploy for all users again.";
}

std::string patience() {
    return std::to_string(
               std::chrono::duration_cast<std::chrono::minutes>(kAdministratorPatience).count()) +
           " minutes";
}

// After the system refused the shortcut for all users to the editor for want of rights: asks
// whether to make it with administrator rights, and has the editor's instance with those
// rights make it and turn it on in the computer's startup list. True when the shortcut is
// there; otherwise the user has been told why not. `note` gets what the user must know after
// the success.
bool withAdministratorRights(
    Uses<Messages, const Programs, Folders, const Files, const Startup, Access> services,
    const std::string& folder, const std::string& applicationFolder, const Shortcut& shortcut,
    const schedule::Outcome& refused, std::optional<std::string>& note) {
    const std::string question =
        "Only an administrator may put a shortcut into the Startup folder of all users (" + folder +
        "), and Norvell runs without administrator rights. Create the shortcut with "
        "administrator rights? Windows will ask for an administrator's consent.";
    if (services.messages().message(question, Buttons::YesNo) != Answer::Yes) {
        tellNotCreated(services, shortcut, folder, refused.error);
        return false;
    }
    const AdministratorRun run = services.access().runAsAdministrator(
        allUsersShortcutArguments(services.folders().workingFolder()), kAdministratorPatience);
    switch (run.ending) {
        case AdministratorRun::Ending::NotStarted:
            tellNotCreated(services, shortcut, folder, run.failure.error);
            return false;
        case AdministratorRun::Ending::StillRunning: {
            // It may still be naming the accounts of a domain: what is there now is told, and
            // nothing is called a failure that may yet succeed.
            const StartupPlace place = inspectStartupFolder(services, StartupFolder::AllUsers,
                                                            applicationFolder, shortcut);
            if (place.isOurs()) {
                note = "Norvell, run with administrator rights, had not finished after " +
                       patience() +
                       ", but the shortcut is in place. Whether Windows' startup list lets it "
                       "start, Schedule > Deployment Status... tells.";
                return true;
            }
            services.messages().message(
                "Norvell, started with administrator rights to make the shortcut in " + folder +
                ", has not finished after " + patience() + ", and " +
                (place.present() ? "the Brightwick shortcut there does not start this editor's "
                                   "Brightwick.exe in its working folder"
                                 : std::string("there is no Brightwick shortcut there")) +
                " yet. It may still make it: Schedule > Deployment Status... tells whether it "
                "did.");
            return false;
        }
        case AdministratorRun::Ending::Finished:
            break;
    }
    switch (run.exitCode) {
        case 0:
            return true;
        case kMadeButTurnedOff:
            note = "Windows' startup list has the shortcut in " +
                   startupFolderWords(StartupFolder::AllUsers) +
                   " disabled, and Norvell could not enable it." + std::string(kEnableIt);
            return true;
        case kRefusedForAllUsers: {
            // The same judgement, made again here, names the problems; the other instance
            // said only that it found some.
            std::optional<std::string> refusal = allUsersRefusal(services, applicationFolder);
            if (!refusal) refusal = dayFilesRefusal(services);
            services.messages().message(refusal.value_or(refusedByAdministratorInstance(services)));
            return false;
        }
        default:
            tellNotCreated(services, shortcut, folder,
                           run.failure.error.empty()
                               ? "Norvell with administrator rights ended with status " +
                                     std::to_string(run.exitCode)
                               : run.failure.error);
            return false;
    }
}

// When the other Startup folder starts Brightwick too: with the same schedule, which shortcut
// to remove; with another, that both schedules run.
std::optional<std::string> doubleStart(Uses<const Folders, const Files, const Startup> services,
                                       StartupFolder made, const std::string& applicationFolder,
                                       const Shortcut& shortcut) {
    const StartupFolder otherFolder =
        made == StartupFolder::CurrentUser ? StartupFolder::AllUsers : StartupFolder::CurrentUser;
    const StartupPlace other =
        inspectStartupFolder(services, otherFolder, applicationFolder, shortcut);
    if (!other.starts()) return std::nullopt;
    const StartupPlace ours = inspectStartupFolder(services, made, applicationFolder, shortcut);
    if (ours.shortcut && !sameSchedule(services, ours, other)) {
        return made == StartupFolder::CurrentUser ? bothSchedulesRun(ours, other)
                                                  : bothSchedulesRun(other, ours);
    }
    std::string text = capitalized(startupFolderWords(otherFolder)) +
                       " holds a Brightwick shortcut too, so Brightwick will start twice at each "
                       "logon, and every due program twice. Remove that one, " +
                       other.link;
    if (otherFolder == StartupFolder::AllUsers) {
        text +=
            " (this needs administrator rights, and Brightwick then no longer starts for the "
            "other users of this computer).";
    } else {
        text += ": the new shortcut starts Brightwick for you too.";
    }
    return text;
}

// Before the shortcut of all users is replaced by one with another schedule: every user's logon
// would stop running the schedule it runs now. True when the user agrees, or when there is no
// other schedule to lose.
bool replaceAnotherSchedule(Uses<Messages, const Folders, const Files, const Startup> services,
                            const std::string& applicationFolder, const Shortcut& shortcut) {
    const StartupPlace there =
        inspectStartupFolder(services, StartupFolder::AllUsers, applicationFolder, shortcut);
    if (!there.shortcut || there.shortcut->workingFolder.empty() || there.workingFolderIsOurs) {
        return true;
    }
    const std::string theirs = there.shortcut->workingFolder;
    if (services.messages().message(
            "The Startup folder of all users holds a Brightwick shortcut, " + there.link +
                ", that starts Brightwick with the schedule in " + theirs +
                " at every user's logon. Replace it with one for the schedule in " +
                shortcut.workingFolder + ", which you edit here? The programs of the schedule in " +
                theirs + " then no longer start at logon.",
            Buttons::YesNo) == Answer::Yes) {
        return true;
    }
    services.messages().message(
        "Nothing was deployed: the Brightwick shortcut of all users still starts the "
        "schedule in " +
        theirs + ".");
    return false;
}

void placeShortcut(Uses<Messages, const Programs, Folders, const Files, Startup, Access> services,
                   StartupFolder where, const std::string& applicationFolder,
                   std::string_view success) {
    std::vector<std::string> driveWarnings;
    const Shortcut shortcut = launcherShortcut(services, applicationFolder, &driveWarnings);
    if (where == StartupFolder::AllUsers &&
        !replaceAnotherSchedule(services, applicationFolder, shortcut)) {
        return;
    }
    std::string folder;
    const schedule::Outcome created = services.startup().createShortcut(where, shortcut, folder);
    std::optional<std::string> note;
    if (created) {
        note = enableInStartupList(services, where);
    } else if (created.code == kAccessDenied && where == StartupFolder::AllUsers &&
               !folder.empty()) {
        if (!withAdministratorRights(services, folder, applicationFolder, shortcut, created,
                                     note)) {
            return;
        }
    } else {
        if (folder.empty()) folder = startupFolderWords(where);
        tellNotCreated(services, shortcut, folder, created.error);
        return;
    }
    services.messages().message(success);
    if (note) services.messages().message(*note);
    for (const std::string& warning : driveWarnings) {
        services.messages().message(warning);
    }
    if (const auto twice = doubleStart(services, where, applicationFolder, shortcut)) {
        services.messages().message(*twice);
    }
}

}  // namespace

void deploy(Uses<Messages, Programs, Folders, const Files, Startup, Access> services) {
    std::string MyPath;
    CheckPath(MyPath, services);
    // Before anything runs or is asked: neither Yes nor No could keep their promise, and the
    // user would answer a question for nothing.
    if (!services.files().isFile(MyPath + std::string(kLauncherFile))) {
        services.messages().message(launcherMissing(MyPath));
        return;
    }
    if (!runHelperOrTell(services, kCombineHelper, "Nothing was deployed.")) return;
    if (const auto damaged = damagedPicksMessage(services.folders().scheduleFolder())) {
        services.messages().message(*damaged);
    }
    switch (services.messages().message(kDeployQuestion, Buttons::YesNoCancel)) {
        case Answer::Yes:
            placeShortcut(services, StartupFolder::CurrentUser, MyPath, kDeployedForUser);
            return;
        case Answer::No:
            // Before anything is made: a shortcut from unsafe folders would hand every user's
            // logon to whoever may change them.
            if (const std::optional<std::string> refusal = allUsersRefusal(services, MyPath)) {
                services.messages().message(*refusal);
                return;
            }
            // Whatever the schedule starts, starts with every user's rights.
            if (const std::optional<std::string> refusal = dayFilesRefusal(services)) {
                services.messages().message(*refusal);
                return;
            }
            placeShortcut(services, StartupFolder::AllUsers, MyPath, kDeployedForAll);
            return;
        case Answer::Ok:
        case Answer::Cancel:
            break;
    }
    if (!runHelperOrTell(services, kClearHelper, "The data files may not be clear.")) return;
    services.messages().message(kDeployCancelled);
}

void resetClearList(MainControls& controls, Uses<Messages, Programs, Folders> services) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        controls.setDayTicked(day.checkIndex, false);
    }
    selectResetChoices(controls);
    runHelperOrTell(services, kClearHelper, "The data files may not be clear.");
}

}  // namespace editor
