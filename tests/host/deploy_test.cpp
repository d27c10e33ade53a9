// "Ready to Deploy..." and "Reset/Clear List" against recording fakes.
#include <gtest/gtest.h>

#include "editor/core/deploy.hpp"
#include "fake_editor.hpp"

using editor::Answer;
using editor::HelperRun;
using editor::List;
using editor::StartupFolder;
using testing_support::FakeControls;
using testing_support::FakeServices;
using Log = std::vector<std::string>;

namespace {
const std::string kQuestion = "message: " + std::string(editor::kDeployQuestion);
}

TEST(Deploy, EachAnswerRunsItsSteps) {
    struct Case {
        Answer answer;
        Log log;
    };
    const Case cases[] = {
        {Answer::Yes,
         {"helper: copyfle.com", kQuestion, "shortcut: C:\\Tools\\Brightwick.exe",
          "message: " + std::string(editor::kDeployedForUser)}},
        {Answer::No,
         {"helper: copyfle.com", kQuestion, "shortcut: C:\\Tools\\Brightwick.exe",
          "message: " + std::string(editor::kDeployedForAll)}},
        {Answer::Cancel,
         {"helper: copyfle.com", kQuestion, "helper: clrfle.com",
          "message: " + std::string(editor::kDeployCancelled)}},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.answers = {c.answer};
        editor::deploy(services);
        EXPECT_EQ(services.log, c.log);
    }
}

TEST(Deploy, ShortcutValuesAndFolders) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        FakeServices services;
        services.answers = {answer};
        services.workingFolderPath = "D:\\Schedules";
        editor::deploy(services);
        ASSERT_EQ(services.shortcuts.size(), 1u);
        const auto& [where, link] = services.shortcuts[0];
        EXPECT_EQ(where,
                  answer == Answer::Yes ? StartupFolder::CurrentUser : StartupFolder::AllUsers);
        EXPECT_EQ(link.name, "Brightwick");
        EXPECT_EQ(link.target, "C:\\Tools\\Brightwick.exe");
        EXPECT_EQ(link.arguments, "");
        EXPECT_EQ(link.workingFolder, "D:\\Schedules");
    }
}

TEST(Deploy, DriveRootApplicationFolderGetsOneBackslash) {
    FakeServices services;
    services.programFolderPath = "E:\\";
    services.answers = {Answer::Yes};
    editor::deploy(services);
    ASSERT_EQ(services.shortcuts.size(), 1u);
    EXPECT_EQ(services.shortcuts[0].second.target, "E:\\Brightwick.exe");
}

TEST(Deploy, FailingShortcutIsReportedInsteadOfSuccess) {
    FakeServices services;
    services.answers = {Answer::No};
    services.shortcutFailures[StartupFolder::AllUsers] = "Access denied";
    editor::deploy(services);
    ASSERT_EQ(services.log.size(), 4u);
    EXPECT_EQ(services.log[3],
              "message: The shortcut Brightwick could not be created in "
              "C:\\ProgramData\\Startup: Access denied. Brightwick will not start at logon.");
}

TEST(Deploy, AStartupFolderThatCannotBeFoundIsNamedInWords) {
    const std::pair<Answer, const char*> cases[] = {
        {Answer::Yes, "the Startup folder of your account"},
        {Answer::No, "the Startup folder of all users"},
    };
    for (const auto& [answer, folder] : cases) {
        FakeServices services;
        services.answers = {answer};
        services.startupFolders = {{StartupFolder::CurrentUser, ""}, {StartupFolder::AllUsers, ""}};
        editor::deploy(services);
        ASSERT_EQ(services.log.size(), 4u);
        EXPECT_EQ(services.log[3], "message: The shortcut Brightwick could not be created in " +
                                       std::string(folder) +
                                       ": The system cannot find the path. Brightwick will not "
                                       "start at logon.");
    }
}

TEST(Deploy, CombineFailuresStopBeforeTheQuestion) {
    const std::pair<HelperRun, const char*> runs[] = {
        {{HelperRun::Ending::NotStarted, 0, "The system cannot find the file specified"},
         "copyfle.com could not be started: The system cannot find the file specified."},
        {{HelperRun::Ending::TimedOut, 0, ""}, "copyfle.com did not finish within 30 seconds."},
        {{HelperRun::Ending::Finished, 1, ""}, "copyfle.com could not write every day file"},
        {{HelperRun::Ending::Finished, 7, ""}, "copyfle.com ended with exit status 7."},
    };
    for (const auto& [run, text] : runs) {
        FakeServices services;
        services.helperRuns["copyfle.com"] = run;
        services.answers = {Answer::Yes};
        editor::deploy(services);
        ASSERT_EQ(services.log.size(), 2u) << text;
        EXPECT_EQ(services.log[1].find("message: " + std::string(text)), 0u) << services.log[1];
        EXPECT_NE(services.log[1].find("Nothing was deployed."), std::string::npos);
        EXPECT_TRUE(services.shortcuts.empty());
    }
}

TEST(Deploy, LeftOutPickFilesAreNamedAndTheDeploymentGoesOn) {
    for (const Answer answer : {Answer::Yes, Answer::Cancel}) {
        FakeServices services;
        services.helperRuns["copyfle.com"] = {HelperRun::Ending::Finished, 2, ""};
        services.folder.files = {{"2Mon.dat", "08:00\r\nC:\\a.exe\r\nNormal\r\nMonday\r\n"},
                                 {"3Mon.dat", "08:00\r\nC:\\b.exe\r\n"}};
        services.answers = {answer};
        editor::deploy(services);
        ASSERT_EQ(services.log.size(), 5u);
        EXPECT_EQ(services.log[1],
                  "message: copyfle.com left out one pick file:\n\n3Mon.dat: it holds 2 lines "
                  "instead of one record of 4\n\nIts program will not start at logon; every "
                  "other pick was combined. Pick that program again, and delete or correct the "
                  "files named.");
        EXPECT_EQ(services.log[2], kQuestion);
        EXPECT_EQ(services.log[4],
                  "message: " + std::string(answer == Answer::Yes ? editor::kDeployedForUser
                                                                  : editor::kDeployCancelled));
    }
}

TEST(Deploy, AMissingLauncherIsNamedAndNothingIsDeployed) {
    FakeServices services;
    services.missingFiles = {"C:\\Tools\\Brightwick.exe"};
    services.answers = {Answer::Yes};
    editor::deploy(services);
    EXPECT_EQ(services.log,
              Log{"message: Brightwick.exe is missing from C:\\Tools\\, the folder Norvell runs "
                  "from. Without it nothing would start your programs at logon, so nothing was "
                  "deployed. Put Brightwick.exe back beside Norvell.exe (installing Norvell "
                  "again does that) and deploy again."});
    EXPECT_TRUE(services.shortcuts.empty());
    EXPECT_EQ(services.answers.size(), 1u) << "no question asked";
}

TEST(Deploy, CancelReportsAFailingClear) {
    FakeServices services;
    services.helperRuns["clrfle.com"] = {HelperRun::Ending::Finished, 1, ""};
    editor::deploy(services);
    ASSERT_EQ(services.log.size(), 4u);
    EXPECT_EQ(services.log[3].find("message: clrfle.com could not move every pick file into the "
                                   "Cleared folder or empty every day file."),
              0u);
}

TEST(Reset, UntickAllSelectTwelveAmNormalThenClear) {
    FakeControls controls;
    FakeServices services;
    controls.days.fill(true);
    controls.current = {
        {List::List1, "PM"}, {List::List2, "07"}, {List::List3, "45"}, {List::List4, "Hide"}};
    controls.fields[editor::Field::Text4] = "9";
    controls.file = "app.exe";
    for (int click = 0; click < 2; ++click) {
        editor::resetClearList(controls, services);
        for (bool day : controls.days) EXPECT_FALSE(day);
        EXPECT_EQ(controls.current, (std::map<List, std::string>{{List::List1, "AM"},
                                                                 {List::List2, "12"},
                                                                 {List::List3, "00"},
                                                                 {List::List4, "Normal"}}));
        EXPECT_EQ(controls.fields[editor::Field::Text4], "9");
        EXPECT_EQ(controls.file, "app.exe");
    }
    EXPECT_EQ(services.log, (Log{"helper: clrfle.com", "helper: clrfle.com"}));

    services.helperRuns["clrfle.com"] = {HelperRun::Ending::NotStarted, 0, "not found"};
    editor::resetClearList(controls, services);
    EXPECT_EQ(
        services.log.back(),
        "message: clrfle.com could not be started: not found. The data files may not be clear.");
}
