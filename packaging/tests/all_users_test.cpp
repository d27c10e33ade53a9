// The installer for all users of the computer, run silently as an administrator or a software
// deployment tool runs it: the programs in Program Files, a schedule folder in ProgramData that
// only administrators may change, the Start-menu entry and the uninstall entry of the computer;
// the editor deploying for all users from there; a schedule handed to the installer deployed
// with it; and the uninstaller, which stops while a program is in use and otherwise keeps the
// schedule. One installation serves the tests in turn: the first makes it and the last removes
// it (CTest runs them in that order).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver.hpp"
#include "editor/core/folder_safety.hpp"
#include "editor/win/platform_services.hpp"
#include "editor_session.hpp"
#include "package_support.hpp"
#include "win32/owners.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

using namespace driver;
using namespace package;

namespace {

const std::string kMonday = "08:00\r\nC:\\Tools\\app.exe\r\nNormal\r\nMonday\r\n";
const std::string kWednesday = "21:15\r\nC:\\Tools\\other.exe\r\nMax\r\nWednesday\r\n";

// The installation's log.
std::wstring setupLog() {
    return logText(forAllUsers().programs + L"\\install.log");
}

// Runs the installer silently with `arguments`, its exit code.
DWORD install(const std::wstring& arguments) {
    TempFolder scratch;
    const Process installer(NORVELL_INSTALLER, arguments, scratch.path());
    const std::optional<DWORD> code = installer.wait(90s);
    EXPECT_TRUE(code) << "the installer did not finish";
    return code.value_or(999);
}

// What others than administrators may do with a folder or file, as the judgement of a
// deployment for all users reads its access list.
editor::AccessVerdict othersMay(const std::wstring& path, bool folder) {
    editor::PlatformServices services;
    editor::Security security;
    const schedule::Outcome read = services.security(win32::narrow(path), security);
    EXPECT_TRUE(read) << read.error;
    return editor::judgeAccess(security, services.account(), folder);
}

}  // namespace

TEST(AllUsers, InstallsIntoProgramFilesWithASharedScheduleOnlyAdministratorsMayChange) {
    ASSERT_TRUE(exists(NORVELL_INSTALLER)) << "the package has not been built";
    // Whatever an earlier, failed run left behind would let these tests pass unearned.
    removeTree(forAllUsers().programs);
    removeTree(forAllUsers().sharedSchedule);
    DeleteFileW(forAllUsers().startMenuEntry.c_str());
    DeleteFileW(forAllUsers().launcherShortcut.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    win32::ComApartment com;

    ASSERT_EQ(install(L"/S /AllUsers"), 0u) << win32::narrow(setupLog());

    std::vector<std::wstring> expected = fileNames(distDir());
    expected.push_back(L"Uninstall.exe");
    expected.push_back(L"install.log");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(fileNames(forAllUsers().programs), expected);
    for (const std::wstring& name : fileNames(distDir())) {
        EXPECT_EQ(fileBytes(forAllUsers().programs + L"\\" + name),
                  fileBytes(distDir() + L"\\" + name))
            << win32::narrow(name) << " differs from the shippable folder's";
    }

    // Under Wine an access list is what Unix permissions hold: the owner's rights and
    // Everyone's, which must be read and run only, for the folder and what is made in it.
    ASSERT_TRUE(exists(forAllUsers().sharedSchedule));
    const editor::AccessVerdict folder = othersMay(forAllUsers().sharedSchedule, true);
    EXPECT_EQ(folder.mayChange, std::vector<std::string>{});
    EXPECT_EQ(folder.mayReplace, std::vector<std::string>{});
    EXPECT_TRUE(folder.usersMayRead);
    const std::wstring made = forAllUsers().sharedSchedule + L"\\datmon.dat";
    {
        const win32::UniqueHandle file = win32::ownHandle(CreateFileW(
            made.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
    }
    const editor::AccessVerdict file = othersMay(made, false);
    EXPECT_EQ(file.mayChange, std::vector<std::string>{});
    EXPECT_TRUE(file.usersMayRead);
    DeleteFileW(made.c_str());

    // Every user's Start menu starts Norvell in the shared schedule's folder.
    EXPECT_TRUE(startsIn(forAllUsers().startMenuEntry, forAllUsers().programs + L"\\Norvell.exe",
                         forAllUsers().sharedSchedule));
    EXPECT_FALSE(exists(folderOrFail(FOLDERID_Programs) + L"\\Norvell.lnk"))
        << "an entry in the installing user's own Start menu";

    // The computer's list of apps offers the uninstaller; the user's does not.
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, L"DisplayName"), L"Norvell 1.00");
    const std::optional<std::wstring> location =
        uninstallValue(HKEY_LOCAL_MACHINE, L"InstallLocation");
    ASSERT_TRUE(location);
    EXPECT_TRUE(samePath(*location, forAllUsers().programs));
    const std::optional<std::wstring> command =
        uninstallValue(HKEY_LOCAL_MACHINE, L"UninstallString");
    ASSERT_TRUE(command);
    EXPECT_TRUE(samePath(*command, L"\"" + forAllUsers().programs + L"\\Uninstall.exe\""));
    EXPECT_FALSE(uninstallKeyExists(HKEY_CURRENT_USER));

    EXPECT_NE(setupLog().find(L"Made the schedule folder " + forAllUsers().sharedSchedule),
              std::wstring::npos)
        << win32::narrow(setupLog());
}

TEST(AllUsers, TheEditorFromTheStartMenuDeploysForAllUsersFromTheSharedSchedule) {
    win32::ComApartment com;
    DeleteFileW(forAllUsers().launcherShortcut.c_str());
    const std::optional<win32::Link> entry = loadLink(forAllUsers().startMenuEntry);
    ASSERT_TRUE(entry) << "not installed for all users";
    EditorSession editor(entry->workingFolder, entry->target);
    ASSERT_TRUE(editor) << "the editor did not open";
    editor.press(editor::main::Command3);
    const driver::MessageBox question = waitForMessageBox(editor.id(), 40s);
    ASSERT_TRUE(question) << "no deploy question";
    ASSERT_TRUE(answer(question, IDNO));
    const driver::MessageBox done = waitForMessageBox(editor.id(), 40s);
    EXPECT_EQ(done.text,
              L"DATA FILES GENERATED and File copied to All Users profile, Brightwick will be "
              L"activated next time you log on");
    ASSERT_TRUE(answer(done, IDOK));
    EXPECT_TRUE(editor.exit());

    EXPECT_TRUE(startsIn(forAllUsers().launcherShortcut,
                         forAllUsers().programs + L"\\Brightwick.exe",
                         forAllUsers().sharedSchedule));
    DeleteFileW(forAllUsers().launcherShortcut.c_str());
}

TEST(AllUsers, ScheduleOptionDeploysAFoldersPicksForAllUsersOrFailsWithItsStatus) {
    win32::ComApartment com;
    DeleteFileW(forAllUsers().launcherShortcut.c_str());
    TempFolder first;
    first.write(L"2Mon.dat", kMonday);
    first.write(L"notes.txt", "not a pick");
    // Quoted as a path with blanks would be.
    ASSERT_EQ(install(L"/S /AllUsers /Schedule=\"" + first.path() + L"\""), 0u)
        << win32::narrow(setupLog());
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\2Mon.dat"), kMonday);
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datmon.dat"), kMonday);
    EXPECT_FALSE(exists(forAllUsers().sharedSchedule + L"\\notes.txt"));
    EXPECT_TRUE(startsIn(forAllUsers().launcherShortcut,
                         forAllUsers().programs + L"\\Brightwick.exe",
                         forAllUsers().sharedSchedule))
        << win32::narrow(setupLog());

    // Again with another folder: its schedule replaces the first, under the one shortcut. The
    // folder ends in a backslash, which a quote follows on the command line.
    TempFolder second;
    second.write(L"5Wed.dat", kWednesday);
    ASSERT_EQ(install(L"/S /AllUsers \"/Schedule=" + second.path() + L"\\\""), 0u)
        << win32::narrow(setupLog());
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datwed.dat"), kWednesday);
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datmon.dat"), "");
    EXPECT_FALSE(exists(forAllUsers().sharedSchedule + L"\\2Mon.dat"));
    std::vector<std::wstring> links;
    for (const std::wstring& name : fileNames(folderOrFail(FOLDERID_CommonStartup))) {
        if (name.ends_with(L".lnk")) links.push_back(name);
    }
    EXPECT_EQ(links, std::vector<std::wstring>{L"Brightwick.lnk"});

    // A program in a folder that everyone may change (mode 0777 under Wine) is refused, and
    // the shared schedule stays as it was.
    TempFolder open;
    setAccessListOrThrow(open.path(), L"D:P(A;OICI;FA;;;WD)");
    open.write(L"tool.exe", "MZ");
    TempFolder naming;
    naming.write(L"2Mon.dat",
                 "08:00\r\n" + win32::narrow(open.file(L"tool.exe")) + "\r\nNormal\r\nMonday\r\n");
    DeleteFileW(forAllUsers().launcherShortcut.c_str());
    EXPECT_EQ(install(L"/S /AllUsers \"/Schedule=" + naming.path() + L"\""), 15u);
    EXPECT_FALSE(exists(forAllUsers().launcherShortcut));
    EXPECT_NE(setupLog().find(L"\n- " + open.file(L"tool.exe") + L" (Monday):"), std::wstring::npos)
        << win32::narrow(setupLog());
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datwed.dat"), kWednesday);

    // A folder without a pick file, and one that is not there: a status of its own, no
    // shortcut, and the log says why.
    const struct {
        std::wstring folder;
        DWORD status;
        std::wstring logSays;
    } failures[] = {
        {first.file(L"no picks"), 6, L"holds no pick file"},
        {first.file(L"missing"), 5, L"does not exist"},
    };
    createFolderOrThrow(first.file(L"no picks"));
    first.write(L"no picks\\readme.txt", "no schedule");
    for (const auto& failure : failures) {
        SCOPED_TRACE(win32::narrow(failure.folder));
        DeleteFileW(forAllUsers().launcherShortcut.c_str());
        EXPECT_EQ(install(L"/S /AllUsers /Schedule=\"" + failure.folder + L"\""), failure.status);
        EXPECT_FALSE(exists(forAllUsers().launcherShortcut));
        EXPECT_NE(setupLog().find(failure.logSays), std::wstring::npos)
            << win32::narrow(setupLog());
    }
}

TEST(AllUsers, UninstallingStopsWhileBrightwickIsInUseThenKeepsOnlyTheSchedule) {
    win32::ComApartment com;
    const std::wstring uninstaller = forAllUsers().programs + L"\\Uninstall.exe";
    ASSERT_TRUE(exists(uninstaller)) << "not installed for all users";
    ASSERT_TRUE(win32::saveLink(
        forAllUsers().launcherShortcut,
        {forAllUsers().programs + L"\\Brightwick.exe", L"", forAllUsers().sharedSchedule}));
    const std::wstring pick = forAllUsers().sharedSchedule + L"\\2Mon.dat";
    {
        const win32::UniqueHandle file =
            win32::ownHandle(CreateFileW(pick.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
    }
    const std::vector<std::wstring> installed = fileNames(forAllUsers().programs);
    TempFolder scratch;
    {
        // As a running Brightwick.exe holds its file on Windows: under Wine, an open handle
        // that shares neither writing nor deleting keeps the file from being deleted. It is
        // not the program the uninstaller would try first.
        const win32::UniqueHandle held = win32::ownHandle(
            CreateFileW((forAllUsers().programs + L"\\Brightwick.exe").c_str(), GENERIC_READ,
                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        // _?= runs the uninstaller in place, so that its exit code tells how its work ended.
        const Process stopped(uninstaller, L"/S _?=" + forAllUsers().programs, scratch.path());
        EXPECT_EQ(stopped.wait(30s), 2u) << "not the exit code of an uninstall that stopped";
    }
    EXPECT_EQ(fileNames(forAllUsers().programs), installed) << "a program was removed";
    EXPECT_TRUE(exists(forAllUsers().startMenuEntry));
    EXPECT_TRUE(exists(forAllUsers().launcherShortcut));
    EXPECT_TRUE(uninstallKeyExists(HKEY_LOCAL_MACHINE));

    const Process uninstalling(uninstaller, L"/S", scratch.path());
    ASSERT_TRUE(uninstalling.wait(30s)) << "the uninstaller did not hand over";
    ASSERT_TRUE(pollUntil([] { return !uninstallKeyExists(HKEY_LOCAL_MACHINE); }, 30s))
        << "the uninstaller did not finish";
    EXPECT_FALSE(exists(forAllUsers().programs)) << "the programs' folder is left";
    EXPECT_FALSE(exists(forAllUsers().startMenuEntry));
    EXPECT_FALSE(exists(forAllUsers().launcherShortcut))
        << "the launcher would be looked for at logon";
    EXPECT_TRUE(exists(pick)) << "the shared schedule went with the programs";

    removeTree(forAllUsers().sharedSchedule);
}
