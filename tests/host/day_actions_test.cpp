// The viewer's record actions on plain data: what is started, how, and what the user is told.
#include <gtest/gtest.h>

#include "editor/core/day_actions.hpp"
#include "fake_editor.hpp"

using testing_support::FakeServices;
using Log = std::vector<std::string>;

namespace {
editor::DayEntry entry(const char* program, const char* style, bool missing = false) {
    editor::DayEntry made;
    made.record = schedule::Record{"07:30", program, style, "Monday"};
    made.recordIndex = 0;
    made.missing = missing;
    return made;
}
}  // namespace

TEST(StartNow, StartsTheLineAsTheLauncherWithItsRunStylesWindow) {
    const std::pair<const char*, int> cases[] = {
        {"Normal", 1}, {"Max", 3}, {"Hide", 0}, {"Min", 6}};
    for (const auto& [style, show] : cases) {
        FakeServices services;
        editor::startNow(entry("C:\\Program Files\\App\\app.exe", style), services);
        EXPECT_EQ(services.log, Log{"start record: C:\\Program Files\\App\\app.exe show " +
                                    std::to_string(show)});
    }
}

TEST(StartNow, AFailureOrAnUnknownStyleIsToldWithTheProgram) {
    FakeServices services;
    services.startFailures["C:\\gone.exe"] = "The system cannot find the file specified";
    editor::startNow(entry("C:\\gone.exe", "Normal", true), services);
    EXPECT_EQ(services.log,
              (Log{"start record: C:\\gone.exe show 1",
                   "message: \"C:\\gone.exe\" could not be started: The system cannot find the "
                   "file specified."}));

    FakeServices unknown;
    editor::startNow(entry("C:\\a.exe", "Minimize"), unknown);
    ASSERT_EQ(unknown.log.size(), 1u) << "nothing is started";
    EXPECT_NE(unknown.log[0].find("\"Minimize\" of \"C:\\a.exe\" is not one that Brightwick knows"),
              std::string::npos)
        << unknown.log[0];

    FakeServices notARecord;
    editor::startNow(editor::DayEntry{{"Time: 09:00"}, std::nullopt, -1, false}, notARecord);
    EXPECT_TRUE(notARecord.log.empty());
}

TEST(OpenFileLocation, ExplorerFromTheWindowsFolderSelectsTheFile) {
    FakeServices services;
    services.windowsFolderPath = "D:\\WINDOWS";
    editor::openFileLocation(entry("C:\\Program Files\\App\\app.exe", "Normal"), services);
    EXPECT_EQ(services.log,
              Log{"start: D:\\WINDOWS\\explorer.exe /select,\"C:\\Program Files\\App\\app.exe\" "
                  "show 1"});

    FakeServices missing;
    editor::openFileLocation(entry("C:\\gone.exe", "Normal", true), missing);
    EXPECT_EQ(missing.log, Log{"message: The program \"C:\\gone.exe\" does not exist, so there "
                               "is no folder to show."});

    FakeServices failing;
    failing.startFailures["C:\\Windows\\explorer.exe"] = "Access is denied";
    editor::openFileLocation(entry("C:\\a.exe", "Normal"), failing);
    ASSERT_EQ(failing.log.size(), 2u);
    EXPECT_EQ(failing.log[1],
              "message: Explorer could not be started to show \"C:\\a.exe\": Access is denied.");
}

namespace {
// A week of picks as copyfle.com combined them: 2 for Monday and Wednesday, 3 and 5 for
// Monday alone; the day files as it wrote them.
struct Picked {
    FakeServices services;
    Picked() {
        auto& files = services.folder.files;
        files["2Mon.dat"] = schedule::formatRecord({"07:30", "C:\\a.exe", "Max", "Monday"});
        files["2Wed.dat"] = schedule::formatRecord({"07:30", "C:\\a.exe", "Max", "Wednesday"});
        files["3Mon.dat"] = schedule::formatRecord({"08:00", "C:\\b.exe", "Hide", "Monday"});
        files["5Mon.dat"] = schedule::formatRecord({"08:00", "C:\\b.exe", "Hide", "Monday"});
        files["datmon.dat"] = files["2Mon.dat"] + files["3Mon.dat"] + files["5Mon.dat"];
        files["datwed.dat"] = files["2Wed.dat"];
    }
    editor::DayEntry monday(int index) {
        const std::vector<editor::DayEntry> entries = editor::readDay(0, services);
        return entries.at(static_cast<std::size_t>(index));
    }
};
}  // namespace

TEST(RemoveFromSchedule, YesSendsThatRecordsPickFileAloneToTheRecycleBinAndRebuilds) {
    // The third record and the second are alike: the place in the list tells them apart.
    for (const auto& [index, gone] : {std::pair{0, "2Mon.dat"}, {1, "3Mon.dat"}, {2, "5Mon.dat"}}) {
        Picked picked;
        picked.services.answers = {editor::Answer::Yes};
        EXPECT_TRUE(editor::removeFromSchedule(0, picked.monday(index), picked.services));
        const auto& files = picked.services.folder.files;
        EXPECT_EQ(files.count(gone), 0u) << gone;
        for (const char* stays : {"2Mon.dat", "3Mon.dat", "5Mon.dat", "2Wed.dat"}) {
            if (std::string(stays) != gone) {
                EXPECT_EQ(files.count(stays), 1u) << stays;
            }
        }
        ASSERT_EQ(picked.services.log.size(), 3u);
        EXPECT_EQ(picked.services.log[1], "recycle: C:\\Sched\\" + std::string(gone));
        EXPECT_EQ(picked.services.log[2], "helper: copyfle.com");
    }
}

TEST(RemoveFromSchedule, TheQuestionNamesProgramTimeAndDayAndNoKeepsAll) {
    Picked picked;
    picked.services.answers = {editor::Answer::No};
    EXPECT_FALSE(editor::removeFromSchedule(0, picked.monday(1), picked.services));
    EXPECT_EQ(picked.services.log,
              Log{"message: Remove \"C:\\b.exe\", due from 08:00, from the Monday schedule?\n\n"
                  "Its pick file 3Mon.dat goes to the Recycle Bin, from where it can be restored; "
                  "the other days keep their own."});
    EXPECT_EQ(picked.services.folder.files.size(), 6u);
}

// A network folder, a removable drive: the user hears before the pick is gone for good.
TEST(RemoveFromSchedule, WhereTheRecycleBinTakesNothingTheQuestionSaysSo) {
    Picked picked;
    picked.services.recycleBin = false;
    picked.services.answers = {editor::Answer::Yes};
    EXPECT_TRUE(editor::removeFromSchedule(0, picked.monday(1), picked.services));
    EXPECT_EQ(picked.services.log,
              (Log{"message: Remove \"C:\\b.exe\", due from 08:00, from the Monday schedule?\n\n"
                   "Its pick file 3Mon.dat will be deleted for good: the Recycle Bin does not "
                   "keep files from C:\\Sched. The other days keep their own.",
                   "recycle: C:\\Sched\\3Mon.dat, for good agreed", "helper: copyfle.com"}));
    EXPECT_EQ(picked.services.folder.files.count("3Mon.dat"), 0u);
}

TEST(RemoveFromSchedule, AStaleListIsRebuiltAndNothingRemoved) {
    Picked picked;
    const editor::DayEntry shown = picked.monday(1);
    // Another editor picked meanwhile: the list shown is no longer what the picks make.
    picked.services.folder.files["4Mon.dat"] =
        schedule::formatRecord({"09:00", "C:\\c.exe", "Normal", "Monday"});
    picked.services.answers = {editor::Answer::Yes};
    EXPECT_TRUE(editor::removeFromSchedule(0, shown, picked.services));
    EXPECT_EQ(picked.services.folder.files.size(), 7u) << "nothing removed";
    ASSERT_EQ(picked.services.log.size(), 2u);
    EXPECT_EQ(picked.services.log[0], "helper: copyfle.com");
    EXPECT_NE(picked.services.log[1].find("The Monday list had changed since it was shown"),
              std::string::npos);
}

TEST(RemoveFromSchedule, AFileThatCannotBeRemovedIsTold) {
    Picked picked;
    picked.services.folder.unremovable = {"3Mon.dat"};
    picked.services.answers = {editor::Answer::Yes};
    EXPECT_FALSE(editor::removeFromSchedule(0, picked.monday(1), picked.services));
    ASSERT_EQ(picked.services.log.size(), 3u);
    EXPECT_EQ(picked.services.log[2],
              "message: The pick file 3Mon.dat could not be removed: denied. \"C:\\b.exe\" "
              "stays scheduled.");
}
