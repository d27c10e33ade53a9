// Main's loading checks that the working folder takes new files, since every pick is written
// there: said once, with the folder and the reason, and nothing of the check left behind. A
// schedule that all users share and only administrators may change is offered to an instance
// with administrator rights, or else only looked at.
#include <gtest/gtest.h>

#include "editor/core/startup.hpp"
#include "fake_editor.hpp"
#include "loaded_main.hpp"

using editor::Field;
using testing_support::FakeControls;
using testing_support::FakeServices;

namespace {
struct LoadedStartup : testing_support::LoadedMain {
    std::string checkName() const {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : services.folder.files) names.push_back(name);
        return editor::writeCheckName(services.processIdValue, names);
    }
};
}  // namespace

TEST(WriteCheck, AWritableFolderIsCheckedSilentlyAndLeftAsItWas) {
    LoadedStartup main;
    main.services.folder.files["2Mon.dat"] = "record";
    main.load();
    EXPECT_TRUE(main.services.log.empty());
    EXPECT_EQ(main.services.folder.files,
              (std::map<std::string, std::string>{{"2Mon.dat", "record"}}));
}

TEST(WriteCheck, AFolderThatTakesNoFileIsNamedOnceWithTheReason) {
    LoadedStartup main;
    // A network drive: not a schedule that all users of this computer share.
    main.services.workingFolderPath = "N:\\Norvell";
    main.services.drives['N'] = {editor::DriveLetter::Kind::Network, "\\\\srv\\apps", ""};
    main.services.folder.files["2Mon.dat"] = "record";
    main.services.folder.unwritable.insert(main.checkName());
    std::size_t messagesAtShow = 0;
    editor::loadMain(main.controls, main.services, [&] {
        ++main.shows;
        messagesAtShow = main.services.log.size();
    });
    EXPECT_EQ(messagesAtShow, 0u) << "the window shows first; the check's message belongs to it";
    ASSERT_EQ(main.services.log.size(), 1u);
    EXPECT_EQ(main.services.log[0],
              "message: Norvell cannot write to its working folder N:\\Norvell: "
              "disk full. Picks cannot be saved there: put Norvell into a folder of your own "
              "and start it from there.");
    EXPECT_EQ(main.services.folder.files,
              (std::map<std::string, std::string>{{"2Mon.dat", "record"}}))
        << "what the failed write left is removed";
    // The editor goes on as after any start.
    EXPECT_EQ(main.controls.text(Field::Text4), "2");
    EXPECT_EQ(main.shows, 1);
    EXPECT_EQ(main.controls.folder, "C:\\PROGRAM FILES");
}

TEST(WriteCheck, AFileThatCannotBeRemovedAgainIsNamedToo) {
    LoadedStartup main;
    // A folder of the user's own, which no other user shares.
    main.services.securities["C:\\Sched"].ownerSid = "S-1-5-21-9-9-9-1002";
    main.services.folder.unremovable.insert(main.checkName());
    main.load();
    ASSERT_EQ(main.services.log.size(), 1u);
    EXPECT_NE(main.services.log[0].find("C:\\Sched: denied."), std::string::npos)
        << main.services.log[0];
}

TEST(WriteCheck, AnUnreadableFolderIsReportedOnlyOnce) {
    LoadedStartup main;
    main.services.folder.unreadableFolder = true;
    main.services.folder.unwritable.insert(main.checkName());
    main.load();
    ASSERT_EQ(main.services.log.size(), 1u);
    EXPECT_NE(main.services.log[0].find("cannot be read"), std::string::npos);
}

TEST(WriteCheck, TheCheckFileIsTheEditorsOwnAndNoFileOfTheUsers) {
    struct Case {
        unsigned long processId;
        std::vector<std::string> names;
        const char* name;
    };
    const Case cases[] = {
        {4711, {}, "~norvell4711.tmp"},
        {4711, {"2Mon.dat", "~norvell12.tmp"}, "~norvell4711.tmp"},
        {4711, {"~norvell4711.tmp"}, "~norvell4711-2.tmp"},
        {4711, {"~NORVELL4711.TMP", "~norvell4711-2.tmp"}, "~norvell4711-3.tmp"},
        {8, {"~norvell4711.tmp"}, "~norvell8.tmp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editor::writeCheckName(c.processId, c.names), c.name)
            << ::testing::PrintToString(c.names);
    }
}

namespace {
// Users may change what is there, or rename it.
editor::Security usersGroupMayChange() {
    editor::Security security = FakeServices::safeSecurity();
    security.entries.push_back({true, "S-1-5-32-545", "Users", 0x1301BF, false, true});
    return security;
}
}  // namespace

TEST(SharedSchedule, AFolderOnlyAdministratorsMayChangeIsOfferedToThemOnceElseLookedAt) {
    constexpr char kShared[] = "C:\\ProgramData\\Norvell";
    const std::string question =
        "message: The schedule in C:\\ProgramData\\Norvell is shared by all users of this "
        "computer; only an administrator can change it. Start Norvell with administrator rights?";
    const std::string restart =
        "start as administrator: /edit-shared-schedule \"C:\\ProgramData\\Norvell\"";
    const std::string todays = "message: Norvell cannot write to its working folder";
    struct Case {
        const char* what;
        std::function<void(FakeServices&)> arrange;
        editor::ScheduleUse use;
        std::vector<std::string> log;  // each entry's start
        bool pickersMoved = true;
    };
    const Case cases[] = {
        {"No, the default",
         [](FakeServices& s) { s.answers = {editor::Answer::No}; },
         editor::ScheduleUse::LookOnly,
         {question}},
        {"Yes: an instance with the rights takes over in the same folder",
         [](FakeServices& s) { s.answers = {editor::Answer::Yes}; },
         editor::ScheduleUse::HandedOver,
         {question, restart},
         false},
        {"Yes, then the system's prompt declined",
         [](FakeServices& s) {
             s.answers = {editor::Answer::Yes};
             s.administratorStart = schedule::Outcome::systemFailure(1223, "cancelled");
         },
         editor::ScheduleUse::LookOnly,
         {question, restart}},
        {"Yes, and the start fails",
         [](FakeServices& s) {
             s.answers = {editor::Answer::Yes};
             s.administratorStart = schedule::Outcome::systemFailure(2, "The file is gone.");
         },
         editor::ScheduleUse::LookOnly,
         {question, restart,
          "message: Norvell could not be started with administrator rights: The file is gone. "
          "You can look at the schedule, but not change it."}},
        {"users may change the folder itself: not shared",
         [](FakeServices& s) { s.securities["C:\\ProgramData\\Norvell"] = usersGroupMayChange(); },
         editor::ScheduleUse::Change,
         {todays}},
        {"users may rename a folder above it: not shared",
         [](FakeServices& s) { s.securities["C:\\ProgramData"] = usersGroupMayChange(); },
         editor::ScheduleUse::Change,
         {todays}},
        {"already with administrator rights: asking again would not help",
         [](FakeServices& s) { s.elevated = true; },
         editor::ScheduleUse::Change,
         {todays}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedStartup main;
        main.services.workingFolderPath = kShared;
        main.services.folder.unwritable.insert(main.checkName());
        c.arrange(main.services);
        main.controls.folder = "not set yet";
        int shows = 0;
        const editor::ScheduleUse use =
            editor::loadMain(main.controls, main.services, [&] { ++shows; });
        EXPECT_EQ(use, c.use);
        EXPECT_EQ(shows, 1);
        ASSERT_EQ(main.services.log.size(), c.log.size())
            << ::testing::PrintToString(main.services.log);
        for (std::size_t i = 0; i < c.log.size(); ++i) {
            EXPECT_TRUE(main.services.log[i].starts_with(c.log[i])) << main.services.log[i];
        }
        EXPECT_EQ(main.controls.folder, c.pickersMoved ? "C:\\PROGRAM FILES" : "not set yet");
    }
}

TEST(SharedSchedule, LookingOnlyEachChangeSaysItNeedsAdministratorRightsAndStops) {
    using editor::ScheduleChange;
    const std::pair<ScheduleChange, const char*> changes[] = {
        {ScheduleChange::Pick, "Picking a program"},
        {ScheduleChange::Reset, "Resetting and clearing the list"},
        {ScheduleChange::Deploy, "Deploying"},
        {ScheduleChange::RestoreCleared, "Restoring cleared picks"},
        {ScheduleChange::Remove, "Removing a program from the schedule"},
    };
    for (const auto& [change, words] : changes) {
        SCOPED_TRACE(words);
        FakeServices services;
        services.workingFolderPath = "C:\\ProgramData\\Norvell";
        EXPECT_FALSE(editor::mayChangeSchedule(editor::ScheduleUse::LookOnly, change, services));
        ASSERT_EQ(services.log.size(), 1u);
        EXPECT_EQ(services.log[0],
                  "message: " + std::string(words) +
                      " needs administrator rights: the schedule in C:\\ProgramData\\Norvell is "
                      "shared by all users of this computer, and only an administrator can change "
                      "it. Close Norvell, start it again and answer Yes when it asks to start with "
                      "administrator rights.");

        FakeServices changing;
        EXPECT_TRUE(editor::mayChangeSchedule(editor::ScheduleUse::Change, change, changing));
        EXPECT_TRUE(changing.log.empty());
    }
}

// The instance with administrator rights judges again the folder its starter chose.
TEST(SharedSchedule, TheInstanceWithAdministratorRightsRefusesAFolderUsersMayChange) {
    FakeServices services;
    EXPECT_FALSE(editor::editSharedScheduleRefusal(services, "C:\\ProgramData\\Norvell"));
    services.securities["C:\\Users\\bob"] = usersGroupMayChange();
    EXPECT_NE(editor::editSharedScheduleRefusal(services, "C:\\Users\\bob")
                  ->find("- C:\\Users\\bob: Users may create or change files there"),
              std::string::npos);
}
