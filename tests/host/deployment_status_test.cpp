// "Deployment Status...": what the one message says of each Startup folder, the last logon run,
// and every problem with what to do about it.
#include <gtest/gtest.h>

#include "editor/core/deployment_status.hpp"
#include "fake_editor.hpp"

using editor::StartupFolder;
using testing_support::FakeServices;

namespace {

const std::string kDisabled = std::string("\x03\0\0\0\x10\x20\x30\x40\x50\x60\x70\x01", 12);

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
         kDisabled,
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
    const editor::Shortcut other{"", "D:\\Other\\Brightwick.exe", "", "D:\\Other"};
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
    services.startupList[StartupFolder::AllUsers] = kDisabled;
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
    services.startupList[StartupFolder::CurrentUser] = kDisabled;
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
