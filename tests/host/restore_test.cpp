// Schedule > Restore Cleared Picks on plain data: new numbers after the counter, day codes
// and bytes kept, files leaving the Cleared folder only once copied, and the one message.
#include <gtest/gtest.h>

#include "editor/core/restore.hpp"
#include "fake_editor.hpp"
#include "schedule/folder.hpp"
#include "schedule/helpers.hpp"

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
    explicit Main(std::string counter) { controls.fields[Field::Text4] = std::move(counter); }
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
    EXPECT_EQ(main.services.log, Log{"message: Restored 3 cleared picks as numbers 8 to 10."});

    main.restore();
    EXPECT_EQ(main.services.log.back(), "message: " + std::string(editor::kNothingToRestore));
    EXPECT_EQ(main.controls.fields[Field::Text4], "10");
}

TEST(Restore, OneAndTwoPicksAndAMissingFolder) {
    Main one("1");
    one.cleared().files = {{"5Wed.dat", "x"}};
    one.restore();
    EXPECT_EQ(one.services.log, Log{"message: Restored 1 cleared pick as number 2."});

    Main two("1");
    two.cleared().files = {{"5Wed.dat", "x"}, {"6Wed.dat", "y"}};
    two.restore();
    EXPECT_EQ(two.services.log, Log{"message: Restored 2 cleared picks as numbers 2 and 3."});
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
    EXPECT_EQ(main.services.log, Log{"message: Restored 3 cleared picks as numbers 2 to 4."});

    // A staged copy and a whole file of one number, of two days: two clears, two picks.
    Main days("1");
    days.cleared().files = {{"5Mon.dat", "e"}, {"5Tue.dat.new", "f"}};
    days.restore();
    EXPECT_EQ(days.services.folder.files, (Files{{"2Mon.dat", "e"}, {"3Tue.dat", "f"}}));
    EXPECT_EQ(days.services.log, Log{"message: Restored 2 cleared picks as numbers 2 and 3."});
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
    EXPECT_EQ(main.services.log,
              Log{"message: Restored 1 cleared pick as number 2. The pick file 3Mon.dat could "
                  "not be written in C:\\Sched: disk full. What was not restored stays in "
                  "C:\\Sched\\Cleared."});

    Main stuck("1");
    stuck.cleared().files = {{"2Mon.dat", "a"}, {"3Mon.dat", "b"}};
    stuck.cleared().unremovable.insert("2Mon.dat");
    stuck.restore();
    EXPECT_EQ(stuck.services.folder.files, (Files{{"2Mon.dat", "a"}}));
    EXPECT_EQ(stuck.cleared().files, (Files{{"2Mon.dat", "a"}, {"3Mon.dat", "b"}}));
    ASSERT_EQ(stuck.services.log.size(), 1u);
    EXPECT_NE(stuck.services.log[0].find("2Mon.dat was restored as 2Mon.dat but could not be "
                                         "removed from the Cleared folder: denied."),
              std::string::npos)
        << stuck.services.log[0];
}

TEST(Restore, TheLimitStopsTheRestAndNamesIt) {
    const unsigned long long limit = schedule::kPickNumberLimit;
    Main main(std::to_string(limit - 1));
    main.cleared().files = {{"2Mon.dat", "a"}, {"3Mon.dat", "b"}};
    main.restore();
    EXPECT_EQ(main.services.folder.files, (Files{{std::to_string(limit) + "Mon.dat", "a"}}));
    EXPECT_EQ(main.cleared().files, (Files{{"3Mon.dat", "b"}}));
    EXPECT_EQ(main.controls.fields[Field::Text4], std::to_string(limit));
    EXPECT_EQ(main.services.log,
              Log{"message: Restored 1 cleared pick as number 999999999999999999. The pick "
                  "counter stands at 999999999999999999 and cannot go past "
                  "999,999,999,999,999,999, the highest number a pick file may have. What was "
                  "not restored stays in C:\\Sched\\Cleared."});
}

TEST(Restore, AnUnreadableClearedFolderIsNamed) {
    Main main("1");
    main.cleared().unreadableFolder = true;
    main.restore();
    EXPECT_EQ(main.services.log, Log{"message: The cleared picks in C:\\Sched\\Cleared cannot "
                                     "be read: folder gone. Nothing was restored."});
}

TEST(Restore, PicksThatAClearKeptComeBackWhole) {
    // The journey on the core: pick files cleared twice over, then restored.
    Main main("3");
    main.services.folder.files = {{"2Mon.dat", "m"}, {"3Sat.dat", "s"}};
    ASSERT_EQ(schedule::clearScheduleFiles(main.services.folder).status, schedule::kHelperDone);
    ASSERT_EQ(schedule::clearScheduleFiles(main.services.folder).status, schedule::kHelperDone);
    main.restore();
    EXPECT_EQ(main.services.folder.files.at("4Mon.dat"), "m");
    EXPECT_EQ(main.services.folder.files.at("5Sat.dat"), "s");
    EXPECT_EQ(main.services.log, Log{"message: Restored 2 cleared picks as numbers 4 and 5."});
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
    EXPECT_EQ(main.services.log, Log{"message: Restored 3 cleared picks as numbers 2, 4 and 5."});
}
