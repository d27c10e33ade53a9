// What the main window's handlers may read and change of its controls, named as on the
// window. The Win32 window implements it on its child windows; tests on plain data.
#pragma once

#include <string>
#include <string_view>

namespace editor {

// The four one-row lists of Main.
enum class List {
    List1,  // "AM", "PM"
    List2,  // hour, "01" to "12"
    List3,  // minute, "00", "15", "30", "45"
    List4,  // run style, "Normal", "Hide", "Minimize", "Maximize"
};

// The hidden working fields of Main.
enum class Field {
    Text1,  // full path of the program being scheduled
    Text3,  // hour being written, 24-hour clock
    Text4,  // the pick counter, decimal text
};

class MainControls {
  public:
    // Check1(index), index 0 Monday ... 6 Sunday.
    virtual bool dayTicked(int index) const = 0;
    virtual void setDayTicked(int index, bool ticked) = 0;
    // The text of the list's current item (UTF-8); selecting makes the item with exactly
    // that text the current one.
    virtual std::string currentItem(List list) const = 0;
    virtual void selectItem(List list, std::string_view text) = 0;
    // Dir1's current folder, as the system spells it (a drive root ends in a backslash).
    virtual std::string folderPath() const = 0;
    // Moves Dir1 to `path`, and File1 with it. False, with nothing changed, when the folder
    // cannot be listed.
    virtual bool setFolderPath(std::string_view path) = 0;
    // File1's selected file name without its folder; empty when none is selected.
    virtual std::string selectedFile() const = 0;
    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, std::string_view value) = 0;

  protected:
    ~MainControls() = default;
};

}  // namespace editor
