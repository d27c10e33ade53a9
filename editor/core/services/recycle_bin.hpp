// The Recycle Bin, where the editor sends the schedule files it removes.
#pragma once

#include <string_view>

#include "schedule/outcome.hpp"

namespace editor {

class RecycleBin {
  public:
    // Whether the Recycle Bin keeps the files deleted from `folder`: not on a network folder,
    // a removable drive or a drive made by subst.
    virtual bool recycleBinTakes(std::string_view folder) const = 0;
    // Sends the file `path` to the Recycle Bin, with the shell's undo, so that Explorer's
    // Restore brings it back. Where the Recycle Bin cannot take it after all, the shell asks
    // before it deletes the file for good, unless `forGoodAgreed`: the user was told already.
    // Fails, naming why, whenever the file stays, a No to the shell's question too.
    virtual schedule::Outcome recycle(std::string_view path, bool forGoodAgreed) = 0;

  protected:
    ~RecycleBin() = default;
};

}  // namespace editor
