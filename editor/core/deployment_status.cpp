#include "editor/core/deployment_status.hpp"

#include <array>
#include <vector>

#include "editor/core/check_path.hpp"
#include "editor/core/program_safety.hpp"
#include "editor/core/wording.hpp"
#include "schedule/helpers.hpp"
#include "schedule/path_limit.hpp"
#include "schedule/pick_file.hpp"
#include "schedule/weekday.hpp"

namespace editor {

namespace {

std::string linkIn(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder + std::string(kLauncherLinkFile);
}

// The answer to the deploy question that puts the shortcut into `where`.
std::string deployAgain(StartupFolder where) {
    return std::string("deploy again (click \"Ready to Deploy...\" and answer ") +
           (where == StartupFolder::CurrentUser ? "Yes" : "No") + ").";
}

// What the shortcut in `place` does, one fact a line.
std::vector<std::string> facts(const StartupPlace& place, const std::string& ourLauncher,
                               const std::string& ourFolder) {
    if (!place.shortcutError.empty()) {
        return {"There is a file " + std::string(kLauncherLinkFile) +
                ", but Windows cannot read it as a shortcut: " + withFullStop(place.shortcutError)};
    }
    if (!place.shortcut) return {"There is no Brightwick shortcut."};
    const Shortcut& link = *place.shortcut;
    std::vector<std::string> lines{"The shortcut " + std::string(kLauncherLinkFile) + " is there."};
    if (link.target.empty()) {
        lines.push_back("It names no program to start.");
    } else if (!place.targetExists) {
        lines.push_back("It starts " + link.target + ", which does not exist.");
    } else if (place.targetIsOurs) {
        lines.push_back("It starts " + link.target + ", this editor's " +
                        std::string(kLauncherFile) + ".");
    } else {
        lines.push_back("It starts " + link.target + ", which is not this editor's " +
                        std::string(kLauncherFile) + " (" + ourLauncher + ").");
    }
    if (link.workingFolder.empty()) {
        lines.push_back("It names no working folder, where Brightwick would find the schedule.");
    } else if (place.workingFolderIsOurs) {
        lines.push_back("It starts it in " + link.workingFolder +
                        ", this editor's working folder, where the schedule you edit here is.");
    } else {
        lines.push_back("It starts it in " + link.workingFolder +
                        ", which is not this editor's working folder (" + ourFolder +
                        "): at logon Brightwick reads the schedule there, not the one you edit "
                        "here.");
    }
    if (!place.listError.empty()) {
        lines.push_back("Whether Windows' startup list lets it start cannot be read: " +
                        withFullStop(place.listError));
    } else if (place.listState == StartupListState::Disabled) {
        lines.push_back(
            "Windows' startup list has it disabled: Windows does not start it at "
            "logon.");
    } else {
        lines.push_back("Windows' startup list lets it start at logon.");
    }
    return lines;
}

std::string removeSecond(const StartupPlace& second) {
    std::string text =
        "Brightwick starts twice at each logon, once from each Startup folder, so "
        "every due program starts twice: remove the second shortcut, " +
        second.link;
    if (second.where == StartupFolder::AllUsers) {
        text +=
            " (this needs administrator rights, and Brightwick then no longer starts for "
            "the other users of this computer)";
    }
    return text + ".";
}

// What to do about the shortcut in `place`, if anything; `other` is the other Startup folder.
std::vector<std::string> remedies(const StartupPlace& place, const StartupPlace& other,
                                  const std::string& ourLauncher) {
    const std::string where = startupFolderWords(place.where);
    if (!place.shortcutError.empty()) {
        return {"The file " + place.link +
                " is not a shortcut Windows can read, so Brightwick "
                "does not start from it: " +
                deployAgain(place.where)};
    }
    if (!place.shortcut) return {};
    const Shortcut& link = *place.shortcut;
    std::vector<std::string> todo;
    std::vector<std::string> wrong;
    if (link.target.empty()) {
        wrong.push_back("names no program");
    } else if (!place.targetExists) {
        wrong.push_back("starts " + link.target + ", which does not exist");
    } else if (!place.targetIsOurs) {
        wrong.push_back("starts " + link.target + " instead of " + ourLauncher);
    }
    if (link.workingFolder.empty()) {
        wrong.push_back("names no working folder, so Brightwick would not find the schedule");
    } else if (!place.workingFolderIsOurs) {
        wrong.push_back("reads the schedule in " + link.workingFolder +
                        " instead of the one you edit here");
    }
    if (!wrong.empty()) {
        todo.push_back("The shortcut in " + where + " " + joined(wrong) + ": " +
                       deployAgain(place.where));
    }
    if (!place.listError.empty()) {
        todo.push_back(
            "Look for Brightwick in Task Manager's Startup apps (press "
            "Ctrl+Shift+Esc) and enable it if it is disabled: whether the shortcut in " +
            where + " may start could not be read.");
    } else if (place.listState == StartupListState::Disabled) {
        if (other.starts()) {
            todo.push_back("The shortcut in " + where +
                           " is disabled in Windows' startup list, and Brightwick starts from the "
                           "one in " +
                           startupFolderWords(other.where) + ": remove the disabled one, " +
                           place.link +
                           ", so that enabling it by mistake cannot start Brightwick "
                           "twice.");
        } else {
            std::string text = "The shortcut in " + where +
                               " is disabled in Windows' startup list, so Windows does not start "
                               "Brightwick at logon: enable it in Task Manager's Startup apps "
                               "(press Ctrl+Shift+Esc, choose Startup apps, select Brightwick and "
                               "click Enable)";
            text += place.where == StartupFolder::CurrentUser
                        ? ", or deploy again with Yes, which enables it."
                        : ".";
            todo.push_back(std::move(text));
        }
    }
    return todo;
}

// Due programs named one by one in what to do; the rest are counted.
constexpr std::size_t kNamedPrograms = 5;

// Where the user finds a record of the day file `dayFile`: "in Show List under Monday".
std::string whereListed(std::string_view dayFile) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        if (day.dayFile == dayFile) return "in Show List under " + std::string(day.dayLine);
    }
    return "in Show List";
}

// What to do about one due program that the last logon did not start.
std::string remedy(const launcher::NotStarted& program, const std::string& where) {
    const std::string told =
        "\"" + program.program + "\" was not started at the last logon: " + program.reason + ". ";
    const std::string remove = "remove its record " + where + " (select it and press Del)";
    if (program.unknownStyle) {
        return "\"" + program.program + "\" was not started at the last logon: " + program.reason +
               ". Pick the program again with a run style from the list, and " + remove + ".";
    }
    if (schedule::pathTooLong(program.program)) {
        return told +
               "Move the program to a folder with a shorter path, or give it a shorter name, pick "
               "it there, and " +
               remove + ".";
    }
    return told + "Check that the program is still at that path, and try it with Start Now " +
           where + " (select it and press Enter); if it is gone for good, " + remove + ".";
}

// What to do about what went wrong at the last logon, if anything.
std::vector<std::string> lastRunRemedies(const launcher::LastRun& last) {
    const std::string showList =
        "click \"Show List\", which builds the day files again from your picks";
    if (last.dayFileNotRead) {
        return {"At the last logon Brightwick could not read the day file " + last.dayFile + ": " +
                *last.dayFileNotRead + ", so it started nothing: " + showList + "."};
    }
    std::vector<std::string> todo;
    const std::string where = whereListed(last.dayFile);
    for (std::size_t i = 0; i < last.notStarted.size() && i < kNamedPrograms; ++i) {
        todo.push_back(remedy(last.notStarted[i], where));
    }
    if (last.notStarted.size() > kNamedPrograms) {
        todo.push_back(std::to_string(last.notStarted.size() - kNamedPrograms) +
                       " more due programs were not started at the last logon: Schedule, Logon "
                       "History names them with their reasons.");
    }
    if (last.incompleteLastRecord) {
        todo.push_back("The day file " + last.dayFile +
                       " ended in an incomplete record at the last logon, which Brightwick passed "
                       "over: " +
                       showList + ".");
    }
    return todo;
}

void addSection(std::string& text, const StartupPlace& place, const std::string& ourLauncher,
                const std::string& ourFolder) {
    const std::string name = capitalized(startupFolderWords(place.where));
    if (place.folder.empty()) {
        text += name + " cannot be found: " + withFullStop(place.folderError) + "\n\n";
        return;
    }
    text += name + " (" + place.folder + "):\n";
    for (const std::string& line : facts(place, ourLauncher, ourFolder)) text += "- " + line + "\n";
    text += "\n";
}

}  // namespace

StartupPlace inspectStartupFolder(Uses<const Folders, const Files, const Startup> services,
                                  StartupFolder where, const std::string& applicationFolder,
                                  const Shortcut& ours) {
    StartupPlace place;
    place.where = where;
    std::string folder;
    if (const schedule::Outcome found = services.startup().startupFolder(where, folder); !found) {
        place.folderError = found.error;
        return place;
    }
    place.folder = folder;
    place.link = linkIn(folder);
    if (const schedule::Outcome read = services.startup().readShortcut(place.link, place.shortcut);
        !read) {
        place.shortcut.reset();
        place.shortcutError = read.error;
        return place;
    }
    if (!place.shortcut) return place;
    const Shortcut& link = *place.shortcut;
    place.targetExists = !link.target.empty() && services.files().isFile(link.target);
    // Deploy spells a mapped network drive as its share; a shortcut made before names the
    // letter. Either is this editor's.
    place.targetIsOurs =
        place.targetExists &&
        (services.files().samePath(link.target, applicationFolder + std::string(kLauncherFile)) ||
         services.files().samePath(link.target, ours.target));
    place.workingFolderIsOurs =
        !link.workingFolder.empty() &&
        (services.files().samePath(link.workingFolder, services.folders().workingFolder()) ||
         services.files().samePath(link.workingFolder, ours.workingFolder));
    std::optional<std::string> entry;
    if (const schedule::Outcome read =
            services.startup().startupListEntry(where, kLauncherLinkFile, entry);
        !read) {
        place.listError = read.error;
    } else {
        place.listState = startupListState(entry);
    }
    return place;
}

bool sameSchedule(Uses<const Files> services, const StartupPlace& first,
                  const StartupPlace& second) {
    if (!first.shortcut || !second.shortcut) return false;
    const std::string& one = first.shortcut->workingFolder;
    const std::string& other = second.shortcut->workingFolder;
    return one.empty() || other.empty() || services.files().samePath(one, other);
}

std::string bothSchedulesRun(const StartupPlace& user, const StartupPlace& allUsers) {
    return "At each logon Brightwick starts twice, once with each of two schedules, and the due "
           "programs of both start: the schedule in " +
           user.shortcut->workingFolder + ", from " + startupFolderWords(user.where) +
           ", and the one in " + allUsers.shortcut->workingFolder + ", from " +
           startupFolderWords(allUsers.where) + ".";
}

const StartupPlace* secondShortcut(Uses<const Files> services, const StartupPlace& user,
                                   const StartupPlace& allUsers) {
    if (!user.starts() || !allUsers.starts()) return nullptr;
    if (!sameSchedule(services, user, allUsers)) return nullptr;
    // The one that is not this editor's goes; of two alike, the user's, since the one of all
    // users starts Brightwick for this user too.
    if (user.isOurs() && !allUsers.isOurs()) return &allUsers;
    return &user;
}

std::optional<std::string> turnedOffSentence(Uses<Folders> services) {
    std::vector<std::string> names;
    services.folders().scheduleFolder().subfolder(schedule::kTurnedOffFolder).fileNames(names);
    std::array<std::size_t, schedule::kWeekdays.size()> perDay{};
    std::size_t all = 0;
    for (const std::string& name : names) {
        if (const auto pick = schedule::parsePickFileName(name)) {
            ++perDay[static_cast<std::size_t>(pick->day.checkIndex)];
            ++all;
        }
    }
    if (all == 0) return std::nullopt;
    std::vector<std::string> days;
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        const std::size_t count = perDay[static_cast<std::size_t>(day.checkIndex)];
        if (count > 0) days.push_back(std::to_string(count) + " on " + std::string(day.dayLine));
    }
    return std::to_string(all) + (all == 1 ? " record is" : " records are") +
           " turned off, so Brightwick does not start " + (all == 1 ? "it" : "them") + ": " +
           joined(days) + ". Turn " + (all == 1 ? "it" : "them") +
           " on again in Show List when you want " + (all == 1 ? "it" : "them") + " to start.";
}

void deploymentStatus(
    Uses<Messages, const Programs, Folders, const Files, const Startup, const Access> services) {
    std::string MyPath;
    CheckPath(MyPath, services);
    const std::string ourLauncher = MyPath + std::string(kLauncherFile);
    const std::string ourFolder = services.folders().workingFolder();
    const Shortcut ours = launcherShortcut(services, MyPath);
    const StartupPlace user =
        inspectStartupFolder(services, StartupFolder::CurrentUser, MyPath, ours);
    const StartupPlace all = inspectStartupFolder(services, StartupFolder::AllUsers, MyPath, ours);

    std::string text =
        "Windows starts Brightwick, which starts your programs, at logon through a shortcut in a "
        "Startup folder. This is what Windows will find.\n\n";
    addSection(text, user, ourLauncher, ourFolder);
    addSection(text, all, ourLauncher, ourFolder);

    std::optional<launcher::LastRun> last;
    std::vector<std::string> lastRunTodo;
    if (const schedule::Outcome read = services.startup().lastLogonRun(last); !read) {
        text += "The logon history of your account cannot be read: " + withFullStop(read.error);
    } else if (!last) {
        text += "Brightwick has not run at a logon of your account yet.";
    } else {
        text += "Brightwick last ran at a logon of your account on " + last->when + ": " +
                last->outcome;
        lastRunTodo = lastRunRemedies(*last);
    }
    text += "\n\n";
    if (const std::optional<std::string> off = turnedOffSentence(services)) text += *off + "\n\n";

    std::vector<std::string> todo;
    if (!user.present() && !all.present()) {
        todo.push_back(
            "Brightwick is not deployed, so nothing starts your programs at logon. To deploy it, "
            "click \"Ready to Deploy...\" and answer Yes for your account or No for all users.");
    }
    const StartupPlace* second = secondShortcut(services, user, all);
    // Two schedules that each start from their own Startup folder are two deployments, not a
    // fault of the one whose schedule is not edited here.
    const bool twoSchedules = user.starts() && all.starts() && !sameSchedule(services, user, all);
    if (twoSchedules) text += bothSchedulesRun(user, all) + "\n\n";
    for (const StartupPlace* place : {&user, &all}) {
        if (place == second) {
            todo.push_back(removeSecond(*second));
            continue;
        }
        if (twoSchedules && !place->workingFolderIsOurs) continue;
        for (std::string& line : remedies(*place, place == &user ? all : user, ourLauncher)) {
            todo.push_back(std::move(line));
        }
    }
    // The schedule here starts at every user's logon: its programs must be safe for all.
    if (all.isOurs()) {
        for (const ProgramProblems& unsafe :
             unsafePrograms(services, scheduledPrograms(services, workingDayFiles(services)))) {
            todo.push_back(programRemedy(services, unsafe));
        }
    }
    todo.insert(todo.end(), lastRunTodo.begin(), lastRunTodo.end());
    if (todo.empty()) {
        text +=
            "All is well: Brightwick starts once at each logon, with the schedule you edit "
            "here.";
    } else {
        text += "What to do:";
        for (const std::string& line : todo) text += "\n- " + line;
    }
    services.messages().message(text);
}

}  // namespace editor
