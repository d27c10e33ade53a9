#include "schedule/folder.hpp"

namespace schedule {

Outcome Folder::readFileInParts(std::string_view name,
                                const std::function<void(std::string_view)>& take) {
    std::string bytes;
    Outcome read = readFile(name, bytes);
    if (read && !bytes.empty()) take(bytes);
    return read;
}

std::string temporaryNameFor(std::string_view name) {
    std::string temporary(name);
    temporary += ".tmp";
    return temporary;
}

std::string temporaryNameFor(std::string_view name, unsigned long writer) {
    std::string temporary(name);
    temporary += '.';
    temporary += std::to_string(writer);
    temporary += ".tmp";
    return temporary;
}

namespace {
// Writes `temporary` and then renames it to `name` the way `rename` does, trying the rename
// again for a while when another process holds a file for a moment.
Outcome writeThenRename(Folder& folder, std::string_view name, std::string_view bytes,
                        std::string_view temporary,
                        Outcome (Folder::*rename)(std::string_view, std::string_view)) {
    Outcome outcome = folder.writeFile(temporary, bytes);
    if (outcome) {
        for (int attempt = 1;; ++attempt) {
            outcome = (folder.*rename)(temporary, name);
            if (outcome || !outcome.busy || attempt == kReplaceAttempts) break;
            folder.pause(kReplacePause);
        }
    }
    if (!outcome) folder.removeFile(temporary);
    return outcome;
}
}  // namespace

Outcome writeFileAtomically(Folder& folder, std::string_view name, std::string_view bytes,
                            std::string_view temporary) {
    const std::string own = temporary.empty() ? temporaryNameFor(name) : std::string(temporary);
    return writeThenRename(folder, name, bytes, own, &Folder::replaceFile);
}

Outcome writeNewFile(Folder& folder, std::string_view name, std::string_view bytes,
                     std::string_view temporary) {
    return writeThenRename(folder, name, bytes, temporary, &Folder::renameIfFree);
}

}  // namespace schedule
