// Turning a record off and on, and changing it, on plain data: which pick files move or are
// written, in which order, what copyfle.com rebuilds and what the user is told.
#include <gtest/gtest.h>

#include "editor/core/change_record.hpp"
#include "editor/core/day_actions.hpp"
#include "editor/core/deployment_status.hpp"
#include "editor/core/restore.hpp"
#include "fake_editor.hpp"
#include "schedule/helpers.hpp"

using editor::Field;
using testing_support::FakeFolder;
using testing_support::FakeServices;
using Files = std::map<std::string, std::string>;
using Log = std::vector<std::string>;

namespace {
const std::string kA = schedule::formatRecord({"07:30", "C:\\a.exe", "Max", "Monday"});
const std::string kB = schedule::formatRecord({"08:00", "C:\\b.exe", "Hide", "Monday"});

// Monday's picks 2 and 3, and a copyfle.com that combines them as the real one does.
struct Week {
    testing_support::FakeControls counter;
    FakeServices services;
    Week() {
        counter.fields[Field::Text4] = "3";
        services.folder.files = {{"2Mon.dat", kA}, {"3Mon.dat", kB}};
        services.helperEffects["copyfle.com"] = [](FakeFolder& folder) {
            schedule::combinePickFiles(folder);
        };
        schedule::combinePickFiles(services.folder);
    }
    Files& files() { return services.folder.files; }
    FakeFolder& off() { return services.folder.sub("Turned Off", false); }
    editor::DayEntry monday(std::size_t index) { return editor::readDay(0, services).at(index); }
};
}  // namespace

TEST(TurnOff, MovesThePickAsideListsItLastMarkedOffAndTurnOnBringsItBack) {
    Week week;
    ASSERT_TRUE(editor::turnOff(0, week.monday(0), week.services));
    EXPECT_EQ(week.files().count("2Mon.dat"), 0u);
    EXPECT_EQ(week.off().files, (Files{{"2Mon.dat", kA}}));
    EXPECT_EQ(week.files()["datmon.dat"], kB) << "the day files are built again";
    const editor::DayEntry off = week.monday(1);
    EXPECT_EQ(off.lines, (Log{"Time: 07:30 (off)", "C:\\a.exe", "Run Style - Maximize"}));

    ASSERT_TRUE(editor::turnOn(off, week.counter, week.services));
    EXPECT_TRUE(week.off().files.empty());
    EXPECT_EQ(week.files()["datmon.dat"], kA + kB);
}

TEST(TurnOff, ATakenNameMovesOnThereAndBack) {
    Week week;
    week.off().files = {{"2Mon.dat", "another"}};
    ASSERT_TRUE(editor::turnOff(0, week.monday(0), week.services));
    EXPECT_EQ(week.off().files, (Files{{"2Mon.dat", "another"}, {"3Mon.dat", kA}}));
    // Its name there, 3Mon.dat, is taken where it goes back: the counter's next number is not.
    ASSERT_TRUE(editor::turnOn(week.monday(1), week.counter, week.services));
    EXPECT_EQ(week.files()["4Mon.dat"], kA);
    EXPECT_EQ(week.counter.fields[Field::Text4], "4");
}

TEST(TurnOff, AClearTakesTurnedOffPicksAlongAndRestoreBringsThemBackTurnedOff) {
    Week week;
    ASSERT_TRUE(editor::turnOff(0, week.monday(0), week.services));
    schedule::clearScheduleFiles(week.services.folder, {2026, 12, 8, 20, 0, 0});
    FakeFolder& clear = week.services.folder.sub("Cleared\\2026-12-08 20-00-00 UTC", false);
    EXPECT_EQ(clear.files, (Files{{"3Mon.dat", kB}}));
    EXPECT_EQ(clear.sub("Turned Off", false).files, (Files{{"2Mon.dat", kA}}));

    editor::restoreClearedPicks(week.counter, week.services);
    EXPECT_EQ(week.files()["4Mon.dat"], kB);
    EXPECT_EQ(week.off().files, (Files{{"2Mon.dat", kA}})) << "off, as it was";
    EXPECT_FALSE(
        week.services.folder.sub("Cleared", false).hasSubfolder("2026-12-08 20-00-00 UTC"));
}

TEST(ChangeRecord, TheDialogOpensWithTheRecordsTimeStyleAndDay) {
    const std::tuple<const char*, const char*, editor::RecordChoices> cases[] = {
        {"07:30", "Max", {"07", "30", "AM", "Maximize", {true}}},
        {"12:45", "Min", {"12", "45", "PM", "Minimize", {true}}},
        {"23:05", "Often", {"11", "", "PM", "", {true}}},  // none of the lists' items
    };
    for (const auto& [time, style, expected] : cases) {
        EXPECT_EQ(editor::choicesOf({time, "C:\\a.exe", style, "Monday"}, 0), expected) << time;
    }
}

TEST(ChangeRecord, NewPicksFirstThenTheOldToTheRecycleBinAndAnyFailureKeepsTheOld) {
    // 9:00 PM, Normal, Monday and Tuesday.
    const editor::RecordChoices choices{"09", "00", "PM", "Normal", {true, true}};
    const auto changed = [](const char* day) {
        return schedule::formatRecord({"21:00", "C:\\a.exe", "Normal", day});
    };
    Week week;
    ASSERT_TRUE(editor::changeRecord(0, week.monday(0), choices, week.counter, week.services));
    EXPECT_EQ(week.services.log, (Log{"recycle: C:\\Sched\\2Mon.dat", "helper: copyfle.com"}));
    EXPECT_EQ(week.files()["4Mon.dat"], changed("Monday"));
    EXPECT_EQ(week.files()["4Tue.dat"], changed("Tuesday"));
    EXPECT_EQ(week.files()["datmon.dat"], kB + changed("Monday"));

    // Tuesday's file cannot be written: Monday's is taken back, and nothing goes.
    Week full;
    full.services.folder.unwritable = {"4Tue.dat.4711.tmp"};
    EXPECT_FALSE(editor::changeRecord(0, full.monday(0), choices, full.counter, full.services));
    EXPECT_EQ(full.files().count("4Mon.dat") + full.files().count("4Tue.dat"), 0u);
    EXPECT_EQ(full.files()["2Mon.dat"], kA);
    EXPECT_EQ(full.services.log, Log{"message: The pick file 4Tue.dat could not be written in "
                                     "C:\\Sched: disk full. The record of \"C:\\a.exe\" is "
                                     "unchanged. The new pick files were taken back."});
}

TEST(DeploymentStatus, TellsHowManyRecordsAreOffOnWhichDaysAsInformation) {
    FakeServices services;
    EXPECT_EQ(editor::turnedOffSentence(services), std::nullopt);
    services.folder.sub("Turned Off").files = {
        {"2Mon.dat", kA}, {"5Mon.dat", kB}, {"3Fri.dat", kA}, {"notes.txt", ""}};
    EXPECT_EQ(editor::turnedOffSentence(services),
              "3 records are turned off, so Brightwick does not start them: 2 on Monday and 1 on "
              "Friday. Turn them on again in Show List when you want them to start.");
}
