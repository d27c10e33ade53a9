// Main's loading checks that the working folder takes new files, since every pick is written
// there: said once, with the folder and the reason, and nothing of the check left behind.
#include <gtest/gtest.h>

#include "editor/core/startup.hpp"
#include "fake_editor.hpp"
#include "loaded_main.hpp"

using editor::Field;
using testing_support::FakeControls;
using testing_support::FakeServices;

namespace {
struct Loaded : testing_support::LoadedMain {
    std::string checkName() const {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : services.folder.files) names.push_back(name);
        return editor::writeCheckName(services.processIdValue, names);
    }
};
}  // namespace

TEST(WriteCheck, AWritableFolderIsCheckedSilentlyAndLeftAsItWas) {
    Loaded main;
    main.services.folder.files["2Mon.dat"] = "record";
    main.load();
    EXPECT_TRUE(main.services.log.empty());
    EXPECT_EQ(main.services.folder.files,
              (std::map<std::string, std::string>{{"2Mon.dat", "record"}}));
}

TEST(WriteCheck, AFolderThatTakesNoFileIsNamedOnceWithTheReason) {
    Loaded main;
    main.services.workingFolderPath = "C:\\Program Files\\Norvell";
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
              "message: Norvell cannot write to its working folder C:\\Program Files\\Norvell: "
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
    Loaded main;
    main.services.folder.unremovable.insert(main.checkName());
    main.load();
    ASSERT_EQ(main.services.log.size(), 1u);
    EXPECT_NE(main.services.log[0].find("C:\\Sched: denied."), std::string::npos)
        << main.services.log[0];
}

TEST(WriteCheck, AnUnreadableFolderIsReportedOnlyOnce) {
    Loaded main;
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
