// The day list viewer's decisions: which lines of a day file it shows and how, how they group
// into the entries a user selects, and what a day button does to the viewer's controls.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/core/services.hpp"
#include "schedule/lines.hpp"
#include "schedule/record.hpp"

namespace editor {

// How one line of a day file is shown; none for a day name, which is not shown. Every
// comparison is on the whole line, exact and case-sensitive.
std::optional<std::string> shownLine(std::string_view line);

// What a record's program line comes to at logon, as far as can be told beforehand.
enum class ProgramState {
    Found,
    NotFound,     // it names nothing the system would start
    PathTooLong,  // it names a file by a path that Windows starts nothing by
    // It names no file, and its first word is part of a path with blanks: never started, lest
    // a program at that word start instead.
    Unquoted,
    NeverStarts,  // its time or run style is none the launcher knows (schedule::recordDamage)
};

// One entry of the viewer's list: what one record of the day file shows.
struct DayEntry {
    std::vector<std::string> lines;          // as shownLine gives them, UTF-8
    std::optional<schedule::Record> record;  // the four lines, when the entry is a whole record
    int recordIndex = -1;                    // its place among the file's whole records
    ProgramState program = ProgramState::Found;
    // A turned-off record: its pick file's name in schedule::kTurnedOffFolder. Such entries
    // follow the day file's, and their first line ends in kOffMark.
    bool off = false;
    std::string offPick{};
    friend bool operator==(const DayEntry&, const DayEntry&) = default;
};

// How a turned-off record's first line ends.
inline constexpr std::string_view kOffMark = " (off)";

// How a record's program line (UTF-8) stands.
ProgramState programState(std::string_view programLine, Uses<const Programs, const Files> services);
// How a whole record stands: a damaged time or run style before anything its program line says.
ProgramState recordState(const schedule::Record& record,
                         Uses<const Programs, const Files> services);

// The entries of the rest of `file`: its lines four at a time, as the launcher reads records,
// each line shown by itself as shownLine gives it. A last group of fewer than four lines is
// an entry without a record; a group that shows no line at all is none.
std::vector<DayEntry> ReadDayList(schedule::LineSource& file);

// The lines the entries show, in order, as the list draws them.
std::vector<std::string> shownLines(const std::vector<DayEntry>& entries);

// What a day button may change on Form2.
class ViewerControls {
  public:
    // Command1 (index 0, Monday) to Command7 (index 6, Sunday).
    virtual void setDayBold(int index, bool bold) = 0;
    // The entries of the list area; none clears it.
    virtual void setEntries(std::vector<DayEntry> entries) = 0;

  protected:
    ~ViewerControls() = default;
};

// The entries of a weekday's day file (index 0 Monday ... 6 Sunday), decoded from the ANSI
// code page, each program checked (programState); none when the file is missing or cannot be
// read. The day's turned-off records follow (turnedOffEntries).
std::vector<DayEntry> readDay(int index, Uses<const Programs, Folders, const Files> services);

// The turned-off records of a weekday, in pick order: each pick file of that day in
// schedule::kTurnedOffFolder that holds one whole record. None when there are none or the
// folder cannot be read.
std::vector<DayEntry> turnedOffEntries(int index,
                                       Uses<const Programs, Folders, const Files> services);

// The click of a day button, `index` 0 (Monday) to 6 (Sunday): the list cleared, that
// button bold and the other six regular, then the entries of the weekday's day file shown. A
// file that is missing or cannot be read leaves the list empty, without a word: the user
// sees an empty day, which is what a day with nothing scheduled looks like too.
void OnDayButton(int index, ViewerControls& controls,
                 Uses<const Programs, Folders, const Files> services);

}  // namespace editor
