#include "editor/core/help.hpp"

#include "editor/core/check_path.hpp"

namespace editor::help {

namespace {
void openDocument(std::string_view document, Services& services) {
    std::string folder;
    CheckPath(folder, services);
    const schedule::Outcome started = services.start(
        textEditor(services), "\"" + folder + std::string(document) + "\"", schedule::kShowNormal);
    if (!started) {
        services.message("notepad.exe could not be started to show " + std::string(document) +
                         ": " + started.error + ".");
    }
}
}  // namespace

std::string textEditor(const Services& services) {
    std::string program = services.windowsFolder();
    if (program.empty() || program.back() != '\\') program += '\\';
    return program + "notepad.exe";
}

void About(Services& services, const std::function<schedule::Outcome()>& show) {
    const schedule::Outcome shown = show();
    if (!shown) services.message("The About window cannot be opened: " + shown.error + ".");
}

void Readme(Services& services) {
    openDocument(kReadmeFile, services);
}

void Disc(Services& services) {
    openDocument(kLicenseFile, services);
}

}  // namespace editor::help
