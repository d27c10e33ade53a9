#include "editor/core/launcher_shortcut.hpp"

#include "editor/core/wording.hpp"

namespace editor {

namespace {

std::string substituteWarning(const std::string& path, const std::string& realPath) {
    return "Brightwick's shortcut names " + path + ", on drive " + path.substr(0, 2) +
           ", which the subst command made (it stands for " + realPath +
           "). Windows has no such drive at logon until subst runs again, so Brightwick may not "
           "start then. Start Norvell from where the drive leads and deploy again.";
}

std::string networkWarning(const std::string& letter, const std::string& reason) {
    return "Brightwick's shortcut names drive " + letter +
           ":, a network drive whose network path Windows could not tell: " + withFullStop(reason) +
           " Windows reconnects such a drive at logon, possibly after Brightwick has to start, "
           "so Brightwick may not start then. Deploy again while the drive is connected.";
}

}  // namespace

StartupListState startupListState(const std::optional<std::string>& entry) {
    if (!entry) return StartupListState::NoEntry;
    if (entry->empty()) return StartupListState::Enabled;
    return (static_cast<unsigned char>(entry->front()) & 1) != 0 ? StartupListState::Disabled
                                                                 : StartupListState::Enabled;
}

std::string startupFolderWords(StartupFolder where) {
    return where == StartupFolder::CurrentUser ? "the Startup folder of your account"
                                               : "the Startup folder of all users";
}

// A new deployment is the user's wish to start at logon: an entry of Windows' startup list
// that turned the shortcut off is turned on again. What could not be done, for the user.
std::optional<std::string> enableInStartupList(Uses<Startup> services, StartupFolder where) {
    std::optional<std::string> entry;
    if (const schedule::Outcome read =
            services.startup().startupListEntry(where, kLauncherLinkFile, entry);
        !read) {
        return "Whether Windows' startup list lets the shortcut in " + startupFolderWords(where) +
               " start could not be read: " + withFullStop(read.error) + std::string(kEnableIt);
    }
    if (startupListState(entry) != StartupListState::Disabled) return std::nullopt;
    if (const schedule::Outcome set =
            services.startup().setStartupListEntry(where, kLauncherLinkFile, kEnabledStartupEntry);
        !set) {
        return "Windows' startup list has the shortcut in " + startupFolderWords(where) +
               " disabled, and Norvell could not enable it: " + withFullStop(set.error) +
               std::string(kEnableIt);
    }
    return std::nullopt;
}

Shortcut launcherShortcut(Uses<const Folders, const Files> services,
                          const std::string& applicationFolder,
                          std::vector<std::string>* driveWarnings) {
    // The launcher opens the day files by bare name, so it must start in the folder that
    // holds them, wherever the editor itself was started from.
    Shortcut shortcut{std::string(kLauncherName), applicationFolder + std::string(kLauncherFile),
                      "", services.folders().workingFolder()};
    std::string lettersTold;
    for (std::string* path : {&shortcut.target, &shortcut.workingFolder}) {
        const DriveLetter drive = services.files().driveLetter(*path);
        if (drive.kind == DriveLetter::Kind::Local) continue;
        if (drive.kind == DriveLetter::Kind::Network && !drive.path.empty()) {
            *path = drive.path;
            continue;
        }
        const std::string letter = capitalized(path->substr(0, 1));
        if (!driveWarnings || lettersTold.find(letter) != std::string::npos) continue;
        lettersTold += letter;
        driveWarnings->push_back(drive.kind == DriveLetter::Kind::Substitute
                                     ? substituteWarning(*path, drive.path)
                                     : networkWarning(letter, drive.error));
    }
    return shortcut;
}

}  // namespace editor
