// What Deploy and Deployment Status read and change on Windows (under Wine in CI): registry
// values, shortcuts read back, paths compared as Windows compares them, access lists as far as
// Wine keeps them, and the editor's own program started again with administrator rights.
#include <gtest/gtest.h>

#include <windows.h>

#include "driver.hpp"
#include "editor/core/all_users_setup.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/win/platform_services.hpp"
#include "win32/elevation.hpp"
#include "win32/error.hpp"
#include "win32/owners.hpp"
#include "win32/path.hpp"
#include "win32/process.hpp"
#include "win32/registry.hpp"
#include "win32/security.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

using namespace std::chrono_literals;

namespace {

// A key of the test's own under HKCU\Software, removed with its values at the end.
class TestKey {
  public:
    TestKey() : path_(L"Software\\NorvellTest-" + std::to_wstring(GetCurrentProcessId())) {}
    ~TestKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

}  // namespace

TEST(Registry, BinaryValuesAreWrittenAndReadWholeAndAbsentOnesAreNone) {
    TestKey key;
    std::optional<std::string> bytes = "stale";
    EXPECT_TRUE(win32::readRegistryBytes(HKEY_CURRENT_USER, key.path(), L"Brightwick.lnk", bytes));
    EXPECT_FALSE(bytes) << "no key";

    const std::string disabled("\x03\0\0\0\x01\x02\x03\x04\x05\x06\x07\x08", 12);
    ASSERT_TRUE(
        win32::writeRegistryBinary(HKEY_CURRENT_USER, key.path(), L"Brightwick.lnk", disabled));
    EXPECT_TRUE(win32::readRegistryBytes(HKEY_CURRENT_USER, key.path(), L"Other.lnk", bytes));
    EXPECT_FALSE(bytes) << "no value";
    EXPECT_TRUE(win32::readRegistryBytes(HKEY_CURRENT_USER, key.path(), L"Brightwick.lnk", bytes));
    EXPECT_EQ(bytes, disabled) << "zero bytes and all";

    const std::string enabled = std::string(1, '\x02') + std::string(11, '\0');
    ASSERT_TRUE(
        win32::writeRegistryBinary(HKEY_CURRENT_USER, key.path(), L"Brightwick.lnk", enabled));
    EXPECT_TRUE(win32::readRegistryBytes(HKEY_CURRENT_USER, key.path(), L"Brightwick.lnk", bytes));
    EXPECT_EQ(bytes, enabled);
    DWORD type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.path().c_str(), L"Brightwick.lnk", RRF_RT_ANY,
                           &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
}

TEST(Shell, AShortcutIsReadBackAndAFileThatIsNoneFails) {
    win32::ComApartment com;
    driver::TempFolder temp;
    const std::wstring path = temp.file(L"Brightwick.lnk");
    ASSERT_TRUE(win32::saveLink(path, {L"C:\\Tools\\Brightwick.exe", L"", L"D:\\Schedules"}));
    win32::Link link;
    ASSERT_TRUE(win32::loadLink(path, link));
    EXPECT_EQ(link.target, L"C:\\Tools\\Brightwick.exe");
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.workingFolder, L"D:\\Schedules");

    temp.write(L"Broken.lnk", "not a shortcut");
    const schedule::Outcome broken = win32::loadLink(temp.file(L"Broken.lnk"), link);
    EXPECT_FALSE(broken);
    EXPECT_FALSE(broken.error.empty());
    EXPECT_EQ(link.target, L"") << "nothing half-read";
}

TEST(Path, PathsAreComparedAsWindowsComparesThem) {
    driver::TempFolder temp;
    driver::createFolderOrThrow(temp.file(L"Long Folder Name"));
    temp.write(L"Brightwick.exe", "");
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(
        GetShortPathNameW(temp.file(L"Long Folder Name").c_str(), shortName.data(), MAX_PATH));
    struct Case {
        std::wstring first;
        std::wstring second;
        bool same;
    };
    const std::wstring upper = [&] {
        std::wstring text = temp.file(L"Brightwick.exe");
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
        return text;
    }();
    const Case cases[] = {
        {temp.file(L"Brightwick.exe"), upper, true},
        {temp.file(L"Brightwick.exe"), temp.path() + L"\\.\\sub\\..\\Brightwick.exe", true},
        {temp.file(L"Brightwick.exe"), temp.path() + L"/Brightwick.exe", true},
        {temp.path(), temp.path() + L"\\", true},
        {temp.file(L"Long Folder Name"), shortName, true},
        {L"C:\\", L"c:\\", true},
        {temp.file(L"Brightwick.exe"), temp.file(L"Brightwick.ex"), false},
        {temp.file(L"Brightwick.exe"), temp.file(L"Brightwick.exe.lnk"), false},
        {L"C:\\", L"D:\\", false},
        {L"C:\\Caf\u00e9", L"C:\\Cafe", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::samePath(c.first, c.second), c.same)
            << win32::narrow(c.first) << " | " << win32::narrow(c.second);
    }
}

TEST(Security, TheOwnerAndTheEntriesOfAFolderAreRead) {
    driver::TempFolder temp;
    std::wstring me;
    ASSERT_TRUE(win32::currentUserSid(me));
    EXPECT_EQ(me.rfind(L"S-1-5-", 0), 0u) << win32::narrow(me);
    win32::FileSecurity security;
    ASSERT_TRUE(win32::readFileSecurity(temp.path(), security));
    EXPECT_EQ(security.ownerSid, me) << "the folder's creator owns it";
    EXPECT_FALSE(security.ownerName.empty());
    EXPECT_TRUE(security.hasAccessList);
    EXPECT_FALSE(security.entries.empty());
    const schedule::Outcome missing =
        win32::readFileSecurity(temp.file(L"no such folder"), security);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

// Wine keeps of an access list only what Unix permissions hold: the owner's rights and
// Everyone's. Rights given to Users or Authenticated Users alone are not kept, so the cases
// here grant them to Everyone too, which is what Wine shows; and a list without Everyone keeps
// Everyone's reading, so the folder users may not read denies it to Everyone, after the
// entries of those who may: a denial first would keep the test's own user, whom Wine runs as
// an ordinary Unix user, from reading the folder's list.
TEST(Security, AFolderThatEveryoneMayChangeOrThatUsersMayNotReadIsSeenSo) {
    editor::PlatformServices services;
    const editor::Account account = services.account();
    const std::string me = account.sid;
    ASSERT_FALSE(me.empty());
    struct Case {
        std::wstring sddl;
        std::vector<std::string> mayChange;
        bool usersMayRead;
    };
    // Administrators, SYSTEM and the user may do everything.
    const std::wstring owners =
        L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + win32::widen(me) + L")";
    const Case cases[] = {
        {owners + L"(A;OICI;0x1301bf;;;BU)(A;OICI;0x1301bf;;;WD)", {"Everyone"}, true},
        {owners + L"(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;WD)", {}, true},
        {owners + L"(D;OICI;0x1200a9;;;WD)", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(win32::narrow(c.sddl));
        driver::TempFolder temp;
        driver::setAccessListOrThrow(temp.path(), c.sddl.c_str());
        editor::Security security;
        ASSERT_TRUE(services.security(win32::narrow(temp.path()), security));
        EXPECT_FALSE(security.reparsePoint);
        const editor::AccessVerdict verdict = editor::judgeAccess(security, account, true);
        EXPECT_EQ(verdict.mayChange, c.mayChange);
        EXPECT_EQ(verdict.foreignOwner, "");
        EXPECT_EQ(verdict.usersMayRead, c.usersMayRead);
        // Readable again, so that the folder can be removed.
        driver::setAccessListOrThrow(temp.path(), (owners + L"(A;OICI;0x1200a9;;;WD)").c_str());
    }
}

// The shared schedule's folder, made with its list or given it when there already: others
// may only read and run it and the files made in it, as far as Wine keeps an access list.
TEST(Security, TheSharedScheduleFolderLetsOthersOnlyReadAndRunItAndItsFiles) {
    editor::PlatformServices services;
    const editor::Account account = services.account();
    const std::vector<editor::AccessEntry> access = editor::sharedScheduleAccess();
    const auto othersMayOnlyRead = [&](const std::wstring& path, bool folder) {
        editor::Security security;
        ASSERT_TRUE(services.security(win32::narrow(path), security));
        const editor::AccessVerdict verdict = editor::judgeAccess(security, account, folder);
        EXPECT_EQ(verdict.mayChange, std::vector<std::string>{});
        EXPECT_EQ(verdict.mayReplace, std::vector<std::string>{});
        EXPECT_TRUE(verdict.usersMayRead);
    };
    driver::TempFolder temp;
    const std::string made = win32::narrow(temp.file(L"Made"));
    bool existed = true;
    ASSERT_TRUE(services.createFolder(made, access, existed));
    EXPECT_FALSE(existed);
    ASSERT_TRUE(services.setFolderAccess(made, access));
    temp.write(L"Made\\datmon.dat", "record");
    othersMayOnlyRead(temp.file(L"Made"), true);
    othersMayOnlyRead(temp.file(L"Made\\datmon.dat"), false);
    ASSERT_TRUE(services.createFolder(made, access, existed));
    EXPECT_TRUE(existed) << "a folder there already is told so";

    // A folder everyone could change, as one made under ProgramData by hand may be.
    const std::wstring open = temp.file(L"Open");
    ASSERT_TRUE(CreateDirectoryW(open.c_str(), nullptr));
    driver::setAccessListOrThrow(open.c_str(), L"D:P(A;OICI;FA;;;WD)");
    temp.write(L"Open\\2Mon.dat", "record");
    ASSERT_TRUE(services.setFolderAccess(win32::narrow(open), access));
    othersMayOnlyRead(open, true);
    othersMayOnlyRead(open + L"\\2Mon.dat", false);
    // What was there is listed and taken over (Wine keeps no owner that is set, Windows does).
    std::vector<editor::FolderItem> items;
    ASSERT_TRUE(services.folderItems(win32::narrow(open), items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(services.takeOver(win32::narrow(open) + "\\" + items[0].name));
    othersMayOnlyRead(open + L"\\2Mon.dat", false);
}

TEST(Elevation, TheOwnProgramStartsAgainAndItsExitStatusIsReported) {
    win32::ComApartment com;
    // This test program again, running no test: it ends with status 0.
    win32::UniqueHandle process;
    const schedule::Outcome started = win32::startOwnProgramAsAdministrator(
        L"--gtest_filter=NoSuchTest.None", win32::currentFolder(), nullptr, process);
    ASSERT_TRUE(started) << started.error;
    ASSERT_TRUE(process);
    EXPECT_EQ(driver::waitForExit(process.get(), 30s), 0u);

    editor::PlatformServices services;
    const editor::AdministratorRun ran =
        services.runAsAdministrator("--gtest_filter=NoSuchTest.None", 30s);
    EXPECT_EQ(ran.ending, editor::AdministratorRun::Ending::Finished) << ran.failure.error;
    EXPECT_EQ(ran.exitCode, 0u);
}

// An administrator's programs run under User Account Control with a filtered token, in which
// Administrators is a group for deny only; the account is an administrator's all the same.
TEST(Security, AnAdministratorIsOneWithAdministratorsForDenyOnlyToo) {
    HANDLE raw = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(),
                                 TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY, &raw));
    const win32::UniqueHandle token(raw);
    bool administrator = false;
    ASSERT_TRUE(win32::holdsAdministrators(token.get(), administrator));
    ASSERT_TRUE(administrator) << "Wine runs its programs as an administrator";
    bool current = false;
    ASSERT_TRUE(win32::currentUserIsAdministrator(current));
    EXPECT_TRUE(current);

    alignas(SID) unsigned char administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    SID_AND_ATTRIBUTES disable{administrators, 0};
    HANDLE filteredRaw = nullptr;
    ASSERT_TRUE(
        CreateRestrictedToken(token.get(), 0, 1, &disable, 0, nullptr, 0, nullptr, &filteredRaw));
    const win32::UniqueHandle filtered(filteredRaw);
    EXPECT_TRUE(win32::holdsAdministrators(filtered.get(), administrator));
    EXPECT_TRUE(administrator) << "for deny only";

    // What CheckTokenMembership would have said of it: no member.
    HANDLE impersonationRaw = nullptr;
    ASSERT_TRUE(DuplicateToken(filtered.get(), SecurityIdentification, &impersonationRaw));
    const win32::UniqueHandle impersonation(impersonationRaw);
    BOOL member = TRUE;
    ASSERT_TRUE(CheckTokenMembership(impersonation.get(), administrators, &member));
    EXPECT_FALSE(member);
}
