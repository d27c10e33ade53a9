// The day list viewer's line rules and its day buttons, against fake controls and a fake
// folder.
#include <gtest/gtest.h>

#include <array>

#include "editor/core/day_list.hpp"
#include "fake_editor.hpp"
#include "schedule/record.hpp"

using editor::ReadDayList;
using editor::shownLine;
using testing_support::FakeServices;

namespace {

std::vector<std::string> shownFor(std::string_view bytes) {
    schedule::LineReader reader(bytes);
    return editor::shownLines(ReadDayList(reader));
}

// Records, in order, what a day button does to Form2.
class FakeViewer final : public editor::ViewerControls {
  public:
    std::array<bool, 7> bold{};
    std::vector<editor::DayEntry> entries{{{"left over"}, std::nullopt, -1}};
    std::vector<std::string> log;

    void setDayBold(int index, bool value) override {
        bold.at(static_cast<std::size_t>(index)) = value;
        log.push_back((value ? "bold " : "regular ") + std::to_string(index));
    }
    void setEntries(std::vector<editor::DayEntry> value) override {
        entries = std::move(value);
        log.push_back("entries " + std::to_string(entries.size()));
    }
    std::vector<std::string> lines() const { return editor::shownLines(entries); }
};

std::string record(const char* time, const char* program, const char* style, const char* day) {
    return schedule::formatRecord({time, program, style, day});
}

}  // namespace

TEST(DayList, EachLineByTheRules) {
    struct Case {
        const char* line;
        const char* shown;  // null: not shown
    };
    const Case cases[] = {
        {"07:30", "Time: 07:30"},
        {"00:00", "Time: 00:00"},
        {"23:45", "Time: 23:45"},
        {"ab:cd", "Time: ab:cd"},  // only the colon's place counts
        {"12:", "Time: 12:"},
        {"1:30", "1:30"},  // colon in the second place
        {"123:4", "123:4"},
        {":", ":"},
        {"Hide", "Run Style - Hide"},
        {"Max", "Run Style - Maximize"},
        {"Min", "Run Style - Minimize"},
        {"Normal", "Run Style - Normal"},
        {"normal", "normal"},
        {"NORMAL", "NORMAL"},
        {"Minimize", "Minimize"},  // the list word is not the stored word
        {"Maximize", "Maximize"},
        {" Hide", " Hide"},
        {"Hide ", "Hide "},
        {"Monday", nullptr},
        {"Tuesday", nullptr},
        {"Wednesday", nullptr},
        {"Thursday", nullptr},
        {"Friday", nullptr},
        {"Saturday", nullptr},
        {"Sunday", nullptr},
        {"monday", "monday"},
        {"Mon", "Mon"},
        {"Sunday ", "Sunday "},
        {"C:\\Normal", "C:\\Normal"},  // the drive's colon is the second character
        {"C:\\Tools\\app.exe", "C:\\Tools\\app.exe"},
        {"C:\\\\app.exe", "C:\\\\app.exe"},
        {"\\\\server\\share\\a.exe", "\\\\server\\share\\a.exe"},
        {"", ""},
        {"ab", "ab"},
        {"a", "a"},
        {"Run Style - Hide", "Run Style - Hide"},
        {"Time: 07:30", "Time: 07:30"},
        // Characters, not bytes: "ä" is two bytes in UTF-8.
        {"\xC3\xA4"
         "b:c",
         "Time: \xC3\xA4"
         "b:c"},
        {"\xC3\xA4:c", "\xC3\xA4:c"},
        {"\xE6\x97\xA5\xE6\x9C\xAC:", "Time: \xE6\x97\xA5\xE6\x9C\xAC:"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> shown = shownLine(c.line);
        if (c.shown) {
            EXPECT_EQ(shown, std::optional<std::string>(c.shown)) << '"' << c.line << '"';
        } else {
            EXPECT_EQ(shown, std::nullopt) << '"' << c.line << '"';
        }
    }
}

TEST(DayList, OneRecordShowsThreeLines) {
    EXPECT_EQ(
        shownFor(record("07:30", "C:\\Tools\\app.exe", "Max", "Monday")),
        (std::vector<std::string>{"Time: 07:30", "C:\\Tools\\app.exe", "Run Style - Maximize"}));
}

TEST(DayList, TwoRecordsShowSixLinesWithNothingBetween) {
    const std::string file = record("07:30", "C:\\Tools\\app.exe", "Max", "Monday") +
                             record("19:45", "D:\\\\game.exe", "Min", "Monday");
    EXPECT_EQ(shownFor(file),
              (std::vector<std::string>{"Time: 07:30", "C:\\Tools\\app.exe", "Run Style - Maximize",
                                        "Time: 19:45", "D:\\\\game.exe", "Run Style - Minimize"}));
}

TEST(DayList, LinesOutsideRecordsAreShownUnchanged) {
    EXPECT_EQ(shownFor("hello\r\n\r\nMonday\r\nnormal\r\nab\r\n"),
              (std::vector<std::string>{"hello", "", "normal", "ab"}));
}

TEST(DayList, EveryKindOfLineEnd) {
    const std::vector<std::string> expected{"Time: 07:30", "C:\\a.exe", "Run Style - Hide"};
    for (const char* file :
         {"07:30\r\nC:\\a.exe\r\nHide\r\nMonday\r\n", "07:30\nC:\\a.exe\nHide\nMonday\n",
          "07:30\rC:\\a.exe\rHide\rMonday", "07:30\r\nC:\\a.exe\nHide\rMonday"}) {
        EXPECT_EQ(shownFor(file), expected) << file;
    }
}

TEST(DayList, EmptyFileShowsNothing) {
    EXPECT_TRUE(shownFor("").empty());
}

TEST(DayButton, ShowsThatDaysFileAndMakesOnlyItsButtonBold) {
    FakeServices services;
    services.folder.files["datsun.dat"] = record("09:00", "C:\\sun.exe", "Normal", "Sunday");
    services.folder.files["datmon.dat"] = record("07:30", "C:\\Tools\\app.exe", "Max", "Monday") +
                                          record("08:00", "C:\\b.exe", "Hide", "Monday");
    FakeViewer viewer;

    editor::OnDayButton(6, viewer, services);
    EXPECT_EQ(viewer.bold, (std::array<bool, 7>{false, false, false, false, false, false, true}));
    EXPECT_EQ(viewer.lines(),
              (std::vector<std::string>{"Time: 09:00", "C:\\sun.exe", "Run Style - Normal"}));

    editor::OnDayButton(0, viewer, services);
    EXPECT_EQ(viewer.bold, (std::array<bool, 7>{true, false, false, false, false, false, false}));
    ASSERT_EQ(viewer.entries.size(), 2u);
    EXPECT_EQ(viewer.lines().front(), "Time: 07:30");
    EXPECT_EQ(viewer.lines().back(), "Run Style - Hide");
}

TEST(DayButton, ClearsFirstThenBoldsThenShows) {
    FakeServices services;
    services.folder.files["datwed.dat"] = record("10:00", "C:\\w.exe", "Min", "Wednesday");
    FakeViewer viewer;
    editor::OnDayButton(2, viewer, services);
    EXPECT_EQ(viewer.log, (std::vector<std::string>{"entries 0", "regular 0", "regular 1", "bold 2",
                                                    "regular 3", "regular 4", "regular 5",
                                                    "regular 6", "entries 1"}));
}

TEST(DayButton, MissingFileLeavesTheListEmptyAndTheButtonBold) {
    FakeServices services;  // no day file at all
    FakeViewer viewer;
    editor::OnDayButton(4, viewer, services);
    EXPECT_TRUE(viewer.entries.empty()) << "what the list showed before is gone";
    EXPECT_EQ(viewer.bold, (std::array<bool, 7>{false, false, false, false, true, false, false}));
}

TEST(DayButton, EmptyFileLeavesTheListEmpty) {
    FakeServices services;
    services.folder.files["datsat.dat"] = "";
    FakeViewer viewer;
    editor::OnDayButton(5, viewer, services);
    EXPECT_TRUE(viewer.entries.empty());
    EXPECT_TRUE(viewer.bold[5]);
}

TEST(DayButton, LinesAreDecodedBeforeTheRulesApply) {
    FakeServices services;
    // "\xE4" is "ä" in the Western ANSI code page; the fake decoder knows only that byte.
    services.folder.files["datthu.dat"] = "07:00\r\nC:\\M\xE4rz.exe\r\nHide\r\nThursday\r\n";
    services.decode = [](std::string_view bytes) {
        std::string text;
        for (char c : bytes) {
            if (c == '\xE4') {
                text += "\xC3\xA4";
            } else {
                text += c;
            }
        }
        return text;
    };
    FakeViewer viewer;
    editor::OnDayButton(3, viewer, services);
    EXPECT_EQ(viewer.lines(),
              (std::vector<std::string>{"Time: 07:00", "C:\\M\xC3\xA4rz.exe", "Run Style - Hide"}));
}

TEST(DayButton, IndexOutsideTheWeekIsRefused) {
    FakeServices services;
    FakeViewer viewer;
    EXPECT_THROW(editor::OnDayButton(7, viewer, services), std::out_of_range);
    EXPECT_THROW(editor::OnDayButton(-1, viewer, services), std::out_of_range);
    EXPECT_EQ(viewer.log.size(), 0u);
}

TEST(DayList, EntriesAreRecordsOfFourLinesAsTheLauncherReadsThem) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::vector<std::string>> lines;  // per entry
        std::vector<int> recordIndexes;               // -1: not a whole record
    };
    const Case cases[] = {
        {"two records",
         record("07:30", "C:\\a.exe", "Max", "Monday") +
             record("08:00", "C:\\b.exe", "Hide", "Monday"),
         {{"Time: 07:30", "C:\\a.exe", "Run Style - Maximize"},
          {"Time: 08:00", "C:\\b.exe", "Run Style - Hide"}},
         {0, 1}},
        {"an incomplete last record",
         record("07:30", "C:\\a.exe", "Max", "Monday") + "09:00\r\n",
         {{"Time: 07:30", "C:\\a.exe", "Run Style - Maximize"}, {"Time: 09:00"}},
         {0, -1}},
        {"a record of day names shows nothing and is no entry",
         "Monday\r\nTuesday\r\nMonday\r\nSunday\r\n" +
             record("10:00", "C:\\c.exe", "Min", "Monday"),
         {{"Time: 10:00", "C:\\c.exe", "Run Style - Minimize"}},
         {1}},
        {"a day line that is no day is shown",
         "07:30\r\nC:\\a.exe\r\nMax\r\nMonnday\r\n",
         {{"Time: 07:30", "C:\\a.exe", "Run Style - Maximize", "Monnday"}},
         {0}},
    };
    for (const Case& c : cases) {
        schedule::LineReader reader(c.file);
        const std::vector<editor::DayEntry> entries = ReadDayList(reader);
        ASSERT_EQ(entries.size(), c.lines.size()) << c.name;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].lines, c.lines[i]) << c.name;
            EXPECT_EQ(entries[i].recordIndex, c.recordIndexes[i]) << c.name;
            EXPECT_EQ(entries[i].record.has_value(), c.recordIndexes[i] >= 0) << c.name;
        }
    }
}

TEST(DayButton, AProgramThatWillNotStartIsMarkedWithWhy) {
    using editor::ProgramState;
    const std::string tooLong = "C:\\Tools\\" + std::string(247, 'a') + ".exe";  // 260
    const std::string fits = "C:\\Tools\\" + std::string(246, 'a') + ".exe";     // 259
    const std::string withArguments = "C:\\Tools\\app.exe " + std::string(260, 'x');
    FakeServices services;
    services.folder.files["datfri.dat"] = record("07:30", "C:\\gone.exe", "Max", "Friday") +
                                          record("08:00", "C:\\here.exe", "Hide", "Friday") +
                                          record("08:00", tooLong.c_str(), "Hide", "Friday") +
                                          record("08:00", fits.c_str(), "Hide", "Friday") +
                                          record("08:00", withArguments.c_str(), "Hide", "Friday") +
                                          "09:00\r\nC:\\gone.exe\r\n";
    services.missingPrograms = {"C:\\gone.exe"};
    // A command line whose program is short: the whole names no file, the program is found.
    services.missingFiles = {withArguments};
    FakeViewer viewer;
    editor::OnDayButton(4, viewer, services);
    ASSERT_EQ(viewer.entries.size(), 6u);
    EXPECT_EQ(viewer.entries[0].program, ProgramState::NotFound);
    EXPECT_EQ(viewer.entries[1].program, ProgramState::Found);
    EXPECT_EQ(viewer.entries[2].program, ProgramState::PathTooLong);
    EXPECT_EQ(viewer.entries[3].program, ProgramState::Found);
    EXPECT_EQ(viewer.entries[4].program, ProgramState::Found);
    EXPECT_EQ(viewer.entries[5].program, ProgramState::Found)
        << "not a record: nothing would start it";
    EXPECT_EQ(viewer.entries[0].lines[1], "C:\\gone.exe") << "the line itself is unchanged";
    EXPECT_EQ(viewer.entries[2].lines[1], tooLong);

    // Unquoted with blanks and naming no file: never started, whatever the first word names;
    // a record whose time or run style is damaged never starts whatever its program.
    services.folder.files["datfri.dat"] =
        record("08:00", "C:\\Tools\\my prog (1).exe", "Hide", "Friday") +
        record("25:99", "C:\\here.exe", "Hide", "Friday") +
        record("08:00", "C:\\here.exe", "Sometimes", "Friday");
    services.missingFiles = {"C:\\Tools\\my prog (1).exe"};
    editor::OnDayButton(4, viewer, services);
    ASSERT_EQ(viewer.entries.size(), 3u);
    EXPECT_EQ(viewer.entries[0].program, ProgramState::Unquoted);
    EXPECT_EQ(viewer.entries[1].program, ProgramState::NeverStarts);
    EXPECT_EQ(viewer.entries[2].program, ProgramState::NeverStarts);
    services.folder.files["datfri.dat"] = record("08:00", tooLong.c_str(), "Hide", "Friday");

    // A long path that names nothing is simply not found.
    services.missingFiles.insert(tooLong);
    services.missingPrograms.insert(tooLong);
    editor::OnDayButton(4, viewer, services);
    EXPECT_EQ(viewer.entries[0].program, ProgramState::NotFound);
}
