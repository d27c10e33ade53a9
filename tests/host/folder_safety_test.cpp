// Whether the folders of a deployment for all users are safe: who may change them, who owns
// them, whether every user may read them, and the message that refuses them.
#include <gtest/gtest.h>

#include "editor/core/folder_safety.hpp"
#include "fake_editor.hpp"

using editor::AccessEntry;
using editor::Security;
using testing_support::FakeServices;

namespace {

const std::string kMe = "S-1-5-21-1-2-3-1001";
constexpr unsigned long kFull = 0x1F01FF;      // FILE_ALL_ACCESS
constexpr unsigned long kReadRun = 0x1200A9;   // read and execute
constexpr unsigned long kModify = 0x1301BF;    // read, write, execute, delete
constexpr unsigned long kReadOnly = 0x120089;  // FILE_GENERIC_READ, no execute
constexpr unsigned long kCreateFiles = 0x116;
constexpr unsigned long kWriteDelete =
    0x40010000;  // generic write and delete  // write data, append, write attributes and EA

AccessEntry allow(std::string sid, std::string name, unsigned long rights, bool inheritOnly = false,
                  bool toNewFiles = true) {
    return {true, std::move(sid), std::move(name), rights, inheritOnly, toNewFiles};
}
AccessEntry deny(std::string sid, std::string name, unsigned long rights) {
    return {false, std::move(sid), std::move(name), rights, false, true};
}

// Administrators and SYSTEM may do everything, Users may read and run: Program Files.
std::vector<AccessEntry> administered() {
    return {allow("S-1-5-18", "SYSTEM", kFull), allow("S-1-5-32-544", "Administrators", kFull),
            allow("S-1-5-32-545", "Users", kReadRun)};
}

std::vector<AccessEntry> plus(std::vector<AccessEntry> entries, std::vector<AccessEntry> more) {
    entries.insert(entries.end(), more.begin(), more.end());
    return entries;
}

}  // namespace

TEST(FolderSafety, WhoMayChangeWhoOwnsAndWhetherUsersMayRead) {
    struct Case {
        const char* name;
        Security security;
        std::vector<std::string> mayChange;
        std::string foreignOwner;
        bool usersMayRead;
    };
    const std::string installer = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
    const Case cases[] = {
        {"Program Files",
         {"S-1-5-32-544", "Administrators", true,
          plus(administered(), {allow(installer, "TrustedInstaller", kFull),
                                allow("S-1-3-0", "CREATOR OWNER", 0x10000000, true)})},
         {},
         "",
         true},
        {"a folder under C:\\",
         {"S-1-5-32-544", "Administrators", true,
          plus(administered(), {allow("S-1-5-11", "Authenticated Users", kModify)})},
         {"Authenticated Users"},
         "",
         true},
        {"ProgramData: Users may create files",
         {"S-1-5-18", "SYSTEM", true,
          plus(administered(), {allow("S-1-5-32-545", "Users", kCreateFiles, false, false)})},
         {"Users"},
         "",
         true},
        {"generic write reaching only the files created inside",
         {"S-1-5-32-544", "Administrators", true,
          plus(administered(), {allow("S-1-1-0", "Everyone", 0x40000000, true, true)})},
         {"Everyone"},
         "",
         true},
        {"write reaching only new subfolders",
         {"S-1-5-32-544", "Administrators", true,
          plus(administered(), {allow("S-1-1-0", "Everyone", kModify, true, false)})},
         {},
         "",
         true},
        {"another user, and generic all for Users",
         {"S-1-5-32-544", "Administrators", true,
          plus(administered(), {allow("S-1-5-21-1-2-3-1002", "PC\\bob", 0x2),
                                allow("S-1-5-32-545", "Users", 0x10000000)})},
         {"PC\\bob", "Users"},
         "",
         true},
        {"the deploying user may change it",
         {kMe, "PC\\me", true, plus(administered(), {allow(kMe, "PC\\me", kFull)})},
         {},
         "",
         true},
        {"Everyone's write denied first",
         {"S-1-5-32-544", "Administrators", true,
          plus({deny("S-1-1-0", "Everyone", kWriteDelete)},
               plus(administered(), {allow("S-1-5-32-545", "Users", kModify)}))},
         {},
         "",
         true},
        {"a deny for another group is not relied on",
         {"S-1-5-32-544", "Administrators", true,
          plus({deny("S-1-5-32-545", "Users", kWriteDelete)},
               plus(administered(), {allow("S-1-5-11", "Authenticated Users", kModify)}))},
         {"Authenticated Users"},
         "",
         true},
        {"owned by another user",
         {"S-1-5-21-1-2-3-1002", "PC\\bob", true, administered()},
         {},
         "PC\\bob",
         true},
        {"an owner without a name",
         {"S-1-5-21-9", "", true, administered()},
         {},
         "S-1-5-21-9",
         true},
        {"a profile folder",
         {kMe,
          "PC\\me",
          true,
          {allow("S-1-5-18", "SYSTEM", kFull), allow("S-1-5-32-544", "Administrators", kFull),
           allow(kMe, "PC\\me", kFull)}},
         {},
         "",
         false},
        {"read without run",
         {"S-1-5-32-544",
          "Administrators",
          true,
          {allow("S-1-5-32-544", "Administrators", kFull),
           allow("S-1-5-32-545", "Users", kReadOnly)}},
         {},
         "",
         false},
        {"generic read and execute, split over two groups",
         {"S-1-5-32-544",
          "Administrators",
          true,
          {allow("S-1-5-11", "Authenticated Users", 0x80000000),
           allow("S-1-1-0", "Everyone", 0x20000000)}},
         {},
         "",
         true},
        {"read only for what is created inside",
         {"S-1-5-32-544",
          "Administrators",
          true,
          {allow("S-1-5-32-545", "Users", kReadRun, true, true)}},
         {},
         "",
         false},
        {"read denied to everyone first",
         {"S-1-5-32-544",
          "Administrators",
          true,
          {deny("S-1-1-0", "Everyone", 0x1), allow("S-1-5-32-545", "Users", kReadRun)}},
         {},
         "",
         false},
        {"no access list at all",
         {"S-1-5-32-544", "Administrators", false, {}},
         {"Everyone"},
         "",
         true},
        {"an empty access list", {"S-1-5-32-544", "Administrators", true, {}}, {}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const editor::AccessVerdict verdict = editor::judgeAccess(c.security, kMe);
        EXPECT_EQ(verdict.mayChange, c.mayChange);
        EXPECT_EQ(verdict.foreignOwner, c.foreignOwner);
        EXPECT_EQ(verdict.usersMayRead, c.usersMayRead);
    }
}

TEST(FolderSafety, GenericRightsStandForTheFileRights) {
    EXPECT_EQ(editor::rights::forFiles(0x80000000), 0x120089u);
    EXPECT_EQ(editor::rights::forFiles(0x40000000), 0x120116u);
    EXPECT_EQ(editor::rights::forFiles(0x20000000), 0x1200A0u);
    EXPECT_EQ(editor::rights::forFiles(0x10000000), 0x1F01FFu);
    EXPECT_EQ(editor::rights::forFiles(0x1 | 0x20), 0x21u);
}

TEST(FolderSafety, TheRefusalNamesEveryProblemOfEachPlaceOnceAndWhereToGo) {
    FakeServices services;
    services.user = kMe;
    services.securities["C:\\Tools"] = {
        "S-1-5-21-1-2-3-1002", "PC\\bob", true,
        plus(administered(),
             {allow("S-1-1-0", "Everyone", kModify), allow("S-1-5-32-545", "Users", kModify)})};
    services.securities["C:\\Tools\\Brightwick.exe"] = {
        "S-1-5-32-544", "Administrators", true, {allow("S-1-5-32-544", "Administrators", kFull)}};
    services.securityFailures["C:\\Sched"] = "Access is denied";
    const std::optional<std::string> refusal = editor::allUsersRefusal(services, "C:\\Tools\\");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(*refusal,
              "Brightwick was not deployed for all users. Whatever it starts at logon would start "
              "for every user of this computer, administrators too, but:\n\n"
              "- C:\\Tools: Everyone and Users may create or change files there, so any of them "
              "could put a program of their own into the logon of every user, administrators "
              "included.\n"
              "- C:\\Tools: it belongs to PC\\bob, who could let anyone change it.\n"
              "- C:\\Tools\\Brightwick.exe: the other users of this computer may not read it, so "
              "at their logon Brightwick would not start or would find no schedule.\n"
              "- C:\\Sched: who may change it could not be checked: Access is denied.\n\n"
              "Put Norvell's programs and its schedule into a folder that only administrators can "
              "change and every user can read, such as C:\\Program Files\\Norvell, which "
              "administrators own. Start Norvell there as administrator to change the schedule, "
              "and deploy for all users again. To deploy for your account only, answer Yes "
              "instead.");
}

TEST(FolderSafety, TheSameFolderIsCheckedOnceAndTheLauncherAsAFile) {
    FakeServices services;
    services.workingFolderPath = "c:\\tools";  // the application folder, spelt otherwise
    services.securities["C:\\Tools"] = {
        "S-1-5-32-544", "Administrators", true,
        plus(administered(), {allow("S-1-1-0", "Everyone", kModify)})};
    services.securities["C:\\Tools\\Brightwick.exe"] = services.securities["C:\\Tools"];
    // Were it checked again under its other spelling, this would be named.
    services.securityFailures["c:\\tools"] = "Access is denied";
    services.programFiles.reset();
    const std::optional<std::string> refusal = editor::allUsersRefusal(services, "C:\\Tools\\");
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("- C:\\Tools: Everyone may create or change files there"),
              std::string::npos)
        << *refusal;
    EXPECT_NE(refusal->find("- C:\\Tools\\Brightwick.exe: Everyone may change or replace it, "),
              std::string::npos)
        << *refusal;
    EXPECT_EQ(refusal->find("c:\\tools"), std::string::npos) << "checked once";
    EXPECT_NE(refusal->find("such as a folder under Program Files, which"), std::string::npos);
}

TEST(FolderSafety, ADriveRootKeepsItsBackslashAndSafeFoldersPass) {
    FakeServices services;
    EXPECT_FALSE(editor::allUsersRefusal(services, "C:\\Tools\\"));
    services.securities["E:\\"] = {
        "S-1-5-32-544", "Administrators", true,
        plus(administered(), {allow("S-1-5-11", "Authenticated Users", 0x4, false, false)})};
    const std::optional<std::string> refusal = editor::allUsersRefusal(services, "E:\\");
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("- E:\\: Authenticated Users may create or change files there"),
              std::string::npos)
        << *refusal;
}
