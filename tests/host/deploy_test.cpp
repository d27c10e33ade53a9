// "Ready to Deploy..." and "Reset/Clear List" against recording fakes.
#include <gtest/gtest.h>

#include "editor/core/all_users_shortcut.hpp"
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

TEST(Deploy, RecordsThatNeverStartAreNamedWithTheirPickFilesBeforeTheQuestion) {
    FakeServices services;
    services.folder.files = {{"2Mon.dat", "25:99\r\nC:\\a.exe\r\nSometimes\r\nMonday\r\n"},
                             {"3Tue.dat", "08:00\r\nC:\\b.exe\r\nNormal\r\nTuesday\r\n"},
                             {"4Fri.dat", "8:00\r\nC:\\c.exe\r\nMin\r\nFriday\r\n"}};
    services.answers = {Answer::Yes};
    editor::deploy(services);
    ASSERT_EQ(services.log.size(), 5u);
    EXPECT_EQ(services.log[1],
              "message: Brightwick will never start the records of 2 pick files:\n\n2Mon.dat: "
              "its time \"25:99\" is not a time of day from 00:00 to 23:59, and its run style "
              "\"Sometimes\" is none of Normal, Hide, Min or Max\n4Fri.dat: its time \"8:00\" is "
              "not a time of day from 00:00 to 23:59\n\nPick those programs again with a time "
              "and a run style from the lists, then remove the record that Show List marks "
              "\"(never starts)\" (select it and press Del), or correct the file named.");
    EXPECT_EQ(services.log[2], kQuestion);
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

TEST(Deploy, YesTurnsADisabledStartupListEntryBackOnAndLeavesOthersAlone) {
    struct Case {
        std::optional<std::string> entry;  // none: no entry
        std::optional<std::string> after;
        bool written;
    };
    const Case cases[] = {
        {testing_support::kDisabledEntry, testing_support::kEnabledEntry, true},
        {std::string("\x07", 1), testing_support::kEnabledEntry,
         true},  // any odd first byte turns it off
        {testing_support::kEnabledEntry, testing_support::kEnabledEntry, false},
        {std::string("\x06\0\0\0", 4), std::string("\x06\0\0\0", 4), false},
        {std::nullopt, std::nullopt, false},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.answers = {Answer::Yes};
        if (c.entry) services.startupList[StartupFolder::CurrentUser] = *c.entry;
        services.startupList[StartupFolder::AllUsers] = testing_support::kDisabledEntry;
        editor::deploy(services);
        const auto entry = services.startupList.find(StartupFolder::CurrentUser);
        EXPECT_EQ(entry == services.startupList.end() ? std::nullopt
                                                      : std::optional<std::string>(entry->second),
                  c.after);
        EXPECT_EQ(services.startupList[StartupFolder::AllUsers], testing_support::kDisabledEntry)
            << "not the other";
        Log expected{"helper: copyfle.com", kQuestion, "shortcut: C:\\Tools\\Brightwick.exe"};
        if (c.written) expected.push_back("startup list: Brightwick.lnk 12 bytes, first 2");
        expected.push_back("message: " + std::string(editor::kDeployedForUser));
        EXPECT_EQ(services.log, expected);
    }
}

TEST(Deploy, AStartupListEntryThatCannotBeChangedOrReadIsToldAfterTheSuccess) {
    const std::pair<bool, const char*> cases[] = {
        {true,
         "message: Windows' startup list has the shortcut in the Startup folder of your account "
         "disabled, and Norvell could not enable it: Access is denied. Enable Brightwick in Task "
         "Manager's Startup apps (press Ctrl+Shift+Esc, choose Startup apps, select Brightwick "
         "and click Enable), or it will not start at logon."},
        {false,
         "message: Whether Windows' startup list lets the shortcut in the Startup folder of your "
         "account start could not be read: The registry is damaged. Enable Brightwick in Task "
         "Manager's Startup apps (press Ctrl+Shift+Esc, choose Startup apps, select Brightwick "
         "and click Enable), or it will not start at logon."},
    };
    for (const auto& [write, text] : cases) {
        FakeServices services;
        services.answers = {Answer::Yes};
        services.startupList[StartupFolder::CurrentUser] = testing_support::kDisabledEntry;
        if (write) {
            services.startupListWriteFailures[StartupFolder::CurrentUser] = "Access is denied.";
        } else {
            services.startupListReadFailures[StartupFolder::CurrentUser] =
                "The registry is damaged";
        }
        editor::deploy(services);
        ASSERT_GE(services.log.size(), 2u);
        EXPECT_EQ(services.log[services.log.size() - 2],
                  "message: " + std::string(editor::kDeployedForUser));
        EXPECT_EQ(services.log.back(), text);
    }
}

TEST(Deploy, AShortcutInTheOtherStartupFolderIsADoubleStartOnlyWithTheSameSchedule) {
    struct Case {
        Answer answer;
        StartupFolder other;
        const char* schedule;  // the other shortcut's
        const char* message;
    };
    const Case cases[] = {
        {Answer::Yes, StartupFolder::AllUsers, "c:\\sched",
         "message: The Startup folder of all users holds a Brightwick shortcut too, so "
         "Brightwick will start twice at each logon, and every due program twice. Remove that "
         "one, C:\\ProgramData\\Startup\\Brightwick.lnk (this needs administrator rights, and "
         "Brightwick then no longer starts for the other users of this computer)."},
        {Answer::No, StartupFolder::CurrentUser, "c:\\sched",
         "message: The Startup folder of your account holds a Brightwick shortcut too, so "
         "Brightwick will start twice at each logon, and every due program twice. Remove that "
         "one, C:\\Users\\me\\Startup\\Brightwick.lnk: the new shortcut starts Brightwick for "
         "you too."},
        {Answer::Yes, StartupFolder::AllUsers, "D:\\Old",
         "message: At each logon Brightwick starts twice, once with each of two schedules, and "
         "the due programs of both start: the schedule in C:\\Sched, from the Startup folder of "
         "your account, and the one in D:\\Old, from the Startup folder of all users."},
        {Answer::No, StartupFolder::CurrentUser, "D:\\Old",
         "message: At each logon Brightwick starts twice, once with each of two schedules, and "
         "the due programs of both start: the schedule in D:\\Old, from the Startup folder of "
         "your account, and the one in C:\\Sched, from the Startup folder of all users."},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.answers = {c.answer};
        // Another copy's launcher counts as much as this one's: either starts a schedule.
        services.shortcutFiles[services.linkPath(c.other)] = {"", "D:\\Old\\Brightwick.exe", "",
                                                              c.schedule};
        editor::deploy(services);
        ASSERT_EQ(services.log.size(), 5u);
        EXPECT_EQ(services.log[3],
                  "message: " + std::string(c.answer == Answer::Yes ? editor::kDeployedForUser
                                                                    : editor::kDeployedForAll));
        EXPECT_EQ(services.log[4], c.message);
    }
}

TEST(Deploy, AnOtherShortcutThatDoesNotStartIsNoDoubleStart) {
    for (const bool disabled : {true, false}) {
        FakeServices services;
        services.answers = {Answer::Yes};
        services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)] = {
            "", "C:\\Tools\\Brightwick.exe", "", "C:\\Sched"};
        if (disabled) {
            services.startupList[StartupFolder::AllUsers] = testing_support::kDisabledEntry;
        } else {
            services.missingFiles = {"C:\\Gone\\Brightwick.exe"};
            services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)].target =
                "C:\\Gone\\Brightwick.exe";
        }
        editor::deploy(services);
        EXPECT_EQ(services.log.back(), "message: " + std::string(editor::kDeployedForUser));
    }
}

namespace {
// Users may create and change files: the access list of a folder under C:\ after Windows set up.
editor::Security authenticatedUsersMayChange() {
    editor::Security security = FakeServices::safeSecurity();
    security.entries.push_back({true, "S-1-5-11", "Authenticated Users", 0x1301BF, false, true});
    return security;
}
}  // namespace

TEST(Deploy, NoFromAFolderOthersMayChangeIsRefusedBeforeAnythingIsMade) {
    FakeServices services;
    services.answers = {Answer::No};
    services.securities["C:\\Sched"] = authenticatedUsersMayChange();
    editor::deploy(services);
    EXPECT_TRUE(services.shortcuts.empty());
    ASSERT_EQ(services.log.size(), 3u);
    EXPECT_EQ(services.log[2],
              "message: Brightwick was not deployed for all users. Whatever it starts at logon "
              "would start for every user of this computer, administrators too, but:\n\n"
              "- C:\\Sched: Authenticated Users may create or change files there, so any of them "
              "could put a program of their own into the logon of every user, administrators "
              "included.\n\n"
              "Put Norvell's programs and its schedule into a folder that only administrators "
              "can change and every user can read, such as C:\\Program Files\\Norvell, which "
              "administrators own. Start Norvell there as administrator to change the schedule, "
              "and deploy for all users again. To deploy for your account only, answer Yes "
              "instead.");
}

TEST(Deploy, YesIsMadeWhateverTheFoldersAllow) {
    FakeServices services;
    services.answers = {Answer::Yes};
    services.securities["C:\\Sched"] = authenticatedUsersMayChange();
    services.securities["C:\\Tools"] = authenticatedUsersMayChange();
    editor::deploy(services);
    EXPECT_EQ(services.shortcuts.size(), 1u);
    EXPECT_EQ(services.log.back(), "message: " + std::string(editor::kDeployedForUser));
}

TEST(Deploy, AllUsersRefusedForWantOfRightsOffersAdministratorRights) {
    const std::string question =
        "message: Only an administrator may put a shortcut into the Startup folder of all users "
        "(C:\\ProgramData\\Startup), and Norvell runs without administrator rights. Create the "
        "shortcut with administrator rights? Windows will ask for an administrator's consent.";
    const std::string elevated = "as administrator: /create-all-users-shortcut \"C:\\Sched\"";
    const std::string denied =
        "message: The shortcut Brightwick could not be created in C:\\ProgramData\\Startup: "
        "Access is denied. Brightwick will not start at logon.";
    using Ending = editor::AdministratorRun::Ending;
    struct Case {
        Answer answer;
        editor::AdministratorRun run;
        Log tail;
    };
    const Case cases[] = {
        {Answer::Yes, {}, {question, elevated, "message: " + std::string(editor::kDeployedForAll)}},
        {Answer::No, {}, {question, denied}},
        {Answer::Yes,
         {Ending::NotStarted, 0,
          schedule::Outcome::systemFailure(1223, "The operation was canceled by the user")},
         {question, elevated,
          "message: The shortcut Brightwick could not be created in C:\\ProgramData\\Startup: "
          "The operation was canceled by the user. Brightwick will not start at logon."}},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.answers = {Answer::No, c.answer};
        services.shortcutFailures[StartupFolder::AllUsers] = "Access is denied";
        services.shortcutFailureCodes[StartupFolder::AllUsers] = editor::kAccessDenied;
        services.administratorRun = c.run;
        editor::deploy(services);
        Log expected{"helper: copyfle.com", kQuestion, "shortcut: C:\\Tools\\Brightwick.exe"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(services.log, expected);
    }
}

TEST(Deploy, OtherFailuresAndTheUsersFolderAreNotRetriedWithAdministratorRights) {
    const std::pair<Answer, unsigned long> cases[] = {
        {Answer::No, 3},                       // the path is not found
        {Answer::Yes, editor::kAccessDenied},  // only the folder of all users needs rights
    };
    for (const auto& [answer, code] : cases) {
        FakeServices services;
        services.answers = {answer, Answer::Yes};
        const StartupFolder where =
            answer == Answer::Yes ? StartupFolder::CurrentUser : StartupFolder::AllUsers;
        services.shortcutFailures[where] = "Refused";
        services.shortcutFailureCodes[where] = code;
        editor::deploy(services);
        ASSERT_EQ(services.log.size(), 4u);
        EXPECT_EQ(services.log[3].find("message: The shortcut Brightwick could not be created"),
                  0u);
    }
}

namespace {
using DriveKind = editor::DriveLetter::Kind;
}

TEST(Deploy, DriveLettersThatMayBeMissingAtLogon) {
    struct Case {
        const char* what;
        std::map<char, FakeServices::Drive> drives;
        std::string workingFolder;
        std::string target;             // of the shortcut made
        std::string shortcutFolder;     // its working folder
        std::vector<std::string> told;  // after the success, each naming its drive
    };
    const Case cases[] = {
        {"a mapped drive is spelt as its share",
         {{'Z', {DriveKind::Network, "\\\\srv\\apps", ""}}},
         "Z:\\Sched",
         "C:\\Tools\\Brightwick.exe",
         "\\\\srv\\apps\\Sched",
         {}},
        {"a substitute drive is named with what it stands for",
         {{'S', {DriveKind::Substitute, "C:\\Users\\me\\Plans", ""}}},
         "S:\\Sched",
         "C:\\Tools\\Brightwick.exe",
         "S:\\Sched",
         {"S:\\Sched, on drive S:", "subst", "C:\\Users\\me\\Plans\\Sched"}},
        {"a network drive without its share is named with the reason",
         {{'Z', {DriveKind::Network, "", "The network is not present or not started"}}},
         "z:\\Sched",
         "C:\\Tools\\Brightwick.exe",
         "z:\\Sched",
         {"drive Z:", "The network is not present or not started.", "reconnects"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeServices services;
        services.answers = {Answer::Yes};
        services.drives = c.drives;
        services.workingFolderPath = c.workingFolder;
        editor::deploy(services);
        ASSERT_EQ(services.shortcuts.size(), 1u);
        EXPECT_EQ(services.shortcuts[0].second.target, c.target);
        EXPECT_EQ(services.shortcuts[0].second.workingFolder, c.shortcutFolder);
        ASSERT_FALSE(services.log.empty());
        const std::string& last = services.log.back();
        if (c.told.empty()) {
            EXPECT_EQ(last, "message: " + std::string(editor::kDeployedForUser));
        }
        for (const std::string& part : c.told) {
            EXPECT_NE(last.find(part), std::string::npos) << last;
        }
    }
}

TEST(Deploy, ADriveOfBothTheLauncherAndTheScheduleIsToldOnce) {
    FakeServices services;
    services.answers = {Answer::Yes};
    services.drives = {{'S', {DriveKind::Substitute, "C:\\Plans", ""}}};
    services.programFolderPath = "S:\\Tools";
    services.workingFolderPath = "S:\\Sched";
    editor::deploy(services);
    const auto told = std::count_if(
        services.log.begin(), services.log.end(),
        [](const std::string& entry) { return entry.find("drive S:") != std::string::npos; });
    EXPECT_EQ(told, 1);
    EXPECT_EQ(services.log.end()[-2], "message: " + std::string(editor::kDeployedForUser));
}

// The instance with administrator rights makes the shortcut for all users and turns it on in
// the computer's startup list; the editor tells what came of it, never a failure for a
// shortcut that may yet be made, and never a system's text for the instance's own statuses.
TEST(Deploy, WhatTheInstanceWithAdministratorRightsDidIsTold) {
    using Ending = editor::AdministratorRun::Ending;
    const std::string success = "message: " + std::string(editor::kDeployedForAll);
    struct Case {
        const char* name;
        editor::AdministratorRun run;
        std::function<void(FakeServices&)> arrange;
        Log told;  // after the question and the instance's start
    };
    const Case cases[] = {
        {"made and turned on", {Ending::Finished, 0, {}}, nullptr, {success}},
        {"made, but left turned off",
         {Ending::Finished, editor::kMadeButTurnedOff, {}},
         nullptr,
         {success,
          "message: Windows' startup list has the shortcut in the Startup folder of all users "
          "disabled, and Norvell could not enable it. Enable Brightwick in Task Manager's Startup "
          "apps (press Ctrl+Shift+Esc, choose Startup apps, select Brightwick and click Enable), "
          "or it will not start at logon."}},
        {"refused, for what only the administrator's account sees",
         {Ending::Finished, editor::kRefusedForAllUsers, {}},
         nullptr,
         {"message: Brightwick was not deployed for all users. Norvell, run with administrator "
          "rights, found that someone besides the administrators could change the folder of "
          "Norvell's programs or of its schedule, or a folder above them, though from your "
          "account Norvell finds nothing wrong with them: the administrator's account may see "
          "them otherwise. Put Norvell's programs and its schedule into a folder that only "
          "administrators can "
          "change and every user can read, such as C:\\Program Files\\Norvell, and deploy for "
          "all users again."}},
        {"a system error",
         {Ending::Finished, editor::kAccessDenied,
          schedule::Outcome::systemFailure(editor::kAccessDenied, "Access is denied")},
         nullptr,
         {"message: The shortcut Brightwick could not be created in C:\\ProgramData\\Startup: "
          "Access is denied. Brightwick will not start at logon."}},
        {"a status without words",
         {Ending::Finished, 0x20000007, {}},
         nullptr,
         {"message: The shortcut Brightwick could not be created in C:\\ProgramData\\Startup: "
          "Norvell with administrator rights ended with status 536870919. Brightwick will not "
          "start at logon."}},
        {"still at work, the shortcut in place",
         {Ending::StillRunning, 0, {}},
         [](FakeServices& s) {
             s.shortcutFiles[s.linkPath(StartupFolder::AllUsers)] = {
                 "", "C:\\Tools\\Brightwick.exe", "", "C:\\Sched"};
         },
         {success,
          "message: Norvell, run with administrator rights, had not finished after 2 minutes, "
          "but the shortcut is in place. Whether Windows' startup list lets it start, Schedule > "
          "Deployment Status... tells."}},
        {"still at work, no shortcut yet",
         {Ending::StillRunning, 0, {}},
         nullptr,
         {"message: Norvell, started with administrator rights to make the shortcut in "
          "C:\\ProgramData\\Startup, has not finished after 2 minutes, and there is no "
          "Brightwick shortcut there yet. It may still make it: Schedule > Deployment Status... "
          "tells whether it did."}},
        {"still at work, another copy's shortcut there",
         {Ending::StillRunning, 0, {}},
         [](FakeServices& s) {
             // The same schedule: replaced without a question.
             s.shortcutFiles[s.linkPath(StartupFolder::AllUsers)] = {"", "D:\\Old\\Brightwick.exe",
                                                                     "", "C:\\Sched"};
         },
         {"message: Norvell, started with administrator rights to make the shortcut in "
          "C:\\ProgramData\\Startup, has not finished after 2 minutes, and the Brightwick "
          "shortcut there does not start this editor's Brightwick.exe in its working folder yet. "
          "It may still make it: Schedule > Deployment Status... tells whether it did."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices services;
        services.answers = {Answer::No, Answer::Yes};
        services.shortcutFailures[StartupFolder::AllUsers] = "Access is denied";
        services.shortcutFailureCodes[StartupFolder::AllUsers] = editor::kAccessDenied;
        // Turned off: only the instance with administrator rights may turn it on.
        services.startupList[StartupFolder::AllUsers] = testing_support::kDisabledEntry;
        services.administratorRun = c.run;
        if (c.arrange) c.arrange(services);
        editor::deploy(services);
        ASSERT_GE(services.log.size(), 5u);
        EXPECT_EQ(services.log[4], "as administrator: /create-all-users-shortcut \"C:\\Sched\"");
        Log told(services.log.begin() + 5, services.log.end());
        EXPECT_EQ(told, c.told);
        EXPECT_EQ(services.startupList[StartupFolder::AllUsers], testing_support::kDisabledEntry)
            << "the editor leaves the computer's startup list to that instance";
    }
}

TEST(Deploy, TheInstancesRefusalIsToldWithWhatTheEditorNowFinds) {
    FakeServices services;
    services.answers = {Answer::No, Answer::Yes};
    services.shortcutFailures[StartupFolder::AllUsers] = "Access is denied";
    services.shortcutFailureCodes[StartupFolder::AllUsers] = editor::kAccessDenied;
    services.administratorRun = {
        editor::AdministratorRun::Ending::Finished, editor::kRefusedForAllUsers, {}};
    // Changed by another process between the editor's check and the instance's.
    services.whileAdministratorRuns = [&services] {
        services.securities["C:\\Sched"] = authenticatedUsersMayChange();
    };
    editor::deploy(services);
    ASSERT_EQ(services.log.size(), 6u);
    const std::string& told = services.log[5];
    EXPECT_EQ(told.rfind("message: Brightwick was not deployed for all users. Whatever", 0), 0u)
        << told;
    EXPECT_NE(told.find("\n- C:\\Sched: Authenticated Users may create or change files there, "),
              std::string::npos)
        << told;
    EXPECT_TRUE(services.shortcutFiles.empty());
}

TEST(Deploy, NoRefusesAProgramThatOthersThanAdministratorsMayChangeOrReach) {
    const editor::Security bobs{"S-1-5-21-1-2-3-1002",
                                "PC\\bob",
                                true,
                                {{true, "S-1-5-21-1-2-3-1002", "PC\\bob", 0x1F01FF, false, true}}};
    const struct {
        const char* program;
        const char* refusal;  // none: deployed
    } cases[] = {
        {"C:\\Users\\bob\\tool.exe",
         "- C:\\Users\\bob\\tool.exe (Monday):\n  - C:\\Users\\bob: PC\\bob may create or change "
         "files there"},
        {"C:\\Program Files\\Links\\tool.lnk",
         "- C:\\Program Files\\Links\\tool.lnk (Monday):\n  - C:\\Apps\\tool.exe: Authenticated "
         "Users may change or replace it"},
        {"C:\\Program Files\\App\\app.exe", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        FakeServices services;
        services.answers = {Answer::No};
        services.folder.files["datmon.dat"] =
            "08:00\r\n" + std::string(c.program) + "\r\nNormal\r\nMonday\r\n";
        services.securities["C:\\Users\\bob"] = bobs;
        services.securities["C:\\Users\\bob\\tool.exe"] = bobs;
        services.shortcutFiles["C:\\Program Files\\Links\\tool.lnk"] = {"", "C:\\Apps\\tool.exe",
                                                                        "", ""};
        services.securities["C:\\Apps\\tool.exe"] = authenticatedUsersMayChange();
        editor::deploy(services);
        ASSERT_EQ(services.log.size(), c.refusal ? 3u : 4u);
        if (c.refusal) {
            EXPECT_NE(services.log[2].find(c.refusal), std::string::npos) << services.log[2];
            EXPECT_TRUE(services.shortcuts.empty());
        } else {
            EXPECT_EQ(services.log[3], "message: " + std::string(editor::kDeployedForAll));
        }
    }
}

TEST(Deploy, ReplacingTheShortcutOfAllUsersWithAnotherScheduleAsksFirstNamingBoth) {
    const std::string question =
        "message: The Startup folder of all users holds a Brightwick shortcut, "
        "C:\\ProgramData\\Startup\\Brightwick.lnk, that starts Brightwick with the schedule in "
        "D:\\Old at every user's logon. Replace it with one for the schedule in C:\\Sched, which "
        "you edit here? The programs of the schedule in D:\\Old then no longer start at logon.";
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        FakeServices services;
        services.answers = {Answer::No, answer};
        const std::string link = services.linkPath(StartupFolder::AllUsers);
        services.shortcutFiles[link] = {"", "D:\\Old\\Brightwick.exe", "", "D:\\Old"};
        editor::deploy(services);
        ASSERT_GE(services.log.size(), 4u);
        EXPECT_EQ(services.log[2], question);
        EXPECT_EQ(services.shortcutFiles[link].workingFolder,
                  answer == Answer::Yes ? "C:\\Sched" : "D:\\Old");
        if (answer == Answer::No) {
            EXPECT_EQ(services.log.back(),
                      "message: Nothing was deployed: the Brightwick shortcut of all users still "
                      "starts the schedule in D:\\Old.");
        }
    }
}
