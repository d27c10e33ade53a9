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
        const editor::AccessVerdict verdict = editor::judgeAccess(c.security, {kMe, true}, true);
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
    services.deployer = {kMe, true};
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

namespace {

// Entries by what they reach: the folder itself only, the files created inside only, or both.
enum class To { Folder, Files, Both };
AccessEntry allowTo(To to, std::string sid, std::string name, unsigned long rights) {
    return {true, std::move(sid), std::move(name), rights, to == To::Files, to != To::Folder};
}
AccessEntry denyTo(To to, std::string sid, std::string name, unsigned long rights) {
    return {false, std::move(sid), std::move(name), rights, to == To::Files, to != To::Folder};
}
const std::string kUsers = "S-1-5-32-545";
const std::string kEveryone = "S-1-1-0";
constexpr unsigned long kReadData = 0x1;
constexpr unsigned long kWriteData = 0x2;

Security administeredWith(std::vector<AccessEntry> entries) {
    return {"S-1-5-32-544", "Administrators", true, plus(administered(), std::move(entries))};
}

}  // namespace

// The folder's own entries and the ones the files created inside inherit are two lists, each
// checked in order: a deny counts only in its own list and only before the allow.
TEST(FolderSafety, TheFolderAndItsNewFilesAreJudgedApartEachInTheSystemsOrder) {
    struct Case {
        const char* name;
        std::vector<AccessEntry> entries;  // Administrators', SYSTEM's and Users' reading first
        std::vector<std::string> mayChange;
    };
    const Case cases[] = {
        {"a deny for the files does not hide an allow for the folder",
         {denyTo(To::Files, kEveryone, "Everyone", kCreateFiles),
          allowTo(To::Folder, kUsers, "Users", kReadRun | kCreateFiles)},
         {"Users"}},
        {"a deny for the folder does not hide an allow for the files",
         {denyTo(To::Folder, kUsers, "Users", kModify),
          allowTo(To::Files, kUsers, "Users", kModify)},
         {"Users"}},
        {"a deny after an allow takes nothing back",
         {allowTo(To::Both, kUsers, "Users", kModify),
          denyTo(To::Both, kUsers, "Users", kWriteDelete)},
         {"Users"}},
        {"a deny for Everyone before, in the files' list",
         {denyTo(To::Files, kEveryone, "Everyone", kWriteDelete),
          allowTo(To::Files, kUsers, "Users", kModify)},
         {}},
        {"a deny for the same group before, in the folder's list",
         {denyTo(To::Folder, kUsers, "Users", kWriteDelete | 0x40),
          allowTo(To::Folder, kUsers, "Users", kModify)},
         {}},
        {"write for the files created inside only",
         {allowTo(To::Files, kEveryone, "Everyone", kWriteData)},
         {"Everyone"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const editor::AccessVerdict verdict =
            editor::judgeAccess(administeredWith(c.entries), {kMe, true}, true);
        EXPECT_EQ(verdict.mayChange, c.mayChange);
    }
}

TEST(FolderSafety, EveryUserMustReadBothTheFolderAndTheFilesCreatedInside) {
    struct Case {
        const char* name;
        std::vector<AccessEntry> entries;  // besides Administrators' and SYSTEM's
        bool folder;                       // judged as a folder, else as a file
        bool usersMayRead;
    };
    const AccessEntry admins = allow("S-1-5-32-544", "Administrators", kFull);
    const Case cases[] = {
        {"read for this folder only",
         {allowTo(To::Folder, kUsers, "Users", kReadRun)},
         true,
         false},
        {"read for the files only", {allowTo(To::Files, kUsers, "Users", kReadRun)}, true, false},
        {"read for each in an entry of its own",
         {allowTo(To::Folder, kUsers, "Users", kReadRun),
          allowTo(To::Files, kUsers, "Users", kReadRun)},
         true,
         true},
        {"a deny for the files does not hide the folder's read",
         {allowTo(To::Files, kUsers, "Users", kReadRun),
          denyTo(To::Files, kEveryone, "Everyone", kReadData),
          allowTo(To::Folder, kUsers, "Users", kReadRun)},
         true,
         true},
        {"a deny for the files before their read",
         {denyTo(To::Files, kEveryone, "Everyone", kReadData),
          allowTo(To::Both, kUsers, "Users", kReadRun)},
         true,
         false},
        {"a deny after the read takes nothing back",
         {allowTo(To::Both, kUsers, "Users", kReadRun),
          denyTo(To::Both, kEveryone, "Everyone", kReadData)},
         true,
         true},
        {"a file has no files inside",
         {allowTo(To::Folder, kUsers, "Users", kReadRun)},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Security security{"S-1-5-32-544", "Administrators", true, plus({admins}, c.entries)};
        EXPECT_EQ(editor::judgeAccess(security, {kMe, true}, c.folder).usersMayRead,
                  c.usersMayRead);
    }
}

// What lets others put a folder of their own in place of one above the programs or schedule.
TEST(FolderSafety, WhoMayRenameOrReplaceAFolderOrWhatItHolds) {
    struct Case {
        const char* name;
        std::vector<AccessEntry> entries;
        std::vector<std::string> mayReplace;
        std::vector<std::string> mayReplaceInside;
    };
    const std::string users = "S-1-5-11";
    const Case cases[] = {
        {"Modify by inheritance, as under C:\\",
         {allowTo(To::Both, users, "Authenticated Users", kModify)},
         {"Authenticated Users"},
         {}},
        {"delete", {allowTo(To::Folder, kUsers, "Users", 0x10000)}, {"Users"}, {}},
        {"change the access list", {allowTo(To::Folder, kUsers, "Users", 0x40000)}, {"Users"}, {}},
        {"take it over", {allowTo(To::Folder, kUsers, "Users", 0x80000)}, {"Users"}, {}},
        {"delete what it holds", {allowTo(To::Folder, kUsers, "Users", 0x40)}, {}, {"Users"}},
        {"both, named once", {allowTo(To::Folder, kEveryone, "Everyone", kFull)}, {"Everyone"}, {}},
        {"delete reaching only what is created inside",
         {allowTo(To::Files, kUsers, "Users", kFull)},
         {},
         {}},
        {"C:\\ itself: users may add folders, and modify only what they add",
         {allowTo(To::Folder, users, "Authenticated Users", 0x4),
          {true, users, "Authenticated Users", kModify, true, true}},
         {},
         {}},
        {"delete denied to Everyone first",
         {denyTo(To::Folder, kEveryone, "Everyone", 0x10000 | 0x40),
          allowTo(To::Folder, kUsers, "Users", kModify | 0x40)},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const editor::AccessVerdict verdict =
            editor::judgeAccess(administeredWith(c.entries), {kMe, true}, true);
        EXPECT_EQ(verdict.mayReplace, c.mayReplace);
        EXPECT_EQ(verdict.mayReplaceInside, c.mayReplaceInside);
    }
}

TEST(FolderSafety, TheDeployingAccountIsTrustedOnlyAsAnAdministrator) {
    const Security own{kMe, "PC\\me", true, plus(administered(), {allow(kMe, "PC\\me", kFull)})};
    const editor::AccessVerdict administrator = editor::judgeAccess(own, {kMe, true}, true);
    EXPECT_EQ(administrator.mayChange, std::vector<std::string>{});
    EXPECT_EQ(administrator.foreignOwner, "");

    const editor::AccessVerdict standard = editor::judgeAccess(own, {kMe, false}, true);
    EXPECT_EQ(standard.mayChange, std::vector<std::string>{"PC\\me"});
    EXPECT_EQ(standard.mayReplace, std::vector<std::string>{"PC\\me"});
    EXPECT_EQ(standard.foreignOwner, "PC\\me (your account, which is not an administrator's)");

    // Without a SID nothing counts as the account's own.
    const editor::AccessVerdict unknown = editor::judgeAccess(own, {"", true}, true);
    EXPECT_EQ(unknown.foreignOwner, "PC\\me");
}

namespace {

// The lines of a refusal that name a problem, without their "- ".
std::vector<std::string> problemsIn(const std::string& refusal) {
    std::vector<std::string> problems;
    std::size_t start = 0;
    while ((start = refusal.find("\n- ", start)) != std::string::npos) {
        start += 3;
        const std::size_t end = refusal.find('\n', start);
        problems.push_back(refusal.substr(start, end - start));
    }
    return problems;
}

const std::string kInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const std::string kPackages = "S-1-15-2-1";
constexpr unsigned long kGenericReadRun = 0xA0000000;

// A stock Windows: C:\, Program Files and a folder an administrator made in each, or a file.
Security stockRoot() {
    return {kInstaller,
            "TrustedInstaller",
            true,
            {allow("S-1-5-32-544", "Administrators", kFull),
             allow("S-1-5-18", "SYSTEM", kFull),
             allow(kUsers, "Users", kReadRun),
             {true, "S-1-5-11", "Authenticated Users", kModify, true, true},
             allowTo(To::Folder, "S-1-5-11", "Authenticated Users", 0x4)}};
}
Security stockProgramFiles() {
    return {kInstaller,
            "TrustedInstaller",
            true,
            {allowTo(To::Folder, kInstaller, "TrustedInstaller", kFull),
             {true, kInstaller, "TrustedInstaller", kFull, true, false},
             allowTo(To::Folder, "S-1-5-18", "SYSTEM", kModify),
             {true, "S-1-5-18", "SYSTEM", kFull, true, true},
             allowTo(To::Folder, "S-1-5-32-544", "Administrators", kModify),
             {true, "S-1-5-32-544", "Administrators", kFull, true, true},
             allowTo(To::Folder, kUsers, "Users", kReadRun),
             {true, kUsers, "Users", kGenericReadRun, true, true},
             {true, "S-1-3-0", "CREATOR OWNER", 0x10000000, true, true},
             allowTo(To::Folder, kPackages, "ALL APPLICATION PACKAGES", kReadRun),
             {true, kPackages, "ALL APPLICATION PACKAGES", kGenericReadRun, true, true}}};
}
// What a folder made by an administrator inherits from `parent` (its effective entries).
Security madeIn(const Security& parent) {
    Security made{"S-1-5-32-544", "Administrators", true, {}};
    for (AccessEntry entry : parent.entries) {
        if (!entry.toNewFiles && !entry.inheritOnly) continue;  // this folder only
        if (entry.sid == "S-1-3-0") continue;                   // the creator's, trusted anyway
        entry.rights = editor::rights::forFiles(entry.rights);
        entry.inheritOnly = false;
        made.entries.push_back(entry);
    }
    return made;
}
Security fileIn(const Security& folder) {
    Security file = madeIn(folder);
    for (AccessEntry& entry : file.entries) entry.toNewFiles = false;
    std::erase_if(file.entries, [](const AccessEntry& e) { return e.sid == kInstaller; });
    return file;
}

}  // namespace

TEST(FolderSafety, AFolderUnderProgramFilesIsSafeForAnyDeployingAccount) {
    for (const bool administrator : {true, false}) {
        SCOPED_TRACE(administrator ? "an administrator" : "a standard user");
        FakeServices services;
        services.deployer = {kMe, administrator};
        services.programFolderPath = "C:\\Program Files\\Norvell";
        services.workingFolderPath = "C:\\Program Files\\Norvell";
        services.securities["C:\\"] = stockRoot();
        services.securities["C:\\Program Files"] = stockProgramFiles();
        services.securities["C:\\Program Files\\Norvell"] = madeIn(stockProgramFiles());
        services.securities["C:\\Program Files\\Norvell\\Brightwick.exe"] =
            fileIn(madeIn(stockProgramFiles()));
        const std::optional<std::string> refusal =
            editor::allUsersRefusal(services, "C:\\Program Files\\Norvell\\");
        EXPECT_FALSE(refusal) << *refusal;
    }
}

TEST(FolderSafety, AFolderMadeUnderTheDrivesRootIsRefusedAndItsParentNamed) {
    FakeServices services;
    services.programFolderPath = "C:\\Tools\\Norvell";
    services.workingFolderPath = "C:\\Tools\\Norvell";
    services.securities["C:\\"] = stockRoot();
    services.securities["C:\\Tools"] = madeIn(stockRoot());
    services.securities["C:\\Tools\\Norvell"] = madeIn(madeIn(stockRoot()));
    services.securities["C:\\Tools\\Norvell\\Brightwick.exe"] = fileIn(madeIn(stockRoot()));
    const std::optional<std::string> refusal =
        editor::allUsersRefusal(services, "C:\\Tools\\Norvell\\");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(problemsIn(*refusal),
              (std::vector<std::string>{
                  "C:\\Tools\\Norvell: Authenticated Users may create or change files there, so "
                  "any of them could put a program of their own into the logon of every user, "
                  "administrators included.",
                  "C:\\Tools\\Norvell\\Brightwick.exe: Authenticated Users may change or replace "
                  "it, so any of them could put a program of their own into the logon of every "
                  "user, administrators included.",
                  "C:\\Tools: Authenticated Users may rename or replace this folder, which holds "
                  "C:\\Tools\\Norvell, so any of them could put a folder of their own in its "
                  "place, and a program of their own into the logon of every user, "
                  "administrators included."}));
}

// Each way a deployment for all users is refused, alone, as the one problem named.
TEST(FolderSafety, EachRouteIsRefusedWithItsOwnProblem) {
    using Kind = editor::DriveLetter::Kind;
    struct Case {
        const char* name;
        std::string programs;  // the application folder, without its backslash
        std::function<void(FakeServices&)> arrange;
        std::string problem;
    };
    const auto above = [](std::string path, std::vector<AccessEntry> entries) {
        return [path, entries](FakeServices& s) { s.securities[path] = administeredWith(entries); };
    };
    const std::string replaceTools =
        " may rename or replace this folder, which holds C:\\Tools\\Norvell, so any of them could "
        "put a folder of their own in its place, and a program of their own into the logon of "
        "every user, administrators included.";
    const std::string decided =
        ", where the computer that shares it, not this computer's administrators, decides who "
        "may change it.";
    const Case cases[] = {
        {"another account owns a folder above", "C:\\Tools\\Norvell",
         [](FakeServices& s) {
             s.securities["C:\\Tools"] = {"S-1-5-21-1-2-3-1002", "PC\\bob", true, administered()};
         },
         "C:\\Tools: this folder, which holds C:\\Tools\\Norvell, belongs to PC\\bob, who could "
         "let anyone change it."},
        {"a standard user who deploys owns the programs' folder", "C:\\Tools\\Norvell",
         [](FakeServices& s) {
             s.deployer.administrator = false;
             s.securities["C:\\Tools\\Norvell"] = {kMe, "PC\\me", true, administered()};
         },
         "C:\\Tools\\Norvell: it belongs to PC\\me (your account, which is not an "
         "administrator's), who could let anyone change it."},
        {"delete", "C:\\Tools\\Norvell",
         above("C:\\Tools", {allowTo(To::Folder, kUsers, "Users", 0x10000)}),
         "C:\\Tools: Users" + replaceTools},
        {"change the access list", "C:\\Tools\\Norvell",
         above("C:\\Tools", {allowTo(To::Folder, kEveryone, "Everyone", 0x40000)}),
         "C:\\Tools: Everyone" + replaceTools},
        {"take it over", "C:\\Tools\\Norvell",
         above("C:\\Tools", {allowTo(To::Folder, "S-1-5-11", "Authenticated Users", 0x80000)}),
         "C:\\Tools: Authenticated Users" + replaceTools},
        {"delete what the parent holds", "C:\\Tools\\Norvell",
         above("C:\\", {allowTo(To::Folder, kUsers, "Users", 0x40)}),
         "C:\\: Users may rename or replace what this folder holds, which includes C:\\Tools, so "
         "any of them could put a folder of their own there, and a program of their own into "
         "the logon of every user, administrators included."},
        {"a junction above", "C:\\Tools\\Norvell",
         [](FakeServices& s) {
             s.securities["C:\\Tools"] = FakeServices::safeSecurity();
             s.securities["C:\\Tools"].reparsePoint = true;
         },
         "C:\\Tools: it is a junction, symbolic link or mount point, which leads to another "
         "place, so who may change what is there cannot be checked here."},
        {"a network share", "\\\\srv\\apps\\Norvell", [](FakeServices&) {},
         "\\\\srv\\apps\\Norvell: it is on a network share" + decided},
        {"a network drive", "Z:\\Norvell",
         [](FakeServices& s) {
             s.drives['Z'] = {Kind::Network, "\\\\srv\\apps", ""};
         },
         "Z:\\Norvell: it is on drive Z:, a network drive" + decided},
        {"a drive made by subst", "s:\\Norvell",
         [](FakeServices& s) {
             s.drives['S'] = {Kind::Substitute, "C:\\Plans", ""};
         },
         "s:\\Norvell: it is on drive S:, which the subst command made for your logon only; other "
         "users' logons and programs run with administrator rights do not have it. Start Norvell "
         "from C:\\Plans\\Norvell instead."},
        {"a device path", "\\\\?\\C:\\Tools", [](FakeServices&) {},
         "\\\\?\\C:\\Tools: it is not given as a folder on a drive letter of this computer, so "
         "who may change the folders above it cannot be checked."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices services;
        services.programFolderPath = c.programs;
        services.workingFolderPath = c.programs;
        c.arrange(services);
        const std::optional<std::string> refusal =
            editor::allUsersRefusal(services, c.programs + "\\");
        ASSERT_TRUE(refusal);
        EXPECT_EQ(problemsIn(*refusal), std::vector<std::string>{c.problem});
    }
}

TEST(FolderSafety, AFolderAboveBothIsJudgedOnceAndNamesWhatItHolds) {
    FakeServices services;
    services.programFolderPath = "C:\\Tools\\Norvell";
    services.workingFolderPath = "C:\\Tools\\Plans";
    services.securities["C:\\Tools"] =
        administeredWith({allowTo(To::Folder, kUsers, "Users", 0x10000)});
    const std::optional<std::string> refusal =
        editor::allUsersRefusal(services, "C:\\Tools\\Norvell\\");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(problemsIn(*refusal),
              std::vector<std::string>{
                  "C:\\Tools: Users may rename or replace this folder, which holds "
                  "C:\\Tools\\Norvell and C:\\Tools\\Plans, so any of them could put a folder of "
                  "their own in its place, and a program of their own into the logon of every "
                  "user, administrators included."});

    // The schedule's folder above the programs' is held to what a schedule's folder must be.
    services.workingFolderPath = "C:\\Tools";
    const std::optional<std::string> working =
        editor::allUsersRefusal(services, "C:\\Tools\\Norvell\\");
    ASSERT_TRUE(working);
    EXPECT_EQ(problemsIn(*working),
              std::vector<std::string>{
                  "C:\\Tools: Users may create or change files there, so any of them could put "
                  "a program of their own into the logon of every user, administrators "
                  "included."});
}

// A conditional entry may hold or not: it counts the way that refuses more, for who may change
// the place and for whether every user may read it.
TEST(FolderSafety, ConditionalEntriesCountWhicheverWayIsSaferForEachQuestion) {
    const auto when = [](AccessEntry entry) {
        entry.conditional = true;
        return entry;
    };
    const auto judged = [](std::vector<AccessEntry> entries) {
        return editor::judgeAccess({"S-1-5-18", "SYSTEM", true, std::move(entries)}, {}, false);
    };
    const std::vector<std::string> users{"Users"};
    EXPECT_EQ(judged({when(allow(kUsers, "Users", kModify))}).mayChange, users);
    EXPECT_EQ(
        judged({when(deny(kUsers, "U", kWriteDelete)), allow(kUsers, "Users", kModify)}).mayChange,
        users);
    EXPECT_FALSE(judged({when(allow(kUsers, "Users", kReadRun))}).usersMayRead);
    EXPECT_FALSE(judged({when(deny(kUsers, "U", kReadData)), allow(kUsers, "Users", kReadRun)})
                     .usersMayRead);
}

// No one can rename or delete a volume's root: DELETE there alone refuses nothing, other rights
// still do. Windows gives Authenticated Users Modify on the root of a data volume.
TEST(FolderSafety, AVolumesRootIsNotRefusedForTheDeleteRightAlone) {
    for (const auto& [rights, refused] : std::vector<std::pair<unsigned long, bool>>{
             {kModify, false}, {kModify | 0x40000, true}, {kModify | 0x40, true}}) {
        FakeServices services;
        services.securities["D:\\"] =
            administeredWith({allowTo(To::Both, "S-1-5-11", "AU", rights)});
        EXPECT_EQ(editor::safeForAllUsers(services, "D:\\Apps\\Norvell"), !refused) << rights;
    }
}
