// Schedule > Restore Cleared Picks on plain data: new numbers after the counter, day codes
// and bytes kept, files leaving the Cleared folder only once copied, and the one message.
#include <gtest/gtest.h>

#include "editor/core/check_path.hpp"
#include "editor/core/launcher_shortcut.hpp"
#include "editor/core/restore.hpp"
#include "fake_editor.hpp"
#include "schedule/folder.hpp"
#include "schedule/helpers.hpp"
#include "schedule/record.hpp"

using editor::Field;
using testing_support::FakeControls;
using testing_support::FakeFolder;
using testing_support::FakeServices;
using Files = std::map<std::string, std::string>;
using Log = std::vector<std::string>;

namespace {
struct Main {
    FakeControls controls;
    FakeServices services;
    FakeFolder& cleared() { return services.folder.sub("Cleared"); }
    explicit Main(std::string counter) {
        controls.fields[Field::Text4] = std::move(counter);
        // The user's Startup folder starts Brightwick in this schedule's folder.
        std::string MyPath;
        editor::CheckPath(MyPath, services);
        services.shortcutFiles[services.linkPath(editor::StartupFolder::CurrentUser)] =
            editor::launcherShortcut(services, MyPath);
    }
    void restore() { editor::restoreClearedPicks(controls, services); }
};
}  // namespace

TEST(Restore, EachClearedNumberGetsTheNextCounterValueInNumericOrder) {
    Main main("7");
    main.services.folder.files = {{"7Sun.dat", "seven"}};
    main.cleared().files = {{"10Mon.dat", "ten mon"}, {"2Fri.dat", "two fri"},
                            {"2Mon.dat", "two mon"},  {"notes.txt", "mine"},
                            {"3Tue.dat", "three"},    {"2Mon.dat.tmp", "half"}};
    main.restore();
    EXPECT_EQ(main.services.folder.files, (Files{{"7Sun.dat", "seven"},
                                                 {"8Fri.dat", "two fri"},
                                                 {"8Mon.dat", "two mon"},
                                                 {"9Tue.dat", "three"},
                                                 {"10Mon.dat", "ten mon"}}));
    EXPECT_EQ(main.cleared().files, (Files{{"notes.txt", "mine"}, {"2Mon.dat.tmp", "half"}}));
    EXPECT_EQ(main.controls.fields[Field::Text4], "10");
    EXPECT_EQ(main.services.log, (Log{"helper: copyfle.com",
                                      "message: Restored 3 cleared picks. The day files are "
                                      "built again, so they start from your next logon."}));

    main.restore();
    EXPECT_EQ(main.services.log.back(), "message: " + std::string(editor::kNothingToRestore));
    EXPECT_EQ(main.controls.fields[Field::Text4], "10");
}

TEST(Restore, OneAndTwoPicksAndAMissingFolder) {
    Main one("1");
    one.cleared().files = {{"5Wed.dat", "x"}};
    one.restore();
    EXPECT_EQ(one.services.log, (Log{"helper: copyfle.com",
                                     "message: Restored 1 cleared pick. The day files are "
                                     "built again, so it starts from your next logon."}));

    Main two("1");
    two.cleared().files = {{"5Wed.dat", "x"}, {"6Wed.dat", "y"}};
    two.restore();
    EXPECT_EQ(two.services.log.back(),
              "message: Restored 2 cleared picks. The day files are built again, so they start "
              "from your next logon.");
    EXPECT_EQ(two.services.folder.files, (Files{{"2Wed.dat", "x"}, {"3Wed.dat", "y"}}));

    Main none("4");
    none.services.folder.subfolder("Cleared");  // never made
    none.restore();
    EXPECT_EQ(none.services.log, Log{"message: " + std::string(editor::kNothingToRestore)});
    EXPECT_EQ(none.controls.fields[Field::Text4], "4");
}

TEST(Restore, ACutOffClearsFilesComeBackTooAndNoneReplacesAnother) {
    Main main("1");
    // The same number twice for one day (a staged copy, other leading zeros): each its own pick.
    main.cleared().files = {
        {"2Mon.dat", "a"}, {"2Mon.dat.new", "b"}, {"002Mon.dat", "c"}, {"002Tue.dat", "d"}};
    main.restore();
    EXPECT_EQ(main.services.folder.files,
              (Files{{"2Mon.dat", "c"}, {"2Tue.dat", "d"}, {"3Mon.dat", "a"}, {"4Mon.dat", "b"}}));
    EXPECT_TRUE(main.cleared().files.empty());
    EXPECT_EQ(main.services.log.back(),
              "message: Restored 3 cleared picks. The day files are built again, so they start "
              "from your next logon.");

    // A staged copy and a whole file of one number, of two days: two clears, two picks.
    Main days("1");
    days.cleared().files = {{"5Mon.dat", "e"}, {"5Tue.dat.new", "f"}};
    days.restore();
    EXPECT_EQ(days.services.folder.files, (Files{{"2Mon.dat", "e"}, {"3Tue.dat", "f"}}));
    EXPECT_EQ(days.services.log.back(),
              "message: Restored 2 cleared picks. The day files are built again, so they start "
              "from your next logon.");
}

TEST(Restore, AFileLeavesTheClearedFolderOnlyOnceItsCopyIsWritten) {
    Main main("1");
    main.cleared().files = {{"2Mon.dat", "a"}, {"3Mon.dat", "b"}, {"4Mon.dat", "c"}};
    main.services.folder.unwritable.insert(
        schedule::temporaryNameFor("3Mon.dat", main.services.processId()));
    main.restore();
    EXPECT_EQ(main.services.folder.files, (Files{{"2Mon.dat", "a"}}));
    EXPECT_EQ(main.cleared().files, (Files{{"3Mon.dat", "b"}, {"4Mon.dat", "c"}}));
    EXPECT_EQ(main.controls.fields[Field::Text4], "3") << "a number given is never given again";
    EXPECT_EQ(
        main.services.log,
        (Log{"helper: copyfle.com",
             "message: Restored 1 cleared pick. The pick file 3Mon.dat could not be written "
             "in C:\\Sched: disk full. What was not restored stays in C:\\Sched\\Cleared. The "
             "day files are built again, so it starts from your next logon."}));

    Main stuck("1");
    stuck.cleared().files = {{"2Mon.dat", "a"}, {"3Mon.dat", "b"}};
    stuck.cleared().unremovable.insert("2Mon.dat");
    stuck.restore();
    EXPECT_EQ(stuck.services.folder.files, (Files{{"2Mon.dat", "a"}}));
    EXPECT_EQ(stuck.cleared().files, (Files{{"2Mon.dat", "a"}, {"3Mon.dat", "b"}}));
    ASSERT_EQ(stuck.services.log.size(), 2u);
    EXPECT_NE(stuck.services.log[1].find("2Mon.dat was restored as 2Mon.dat but could not be "
                                         "removed from the Cleared folder: denied."),
              std::string::npos)
        << stuck.services.log[1];
}

TEST(Restore, TheLimitStopsTheRestAndNamesIt) {
    const unsigned long long limit = schedule::kPickNumberLimit;
    Main main(std::to_string(limit - 1));
    main.cleared().files = {{"2Mon.dat", "a"}, {"3Mon.dat", "b"}};
    main.restore();
    EXPECT_EQ(main.services.folder.files, (Files{{std::to_string(limit) + "Mon.dat", "a"}}));
    EXPECT_EQ(main.cleared().files, (Files{{"3Mon.dat", "b"}}));
    EXPECT_EQ(main.controls.fields[Field::Text4], std::to_string(limit));
    EXPECT_EQ(main.services.log.back(),
              "message: Restored 1 cleared pick. The pick counter stands at 999999999999999999 "
              "and cannot go past 999,999,999,999,999,999, the highest number a pick file may "
              "have. What was not restored stays in C:\\Sched\\Cleared. The day files are built "
              "again, so it starts from your next logon.");
}

TEST(Restore, AnUnreadableClearedFolderIsNamed) {
    Main main("1");
    main.cleared().unreadableFolder = true;
    main.restore();
    EXPECT_EQ(main.services.log, Log{"message: The cleared picks in C:\\Sched\\Cleared cannot "
                                     "be read: folder gone. Nothing was restored."});
}

TEST(Restore, EveryClearIsKeptAndRestoredNewestFirst) {
    // An earlier version's clear, two clears of picks in one second and one of none.
    Main main("3");
    main.cleared().files = {{"9Wed.dat", "old"}};
    FakeFolder& folder = main.services.folder;
    for (const Files& picks :
         {Files{{"2Mon.dat", "m"}, {"3Sat.dat", "s"}}, Files{{"4Tue.dat", "t"}}, Files{}}) {
        folder.files.insert(picks.begin(), picks.end());
        ASSERT_EQ(schedule::clearScheduleFiles(folder, {2026, 12, 8, 19, 58, 3}).status,
                  schedule::kHelperDone);
    }
    folder.files.clear();  // the day files the clears emptied
    const std::string more = " The day files are built again, so ";
    const std::string again = ": Restore Cleared Picks again brings back the one before.";
    const std::pair<Files, std::string> restores[] = {
        {{{"4Tue.dat", "t"}},
         "1 cleared pick." + more + "it starts from your next logon.\n\n2 earlier clears remain" +
             again},
        {{{"5Mon.dat", "m"}, {"6Sat.dat", "s"}},
         "2 cleared picks." + more + "they start from your next logon.\n\n1 earlier clear remains" +
             again},
        {{{"7Wed.dat", "old"}}, "1 cleared pick." + more + "it starts from your next logon."},
    };
    for (const auto& [files, said] : restores) {
        main.restore();
        for (const auto& [name, bytes] : files) EXPECT_EQ(folder.files[name], bytes) << name;
        EXPECT_EQ(main.services.log.back(), "message: Restored " + said);
    }
    std::vector<std::string> left;
    ASSERT_TRUE(main.cleared().folderNames(left));
    EXPECT_TRUE(left.empty()) << "each clear's folder goes once restored";
}

TEST(Restore, ANumberTakenMeanwhileIsPassedAndNoFileReplaced) {
    Main main("1");
    // Another editor picked 3 for Wednesday after this one started.
    main.services.folder.files = {{"3Wed.dat", "theirs"}};
    main.cleared().files = {
        {"5Mon.dat", "a"}, {"6Tue.dat", "b"}, {"6Wed.dat", "c"}, {"7Sun.dat", "d"}};
    main.restore();
    EXPECT_EQ(main.services.folder.files, (Files{{"2Mon.dat", "a"},
                                                 {"3Wed.dat", "theirs"},
                                                 {"4Tue.dat", "b"},
                                                 {"4Wed.dat", "c"},
                                                 {"5Sun.dat", "d"}}));
    EXPECT_TRUE(main.cleared().files.empty());
    EXPECT_EQ(main.controls.fields[Field::Text4], "5");
    EXPECT_EQ(main.services.log.back(),
              "message: Restored 3 cleared picks. The day files are built again, so they start "
              "from your next logon.");
}

TEST(Restore, TheDayFilesAreBuiltAgainAndTheMessageNamesAFewPicksProgramsNeverNumbers) {
    const auto record = [](const char* program, const char* day) {
        return schedule::formatRecord({"08:00", program, "Normal", day});
    };
    struct Case {
        const char* name;
        Files cleared;
        std::string said;
    };
    const Case cases[] = {
        {"one pick of two days",
         {{"4Mon.dat", record("C:\\a.exe", "Monday")},
          {"4Tue.dat", record("C:\\a.exe", "Tuesday")}},
         "Restored 1 cleared pick: \"C:\\a.exe\". The day files are built again, so it starts "
         "from your next logon."},
        {"the same program twice is named once",
         {{"4Mon.dat", record("C:\\a.exe", "Monday")},
          {"5Fri.dat", record("C:\\b.exe", "Friday")},
          {"6Sun.dat", record("C:\\a.exe", "Sunday")}},
         "Restored 3 cleared picks: \"C:\\a.exe\" and \"C:\\b.exe\". The day files are built "
         "again, so they start from your next logon."},
        {"a pick without a program line leaves only the count",
         {{"4Mon.dat", record("C:\\a.exe", "Monday")}, {"5Tue.dat", "08:00\r\n"}},
         "Restored 2 cleared picks. The day files are built again, so they start from your next "
         "logon."},
        {"more than five are counted",
         {{"2Mon.dat", record("C:\\1.exe", "Monday")},
          {"3Mon.dat", record("C:\\2.exe", "Monday")},
          {"4Mon.dat", record("C:\\3.exe", "Monday")},
          {"5Mon.dat", record("C:\\4.exe", "Monday")},
          {"6Mon.dat", record("C:\\5.exe", "Monday")},
          {"7Mon.dat", record("C:\\6.exe", "Monday")}},
         "Restored 6 cleared picks. The day files are built again, so they start from your next "
         "logon."},
    };
    for (const Case& c : cases) {
        Main main("1");
        main.cleared().files = c.cleared;
        main.restore();
        EXPECT_EQ(main.services.log, (Log{"helper: copyfle.com", "message: " + c.said})) << c.name;
    }

    // Day files that cannot be built are named with what it means for the next logon.
    Main failing("1");
    failing.cleared().files = {{"4Mon.dat", record("C:\\a.exe", "Monday")}};
    editor::HelperRun run;
    run.ending = editor::HelperRun::Ending::NotStarted;
    run.error = "The system cannot find the file specified";
    failing.services.helperRuns["copyfle.com"] = run;
    failing.restore();
    EXPECT_EQ(failing.services.log,
              (Log{"helper: copyfle.com",
                   "message: Restored 1 cleared pick: \"C:\\a.exe\".\n\ncopyfle.com could not be "
                   "started: The system cannot find the file specified. The restored picks start "
                   "at logon only once the day files are built: click \"Ready to Deploy...\" to "
                   "build them."}));

    // Nothing restored: nothing to build.
    Main stuck("1");
    stuck.cleared().files = {{"2Mon.dat", record("C:\\a.exe", "Monday")}};
    stuck.services.folder.unwritable.insert(
        schedule::temporaryNameFor("2Mon.dat", stuck.services.processId()));
    stuck.restore();
    ASSERT_EQ(stuck.services.log.size(), 1u);
    EXPECT_EQ(
        stuck.services.log[0].rfind("message: The pick file 2Mon.dat could not be written", 0), 0u)
        << stuck.services.log[0];
}
