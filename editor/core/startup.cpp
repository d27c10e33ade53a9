#include "editor/core/startup.hpp"

#include "schedule/pick_file.hpp"

namespace editor {

std::string startingPickCounter(const std::vector<std::string>& fileNames) {
    const unsigned long long highest = schedule::highestPickNumber(fileNames);
    return highest == 0 ? "1" : std::to_string(highest);
}

std::vector<std::string> startFolders(const Services& services) {
    std::vector<std::string> folders{std::string(kStartFolder)};
    if (auto programFiles = services.programFilesFolder()) folders.push_back(*programFiles);
    folders.push_back(services.workingFolder());
    return folders;
}

void loadMain(MainControls& controls, Services& services, const std::function<void()>& show) {
    std::vector<std::string> names;
    if (const schedule::Outcome listed = services.scheduleFolder().fileNames(names); !listed) {
        services.message("The pick files in " + services.workingFolder() +
                         " cannot be read: " + listed.error +
                         ". New picks are numbered from 1 and may replace earlier ones.");
        names.clear();
    }
    controls.setText(Field::Text4, startingPickCounter(names));
    controls.selectItem(List::List2, "12");
    controls.selectItem(List::List3, "00");
    controls.selectItem(List::List1, "PM");
    controls.selectItem(List::List4, "Normal");
    show();

    const std::vector<std::string> folders = startFolders(services);
    for (const std::string& folder : folders) {
        if (controls.setFolderPath(folder)) return;
    }
    std::string tried;
    for (const std::string& folder : folders) tried += "\n" + folder;
    services.message("None of these folders can be shown:" + tried);
}

}  // namespace editor
