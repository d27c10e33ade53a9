// "Show List" before the viewer opens: copyfle.com run and waited for, and what the user is
// told about each way it can end.
#include <gtest/gtest.h>

#include "editor/core/show_list.hpp"
#include "fake_editor.hpp"

using editor::HelperRun;
using testing_support::FakeServices;

namespace {
HelperRun finished(unsigned long code) {
    HelperRun run;
    run.exitCode = code;
    return run;
}
HelperRun ended(HelperRun::Ending outcome, std::string error = {}) {
    HelperRun run;
    run.ending = outcome;
    run.error = std::move(error);
    return run;
}
}  // namespace

TEST(ShowList, EachOutcomeOfCopyfle) {
    struct Case {
        const char* what;
        HelperRun run;
        bool opens;
        std::vector<const char*> mustSay;  // empty: no message at all
    };
    const Case cases[] = {
        {"clean finish", finished(0), true, {}},
        {"pick files left out, since put right",
         finished(2),
         true,
         {"copyfle.com", "left out pick files", "will not start"}},
        {"day file not written",
         finished(1),
         true,
         {"copyfle.com", "could not write", "as it was before"}},
        {"unknown code", finished(3221225477), true, {"copyfle.com", "3221225477", "incomplete"}},
        {"unknown small code", finished(7), true, {"copyfle.com", "7", "incomplete"}},
        {"not started",
         ended(HelperRun::Ending::NotStarted, "The system cannot find the file specified."),
         false,
         {"copyfle.com", "could not be started", "The system cannot find the file specified",
          "cannot be shown"}},
        {"too slow",
         ended(HelperRun::Ending::TimedOut),
         true,
         {"copyfle.com", "30 seconds", "may be incomplete"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeServices services;
        services.helperRuns["copyfle.com"] = c.run;
        EXPECT_EQ(editor::PrepareShowList(services), c.opens);
        ASSERT_GE(services.log.size(), 1u);
        EXPECT_EQ(services.log[0], "helper: copyfle.com") << "copyfle.com comes first";
        if (c.mustSay.empty()) {
            EXPECT_EQ(services.log.size(), 1u) << "no message after a clean finish";
            continue;
        }
        ASSERT_EQ(services.log.size(), 2u) << "exactly one message";
        const std::string& message = services.log[1];
        EXPECT_EQ(message.rfind("message: ", 0), 0u) << message;
        for (const char* words : c.mustSay) {
            EXPECT_NE(message.find(words), std::string::npos) << message << "\nlacks: " << words;
        }
    }
}

TEST(ShowList, LeftOutPickFilesAreNamedAndTheViewerOpens) {
    FakeServices services;
    services.helperRuns["copyfle.com"] = finished(2);
    services.folder.files = {{"4Tue.dat", ""}, {"1000000000000000000Mon.dat", "x"}};
    for (int i = 10; i < 21; ++i) services.folder.files[std::to_string(i) + "Wed.dat"] = "x";
    EXPECT_TRUE(editor::PrepareShowList(services));
    ASSERT_EQ(services.log.size(), 2u);
    const std::string& message = services.log[1];
    EXPECT_EQ(
        message.rfind("message: copyfle.com left out 13 pick files:\n\n4Tue.dat: it is empty\n"
                      "10Wed.dat: it holds 1 line instead of one record of 4\n",
                      0),
        0u)
        << message;
    EXPECT_NE(message.find("18Wed.dat"), std::string::npos) << "ten are named";
    EXPECT_EQ(message.find("19Wed.dat"), std::string::npos) << message;
    EXPECT_NE(message.find("\n... and 3 more\n\nTheir programs will not start"), std::string::npos)
        << message;
    EXPECT_EQ(message.back(), '.');
}

TEST(ShowList, MessagesTellTheCasesApart) {
    std::vector<std::string> messages;
    for (const HelperRun& run :
         {finished(1), finished(2), finished(9), ended(HelperRun::Ending::TimedOut),
          ended(HelperRun::Ending::NotStarted, "gone")}) {
        FakeServices services;
        services.helperRuns["copyfle.com"] = run;
        editor::PrepareShowList(services);
        ASSERT_EQ(services.log.size(), 2u);
        messages.push_back(services.log[1]);
    }
    for (std::size_t i = 0; i < messages.size(); ++i) {
        for (std::size_t j = i + 1; j < messages.size(); ++j) {
            EXPECT_NE(messages[i], messages[j]);
        }
    }
}

TEST(ShowList, TheHelpersOwnReasonsReachTheMessage) {
    FakeServices services;
    HelperRun run = finished(1);
    run.problems = {"datmon.dat: the file is read-only",
                    "datsun.dat: The process cannot access the file."};
    services.helperRuns["copyfle.com"] = run;
    EXPECT_TRUE(editor::PrepareShowList(services));
    ASSERT_EQ(services.log.size(), 2u);
    EXPECT_EQ(services.log[1],
              "message: copyfle.com could not write every day file (datmon.dat to datsun.dat). "
              "Some day lists may still show the schedule as it was before.\n"
              "datmon.dat: the file is read-only.\n"
              "datsun.dat: The process cannot access the file.");
}

TEST(ShowList, PastTenReasonsTheRestAreCounted) {
    FakeServices services;
    HelperRun run = finished(1);
    for (int i = 1; i <= 11; ++i) run.problems.push_back(std::to_string(i) + "Mon.dat: locked");
    services.helperRuns["copyfle.com"] = run;
    EXPECT_TRUE(editor::PrepareShowList(services));
    ASSERT_EQ(services.log.size(), 2u);
    const std::string& text = services.log[1];
    EXPECT_NE(text.find("\n10Mon.dat: locked.\n... and 1 more."), std::string::npos) << text;
    EXPECT_EQ(text.find("11Mon.dat"), std::string::npos) << text;
}

TEST(ShowList, LookingOnlyTheViewerOpensOnTheDayFilesAsTheyAre) {
    // copyfle.com could not write them, and they are what Brightwick reads at logon.
    FakeServices services;
    EXPECT_TRUE(editor::PrepareShowList(services, editor::ScheduleUse::LookOnly));
    EXPECT_TRUE(services.log.empty()) << ::testing::PrintToString(services.log);
}
