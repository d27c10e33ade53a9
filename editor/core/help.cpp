#include "editor/core/help.hpp"

#include "editor/core/check_path.hpp"

namespace editor::help {

namespace {
void openDocument(std::string_view document, Uses<Messages, Programs, const Folders> services) {
    std::string folder;
    CheckPath(folder, services);
    const schedule::Outcome started = services.programs().start(
        windowsProgram(services, "notepad.exe"), "\"" + folder + std::string(document) + "\"",
        schedule::kShowNormal);
    if (!started) {
        services.messages().message("notepad.exe could not be started to show " +
                                    std::string(document) + ": " + started.error + ".");
    }
}
}  // namespace

void About(Uses<Messages> services, const std::function<schedule::Outcome()>& show) {
    const schedule::Outcome shown = show();
    if (!shown)
        services.messages().message("The About window cannot be opened: " + shown.error + ".");
}

void Readme(Uses<Messages, Programs, const Folders> services) {
    openDocument(kReadmeFile, services);
}

void Disc(Uses<Messages, Programs, const Folders> services) {
    openDocument(kLicenseFile, services);
}

}  // namespace editor::help
