#include "editor/core/help.hpp"

#include "editor/core/check_path.hpp"

namespace editor::help {

namespace {
void openDocument(std::string_view document, Services& services) {
    const std::string failure =
        services.start(documentCommandLine(document, services), schedule::kShowNormal);
    if (!failure.empty()) {
        services.message("notepad.exe could not be started to show " + std::string(document) +
                         ": " + failure);
    }
}
}  // namespace

std::string documentCommandLine(std::string_view document, const Services& services) {
    std::string folder;
    CheckPath(folder, services);
    return "notepad.exe \"" + folder + std::string(document) + "\"";
}

void About(Services& services, const std::function<std::string()>& show) {
    const std::string failure = show();
    if (!failure.empty()) services.message("The About window cannot be opened: " + failure);
}

void Readme(Services& services) {
    openDocument(kReadmeFile, services);
}

void Disc(Services& services) {
    openDocument(kLicenseFile, services);
}

}  // namespace editor::help
