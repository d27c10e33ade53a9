// "Pick Program" on plain data: counter, names, bytes, messages and the window afterwards.
#include <gtest/gtest.h>

#include "editor/core/pick.hpp"
#include "fake_editor.hpp"
#include "schedule/folder.hpp"
#include "schedule/pick_file.hpp"

using editor::Field;
using editor::List;
using testing_support::FakeControls;
using testing_support::FakeServices;

namespace {

struct Window {
    FakeControls controls;
    FakeServices services;
    Window() {
        controls.fields[Field::Text4] = "1";  // as after start-up in an empty folder
        controls.current[List::List1] = "PM";
        controls.current[List::List2] = "12";
        controls.folder = "C:\\Tools";
        controls.file = "app.exe";
    }
    void tick(std::initializer_list<int> days) {
        for (int day : days) controls.days[static_cast<std::size_t>(day)] = true;
    }
    void pick() { editor::pickProgram(controls, services); }
    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : services.folder.files) names.push_back(name);
        return names;
    }
};

using Names = std::vector<std::string>;

}  // namespace

TEST(Pick, CounterAndFileNamesFollowTheFirstTickedDay) {
    struct Case {
        std::initializer_list<int> days;
        Names files;
        const char* counter;
    };
    const Case cases[] = {
        {{0}, {"2Mon.dat"}, "2"},
        {{0, 4}, {"2Fri.dat", "2Mon.dat"}, "2"},
        {{2}, {"4Wed.dat"}, "4"},
        {{6}, {"8Sun.dat"}, "8"},
        {{1, 2, 3, 4, 5, 6},
         {"3Fri.dat", "3Sat.dat", "3Sun.dat", "3Thu.dat", "3Tue.dat", "3Wed.dat"},
         "3"},
    };
    for (const Case& c : cases) {
        Window window;
        window.tick(c.days);
        window.pick();
        EXPECT_EQ(window.names(), c.files);
        EXPECT_EQ(window.controls.fields[Field::Text4], c.counter);
        EXPECT_EQ(window.services.log, Names{"message: Program Picked, Next one Please"});
    }
}

TEST(Pick, NoDayTickedAdvancesBySevenAndDoesNothingElse) {
    Window window;
    window.pick();
    EXPECT_EQ(window.controls.fields[Field::Text4], "8");
    EXPECT_TRUE(window.services.log.empty());
    EXPECT_TRUE(window.services.folder.files.empty());
    window.tick({0});
    window.pick();
    EXPECT_EQ(window.names(), Names{"9Mon.dat"});
}

TEST(Pick, NoFileSelectedShowsTheMessageAndKeepsTheNewCounter) {
    Window window;
    window.controls.file.clear();
    window.tick({1});
    window.pick();
    EXPECT_EQ(window.services.log,
              Names{"message: You didn't select any file, please make a selection"});
    EXPECT_EQ(window.controls.fields[Field::Text4], "3");
    EXPECT_TRUE(window.services.folder.files.empty());
    EXPECT_EQ(window.controls.current[List::List1], "PM") << "no reset after the message";
}

TEST(Pick, RecordBytesAreExactlyFourCrLfLines) {
    Window window;
    window.tick({0, 4});
    window.controls.current[List::List2] = "07";
    window.controls.current[List::List3] = "45";
    window.controls.current[List::List1] = "PM";
    window.controls.current[List::List4] = "Minimize";
    window.pick();
    EXPECT_EQ(window.services.folder.files["2Mon.dat"],
              "19:45\r\nC:\\Tools\\app.exe\r\nMin\r\nMonday\r\n");
    EXPECT_EQ(window.services.folder.files["2Fri.dat"],
              "19:45\r\nC:\\Tools\\app.exe\r\nMin\r\nFriday\r\n");
    EXPECT_EQ(window.controls.fields[Field::Text1], "C:\\Tools\\app.exe");
    EXPECT_EQ(window.controls.fields[Field::Text3], "19");
}

TEST(Pick, HourConversionForEveryHourAndHalf) {
    for (int hour = 1; hour <= 12; ++hour) {
        for (const char* half : {"AM", "PM"}) {
            Window window;
            window.tick({0});
            char item[3];
            std::snprintf(item, sizeof item, "%02d", hour);
            window.controls.current[List::List2] = item;
            window.controls.current[List::List1] = half;
            window.pick();
            const int expected =
                std::string(half) == "AM" ? hour % 12 : (hour == 12 ? 12 : hour + 12);
            char line[16];
            std::snprintf(line, sizeof line, "%02d:00\r\n", expected);
            EXPECT_EQ(window.services.folder.files["2Mon.dat"].substr(0, 7), line)
                << item << ' ' << half;
        }
    }
}

TEST(Pick, RunStylesAreStoredShortened) {
    const std::pair<const char*, const char*> styles[] = {
        {"Normal", "Normal"}, {"Hide", "Hide"}, {"Minimize", "Min"}, {"Maximize", "Max"}};
    for (const auto& [listWord, stored] : styles) {
        Window window;
        window.tick({3});
        window.controls.current[List::List4] = listWord;
        window.pick();
        EXPECT_EQ(window.services.folder.files["5Thu.dat"],
                  std::string("12:00\r\nC:\\Tools\\app.exe\r\n") + stored + "\r\nThursday\r\n");
    }
}

TEST(Pick, AnUnknownRunStyleWritesNothingAndNamesTheKnownOnes) {
    Window window;
    window.tick({0});
    window.controls.current[List::List4] = "Minimized";
    window.pick();
    EXPECT_TRUE(window.names().empty());
    EXPECT_EQ(window.services.log,
              (Names{"message: The run style \"Minimized\" is not one of Normal, Hide, Minimize "
                     "and Maximize. Nothing was written."}));
}

TEST(Pick, DriveRootGetsTwoBackslashes) {
    Window window;
    window.controls.folder = "D:\\";
    window.tick({0});
    window.pick();
    EXPECT_EQ(window.services.folder.files["2Mon.dat"],
              "12:00\r\nD:\\\\app.exe\r\nNormal\r\nMonday\r\n");
}

TEST(Pick, AfterAPickAllDaysTickedAndTwelveAmNormal) {
    Window window;
    window.tick({2});
    window.controls.current[List::List4] = "Hide";
    window.pick();
    for (bool day : window.controls.days) EXPECT_TRUE(day);
    EXPECT_EQ(window.controls.current[List::List2], "12");
    EXPECT_EQ(window.controls.current[List::List3], "00");
    EXPECT_EQ(window.controls.current[List::List1], "AM");
    EXPECT_EQ(window.controls.current[List::List4], "Normal");
    EXPECT_EQ(window.controls.file, "app.exe");
    EXPECT_EQ(window.controls.folder, "C:\\Tools");

    // A second click right away schedules all seven days at midnight, under the next number.
    window.services.folder.files.clear();
    window.pick();
    EXPECT_EQ(window.names(), (Names{"5Fri.dat", "5Mon.dat", "5Sat.dat", "5Sun.dat", "5Thu.dat",
                                     "5Tue.dat", "5Wed.dat"}));
    EXPECT_EQ(window.services.folder.files["5Sun.dat"],
              "00:00\r\nC:\\Tools\\app.exe\r\nNormal\r\nSunday\r\n");
}

TEST(Pick, AnUnwritablePickFileTakesBackTheDaysWrittenAndKeepsTheChoices) {
    const struct {
        bool removable;
        Names left;
        const char* says;
    } cases[] = {
        {true, {}, "disk full. Your choices are kept; please try again."},
        {false,
         {"2Mon.dat"},
         "disk full. 2Mon.dat, written for the same pick, could not be removed again: denied; "
         "delete it before you try again."},
    };
    for (const auto& c : cases) {
        Window window;
        window.tick({0, 2, 4});
        window.controls.current[List::List4] = "Hide";
        window.services.folder.unwritable.insert(
            schedule::temporaryNameFor("2Wed.dat", window.services.processId()));
        if (!c.removable) window.services.folder.unremovable.insert("2Mon.dat");
        window.pick();
        ASSERT_EQ(window.services.log.size(), 1u);
        EXPECT_NE(window.services.log[0].find("2Wed.dat"), std::string::npos);
        EXPECT_NE(window.services.log[0].find(c.says), std::string::npos) << window.services.log[0];
        EXPECT_EQ(window.names(), c.left) << "a retry would schedule Monday twice";
        EXPECT_EQ(window.controls.current[List::List4], "Hide");
        EXPECT_FALSE(window.controls.days[1]);
        EXPECT_EQ(window.controls.fields[Field::Text4], "2");
    }
}

TEST(Pick, NameOutsideTheCodePageIsRefused) {
    Window window;
    window.controls.folder = "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3";  // Cyrillic, in UTF-8
    window.tick({0});
    window.pick();
    ASSERT_EQ(window.services.log.size(), 1u);
    EXPECT_NE(window.services.log[0].find(window.controls.folder + "\\app.exe"), std::string::npos);
    EXPECT_NE(window.services.log[0].find("code page"), std::string::npos);
    EXPECT_TRUE(window.services.folder.files.empty());
}

TEST(Pick, APathWindowsCannotStartIsRefusedWithItsLengthAndTheLimit) {
    // "é" is one character in two bytes: the path is measured as Windows counts it.
    const std::string e = "\xC3\xA9";
    struct Case {
        std::string file;  // in C:\Tools, whose path and backslash take 9
        bool refused;
        const char* length;
    };
    const Case cases[] = {
        {std::string(250, 'a'), false, ""},         {std::string(251, 'a'), true, "260"},
        {std::string(248, 'a') + e + e, false, ""}, {std::string(249, 'a') + e + e, true, "260"},
        {std::string(255, 'a'), true, "264"},
    };
    for (const Case& c : cases) {
        Window window;
        window.services.ansi = [](std::string_view text) {
            return std::optional<std::string>(text);
        };
        window.controls.file = c.file;
        window.tick({0});
        window.pick();
        ASSERT_EQ(window.services.log.size(), 1u) << c.file;
        if (!c.refused) {
            EXPECT_EQ(window.names(), Names{"2Mon.dat"});
            continue;
        }
        EXPECT_TRUE(window.names().empty()) << "nothing is written";
        const std::string& told = window.services.log[0];
        EXPECT_NE(told.find("C:\\Tools\\" + c.file), std::string::npos) << told;
        EXPECT_NE(told.find(std::string("is ") + c.length + " characters long"), std::string::npos)
            << told;
        EXPECT_NE(told.find("260 characters or more"), std::string::npos) << told;
        EXPECT_EQ(window.controls.current[List::List1], "PM") << "the choices stay";
    }
}

TEST(Pick, ProgramLineIsWrittenInTheCodePage) {
    Window window;
    window.services.ansi = [](std::string_view text) {
        std::string bytes(text);
        const std::string cafe = "Caf\xC3\xA9";  // UTF-8 in, Windows-1252 out
        if (auto at = bytes.find(cafe); at != std::string::npos)
            bytes.replace(at, cafe.size(), "Caf\xE9");
        return std::optional<std::string>(bytes);
    };
    window.controls.folder = "C:\\Caf\xC3\xA9";
    window.tick({0});
    window.pick();
    EXPECT_EQ(window.services.folder.files["2Mon.dat"],
              "12:00\r\nC:\\Caf\xE9\\app.exe\r\nNormal\r\nMonday\r\n");
}

TEST(Pick, TheCounterNeverPassesTheLimitNorFalls) {
    const std::string limit = std::to_string(schedule::kPickNumberLimit);  // eighteen nines
    const std::string belowLimit = std::to_string(schedule::kPickNumberLimit - 3);
    struct Case {
        std::string counter;
        std::initializer_list<int> days;
        Names files;  // empty: the limit's message
        std::string counterAfter;
    };
    const Case cases[] = {
        {"2000000000000000", {0}, {"2000000000000001Mon.dat"}, "2000000000000001"},
        {belowLimit, {2}, {limit + "Wed.dat"}, limit},
        {belowLimit, {3}, {}, belowLimit},
        {belowLimit, {}, {}, belowLimit},  // seven steps even without a day
        {limit, {0}, {}, limit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counter);
        Window window;
        window.controls.fields[Field::Text4] = c.counter;
        window.tick(c.days);
        window.pick();
        EXPECT_EQ(window.names(), c.files);
        EXPECT_EQ(window.controls.fields[Field::Text4], c.counterAfter);
        ASSERT_EQ(window.services.log.size(), 1u);
        if (c.files.empty()) {
            EXPECT_EQ(
                window.services.log[0].rfind("message: The pick counter stands at " + c.counter +
                                                 " and cannot go past "
                                                 "999,999,999,999,999,999, the highest "
                                                 "number a pick file may have. Nothing was "
                                                 "written.",
                                             0),
                0u)
                << window.services.log[0];
        }
    }
}

TEST(Pick, ANameAlreadyTakenIsNeverReplacedAndThePickMovesPastIt) {
    using Files = std::map<std::string, std::string>;
    struct Case {
        const char* what;
        Files before;  // what another editor, or the user, put there meanwhile
        std::initializer_list<int> days;
        Names written;  // the pick's own files
        const char* counter;
        const char* folder = nullptr;  // a folder by this name
        bool unlistable = false;
    };
    const Case cases[] = {
        {"the same number picked", {{"2Mon.dat", "theirs"}}, {0}, {"3Mon.dat"}, "3"},
        {"in other letter case", {{"2MON.DAT", "theirs"}}, {0}, {"3Mon.dat"}, "3"},
        {"past the highest pick there, as at start-up",
         {{"2Mon.dat", "theirs"}, {"7Sat.dat", "theirs"}},
         {0},
         {"8Mon.dat"},
         "8"},
        {"one day of several taken: the pick keeps one number",
         {{"2Fri.dat", "theirs"}},
         {0, 4},
         {"3Fri.dat", "3Mon.dat"},
         "3"},
        {"a folder by the name", {}, {0}, {"3Mon.dat"}, "3", "2Mon.dat"},
        {"a folder that cannot be listed: on by one until a name is free",
         {{"2Mon.dat", "theirs"}, {"3Mon.dat", "theirs"}},
         {0},
         {"4Mon.dat"},
         "4",
         nullptr,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Window window;
        window.services.folder.files = c.before;
        if (c.folder) window.services.folder.sub(c.folder);
        window.services.folder.unreadableFolder = c.unlistable;
        window.tick(c.days);
        window.pick();
        Files mine = window.services.folder.files;
        for (const auto& [name, bytes] : c.before) {
            EXPECT_EQ(mine[name], bytes) << name << " was replaced";
            mine.erase(name);
        }
        Names names;
        for (const auto& [name, bytes] : mine) names.push_back(name);
        EXPECT_EQ(names, c.written);
        EXPECT_EQ(window.controls.fields[Field::Text4], c.counter) << "the number used";
        EXPECT_EQ(window.services.log, Names{"message: Program Picked, Next one Please"});
    }
}

TEST(Pick, ATakenNameAtTheLimitIsRefusedWithTheLimitsMessage) {
    const std::string limit = std::to_string(schedule::kPickNumberLimit);
    Window window;
    window.controls.fields[Field::Text4] = std::to_string(schedule::kPickNumberLimit - 1);
    window.services.folder.files[limit + "Mon.dat"] = "theirs";
    window.tick({0});
    window.pick();
    EXPECT_EQ(window.names(), Names{limit + "Mon.dat"});
    EXPECT_EQ(window.services.folder.files[limit + "Mon.dat"], "theirs");
    EXPECT_EQ(window.controls.fields[Field::Text4], limit);
    ASSERT_EQ(window.services.log.size(), 1u);
    EXPECT_EQ(window.services.log[0].rfind("message: The pick counter stands at " + limit +
                                               " and cannot go past 999,999,999,999,999,999, "
                                               "the highest number a pick file may have. Nothing "
                                               "was written.",
                                           0),
              0u)
        << window.services.log[0];
}

TEST(Pick, AnOwnFileThatCannotBeTakenBackToMoveThePickIsNamed) {
    Window window;
    window.services.folder.files["2Fri.dat"] = "theirs";
    window.services.folder.unremovable.insert("2Mon.dat");
    window.tick({0, 4});
    window.pick();
    EXPECT_EQ(window.names(), (Names{"2Fri.dat", "2Mon.dat"}));
    EXPECT_EQ(window.services.log,
              Names{"message: The pick file 2Fri.dat was taken meanwhile, and 2Mon.dat, written "
                    "for the same pick, could not be removed again to move the pick to a free "
                    "number: denied. Your choices are kept; please try again."});
}

TEST(Pick, IntoASharedScheduleAProgramAUserMayChangeIsRefusedWithTheReason) {
    Window window;
    window.controls.folder = "C:\\Users\\bob";
    window.services.securities["C:\\Users\\bob"] = {
        "S-1-5-21-1-2-3-1002",
        "PC\\bob",
        true,
        {{true, "S-1-5-21-1-2-3-1002", "PC\\bob", 0x1F01FF, false, true}}};
    window.tick({0});
    window.pick();
    ASSERT_EQ(window.services.log.size(), 1u);
    EXPECT_EQ(window.services.log[0].rfind(
                  "message: The program C:\\Users\\bob\\app.exe cannot be picked into the "
                  "schedule in C:\\Sched, which Brightwick runs at the logon of every user",
                  0),
              0u)
        << window.services.log[0];
    EXPECT_NE(window.services.log[0].find("- C:\\Users\\bob: PC\\bob may create or change files"),
              std::string::npos);
    EXPECT_TRUE(window.services.folder.files.empty());
}

TEST(Pick, AProgramGoneSinceTheListWasShownOrAFolderThatTakesNoFileIsToldWhatToDo) {
    Window gone, readOnly;
    gone.services.missingFiles.insert("C:\\Tools\\app.exe");
    readOnly.services.folder.readOnlyFolder = true;
    for (Window* window : {&gone, &readOnly}) {
        window->tick({0});
        window->pick();
        ASSERT_EQ(window->services.log.size(), 1u);
    }
    EXPECT_TRUE(gone.names().empty());
    EXPECT_EQ(gone.controls.folderSets, 1) << "the file list is read again";
    EXPECT_TRUE(gone.services.log[0].starts_with(
        "message: The program C:\\Tools\\app.exe is no longer there"));
    EXPECT_NE(readOnly.services.log[0].find("Access is denied. Your account may not write in "
                                            "that folder, so nothing can be picked there."),
              std::string::npos)
        << readOnly.services.log[0];
}
