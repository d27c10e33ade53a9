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

Outcome writeFileAtomically(Folder& folder, std::string_view name, std::string_view bytes) {
    const std::string temporary = temporaryNameFor(name);
    Outcome outcome = folder.writeFile(temporary, bytes);
    if (outcome) {
        for (int attempt = 1;; ++attempt) {
            outcome = folder.replaceFile(temporary, name);
            if (outcome || !outcome.busy || attempt == kReplaceAttempts) break;
            folder.pause(kReplacePause);
        }
    }
    if (!outcome) folder.removeFile(temporary);
    return outcome;
}

}  // namespace schedule
