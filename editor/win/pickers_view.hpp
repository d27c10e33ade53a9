// The three pickers on plain Win32 controls: Drive1 a drop-down list, Dir1 a list box that
// draws its folders itself, File1 a list box; and the file system they show, on win32/.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editor/core/pickers.hpp"

namespace editor {

class SystemFileSystem final : public FileSystem {
  public:
    std::vector<DriveEntry> drives() override;
    std::string driveCurrentFolder(char letter) override;
    // A folder with a limit is read on a worker thread while the window keeps painting.
    std::optional<FolderContents> contents(std::string_view folder,
                                           std::optional<std::chrono::milliseconds> limit) override;
    PathEntry entry(std::string_view path) override;
};

// Adds `items` to a list box in order, storage reserved first for a long list.
void addListItems(HWND list, const std::vector<std::string>& items);

// Fills a list box with `items` in order, none selected, with redraw off: a folder of many
// thousand files shows quickly.
void fillListBox(HWND list, const std::vector<std::string>& items);

// The text of a list box's line; empty when there is no such line.
std::wstring listBoxText(HWND list, LRESULT index);

class PickerControls final : public PickerView {
  public:
    void attach(HWND drive1, HWND dir1, HWND file1);

    void showDrives(const std::vector<std::string>& captions) override;
    void selectDrive(int index) override;
    // Dir1's and File1's window text is the folder they show: not drawn by a list box, but
    // readable by WM_GETTEXT as the folder's path, like a property of the control.
    void showFolder(std::string_view path, const std::vector<FolderEntry>& entries,
                    int current) override;
    void showFiles(std::string_view path, const std::vector<std::string>& names) override;
    void selectFile(int index) override;

    // The line height of Dir1 for its font at `dpi`: a folder glyph must fit.
    int folderItemHeight(HFONT font, unsigned dpi) const;
    // One line of Dir1: indented by its level, an open or closed folder, the name.
    void drawFolderItem(const DRAWITEMSTRUCT& item, unsigned dpi) const;

  private:
    HWND drive1_ = nullptr;
    HWND dir1_ = nullptr;
    HWND file1_ = nullptr;
    std::vector<FolderEntry> entries_;
};

}  // namespace editor
