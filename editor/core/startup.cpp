#include "editor/core/startup.hpp"

#include <algorithm>

#include "schedule/ascii.hpp"
#include "schedule/pick_file.hpp"

namespace editor {

namespace {
// Windows names ignore case.
bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return schedule::lowerAscii(x) == schedule::lowerAscii(y);
    });
}
}  // namespace

std::string startingPickCounter(const std::vector<std::string>& fileNames) {
    const unsigned long long highest = schedule::highestPickNumber(fileNames);
    return highest == 0 ? "1" : std::to_string(highest);
}

std::string writeCheckName(unsigned long processId, const std::vector<std::string>& fileNames) {
    const std::string stem = "~norvell" + std::to_string(processId);
    std::string name = stem + ".tmp";
    for (int another = 2;; ++another) {
        const bool taken =
            std::any_of(fileNames.begin(), fileNames.end(),
                        [&](const std::string& file) { return sameName(file, name); });
        if (!taken) return name;
        name = stem + "-" + std::to_string(another) + ".tmp";
    }
}

schedule::Outcome checkWritable(schedule::Folder& folder, std::string_view name) {
    const schedule::Outcome written = folder.writeFile(name, "Norvell can write here.\r\n");
    const schedule::Outcome removed = folder.removeFile(name);
    return written ? removed : written;
}

std::vector<std::string> startFolders(Uses<const Folders> services) {
    std::vector<std::string> folders{std::string(kStartFolder)};
    if (auto programFiles = services.folders().programFilesFolder())
        folders.push_back(*programFiles);
    folders.push_back(services.folders().workingFolder());
    return folders;
}

ScheduleUse loadMain(MainControls& controls, Uses<Messages, Folders, const Files, Access> services,
                     const std::function<void()>& show) {
    std::vector<std::string> names;
    const schedule::Outcome listed = services.folders().scheduleFolder().fileNames(names);
    if (!listed) {
        services.messages().message(
            "The pick files in " + services.folders().workingFolder() +
            " cannot be read: " + listed.error +
            ". New picks are numbered from 1; a number another pick has is passed over.");
        names.clear();
    }
    controls.setText(Field::Text4, startingPickCounter(names));
    controls.selectItem(List::List2, "12");
    controls.selectItem(List::List3, "00");
    controls.selectItem(List::List1, "PM");
    controls.selectItem(List::List4, "Normal");
    show();

    // After the window shows: the check writes a file through to the disc, which the user
    // should not wait for to see the window, and its message then has a window to belong to.
    ScheduleUse use = ScheduleUse::Change;
    if (listed) {
        if (const schedule::Outcome writable =
                checkWritable(services.folders().scheduleFolder(),
                              writeCheckName(services.folders().processId(), names));
            !writable) {
            if (const std::optional<ScheduleUse> shared = offerAdministratorRights(services)) {
                use = *shared;
                if (use == ScheduleUse::HandedOver) return use;
            } else {
                // As where a ZIP was copied into a read-only place: every pick would fail alike.
                services.messages().message(
                    "Norvell cannot write to its working folder " +
                    services.folders().workingFolder() + ": " + writable.error +
                    ". Picks cannot be saved there: put Norvell into a folder of "
                    "your own and start it from there.");
            }
        }
    }

    const std::vector<std::string> folders = startFolders(services);
    for (const std::string& folder : folders) {
        if (controls.setFolderPath(folder)) return use;
    }
    std::string tried;
    for (const std::string& folder : folders) tried += "\n" + folder;
    services.messages().message("None of these folders can be shown:" + tried);
    return use;
}

}  // namespace editor
