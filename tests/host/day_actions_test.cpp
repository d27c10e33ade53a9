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
