// "Deployment Status...": what the one message says of each Startup folder, the last logon run,
// and every problem with what to do about it.
#include <gtest/gtest.h>

#include "editor/core/deployment_status.hpp"
#include "fake_editor.hpp"
#include "launcher/history.hpp"
#include "launcher/last_run.hpp"
#include "schedule/path_limit.hpp"

using editor::StartupFolder;
using testing_support::FakeServices;

namespace {

// This editor's launcher in its working folder (the fake's C:\Tools and C:\Sched).
editor::Shortcut ours() {
    return {"", "C:\\Tools\\Brightwick.exe", "", "C:\\Sched"};
}

std::string status(FakeServices& services) {
    services.log.clear();
    editor::deploymentStatus(services);
    EXPECT_EQ(services.log.size(), 1u) << "one message";
    if (services.log.empty()) return {};
    const std::string& text = services.log.front();
    EXPECT_EQ(text.rfind("message: ", 0), 0u);
    return text.substr(9);
}

bool holds(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// The last run as the editor reads it from a history that holds this run's entry.
std::optional<launcher::LastRun> lastRunOf(const launcher::RunResult& run) {
    const std::string entry =
        launcher::historyEntry({2025, 3, 10, 8, 15, 2}, "C:\\Sched", run,
                               [](std::string_view bytes) { return std::string(bytes); });
    return launcher::newestRun(launcher::historyWithEntry({}, entry));
}

// A Monday run in which each of `failures` (program, reason; no reason: an unknown run style)
// was due and not started, and C:\a.exe started.
launcher::RunResult mondayRun(
    const std::vector<std::pair<std::string, std::optional<std::string>>>& failures) {
    launcher::RunResult run;
    run.dayFile = "datmon.dat";
    run.opened = true;
    launcher::DueRecord started{"C:\\a.exe", "Normal", 1, {}};
    run.pass.due.push_back(started);
    for (const auto& [program, reason] : failures) {
        launcher::DueRecord record{program,
                                   reason ? "Normal" : "Minimise",
                                   reason ? std::optional<int>(1) : std::nullopt,
                                   {}};
        if (reason) record.start.outcome = schedule::Outcome::failure(*reason);
        run.pass.due.push_back(record);
    }
    return run;
}

}  // namespace

TEST(DeploymentStatus, ADeploymentForTheUserThatIsInOrderSaysSoWithTheLastRun) {
    FakeServices services;
    services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
    services.lastRun = launcher::LastRun{"2025-03-10 08:15:02", "All 2 due programs started."};
    EXPECT_EQ(status(services),
              "Windows starts Brightwick, which starts your programs, at logon through a shortcut "
              "in a Startup folder. This is what Windows will find.\n\n"
              "The Startup folder of your account (C:\\Users\\me\\Startup):\n"
              "- The shortcut Brightwick.lnk is there.\n"
              "- It starts C:\\Tools\\Brightwick.exe, this editor's Brightwick.exe.\n"
              "- It starts it in C:\\Sched, this editor's working folder, where the schedule you "
              "edit here is.\n"
              "- Windows' startup list lets it start at logon.\n\n"
              "The Startup folder of all users (C:\\ProgramData\\Startup):\n"
              "- There is no Brightwick shortcut.\n\n"
              "Brightwick last ran at a logon of your account on 2025-03-10 08:15:02: All 2 due "
              "programs started.\n\n"
              "All is well: Brightwick starts once at each logon, with the schedule you edit "
              "here.");
}

TEST(DeploymentStatus, AfterALogonThatStartedEveryDueProgramAllIsWell) {
    FakeServices services;
    services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
    services.lastRun = lastRunOf(mondayRun({}));
    ASSERT_TRUE(services.lastRun);
    const std::string text = status(services);
    EXPECT_TRUE(holds(text, "2025-03-10 08:15:02: The one due program started.")) << text;
    EXPECT_TRUE(
        text.ends_with("All is well: Brightwick starts once at each logon, with the "
                       "schedule you edit here."))
        << text;
}

TEST(DeploymentStatus, EachDueProgramTheLastLogonDidNotStartIsNamedWithWhyAndWhatToDo) {
    const std::string tooLong = "C:\\Tools\\" + std::string(260, 'a') + ".exe";
    struct Case {
        const char* name;
        launcher::RunResult run;
        std::vector<std::string> todo;  // each found after "What to do:"
    };
    launcher::RunResult unread;
    unread.dayFile = "datsun.dat";
    unread.reason = "The system cannot find the file specified.";
    launcher::RunResult incomplete = mondayRun({});
    incomplete.pass.incompleteLastRecord = true;
    incomplete.pass.incompleteLines = 2;
    const Case cases[] = {
        {"a program gone",
         mondayRun({{"C:\\gone.exe", "The system cannot find the file specified."}}),
         {"- \"C:\\gone.exe\" was not started at the last logon: The system cannot find the file "
          "specified. Check that the program is still at that path, and try it with Start Now "
          "in Show List under Monday (select it and press Enter); if it is gone for good, remove "
          "its record in Show List under Monday (select it and press Del)."}},
        {"a path too long",
         mondayRun({{tooLong, schedule::pathTooLongReason(tooLong)}}),
         {"- \"" + tooLong +
          "\" was not started at the last logon: Its path is 273 characters "
          "long; Windows starts no program by a path of 260 characters or more. Move the program "
          "to a folder with a shorter path, or give it a shorter name, pick it there, and remove "
          "its record in Show List under Monday (select it and press Del)."}},
        {"an unknown run style",
         mondayRun({{"C:\\b.exe", std::nullopt}}),
         {"- \"C:\\b.exe\" was not started at the last logon: its run style \"Minimise\" is not "
          "one that Brightwick knows, so it was passed over. Pick the program again with a run "
          "style from the list, and remove its record in Show List under Monday"}},
        {"the day file not read",
         unread,
         {"- At the last logon Brightwick could not read the day file datsun.dat: The system "
          "cannot find the file specified, so it started nothing: click \"Show List\", which "
          "builds the day files again from your picks."}},
        {"an incomplete record",
         incomplete,
         {"- The day file datmon.dat ended in an incomplete record at the last logon"}},
        {"many",
         mondayRun({{"C:\\1.exe", "r"},
                    {"C:\\2.exe", "r"},
                    {"C:\\3.exe", "r"},
                    {"C:\\4.exe", "r"},
                    {"C:\\5.exe", "r"},
                    {"C:\\6.exe", "r"},
                    {"C:\\7.exe", "r"}}),
         {"- \"C:\\5.exe\" was not started",
          "- 2 more due programs were not started at the last logon: Schedule, Logon History "
          "names them with their reasons."}},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
        services.lastRun = lastRunOf(c.run);
        ASSERT_TRUE(services.lastRun) << c.name;
        const std::string text = status(services);
        EXPECT_FALSE(holds(text, "All is well")) << c.name << "\n" << text;
        const std::size_t todo = text.find("\n\nWhat to do:\n");
        ASSERT_NE(todo, std::string::npos) << c.name << "\n" << text;
        for (const std::string& line : c.todo) {
            EXPECT_NE(text.find(line, todo), std::string::npos) << c.name << "\n" << text;
        }
        EXPECT_FALSE(holds(text, "\"C:\\6.exe\" was not started")) << "five named at most";
    }
}

TEST(DeploymentStatus, EveryProblemOfOneShortcutIsNamedWithItsRemedy) {
    struct Case {
        const char* name;
        StartupFolder where;
        editor::Shortcut shortcut;
        std::set<std::string> missing;  // files that do not exist
        std::optional<std::string> listEntry;
        std::vector<std::string> said;  // parts of the message, each one found
    };
    const std::string yes = "deploy again (click \"Ready to Deploy...\" and answer Yes).";
    const std::string no = "deploy again (click \"Ready to Deploy...\" and answer No).";
    const Case cases[] = {
        {"moved launcher",
         StartupFolder::CurrentUser,
         {"", "D:\\Old\\Brightwick.exe", "", "C:\\Sched"},
         {"D:\\Old\\Brightwick.exe"},
         std::nullopt,
         {"- It starts D:\\Old\\Brightwick.exe, which does not exist.\n",
          "- The shortcut in the Startup folder of your account starts D:\\Old\\Brightwick.exe, "
          "which does not exist: " +
              yes}},
        {"another copy's launcher",
         StartupFolder::AllUsers,
         {"", "D:\\Other\\Brightwick.exe", "", "C:\\Sched"},
         {},
         std::nullopt,
         {"- It starts D:\\Other\\Brightwick.exe, which is not this editor's Brightwick.exe "
          "(C:\\Tools\\Brightwick.exe).\n",
          "- The shortcut in the Startup folder of all users starts D:\\Other\\Brightwick.exe "
          "instead of C:\\Tools\\Brightwick.exe: " +
              no}},
        {"another schedule",
         StartupFolder::CurrentUser,
         {"", "C:\\Tools\\Brightwick.exe", "", "D:\\Elsewhere"},
         {},
         std::nullopt,
         {"- It starts it in D:\\Elsewhere, which is not this editor's working folder "
          "(C:\\Sched): at logon Brightwick reads the schedule there, not the one you edit "
          "here.\n",
          "- The shortcut in the Startup folder of your account reads the schedule in "
          "D:\\Elsewhere instead of the one you edit here: " +
              yes}},
        {"nothing named",
         StartupFolder::CurrentUser,
         {"", "", "", ""},
         {},
         std::nullopt,
         {"- It names no program to start.\n",
          "- It names no working folder, where Brightwick would find the schedule.\n",
          "- The shortcut in the Startup folder of your account names no program and names no "
          "working folder, so Brightwick would not find the schedule: " +
              yes}},
        {"disabled for the user",
         StartupFolder::CurrentUser,
         ours(),
         {},
         testing_support::kDisabledEntry,
         {"- Windows' startup list has it disabled: Windows does not start it at logon.\n",
          "- The shortcut in the Startup folder of your account is disabled in Windows' startup "
          "list, so Windows does not start Brightwick at logon: enable it in Task Manager's "
          "Startup apps (press Ctrl+Shift+Esc, choose Startup apps, select Brightwick and click "
          "Enable), or deploy again with Yes, which enables it."}},
        {"disabled for all users",
         StartupFolder::AllUsers,
         ours(),
         {},
         std::string("\x05", 1),
         {"- Windows' startup list has it disabled: Windows does not start it at logon.\n",
          "select Brightwick and click Enable)."}},
        {"an even first byte is enabled",
         StartupFolder::CurrentUser,
         ours(),
         {},
         std::string("\x06\0\0\0", 4),
         {"- Windows' startup list lets it start at logon.\n", "All is well"}},
        {"letter case is no difference",
         StartupFolder::CurrentUser,
         {"", "c:\\TOOLS\\brightwick.EXE", "", "c:\\sched"},
         {},
         std::nullopt,
         {"this editor's Brightwick.exe.\n", "this editor's working folder", "All is well"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices services;
        services.shortcutFiles[services.linkPath(c.where)] = c.shortcut;
        services.missingFiles = c.missing;
        if (c.listEntry) services.startupList[c.where] = *c.listEntry;
        const std::string text = status(services);
        for (const std::string& part : c.said)
            EXPECT_TRUE(holds(text, part)) << part << "\n" << text;
        const bool fine = holds(text, "All is well");
        EXPECT_NE(fine, holds(text, "What to do:")) << text;
    }
}

TEST(DeploymentStatus, NothingDeployedSaysHowToDeploy) {
    FakeServices services;
    const std::string text = status(services);
    EXPECT_TRUE(holds(text,
                      "- There is no Brightwick shortcut.\n\nThe Startup folder of all "
                      "users (C:\\ProgramData\\Startup):\n- There is no Brightwick "
                      "shortcut.\n"))
        << text;
    EXPECT_TRUE(holds(text, "Brightwick has not run at a logon of your account yet.\n\n")) << text;
    EXPECT_TRUE(holds(text,
                      "What to do:\n- Brightwick is not deployed, so nothing starts your "
                      "programs at logon. To deploy it, click \"Ready to Deploy...\" and "
                      "answer Yes for your account or No for all users."))
        << text;
}

TEST(DeploymentStatus, TwoShortcutsThatStartNameTheDoubleStartAndTheOneToRemove) {
    struct Case {
        const char* name;
        editor::Shortcut user;
        editor::Shortcut allUsers;
        StartupFolder remove;
    };
    // Another copy's launcher, with the same schedule.
    const editor::Shortcut other{"", "D:\\Other\\Brightwick.exe", "", "C:\\Sched"};
    const Case cases[] = {
        {"both this editor's: the user's goes", ours(), ours(), StartupFolder::CurrentUser},
        {"only the user's is this editor's", ours(), other, StartupFolder::AllUsers},
        {"only the one of all users is", other, ours(), StartupFolder::CurrentUser},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices services;
        services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = c.user;
        services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)] = c.allUsers;
        const std::string text = status(services);
        std::string expected =
            "- Brightwick starts twice at each logon, once from each Startup folder, so every "
            "due program starts twice: remove the second shortcut, " +
            services.linkPath(c.remove);
        expected += c.remove == StartupFolder::AllUsers
                        ? " (this needs administrator rights, and Brightwick then no longer "
                          "starts for the other users of this computer)."
                        : ".";
        EXPECT_TRUE(holds(text, expected)) << text;
        // The one to remove is not also to be deployed again.
        EXPECT_FALSE(holds(text, "instead of")) << text;
    }
}

TEST(DeploymentStatus, ADisabledShortcutBesideOneThatStartsIsToBeRemovedNotEnabled) {
    FakeServices services;
    services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
    services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)] = ours();
    services.startupList[StartupFolder::AllUsers] = testing_support::kDisabledEntry;
    const std::string text = status(services);
    EXPECT_TRUE(holds(text,
                      "- The shortcut in the Startup folder of all users is disabled in "
                      "Windows' startup list, and Brightwick starts from the one in the "
                      "Startup folder of your account: remove the disabled one, "
                      "C:\\ProgramData\\Startup\\Brightwick.lnk, so that enabling it by "
                      "mistake cannot start Brightwick twice."))
        << text;
    EXPECT_FALSE(holds(text, "starts twice at each logon")) << text;
    EXPECT_FALSE(holds(text, "click Enable")) << text;
}

// A shortcut that is there but starts nothing is no reason to remove the disabled one: that
// would leave no way to start Brightwick at all.
TEST(DeploymentStatus, ADisabledShortcutBesideOneThatDoesNotStartIsToBeEnabled) {
    FakeServices services;
    services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
    services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)] = {
        "", "D:\\Old\\Brightwick.exe", "", "C:\\Sched"};
    services.missingFiles = {"D:\\Old\\Brightwick.exe"};
    services.startupList[StartupFolder::CurrentUser] = testing_support::kDisabledEntry;
    const std::string text = status(services);
    EXPECT_TRUE(holds(text,
                      "- The shortcut in the Startup folder of your account is disabled in "
                      "Windows' startup list, so Windows does not start Brightwick at logon: "
                      "enable it in Task Manager's Startup apps"))
        << text;
    EXPECT_FALSE(holds(text, "remove the disabled one")) << text;
}

TEST(DeploymentStatus, WhatCannotBeReadIsNamedWithTheSystemsReason) {
    FakeServices services;
    services.startupFolders[StartupFolder::AllUsers] = "";
    services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
    services.startupListReadFailures[StartupFolder::CurrentUser] = "Access is denied.";
    services.lastRunFailure = "The process cannot access the file";
    std::string text = status(services);
    EXPECT_TRUE(holds(text,
                      "The Startup folder of all users cannot be found: The system cannot "
                      "find the path.\n\n"))
        << text;
    EXPECT_TRUE(holds(text,
                      "- Whether Windows' startup list lets it start cannot be read: Access "
                      "is denied.\n"))
        << text;
    EXPECT_TRUE(holds(text,
                      "The logon history of your account cannot be read: The process "
                      "cannot access the file.\n\n"))
        << text;
    EXPECT_TRUE(holds(text,
                      "- Look for Brightwick in Task Manager's Startup apps (press "
                      "Ctrl+Shift+Esc) and enable it if it is disabled: whether the "
                      "shortcut in the Startup folder of your account may start could not "
                      "be read."))
        << text;

    FakeServices damaged;
    damaged.unreadableShortcuts[damaged.linkPath(StartupFolder::CurrentUser)] = "Unspecified error";
    text = status(damaged);
    EXPECT_TRUE(holds(text,
                      "- There is a file Brightwick.lnk, but Windows cannot read it as a "
                      "shortcut: Unspecified error.\n"))
        << text;
    EXPECT_TRUE(holds(text,
                      "- The file C:\\Users\\me\\Startup\\Brightwick.lnk is not a shortcut "
                      "Windows can read, so Brightwick does not start from it: deploy "
                      "again (click \"Ready to Deploy...\" and answer Yes)."))
        << text;
    EXPECT_FALSE(holds(text, "is not deployed")) << "a file is there";
}

TEST(DeploymentStatus, AShortcutThroughAMappedDrivesShareOrItsLetterIsThisEditors) {
    for (const std::string prefix : {"\\\\srv\\apps", "Z:"}) {
        SCOPED_TRACE(prefix);
        FakeServices services;
        services.drives = {{'Z', {editor::DriveLetter::Kind::Network, "\\\\srv\\apps", ""}}};
        services.programFolderPath = "Z:\\Tools";
        services.workingFolderPath = "Z:\\Sched";
        services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = {
            "", prefix + "\\Tools\\Brightwick.exe", "", prefix + "\\Sched"};
        const std::string text = status(services);
        EXPECT_TRUE(holds(text, ", this editor's Brightwick.exe.")) << text;
        EXPECT_TRUE(holds(text, ", this editor's working folder,")) << text;
    }
}

TEST(DeploymentStatus, AProgramOfASchedulesForAllUsersThatAUserMayChangeIsNamedWithWhatToDo) {
    FakeServices services;
    services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)] = ours();
    services.folder.files["datfri.dat"] =
        "08:00\r\nC:\\Users\\bob\\tool.exe\r\nNormal\r\nFriday\r\n";
    services.securities["C:\\Users\\bob\\tool.exe"] = {"S-1-5-21-1-2-3-1002", "PC\\bob", true, {}};
    const std::string text = status(services);
    EXPECT_TRUE(
        holds(text,
              "- C:\\Users\\bob\\tool.exe starts at every user's logon (Friday), but others "
              "than administrators could change it: C:\\Users\\bob\\tool.exe: it belongs "
              "to PC\\bob"))
        << text;
    EXPECT_TRUE(holds(text, "or remove its record in Show List under Friday")) << text;
}

TEST(DeploymentStatus, TwoShortcutsWithSchedulesOfTheirOwnNameBothAndNoDoubleStart) {
    FakeServices services;
    services.shortcutFiles[services.linkPath(StartupFolder::CurrentUser)] = ours();
    services.shortcutFiles[services.linkPath(StartupFolder::AllUsers)] = {
        "", "C:\\Program Files\\Norvell\\Brightwick.exe", "", "C:\\ProgramData\\Norvell"};
    const std::string text = status(services);
    EXPECT_TRUE(holds(text,
                      "At each logon Brightwick starts twice, once with each of two schedules, and "
                      "the due programs of both start: the schedule in C:\\Sched, from the Startup "
                      "folder of your account, and the one in C:\\ProgramData\\Norvell, from the "
                      "Startup folder of all users."))
        << text;
    EXPECT_FALSE(holds(text, "remove the second shortcut")) << text;
    EXPECT_FALSE(holds(text, "instead of")) << text;
}
