#include "editor/core/browse.hpp"

namespace editor {

void browseForProgram(Pickers& pickers, ProgramChooser& chooser, Uses<Messages> services) {
    std::optional<std::string> chosen;
    if (const schedule::Outcome shown = chooser.chooseProgram(pickers.folder(), chosen); !shown) {
        services.messages().message("The Open dialog cannot be shown: " + shown.error + ".");
        return;
    }
    if (!chosen) return;
    if (const schedule::Outcome went = pickers.goTo(*chosen); !went)
        services.messages().message(went.error);
}

void showDropped(Pickers& pickers, Uses<Messages> services, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    const schedule::Outcome went = pickers.goTo(paths.front());
    if (paths.size() == 1) {
        if (!went) services.messages().message(went.error);
        return;
    }
    // One program is picked at a time; which one was taken must not be left to a guess.
    const std::string others = std::to_string(paths.size() - 1);
    const std::string leftOut =
        paths.size() == 2 ? "the other one was left out" : "the other " + others + " were left out";
    if (!went) {
        services.messages().message(
            went.error + " It was the first of " + std::to_string(paths.size()) +
            " items dropped on Norvell, and " + leftOut + ". Please drop one program at a time.");
        return;
    }
    services.messages().message(
        std::to_string(paths.size()) +
        " items were dropped on Norvell, which picks one program at a time: the "
        "pickers show the first, " +
        paths.front() + ", and " + leftOut + ".");
}

}  // namespace editor
