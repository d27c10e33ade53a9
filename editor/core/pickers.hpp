// The chain of Main's three pickers: Drive1 (the drives), Dir1 (a folder with its parents
// and subfolders) and File1 (that folder's files). A drive choice moves Dir1 to the folder
// the system keeps for that drive; every move of Dir1 refreshes File1; nothing flows back up
// the chain, and the working folder never changes.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services.hpp"
#include "schedule/path_limit.hpp"

namespace editor {

struct DriveEntry {
    char letter;        // upper case
    std::string label;  // empty when the drive has none; a network drive's share
    bool network = false;
};

// How long the pickers wait for a folder on the network before they give up on it. A mapped
// drive whose server cannot be reached (a laptop away from the office) would otherwise hold
// the window for the redirector's time-outs, tens of seconds.
inline constexpr std::chrono::milliseconds kNetworkAnswerLimit{1000};

// One folder read in one pass: its subfolders and files without the hidden and system
// ones, each sorted by name without regard to case.
struct FolderContents {
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::string error;  // the system's reason when the folder cannot be read
};

// What a path names, as the pickers must know it before they go there.
struct PathEntry {
    enum class Kind { Missing, File, Folder } kind = Kind::Missing;
    bool hiddenOrSystem = false;  // File1 and Dir1 leave such entries out of their lists
    std::string name;             // its last part as the file system spells it; empty at a root
    std::string error;            // the system's reason when it cannot be asked about
};

// What the pickers ask of the file system; UTF-8 paths.
class FileSystem {
  public:
    // Without asking any network drive: its label is the share it stands for, as the system
    // keeps the mapping.
    virtual std::vector<DriveEntry> drives() = 0;
    // The current folder the system keeps for a drive (its root unless one was recorded).
    virtual std::string driveCurrentFolder(char letter) = 0;
    // Reads `folder`, waiting for its answer no longer than `limit` when one is given; none
    // when the limit passed first.
    virtual std::optional<FolderContents> contents(
        std::string_view folder, std::optional<std::chrono::milliseconds> limit) = 0;
    // What the full path `path` (without a trailing backslash but at a root) names.
    virtual PathEntry entry(std::string_view path) = 0;

  protected:
    ~FileSystem() = default;
};

// One line of Dir1.
struct FolderEntry {
    std::string name;  // as shown: "C:\" for a root, else the folder's own name
    std::string path;  // the folder it opens
    int level;         // indentation: 0 for the root
    bool open;         // the root, the parents and the current folder itself
    friend bool operator==(const FolderEntry&, const FolderEntry&) = default;
};

// What the pickers show; the window implements it on its controls.
class PickerView {
  public:
    virtual void showDrives(const std::vector<std::string>& captions) = 0;
    virtual void selectDrive(int index) = 0;  // -1: none
    // Dir1 at `path`, `current` being the index of the folder's own line.
    virtual void showFolder(std::string_view path, const std::vector<FolderEntry>& entries,
                            int current) = 0;
    // File1 at `path` with these names, none of them selected.
    virtual void showFiles(std::string_view path, const std::vector<std::string>& names) = 0;
    // File1's line `index` selected and in view.
    virtual void selectFile(int index) = 0;

  protected:
    ~PickerView() = default;
};

// Drive1's line for a drive: "c: [label]", or "c:" without a label.
std::string driveCaption(const DriveEntry& drive);

// The drive letter a path starts with ("C:..."), upper case; 0 for other paths.
char driveLetterOf(std::string_view path);

// A folder path without trailing backslashes, except that a root keeps its one: "C:\",
// "\\server\share\".
std::string normalFolderPath(std::string_view path);

// How long a read of `folder` may take before the pickers give up on it: a network folder (a
// "\\server\share" path, or one on a network drive among `drives`) gets
// kNetworkAnswerLimit; any other folder is waited for, since a local disc that spins up
// answers in the end.
std::optional<std::chrono::milliseconds> answerLimit(std::string_view folder,
                                                     const std::vector<DriveEntry>& drives);

// Why the pickers cannot show the normalised full path `path` whatever it names: it does not
// start with a drive letter, or its drive is not among `drives`; the end of a sentence that
// names it, none when they can.
std::optional<std::string> outsideDriveList(std::string_view path,
                                            const std::vector<DriveEntry>& drives);

// Whether a normalised full path is too long to show (schedule::kLongestPath): a folder to
// list, through the pattern "folder\*", or a file to pick, whose program line is the folder,
// one backslash and the name.
bool tooLongToShow(std::string_view path, PathEntry::Kind kind);

// Dir1's lines for the folder `path` (normalised): its root and parents as open folders,
// each one level deeper, the folder itself open, and then its subfolders one more level in.
std::vector<FolderEntry> folderEntries(std::string_view path,
                                       const std::vector<std::string>& subfolders);

class Pickers {
  public:
    Pickers(FileSystem& fileSystem, PickerView& view, Messages& messages)
        : fileSystem_(fileSystem), view_(view), messages_(messages) {}

    // Fills Drive1 with the drives and shows the drive of `workingFolder`.
    void start(std::string_view workingFolder);

    // Drive1 read again, after a drive came or went: the drive it shows stays selected, or
    // none when it is gone.
    void refreshDrives();

    // Dir1 and File1 to `path`. On failure nothing changes.
    schedule::Outcome moveTo(std::string_view path);

    // The user chose Drive1's line `index`. A drive whose folder cannot be read is reported by
    // name, and Drive1 returns to the drive Dir1 shows. A network drive that does not answer
    // is asked once, never for its root as well, so the window waits no longer than
    // kNetworkAnswerLimit.
    void chooseDrive(int index);

    // The user opened Dir1's line `index`; a folder that cannot be read is reported.
    void openFolder(int index);

    // Drive1, Dir1 and File1 to a file or folder that the user brought from elsewhere, as if
    // the user had walked there: a file's folder with the file selected, or a folder. Refused,
    // with nothing changed, where the pickers cannot show it: a hidden or system file, which
    // File1 does not list, a path without a drive letter or on a drive that Drive1 does not
    // list, a path too long; the failure is a sentence that names the path.
    schedule::Outcome goTo(std::string_view path);

    const std::string& folder() const { return folder_; }
    int shownDrive() const { return shownDrive_; }

  private:
    // Drive1 filled with the drives there are now, `selected` (a letter) chosen when there.
    void showDrives(char selected);
    int driveIndex(char letter) const;
    // Reads a normalised folder into `contents`; `answered` turns false when it did not
    // answer in time.
    schedule::Outcome read(const std::string& folder, FolderContents& contents, bool& answered);
    void show(const std::string& folder, const FolderContents& contents);

    FileSystem& fileSystem_;
    PickerView& view_;
    Messages& messages_;
    std::vector<DriveEntry> drives_;
    int shownDrive_ = -1;
    std::string folder_;
    std::vector<FolderEntry> entries_;
};

}  // namespace editor
