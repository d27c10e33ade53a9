// What the installer for all users has Norvell.exe do: the shared schedule's folder, made or
// taken over, and a schedule handed to the installer deployed for all users, with the status
// of each way it fails and nothing changed before the failure shows.
#include <gtest/gtest.h>

#include "editor/core/all_users_setup.hpp"
#include "editor/core/folder_safety.hpp"
#include "fake_editor.hpp"
#include "schedule/helpers.hpp"

using editor::SetupStatus;
using testing_support::FakeFolder;
using testing_support::FakeServices;

namespace {

constexpr char kShared[] = "C:\\ProgramData\\Norvell";
const std::string kRecord = "08:00\r\nC:\\Tools\\app.exe\r\nNormal\r\nMonday\r\n";
const std::string kTuesday = "09:00\r\nC:\\Tools\\other.exe\r\nMin\r\nTuesday\r\n";

editor::Security ownedBy(std::string sid, std::string name) {
    editor::Security security = FakeServices::safeSecurity();
    security.ownerSid = std::move(sid);
    security.ownerName = std::move(name);
    return security;
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

}  // namespace

TEST(SharedScheduleFolder, ItsAccessListPassesTheJudgementAndLetsUsersOnlyReadAndRun) {
    editor::Security security{"S-1-5-32-544", "Administrators", true,
                              editor::sharedScheduleAccess()};
    const editor::Account standardUser{"S-1-5-21-1-2-3-1002", false};
    const editor::AccessVerdict verdict = editor::judgeAccess(security, standardUser, true);
    EXPECT_TRUE(verdict.mayChange.empty()) << ::testing::PrintToString(verdict.mayChange);
    EXPECT_TRUE(verdict.mayReplace.empty());
    EXPECT_TRUE(verdict.mayReplaceInside.empty());
    EXPECT_TRUE(verdict.foreignOwner.empty());
    EXPECT_TRUE(verdict.usersMayRead) << "the folder and the files inside alike";
    for (const editor::AccessEntry& entry : security.entries) {
        EXPECT_TRUE(entry.toNewFiles && entry.toNewFolders && !entry.inheritOnly)
            << entry.name << ": the folders and files inside hold the same list";
    }
}

TEST(SharedScheduleFolder, MadeWithItsListOrTakenOnlyFromAdministrators) {
    const std::string user = "S-1-5-21-1-2-3-1002";
    const std::string cleared = std::string(kShared) + "\\Cleared";
    // What an earlier installation left: a day file, and a cleared pick in Cleared.
    const auto leftBehind = [&](FakeServices& s) {
        s.existingFolders.insert(kShared);
        s.missingFiles.insert(kShared);
        s.folderContents[kShared] = {{"datmon.dat", false, false}, {"Cleared", true, false}};
        s.folderContents[cleared] = {{"2Mon.dat", false, false}};
    };
    struct Case {
        const char* what;
        std::function<void(FakeServices&)> arrange;
        SetupStatus status;
        std::vector<const char*> mustSay;
        bool accessSet;
    };
    const Case cases[] = {
        {"made new",
         [](FakeServices&) {},
         SetupStatus::Done,
         {"Made the schedule folder C:\\ProgramData\\Norvell"},
         true},
        {"there already, the administrators' with their files",
         leftBehind,
         SetupStatus::Done,
         {"Kept the schedule folder", "own the 3 files and folders"},
         true},
        {"a user's folder, made before the installation",
         [&](FakeServices& s) {
             leftBehind(s);
             s.securities[kShared] = ownedBy(user, "PC\\eve");
         },
         SetupStatus::ForeignInSharedFolder,
         {"belongs to PC\\eve", "install again"},
         false},
        {"a user's file and subfolder, and a junction: each named, none followed",
         [&](FakeServices& s) {
             leftBehind(s);
             s.folderContents[kShared].push_back({"Turned Off", true, true});
             for (const std::string& path :
                  {kShared + std::string("\\datmon.dat"), cleared, cleared + "\\2Mon.dat"}) {
                 s.securities[path] = ownedBy(user, "PC\\eve");
             }
         },
         SetupStatus::ForeignInSharedFolder,
         {"Norvell\\datmon.dat belongs to PC\\eve", "Cleared belongs to PC\\eve",
          "Turned Off is a junction", "Cleared\\2Mon.dat belongs to PC\\eve"},
         true},
        {"a junction that leads elsewhere",
         [](FakeServices& s) {
             s.existingFolders.insert(kShared);
             s.missingFiles.insert(kShared);
             s.securities[kShared] = FakeServices::safeSecurity();
             s.securities[kShared].reparsePoint = true;
         },
         SetupStatus::ForeignInSharedFolder,
         {"junction"},
         false},
        {"a file of that name",
         [](FakeServices& s) { s.existingFolders.insert(kShared); },
         SetupStatus::SharedFolderNotMade,
         {"is a file, not a folder"},
         false},
        {"cannot be made",
         [](FakeServices& s) { s.createFailures[kShared] = "Access is denied."; },
         SetupStatus::SharedFolderNotMade,
         {"could not be made: Access is denied."},
         false},
        {"its list cannot be set",
         [](FakeServices& s) { s.accessFailures[kShared] = "Access is denied."; },
         SetupStatus::SharedFolderNotMade,
         {"could not be set: Access is denied."},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeServices services;
        c.arrange(services);
        std::vector<std::string> report;
        EXPECT_EQ(editor::makeSharedScheduleFolder(services, kShared, report), c.status);
        const std::string said = joinedLines(report);
        for (const char* words : c.mustSay) {
            EXPECT_NE(said.find(words), std::string::npos) << said;
        }
        if (c.accessSet) {
            ASSERT_EQ(services.accessSet.size(), 1u) << "the list goes on first, then the rest";
            EXPECT_EQ(services.accessSet[0].first, kShared);
            EXPECT_EQ(services.accessSet[0].second.size(), editor::sharedScheduleAccess().size());
        } else {
            EXPECT_TRUE(services.accessSet.empty()) << "a refused folder keeps its list";
        }
        EXPECT_TRUE(c.status == SetupStatus::Done || services.takenOver.empty());
    }
}

// The steps run with administrator rights on whatever command line their starter wrote.
TEST(SharedScheduleFolder, StepsTakeOnlyTheInstallersFolderAndALogBesideThePrograms) {
    const std::string log = "C:\\Tools\\install.log";  // the programs' folder: C:\Tools
    const struct {
        std::string folder;
        std::string log;
        bool refused;
    } cases[] = {
        {kShared, log, false},
        {"c:\\programdata\\NORVELL", "C:\\TOOLS\\Install.LOG", false},
        {"C:\\elsewhere", log, true},
        {"C:\\ProgramData\\Norvell\\Cleared", log, true},
        {kShared, "C:\\elsewhere\\install.log", true},
        {kShared, "C:\\Tools\\Norvell.exe", true},
    };
    for (const auto& c : cases) {
        FakeServices services;
        const auto refusal = editor::setupArgumentsRefusal(services, c.folder, c.log);
        EXPECT_EQ(refusal.has_value(), c.refused) << c.folder << " " << c.log;
    }
}

namespace {
// The shared schedule, where Norvell.exe runs, with helpers that do to it what they do.
struct Deployment {
    FakeServices services;
    FakeFolder source;
    std::vector<std::string> report;
    Deployment() {
        services.programFolderPath = "C:\\Program Files\\Norvell";
        services.workingFolderPath = kShared;
        services.helperEffects["copyfle.com"] = [](FakeFolder& folder) {
            schedule::combinePickFiles(folder);
        };
        services.folder.files["7Fri.dat"] = "12:00\r\nC:\\Old\\old.exe\r\nNormal\r\nFriday\r\n";
        source.files["2Mon.dat"] = kRecord;
        source.files["3Tue.dat"] = kTuesday;
        source.files["notes.txt"] = "not a pick";
    }
    SetupStatus run() {
        return editor::deployScheduleForAllUsers(services, source, "D:\\Rollout",
                                                 {2026, 1, 2, 3, 4, 5}, report);
    }
};
}  // namespace

TEST(DeployScheduleForAllUsers, ReplacesTheSharedScheduleCombinesItAndMakesTheShortcut) {
    Deployment deployment;
    ASSERT_EQ(deployment.run(), SetupStatus::Done) << joinedLines(deployment.report);
    const auto& files = deployment.services.folder.files;
    EXPECT_EQ(files.at("2Mon.dat"), kRecord);
    EXPECT_EQ(files.at("3Tue.dat"), kTuesday);
    EXPECT_EQ(files.at("datmon.dat"), kRecord);
    EXPECT_EQ(files.at("dattue.dat"), kTuesday);
    EXPECT_EQ(files.at("datfri.dat"), "") << "the old schedule is replaced";
    EXPECT_FALSE(files.count("7Fri.dat"));
    EXPECT_FALSE(files.count("notes.txt")) << "only pick files are copied";
    EXPECT_TRUE(deployment.services.folder.sub("Cleared\\2026-01-02 03-04-05 UTC", false)
                    .files.count("7Fri.dat"))
        << "the old picks are kept aside, as a clear keeps them";

    ASSERT_EQ(deployment.services.shortcuts.size(), 1u);
    const auto& [where, shortcut] = deployment.services.shortcuts[0];
    EXPECT_EQ(where, editor::StartupFolder::AllUsers);
    EXPECT_EQ(shortcut.target, "C:\\Program Files\\Norvell\\Brightwick.exe");
    EXPECT_EQ(shortcut.workingFolder, kShared);
    const std::string said = joinedLines(deployment.report);
    for (const char* words : {"Cleared the schedule in C:\\ProgramData\\Norvell",
                              "Copied 2 pick files from D:\\Rollout.", "Combined",
                              "Made C:\\ProgramData\\Startup\\Brightwick.lnk, which starts "
                              "C:\\Program Files\\Norvell\\Brightwick.exe in "
                              "C:\\ProgramData\\Norvell"}) {
        EXPECT_NE(said.find(words), std::string::npos) << said;
    }
}

TEST(DeployScheduleForAllUsers, EachWayToFailHasItsStatusAndNoShortcut) {
    struct Case {
        const char* what;
        std::function<void(Deployment&)> arrange;
        SetupStatus status;
        const char* mustSay;
        bool sharedScheduleKept;  // the shared schedule as it was before
    };
    const Case cases[] = {
        {"the folder cannot be read", [](Deployment& d) { d.source.unreadableFolder = true; },
         SetupStatus::ScheduleNotFound, "D:\\Rollout cannot be read: folder gone.", true},
        {"no pick file",
         [](Deployment& d) {
             d.source.files = {{"datmon.dat", kRecord}, {"notes.txt", "x"}};
         },
         SetupStatus::NoPickFile, "D:\\Rollout holds no pick file", true},
        {"a pick file without a valid record",
         [](Deployment& d) { d.source.files["4Wed.dat"] = "08:00\r\nC:\\x.exe\r\n"; },
         SetupStatus::PickFileNotValid, "- 4Wed.dat: ", true},
        {"a record that never starts",
         [](Deployment& d) {
             d.source.files["4Wed.dat"] = "25:99\r\nC:\\x.exe\r\nSometimes\r\nWednesday\r\n";
         },
         SetupStatus::ValueNotValid,
         "- 4Wed.dat: its time \"25:99\" is not a time of day from 00:00 to 23:59, and its run "
         "style \"Sometimes\" is none of Normal, Hide, Min or Max",
         true},
        {"users may change the schedule's folder",
         [](Deployment& d) {
             editor::Security open = FakeServices::safeSecurity();
             open.entries.push_back({true, "S-1-5-32-545", "Users", 0x1301BF, false, true});
             d.services.securities[kShared] = open;
         },
         SetupStatus::RefusedForAllUsers, "Brightwick was not deployed for all users", true},
        {"a program that a user may change",
         [](Deployment& d) {
             d.source.files["4Wed.dat"] =
                 "08:00\r\nC:\\Users\\bob\\tool.exe\r\nNormal\r\nWednesday\r\n";
             d.services.securities["C:\\Users\\bob\\tool.exe"] =
                 ownedBy("S-1-5-21-1-2-3-1002", "PC\\bob");
         },
         SetupStatus::ProgramsMayBeChanged,
         "- C:\\Users\\bob\\tool.exe (Wednesday):\n  - C:\\Users\\bob\\tool.exe: it belongs to "
         "PC\\bob",
         true},
        {"the old schedule cannot be cleared, half-way",
         [](Deployment& d) {
             d.services.folder.files["8Sat.dat"] = kTuesday;
             d.services.folder.unmovable.insert("8Sat.dat");
         },
         SetupStatus::ScheduleNotCopied, "could not be cleared", true},
        {"a pick file cannot be copied after the clear",
         [](Deployment& d) { d.services.folder.readOnly.insert("3Tue.dat"); },
         SetupStatus::ScheduleNotCopied, "3Tue.dat could not be copied", true},
        {"copyfle.com fails",
         [](Deployment& d) {
             d.services.helperEffects.erase("copyfle.com");
             d.services.helperRuns["copyfle.com"].exitCode = schedule::kHelperFailed;
         },
         SetupStatus::NotCombined, "Put the schedule in C:\\ProgramData\\Norvell back as it was.",
         true},
        {"Brightwick.exe is missing",
         [](Deployment& d) {
             d.services.missingFiles.insert("C:\\Program Files\\Norvell\\Brightwick.exe");
         },
         SetupStatus::ShortcutNotMade, "Brightwick.exe is missing", true},
        {"the Startup folder takes no shortcut",
         [](Deployment& d) {
             d.services.shortcutFailures[editor::StartupFolder::AllUsers] = "Access is denied.";
         },
         SetupStatus::ShortcutNotMade,
         "could not be made in C:\\ProgramData\\Startup: Access is "
         "denied.",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Deployment deployment;
        c.arrange(deployment);
        const auto before = deployment.services.folder.files;
        EXPECT_EQ(deployment.run(), c.status);
        const std::string said = joinedLines(deployment.report);
        EXPECT_NE(said.find(c.mustSay), std::string::npos) << said;
        EXPECT_TRUE(deployment.services.shortcutFiles.empty()) << "a shortcut was made";
        if (c.sharedScheduleKept) {
            EXPECT_EQ(deployment.services.folder.files, before) << "the shared schedule changed";
            EXPECT_FALSE(deployment.services.folder.sub("Cleared", false)
                             .hasSubfolder("2026-01-02 03-04-05 UTC"))
                << "a clear put back is kept aside too";
        }
    }
}

TEST(DeployScheduleForAllUsers, AShortcutTheStartupListKeepsOffIsMadeButNotDone) {
    Deployment deployment;
    deployment.services.startupList[editor::StartupFolder::AllUsers] =
        std::string(1, '\x03') + std::string(11, '\0');
    deployment.services.startupListWriteFailures[editor::StartupFolder::AllUsers] =
        "Access is denied.";
    EXPECT_EQ(deployment.run(), SetupStatus::ShortcutTurnedOff);
    EXPECT_EQ(deployment.services.shortcuts.size(), 1u);
    EXPECT_NE(joinedLines(deployment.report).find("disabled"), std::string::npos)
        << joinedLines(deployment.report);
}

TEST(DeployScheduleForAllUsers, WritesTheBytesItCheckedWhateverTheSourceHoldsAfterwards) {
    Deployment deployment;
    std::map<std::string, int> reads;
    deployment.source.afterRead = [&](const std::string& name) {
        ++reads[name];
        deployment.source.files[name] = "08:00\r\nC:\\Users\\bob\\evil.exe\r\nNormal\r\nMonday\r\n";
    };
    ASSERT_EQ(deployment.run(), SetupStatus::Done) << joinedLines(deployment.report);
    EXPECT_EQ(deployment.services.folder.files.at("2Mon.dat"), kRecord);
    EXPECT_EQ(deployment.services.folder.files.at("3Tue.dat"), kTuesday);
    EXPECT_EQ(reads, (std::map<std::string, int>{{"2Mon.dat", 1}, {"3Tue.dat", 1}}));
}

TEST(DeployScheduleForAllUsers, AFolderKeepsOnlyADrivesRootBackslash) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Sched\\", "C:\\Sched"},
        {"C:\\Sched\\\\", "C:\\Sched"},
        {"D:\\", "D:\\"},
        {"D:\\\\", "D:\\"},
        {"C:\\Sched", "C:\\Sched"},
        {"\\\\srv\\share\\", "\\\\srv\\share"},
    };
    for (const auto& [given, folder] : cases) {
        EXPECT_EQ(editor::withoutTrailingBackslashes(given), folder) << given;
    }
}
