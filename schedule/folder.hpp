// What the schedule core needs of the folder that holds the schedule files. The programs
// hand in the working folder; tests hand in a fake or a temporary folder.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/outcome.hpp"

namespace schedule {

class Folder {
  public:
    // The names of the plain files in the folder, subfolders left out. A folder that does not
    // exist (a subfolder not made yet) holds no files.
    virtual Outcome fileNames(std::vector<std::string>& names) = 0;
    // The names of the subfolders, as fileNames gives the files'.
    virtual Outcome folderNames(std::vector<std::string>& names) = 0;
    virtual Outcome readFile(std::string_view name, std::string& bytes) = 0;
    // Reads `name` part after part, in order, handing each to `take`, so that a large file
    // needs no buffer of its size; an empty file hands nothing. On failure some parts may
    // have been handed already. By default the whole file is read and handed over at once.
    virtual Outcome readFileInParts(std::string_view name,
                                    const std::function<void(std::string_view)>& take);
    // Creates or empties `name` and writes `bytes`; not atomic on its own.
    virtual Outcome writeFile(std::string_view name, std::string_view bytes) = 0;
    // Renames `from` to `to`, replacing `to` in one step when it exists.
    virtual Outcome replaceFile(std::string_view from, std::string_view to) = 0;
    // Renames `from` to `to` only while no file or folder has the name `to`, in any letter
    // case: the test and the rename are one step, so nothing made meanwhile is replaced. A
    // name that is had fails as `taken`, and `from` stays.
    virtual Outcome renameIfFree(std::string_view from, std::string_view to) = 0;
    virtual Outcome removeFile(std::string_view name) = 0;
    // The subfolder `name` as a Folder of its own, alive as long as this one. It need not
    // exist yet: createSubfolder makes it.
    virtual Folder& subfolder(std::string_view name) = 0;
    // Makes the subfolder `name`; success when it is there already.
    virtual Outcome createSubfolder(std::string_view name) = 0;
    // Removes the subfolder `name` when it is empty; one that holds anything stays, and that
    // is a failure.
    virtual Outcome removeSubfolder(std::string_view name) = 0;
    // Moves the file `from` into the subfolder `folder` as `to`, in one step, replacing a file
    // of that name there. On failure the file stays where it was. `from` and `folder` may be
    // paths of several names, separated by backslashes.
    virtual Outcome moveToSubfolder(std::string_view from, std::string_view folder,
                                    std::string_view to) = 0;
    // Waits before another try; fakes return at once.
    virtual void pause(std::chrono::milliseconds duration) = 0;

  protected:
    ~Folder() = default;
};

// How long a replace keeps trying while a reader holds the old file: about half a second.
inline constexpr int kReplaceAttempts = 10;
inline constexpr std::chrono::milliseconds kReplacePause{50};

// Writes `bytes` as `name` so that a reader sees either the old file or the whole new one:
// first under a temporary name in the same folder (`temporary`, temporaryNameFor(name) when
// empty), then renamed over. On failure the old file is untouched and the temporary file
// removed; the error names the system's reason.
Outcome writeFileAtomically(Folder& folder, std::string_view name, std::string_view bytes,
                            std::string_view temporary = {});

// Writes `bytes` as the new file `name`, whole, through `temporary` as writeFileAtomically
// does, but only where nothing has that name: a file or folder of that name is never
// replaced, and the outcome is then `taken` with the folder as it was.
Outcome writeNewFile(Folder& folder, std::string_view name, std::string_view bytes,
                     std::string_view temporary);

// The temporary name used while `name` is written.
std::string temporaryNameFor(std::string_view name);
// The temporary name used while the process `writer` (its id) writes `name`: two programs
// that write the same name at one time never share a temporary file, nor take each other's.
std::string temporaryNameFor(std::string_view name, unsigned long writer);

}  // namespace schedule
