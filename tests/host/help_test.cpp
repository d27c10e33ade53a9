// The Help menu's decisions on plain data: what is started, with which show value, and what
// the user is told when a start fails.
#include <gtest/gtest.h>

#include "editor/core/check_path.hpp"
#include "editor/core/help.hpp"
#include "editor/core/logon_history.hpp"
#include "fake_editor.hpp"

using testing_support::FakeServices;
using Log = std::vector<std::string>;

TEST(Help, ReadmeOpensTheDocumentBesideTheEditorShownNormally) {
    FakeServices services;
    services.programFolderPath = "C:\\Tools";
    services.workingFolderPath = "D:\\Schedules";  // not where the document ships
    editor::help::Readme(services);
    EXPECT_EQ(services.log,
              Log{"start: C:\\Windows\\notepad.exe \"C:\\Tools\\readme.1st\" show 1"});
}

TEST(Help, DisclaimerOpensTheLicence) {
    FakeServices services;
    services.programFolderPath = "C:\\Program Files\\Norvell";
    editor::help::Disc(services);
    EXPECT_EQ(
        services.log,
        Log{"start: C:\\Windows\\notepad.exe \"C:\\Program Files\\Norvell\\license.txt\" show 1"});
}

TEST(Help, AnEditorInADriveRootGetsOneBackslash) {
    FakeServices services;
    services.programFolderPath = "E:\\";
    editor::help::Readme(services);
    EXPECT_EQ(services.log, Log{"start: C:\\Windows\\notepad.exe \"E:\\readme.1st\" show 1"});
}

TEST(Help, SystemProgramsAreTheWindowsFolders) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Windows", "C:\\Windows\\notepad.exe"},
        {"D:\\WINNT\\", "D:\\WINNT\\notepad.exe"},
        {"C:\\", "C:\\notepad.exe"},
    };
    for (const auto& [windows, program] : cases) {
        FakeServices services;
        services.windowsFolderPath = windows;
        EXPECT_EQ(editor::windowsProgram(services, "notepad.exe"), program);
    }
}

TEST(Help, ReadmeTwiceStartsTwice) {
    FakeServices services;
    editor::help::Readme(services);
    editor::help::Readme(services);
    ASSERT_EQ(services.log.size(), 2u);
    EXPECT_EQ(services.log[0], services.log[1]);
}

TEST(Help, AFailedStartNamesNotepadTheDocumentAndTheReason) {
    FakeServices services;
    services.startFailures["C:\\Windows\\notepad.exe"] =
        "The system cannot find the file specified";
    editor::help::Disc(services);
    EXPECT_EQ(services.log,
              (Log{"start: C:\\Windows\\notepad.exe \"C:\\Tools\\license.txt\" show 1",
                   "message: notepad.exe could not be started to show "
                   "license.txt: The system cannot find the file specified."}));
}

TEST(Help, AboutShowsTheWindowAndSaysNothing) {
    FakeServices services;
    int shown = 0;
    editor::help::About(services, [&] {
        ++shown;
        return schedule::Outcome::success();
    });
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(services.log.empty());
}

TEST(Help, AboutReportsAWindowThatCannotBeCreated) {
    FakeServices services;
    editor::help::About(services,
                        [] { return schedule::Outcome::failure("Not enough memory resources"); });
    EXPECT_EQ(services.log,
              Log{"message: The About window cannot be opened: Not enough memory resources."});
}

TEST(Help, AboutTextNamesTheProgramItsVersionAndLicence) {
    const std::string text(editor::help::kAboutText);
    EXPECT_NE(text.find("Norvell 1.00"), std::string::npos);
    EXPECT_NE(text.find("MIT License"), std::string::npos);
    EXPECT_NE(text.find("without any warranty"), std::string::npos);
    // One paragraph that the label wraps by itself.
    EXPECT_EQ(text.find_first_of("\r\n\t"), std::string::npos);
}

TEST(LogonHistory, OpensTheHistoryInNotepadOrSaysThereIsNone) {
    FakeServices none;
    editor::showLogonHistory(none);
    EXPECT_EQ(none.log, Log{"message: " + std::string(editor::kNoLogonHistory)});

    FakeServices some;
    some.logonHistory = "C:\\Users\\me\\AppData\\Local\\Norvell\\logon-history.txt";
    editor::showLogonHistory(some);
    EXPECT_EQ(some.log,
              Log{"start: C:\\Windows\\notepad.exe "
                  "\"C:\\Users\\me\\AppData\\Local\\Norvell\\logon-history.txt\" show 1"});

    some.log.clear();
    some.startFailures["C:\\Windows\\notepad.exe"] = "Access is denied";
    editor::showLogonHistory(some);
    ASSERT_EQ(some.log.size(), 2u);
    EXPECT_EQ(some.log[1],
              "message: notepad.exe could not be started to show the logon history "
              "C:\\Users\\me\\AppData\\Local\\Norvell\\logon-history.txt: Access is denied.");
}
