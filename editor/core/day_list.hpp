// The day list viewer's decisions: which lines of a day file it shows and how, and what a day
// button does to the viewer's controls.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/folder.hpp"
#include "schedule/lines.hpp"

namespace editor {

// How one line of a day file is shown; none for a day name, which is not shown. Every
// comparison is on the whole line, exact and case-sensitive.
std::optional<std::string> shownLine(std::string_view line);

// The lines the viewer shows for the rest of `file`, in order: each line by itself, as
// shownLine gives it.
std::vector<std::string> ReadDayList(schedule::LineSource& file);

// What a day button may change on Form2.
class ViewerControls {
  public:
    // Command1 (index 0, Monday) to Command7 (index 6, Sunday).
    virtual void setDayBold(int index, bool bold) = 0;
    // The lines of the list area, UTF-8; an empty list clears it.
    virtual void setLines(std::vector<std::string> lines) = 0;

  protected:
    ~ViewerControls() = default;
};

// Bytes of a day file (the ANSI code page) to UTF-8.
using DayFileDecoder = std::function<std::string(std::string_view bytes)>;

// The click of a day button, `index` 0 (Monday) to 6 (Sunday): the list cleared, that
// button bold and the other six regular, then the lines of the weekday's day file shown. A
// file that is missing or cannot be read leaves the list empty, without a word: the user
// sees an empty day, which is what a day with nothing scheduled looks like too.
void OnDayButton(int index, ViewerControls& controls, schedule::Folder& folder,
                 const DayFileDecoder& decode);

}  // namespace editor
