// The internal argument of the elevated instance: its strict reading, and the instance's work
// and exit status.
#include <gtest/gtest.h>

#include "editor/core/all_users_shortcut.hpp"
#include "fake_editor.hpp"

using editor::StartupFolder;
using testing_support::FakeServices;

TEST(AllUsersShortcut, TheArgumentsQuoteTheFolderSoThatTheSystemSplitsThemBack) {
    EXPECT_EQ(editor::allUsersShortcutArguments("C:\\Program Files\\Norvell"),
              "/create-all-users-shortcut \"C:\\Program Files\\Norvell\"");
    // A backslash before the closing quote would escape it.
    EXPECT_EQ(editor::allUsersShortcutArguments("C:\\"), "/create-all-users-shortcut \"C:\\\\\"");
    EXPECT_EQ(editor::allUsersShortcutArguments("\\\\server\\share\\"),
              "/create-all-users-shortcut \"\\\\server\\share\\\\\"");
}

TEST(AllUsersShortcut, OnlyTheSwitchAndOneFullFolderPathAreTaken) {
    struct Case {
        std::vector<std::string> arguments;
        bool asks;
        std::optional<std::string> folder;
    };
    const std::string sw = "/create-all-users-shortcut";
    const auto with = [&](std::string folder) {
        return std::vector<std::string>{"Norvell.exe", sw, std::move(folder)};
    };
    const Case cases[] = {
        {{"Norvell.exe"}, false, std::nullopt},
        {{"Norvell.exe", "C:\\Sched"}, false, std::nullopt},
        {{"Norvell.exe", "/CREATE-ALL-USERS-SHORTCUT", "C:\\Sched"}, false, std::nullopt},
        {{"Norvell.exe", "C:\\Sched", sw}, false, std::nullopt},
        {with("C:\\Program Files\\Norvell"), true, "C:\\Program Files\\Norvell"},
        {with("d:\\"), true, "d:\\"},
        {with("\\\\server\\share"), true, "\\\\server\\share"},
        {with("\\\\server\\share\\"), true, "\\\\server\\share\\"},
        {with("\\\\server\\share\\Norvell"), true, "\\\\server\\share\\Norvell"},
        {with("C:\\Caf\xC3\xA9"), true, "C:\\Caf\xC3\xA9"},
        {{"Norvell.exe", sw}, true, std::nullopt},
        {{"Norvell.exe", sw, "C:\\Sched", "C:\\Other"}, true, std::nullopt},
        {with(""), true, std::nullopt},
        {with("Sched"), true, std::nullopt},
        {with("C:Sched"), true, std::nullopt},
        {with("\\Sched"), true, std::nullopt},
        {with("C:/Sched"), true, std::nullopt},
        {with("C:\\Sched\\"), true, std::nullopt},
        {with("C:\\\\Sched"), true, std::nullopt},
        {with("C:\\Sched\\..\\Windows"), true, std::nullopt},
        {with("C:\\.\\Sched"), true, std::nullopt},
        {with("C:\\Sched."), true, std::nullopt},
        {with("C:\\Sched "), true, std::nullopt},
        {with("C:\\Sched:stream"), true, std::nullopt},
        {with("C:\\Sch*d"), true, std::nullopt},
        {with("C:\\Sched\"x"), true, std::nullopt},
        {with("C:\\Sched\nD:\\Other"), true, std::nullopt},
        {with("\\\\?\\C:\\Sched"), true, std::nullopt},
        {with("\\\\.\\C:"), true, std::nullopt},
        {with("\\\\server"), true, std::nullopt},
        {with("\\\\server\\"), true, std::nullopt},
        {with("\\\\server\\share\\dir\\"), true, std::nullopt},
        {with("C:\\" + std::string(32765, 'a')), true, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back().substr(0, 80));
        EXPECT_EQ(editor::asksForAllUsersShortcut(c.arguments), c.asks);
        EXPECT_EQ(editor::allUsersShortcutFolder(c.arguments), c.folder);
    }
    EXPECT_TRUE(editor::allUsersShortcutFolder(with("C:\\" + std::string(32764, 'a'))))
        << "the longest path the system takes";
}

// The editor splits its command line only when something follows the program's name, so a
// line misread here would lose the elevated instance's argument.
TEST(AllUsersShortcut, OnlyALineWithSomethingAfterTheProgramIsSplit) {
    const struct {
        std::string_view line;
        bool arguments;
    } cases[] = {
        {"", false},
        {"Norvell.exe", false},
        {"C:\\Tools\\Norvell.exe   ", false},
        {"\"C:\\Program Files\\Norvell\\Norvell.exe\"", false},
        {"\"C:\\Program Files\\Norvell\\Norvell.exe\" \t ", false},
        {"\"C:\\Program Files\\Norvell.exe", false},  // no closing quote: all of it is the name
        {"Norvell.exe /create-all-users-shortcut \"C:\\A\"", true},
        {"\"C:\\Program Files\\Norvell\\Norvell.exe\" /create-all-users-shortcut", true},
        {"\"C:\\A B\\Norvell.exe\"\t\"C:\\A\"", true},
        {"\"C:\\A B\\Norvell.exe\"x", true},  // read on after the quote: split to be sure
        {"Norvell.exe\tx", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(editor::hasArgumentsAfterProgram(c.line), c.arguments);
    }
}

TEST(AllUsersShortcut, TheInstanceMakesOnlyTheLaunchersShortcutForAllUsers) {
    FakeServices services;
    services.programFolderPath = "C:\\Program Files\\Norvell";
    services.workingFolderPath = "C:\\Program Files\\Norvell";
    EXPECT_EQ(editor::createAllUsersShortcut(services), 0u);
    ASSERT_EQ(services.shortcuts.size(), 1u);
    const auto& [where, link] = services.shortcuts[0];
    EXPECT_EQ(where, StartupFolder::AllUsers);
    EXPECT_EQ(link.name, "Brightwick");
    EXPECT_EQ(link.target, "C:\\Program Files\\Norvell\\Brightwick.exe");
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.workingFolder, "C:\\Program Files\\Norvell");
    EXPECT_EQ(services.log, std::vector<std::string>{"shortcut: C:\\Program Files\\Norvell\\"
                                                     "Brightwick.exe"})
        << "no message, no question";
}

TEST(AllUsersShortcut, TheInstanceEndsWithTheReasonItMadeNothing) {
    struct Case {
        const char* name;
        std::function<void(FakeServices&)> arrange;
        unsigned long status;
    };
    const Case cases[] = {
        {"no launcher beside it",
         [](FakeServices& s) { s.missingFiles = {"C:\\Tools\\Brightwick.exe"}; },
         editor::kFileNotFound},
        {"a working folder others may change",
         [](FakeServices& s) {
             s.securities["C:\\Sched"] = FakeServices::safeSecurity();
             s.securities["C:\\Sched"].entries.push_back(
                 {true, "S-1-1-0", "Everyone", 0x1301BF, false, true});
         },
         editor::kRefusedForAllUsers},
        {"a folder above it that others may rename",
         [](FakeServices& s) {
             s.securities["C:\\"] = FakeServices::safeSecurity();
             s.securities["C:\\"].entries.push_back(
                 {true, "S-1-5-11", "Authenticated Users", 0x40, false, false});
         },
         editor::kRefusedForAllUsers},
        {"the system refuses",
         [](FakeServices& s) {
             s.shortcutFailures[StartupFolder::AllUsers] = "Access is denied.";
             s.shortcutFailureCodes[StartupFolder::AllUsers] = editor::kAccessDenied;
         },
         editor::kAccessDenied},
        {"a failure without a code",
         [](FakeServices& s) { s.shortcutFailures[StartupFolder::AllUsers] = "Broken"; },
         editor::kCannotComplete},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices services;
        c.arrange(services);
        EXPECT_EQ(editor::createAllUsersShortcut(services), c.status);
        for (const std::string& entry : services.log) {
            EXPECT_NE(entry.rfind("message: ", 0), 0u) << "the instance shows nothing: " << entry;
        }
        EXPECT_EQ(services.shortcutFiles.count(services.linkPath(StartupFolder::AllUsers)), 0u);
    }
}

TEST(AllUsersShortcut, TheRefusalStatusIsTheEditorsOwnAndNoSystemErrorCode) {
    // Bit 29 marks an application's own code; the system's codes never have it.
    for (const unsigned long status : {editor::kRefusedForAllUsers, editor::kMadeButTurnedOff}) {
        EXPECT_NE(status & 0x20000000u, 0u) << status;
    }
    EXPECT_NE(editor::kRefusedForAllUsers, editor::kMadeButTurnedOff);
}

TEST(AllUsersShortcut, TheInstanceTurnsTheShortcutOnInTheComputersStartupList) {
    const std::string disabled("\x03\0\0\0\x10\x20\x30\x40\x50\x60\x70\x01", 12);
    struct Case {
        const char* name;
        std::optional<std::string> entry;  // the computer's entry before; none: no entry
        const char* writeFailure;          // null: the entry can be written
        std::optional<std::string> after;
        unsigned long status;
    };
    const std::string enabled = std::string(1, '\x02') + std::string(11, '\0');
    const Case cases[] = {
        {"turned off", disabled, nullptr, enabled, 0},
        {"no entry", std::nullopt, nullptr, std::nullopt, 0},
        {"turned on already", enabled, "Access is denied", enabled, 0},
        {"turned off, and it cannot be changed", disabled, "Access is denied", disabled,
         editor::kMadeButTurnedOff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices services;
        if (c.entry) services.startupList[StartupFolder::AllUsers] = *c.entry;
        services.startupList[StartupFolder::CurrentUser] = disabled;
        if (c.writeFailure)
            services.startupListWriteFailures[StartupFolder::AllUsers] = c.writeFailure;
        EXPECT_EQ(editor::createAllUsersShortcut(services), c.status);
        EXPECT_EQ(services.shortcutFiles.count(services.linkPath(StartupFolder::AllUsers)), 1u)
            << "the shortcut is made either way";
        const auto entry = services.startupList.find(StartupFolder::AllUsers);
        EXPECT_EQ(entry == services.startupList.end() ? std::nullopt
                                                      : std::optional<std::string>(entry->second),
                  c.after);
        EXPECT_EQ(services.startupList[StartupFolder::CurrentUser], disabled) << "not the user's";
    }
}
