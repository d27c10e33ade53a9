#include "editor/core/pickers.hpp"

#include <algorithm>
#include <utility>

#include "schedule/ascii.hpp"

namespace editor {

namespace {
bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

using namespace std::chrono_literals;
static_assert(kNetworkAnswerLimit == 1s, "the reason below names the limit");
constexpr std::string_view kNoAnswer = "the network did not answer within a second";

// The length of the root at the start of a normalised path: "C:\" or "\\server\share\";
// 0 when the path has none.
std::size_t rootLength(std::string_view path) {
    if (driveLetterOf(path) != 0) return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        const std::size_t server = path.find('\\', 2);
        if (server == std::string_view::npos) return path.size();
        const std::size_t share = path.find('\\', server + 1);
        return share == std::string_view::npos ? path.size() : share + 1;
    }
    return 0;
}
}  // namespace

std::string driveCaption(const DriveEntry& drive) {
    std::string caption{schedule::lowerAscii(drive.letter), ':'};
    if (!drive.label.empty()) caption += " [" + drive.label + "]";
    return caption;
}

char driveLetterOf(std::string_view path) {
    if (path.size() < 2 || path[1] != ':') return 0;
    const char letter = schedule::upperAscii(path[0]);
    return letter >= 'A' && letter <= 'Z' ? letter : '\0';
}

std::string normalFolderPath(std::string_view path) {
    std::string normal;
    normal.reserve(path.size() + 1);
    for (char c : path) normal += isSeparator(c) ? '\\' : c;
    if (normal.size() == 2 && driveLetterOf(normal) != 0) normal += '\\';
    const std::size_t root = rootLength(normal);
    while (normal.size() > root && normal.back() == '\\') normal.pop_back();
    if (root > 0 && normal.size() == root && normal.back() != '\\') normal += '\\';
    return normal;
}

std::optional<std::chrono::milliseconds> answerLimit(std::string_view folder,
                                                     const std::vector<DriveEntry>& drives) {
    if (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1])) {
        return kNetworkAnswerLimit;
    }
    const char letter = driveLetterOf(folder);
    for (const DriveEntry& drive : drives) {
        if (drive.letter == letter && drive.network) return kNetworkAnswerLimit;
    }
    return std::nullopt;
}

std::optional<std::string> outsideDriveList(std::string_view path,
                                            const std::vector<DriveEntry>& drives) {
    if (path.starts_with("\\\\") && !path.starts_with("\\\\?\\") && !path.starts_with("\\\\.\\")) {
        return "it is on a network share, and the drive list shows drives with a letter only; map "
               "the share to a drive letter (in Explorer: This PC, Map network drive) and choose "
               "it there";
    }
    const char letter = driveLetterOf(path);
    bool full = letter != 0 && path.size() >= 3 && path[2] == '\\';
    // Every part a name: Dir1 shows each one as a folder of its own.
    for (std::size_t start = 3; full && start < path.size();) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        full = !part.empty() && part != "." && part != "..";
        start = end + 1;
    }
    if (!full) return std::string("it is not a full path that starts with a drive letter");
    for (const DriveEntry& drive : drives) {
        if (drive.letter == letter) return std::nullopt;
    }
    return "drive " + std::string{letter, ':'} +
           " is not in the drive list, which holds the drives that are there now; if you "
           "connected it just now, wait until Windows shows it and look again";
}

bool tooLongToShow(std::string_view path, PathEntry::Kind kind) {
    using schedule::kLongestPath;
    const std::size_t length = schedule::utf16Length(path);
    if (kind == PathEntry::Kind::Folder) {
        return length + (path.ends_with('\\') ? 1 : 2) > kLongestPath;
    }
    // A file in a root gets a second backslash in its program line.
    return length + (path.find_last_of('\\') == 2 ? 1 : 0) > kLongestPath;
}

std::vector<FolderEntry> folderEntries(std::string_view path,
                                       const std::vector<std::string>& subfolders) {
    std::vector<FolderEntry> entries;
    const std::size_t root = rootLength(path);
    int level = 0;
    if (root > 0)
        entries.push_back(
            {std::string(path.substr(0, root)), std::string(path.substr(0, root)), level++, true});
    std::size_t start = root;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        entries.push_back({std::string(path.substr(start, end - start)),
                           std::string(path.substr(0, end)), level++, true});
        start = end + 1;
    }
    const std::string prefix =
        path.empty() || path.back() == '\\' ? std::string(path) : std::string(path) + '\\';
    for (const std::string& name : subfolders) {
        entries.push_back({name, prefix + name, level, false});
    }
    return entries;
}

void Pickers::start(std::string_view workingFolder) {
    showDrives(driveLetterOf(workingFolder));
}

void Pickers::refreshDrives() {
    const bool shown = shownDrive_ >= 0 && shownDrive_ < static_cast<int>(drives_.size());
    showDrives(shown ? drives_[static_cast<std::size_t>(shownDrive_)].letter : '\0');
}

void Pickers::showDrives(char selected) {
    drives_ = fileSystem_.drives();
    std::vector<std::string> captions;
    captions.reserve(drives_.size());
    for (const DriveEntry& drive : drives_) captions.push_back(driveCaption(drive));
    view_.showDrives(captions);
    shownDrive_ = driveIndex(selected);
    view_.selectDrive(shownDrive_);
}

schedule::Outcome Pickers::moveTo(std::string_view path) {
    const std::string folder = normalFolderPath(path);
    FolderContents contents;
    bool answered = true;
    schedule::Outcome outcome = read(folder, contents, answered);
    if (outcome) show(folder, contents);
    return outcome;
}

void Pickers::chooseDrive(int index) {
    if (index < 0 || index >= static_cast<int>(drives_.size())) return;
    const char letter = drives_[static_cast<std::size_t>(index)].letter;
    std::string folder = normalFolderPath(fileSystem_.driveCurrentFolder(letter));
    FolderContents contents;
    bool answered = true;
    schedule::Outcome outcome = read(folder, contents, answered);
    // A recorded folder that has gone since: the drive's root still shows the drive. A drive
    // that did not answer has had its time.
    const std::string root{letter, ':', '\\'};
    if (!outcome && answered && folder != root) {
        folder = root;
        outcome = read(folder, contents, answered);
    }
    if (outcome) {
        show(folder, contents);
        shownDrive_ = index;
        return;
    }
    messages_.message("Drive " + std::string{letter, ':'} + " cannot be shown: " + outcome.error +
                      ".");
    shownDrive_ = driveIndex(driveLetterOf(folder_));
    view_.selectDrive(shownDrive_);
}

void Pickers::openFolder(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    const std::string path = entries_[static_cast<std::size_t>(index)].path;
    if (path == folder_) return;
    if (const schedule::Outcome moved = moveTo(path); !moved) {
        messages_.message("The folder " + path + " cannot be opened: " + moved.error + ".");
    }
}

schedule::Outcome Pickers::goTo(std::string_view given) {
    const std::string path = normalFolderPath(given);
    const auto refused = [&](std::string_view reason) {
        return schedule::Outcome::failure(
            path + " cannot be shown in the pickers: " + std::string(reason) + ".");
    };
    // Asked before the file system is: a share without a letter would be asked over the
    // network for nothing.
    std::optional<std::string> outside = outsideDriveList(path, drives_);
    if (outside && driveLetterOf(path) != 0 && driveIndex(driveLetterOf(path)) < 0) {
        // A drive that came without the window hearing of it (a subst made meanwhile).
        refreshDrives();
        outside = outsideDriveList(path, drives_);
    }
    if (outside) return refused(*outside);
    const PathEntry found = fileSystem_.entry(path);
    if (!found.error.empty()) return refused(found.error);
    if (found.kind == PathEntry::Kind::Missing) {
        return refused("there is no file or folder of that name");
    }
    if (tooLongToShow(path, found.kind)) {
        return refused("its path is longer than " + std::to_string(schedule::kLongestPath) +
                       " characters, the most that Norvell and Brightwick can use");
    }
    if (found.kind == PathEntry::Kind::File && found.hiddenOrSystem) {
        return refused("it is a hidden or system file, which the file list does not show");
    }
    const bool file = found.kind == PathEntry::Kind::File;
    const std::size_t lastSeparator = path.find_last_of('\\');
    const std::string folder = file ? normalFolderPath(path.substr(0, lastSeparator)) : path;
    FolderContents contents;
    bool answered = true;
    if (const schedule::Outcome outcome = read(folder, contents, answered); !outcome) {
        return schedule::Outcome::failure("The folder " + folder +
                                          " cannot be opened: " + outcome.error + ".");
    }
    int fileIndex = -1;
    if (file) {
        const std::string name = found.name.empty() ? path.substr(lastSeparator + 1) : found.name;
        const auto listed = std::find(contents.files.begin(), contents.files.end(), name);
        if (listed == contents.files.end()) {
            return refused("the file list of its folder does not show it");
        }
        fileIndex = static_cast<int>(listed - contents.files.begin());
    }
    show(folder, contents);
    if (file) view_.selectFile(fileIndex);
    // Unlike a move of Dir1 alone, this brings Drive1 along: the user went there as a whole.
    shownDrive_ = driveIndex(driveLetterOf(folder));
    view_.selectDrive(shownDrive_);
    return schedule::Outcome::success();
}

schedule::Outcome Pickers::read(const std::string& folder, FolderContents& contents,
                                bool& answered) {
    std::optional<FolderContents> answer =
        fileSystem_.contents(folder, answerLimit(folder, drives_));
    answered = answer.has_value();
    if (!answer) return schedule::Outcome::failure(std::string(kNoAnswer));
    if (!answer->error.empty()) return schedule::Outcome::failure(std::move(answer->error));
    contents = std::move(*answer);
    return schedule::Outcome::success();
}

void Pickers::show(const std::string& folder, const FolderContents& contents) {
    folder_ = folder;
    entries_ = folderEntries(folder_, contents.folders);
    const int current = static_cast<int>(entries_.size() - contents.folders.size()) - 1;
    view_.showFolder(folder_, entries_, current);
    view_.showFiles(folder_, contents.files);
}

int Pickers::driveIndex(char letter) const {
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i].letter == letter) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace editor
