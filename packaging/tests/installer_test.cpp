// The installer and its uninstaller, run silently (/S) as a user's script would run them:
// what lands where, what the Start menu and the list of apps get, and what is taken away
// again and what is left alone; and through their pages where a user sees what they say.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "driver.hpp"
#include "package_support.hpp"
#include "pe_image.hpp"
#include "win32/owners.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

using namespace driver;
using namespace package;

namespace {

constexpr wchar_t kWineOverrides[] = L"Software\\Wine\\DllOverrides";

// The installer's window as a user meets it: one page after another inside it, and the
// buttons below them.
class SetupWindow {
  public:
    explicit SetupWindow(DWORD processId) : main_(waitForWindow(processId, {}, L"#32770", 20s)) {}

    explicit operator bool() const { return main_ != nullptr; }
    HWND main() const { return main_; }
    // A control of the page shown now.
    HWND control(int id) const {
        return GetDlgItem(FindWindowExW(main_, nullptr, L"#32770", nullptr), id);
    }
    // The page's check box with this text; null when it has none.
    HWND checkBox(std::wstring_view text) const {
        HWND page = FindWindowExW(main_, nullptr, L"#32770", nullptr);
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (className(child) == L"Button" && windowText(child) == text) return child;
        }
        return nullptr;
    }
    bool waitForControl(int id) const {
        return pollUntil([&] { return control(id) && IsWindowVisible(control(id)); });
    }
    std::wstring nextButton() const { return windowText(GetDlgItem(main_, IDOK)); }
    // Presses Next, I Agree, Install or Finish, whichever the page offers.
    void next() const { click(GetDlgItem(main_, IDOK)); }
    void cancel() const { click(GetDlgItem(main_, IDCANCEL)); }
    // The first page asks for whom to install: only for the user unless the user chooses
    // otherwise. Past it, to the welcome page.
    bool pastInstallForPage() const {
        HWND forMe = nullptr;
        if (!pollUntil([&] { return (forMe = checkBox(kForMe)) != nullptr; })) return false;
        EXPECT_EQ(SendMessageW(forMe, BM_GETCHECK, 0, 0), BST_CHECKED) << "for me is the default";
        next();
        return pollUntil([&] { return checkBox(kForMe) == nullptr; });
    }
    // That page, the welcome page and the licence, to the folder page.
    bool toFolderPage() const {
        if (!pastInstallForPage()) return false;
        next();
        if (!pollUntil([&] { return nextButton() == L"I &Agree"; })) return false;
        next();
        return waitForControl(kFolderField);
    }
    void chooseFolder(const std::wstring& folder) const {
        SendMessageW(control(kFolderField), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(folder.c_str()));
    }

    static constexpr int kFolderField = 1019;  // the folder page's edit field
    static constexpr std::wstring_view kForMe =
        L"&Only for me (recommended; no administrator rights needed)";

  private:
    HWND main_;
};

class Installer : public testing::Test {
  protected:
    // Whatever an earlier, failed run left behind would let these tests pass unearned.
    void SetUp() override {
        ASSERT_TRUE(exists(NORVELL_INSTALLER)) << "the package has not been built";
        removeInstallation(forTheUser().programs);
    }
    void TearDown() override { removeInstallation(forTheUser().programs); }

    static void removeInstallation(const std::wstring& folder) {
        removeTree(folder);
        DeleteFileW(forTheUser().startMenuEntry.c_str());
        DeleteFileW(forTheUser().launcherShortcut.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    }

    // Runs the installer silently; its exit code.
    DWORD install(const std::wstring& arguments) {
        Process installer(NORVELL_INSTALLER, arguments, scratch.path());
        const std::optional<DWORD> code = installer.wait(60s);
        EXPECT_TRUE(code) << "the installer did not finish";
        return code.value_or(999);
    }

    // Runs the uninstaller silently and waits for its work: it hands over to a copy of
    // itself in the temporary folder at once, and removes the uninstall key last.
    void uninstall(const std::wstring& folder) {
        Process uninstaller(folder + L"\\Uninstall.exe", L"/S", scratch.path());
        ASSERT_TRUE(uninstaller.wait(30s)) << "the uninstaller did not hand over";
        ASSERT_TRUE(pollUntil([] { return !uninstallKeyExists(HKEY_CURRENT_USER); }, 30s))
            << "the uninstaller did not finish";
    }

    static void expectInstalledIn(const std::wstring& folder) {
        std::vector<std::wstring> expected = fileNames(distDir());
        expected.push_back(L"Uninstall.exe");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(fileNames(folder), expected);
        for (const std::wstring& name : fileNames(distDir())) {
            const std::optional<std::string> installed = fileBytes(folder + L"\\" + name);
            EXPECT_EQ(installed, fileBytes(distDir() + L"\\" + name))
                << win32::narrow(name) << " differs from the shippable folder's";
            if (const auto image = packaging::imageDebugInfo(installed.value_or(""))) {
                EXPECT_EQ(image->symbols, 0u) << win32::narrow(name) << " carries its symbols";
            }
        }

        // The Start-menu entry starts Norvell in its own folder, where its schedule lives.
        ASSERT_TRUE(startsIn(forTheUser().startMenuEntry, folder + L"\\Norvell.exe", folder));
        EXPECT_EQ(loadLink(forTheUser().startMenuEntry).value_or(win32::Link{}).arguments, L"");

        // The user's list of apps offers the uninstaller.
        EXPECT_EQ(uninstallValue(HKEY_CURRENT_USER, L"DisplayName"), L"Norvell 1.00");
        EXPECT_EQ(uninstallValue(HKEY_CURRENT_USER, L"DisplayVersion"), L"1.00");
        const std::optional<std::wstring> location =
            uninstallValue(HKEY_CURRENT_USER, L"InstallLocation");
        ASSERT_TRUE(location);
        EXPECT_TRUE(samePath(*location, folder));
        const std::optional<std::wstring> command =
            uninstallValue(HKEY_CURRENT_USER, L"UninstallString");
        ASSERT_TRUE(command);
        EXPECT_TRUE(samePath(*command, L"\"" + folder + L"\\Uninstall.exe\""))
            << win32::narrow(*command);
    }

    const win32::ComApartment com;
    TempFolder scratch;
};

}  // namespace

TEST_F(Installer, InstallsForTheUserAndUninstallsItAllWithTheLauncherShortcut) {
    ASSERT_EQ(install(L"/S"), 0u);
    const std::wstring folder = forTheUser().programs;
    expectInstalledIn(folder);
    if (HasFatalFailure()) return;

    // As "Ready to Deploy..." answered Yes leaves it: the launcher of this installation.
    ASSERT_TRUE(win32::saveLink(forTheUser().launcherShortcut,
                                {folder + L"\\Brightwick.exe", L"", folder}));
    uninstall(folder);
    if (HasFatalFailure()) return;

    EXPECT_FALSE(exists(folder)) << "the installation folder is left";
    EXPECT_FALSE(exists(forTheUser().startMenuEntry)) << "the Start-menu entry is left";
    EXPECT_FALSE(exists(forTheUser().launcherShortcut))
        << "the launcher would be looked for at logon";
}

TEST_F(Installer, UninstallingLeavesTheSchedulesAndAnotherCopysLauncher) {
    // A folder of the user's choosing, with a blank in its name.
    const std::wstring folder = scratch.file(L"My Norvell");
    // /D= comes last and unquoted, blanks and all.
    ASSERT_EQ(install(L"/S /D=" + folder), 0u);
    expectInstalledIn(folder);
    if (HasFatalFailure()) return;

    // The user's schedule lives beside the programs; a launcher shortcut points to another
    // copy of Norvell.
    const std::string record = "08:00\r\nC:\\Tools\\app.exe\r\nNormal\r\nMonday\r\n";
    scratch.write(L"My Norvell\\2Mon.dat", record);
    scratch.write(L"My Norvell\\datmon.dat", record);
    const std::wstring otherLauncher = L"C:\\Other Norvell\\Brightwick.exe";
    ASSERT_TRUE(
        win32::saveLink(forTheUser().launcherShortcut, {otherLauncher, L"", L"C:\\Other Norvell"}));

    uninstall(folder);
    if (HasFatalFailure()) return;

    EXPECT_EQ(fileNames(folder), (std::vector<std::wstring>{L"2Mon.dat", L"datmon.dat"}));
    EXPECT_EQ(scratch.read(L"My Norvell\\datmon.dat"), record);
    EXPECT_FALSE(exists(forTheUser().startMenuEntry));
    const std::optional<win32::Link> kept = loadLink(forTheUser().launcherShortcut);
    ASSERT_TRUE(kept) << "another copy's launcher shortcut was removed";
    EXPECT_TRUE(samePath(kept->target, otherLauncher)) << win32::narrow(kept->target);
}

TEST_F(Installer, RefusesAFolderItCannotWriteAndWritesNothing) {
    // A folder the user may only read, as a standard user's Program Files.
    const std::wstring refusing = scratch.file(L"Read only");
    createFolderOrThrow(refusing);
    const ReadOnlyFolder readOnly(refusing);
    ASSERT_FALSE(
        win32::ownHandle(CreateFileW((refusing + L"\\norvell.tmp").c_str(), GENERIC_WRITE, 0,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)))
        << "this system lets the tests write to " << win32::narrow(refusing);
    EXPECT_EQ(install(L"/S /D=" + refusing), 2u) << "not the exit code of an install that stopped";
    EXPECT_FALSE(uninstallKeyExists(HKEY_CURRENT_USER))
        << "the list of apps names an installation that failed";
    EXPECT_FALSE(exists(forTheUser().startMenuEntry));
    EXPECT_FALSE(exists(forTheUser().programs));
}

TEST_F(Installer, UninstallingWhileAProgramRunsOrIsHeldStopsAndRemovesNothing) {
    const std::wstring folder = scratch.file(L"Open Norvell");
    ASSERT_EQ(install(L"/S /D=" + folder), 0u);
    ASSERT_TRUE(win32::saveLink(forTheUser().launcherShortcut,
                                {folder + L"\\Brightwick.exe", L"", folder}));
    for (const bool running : {true, false}) {
        SCOPED_TRACE(running ? "Norvell.exe runs" : "Norvell.exe is held open");
        // A running program's file Wine, unlike Windows, lets be opened for deletion: only the
        // running processes tell. A handle without FILE_SHARE_DELETE holds it on both.
        std::optional<Process> norvell;
        win32::UniqueHandle held;
        if (running) {
            norvell.emplace(folder + L"\\Norvell.exe", L"", folder);
            ASSERT_TRUE(waitForWindow(norvell->id(), L"Norvell 1.0", {}, 20s));
        } else {
            held = win32::ownHandle(CreateFileW((folder + L"\\Norvell.exe").c_str(), GENERIC_READ,
                                                FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(held);
        }
        // _?= runs the uninstaller in place instead of from a copy of itself in the temporary
        // folder, so its exit code tells how its work ended.
        const Process uninstaller(folder + L"\\Uninstall.exe", L"/S _?=" + folder, scratch.path());
        EXPECT_EQ(uninstaller.wait(60s), 2u) << "not the exit code of an uninstall that stopped";
        EXPECT_TRUE(uninstallKeyExists(HKEY_CURRENT_USER))
            << "the list of apps no longer names what is still there";
        EXPECT_TRUE(exists(forTheUser().launcherShortcut))
            << "the shortcut went before Brightwick.exe";
        expectInstalledIn(folder);
        if (HasFatalFailure()) return;
    }

    // Norvell closed, the user tries again.
    uninstall(folder);
    if (HasFatalFailure()) return;
    EXPECT_FALSE(exists(folder));
    EXPECT_FALSE(exists(forTheUser().startMenuEntry));
    EXPECT_FALSE(exists(forTheUser().launcherShortcut));
}

TEST_F(Installer, AnInstallationForAllUsersIsNamedAndNothingIsInstalledBesideIt) {
    // As an installation for all users leaves it in the computer's list of apps.
    const std::wstring other = scratch.file(L"For everyone");
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", REG_SZ,
                              other.c_str(), static_cast<DWORD>((other.size() + 1) * 2)),
              ERROR_SUCCESS);
    // Without an uninstaller there, /ReplaceOther cannot remove it either.
    for (const wchar_t* arguments : {L"/S", L"/S /ReplaceOther"}) {
        EXPECT_EQ(install(arguments), 18u) << win32::narrow(arguments);
        EXPECT_FALSE(uninstallKeyExists(HKEY_CURRENT_USER));
        EXPECT_FALSE(exists(forTheUser().programs));
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
}

TEST_F(Installer, FolderPageRefusesAFolderItCannotWriteAndStays) {
    // The folder page itself offers no Next for the kernel's folders, which have no free
    // space; a folder whose name is longer than any file system takes (255 characters) can
    // be chosen there, and can no more be written than Program Files by a user.
    const std::wstring refused = scratch.file(std::wstring(300, L'x'));
    const Process installer(NORVELL_INSTALLER, L"", scratch.path());
    const SetupWindow setup(installer.id());
    ASSERT_TRUE(setup) << "the installer did not open";
    ASSERT_TRUE(setup.toFolderPage()) << "no folder page";
    setup.chooseFolder(refused);
    setup.next();

    const driver::MessageBox box = waitForMessageBox(installer.id());
    ASSERT_TRUE(box) << "the folder was taken without a word";
    EXPECT_NE(box.text.find(L"choose a folder of your own"), std::wstring::npos)
        << win32::narrow(box.text);
    EXPECT_NE(box.text.find(refused), std::wstring::npos) << win32::narrow(box.text);
    ASSERT_TRUE(answer(box, IDOK));
    ASSERT_TRUE(sync(setup.main()));
    EXPECT_TRUE(IsWindowVisible(setup.control(SetupWindow::kFolderField)))
        << "the folder page was left";
    EXPECT_EQ(windowText(setup.control(SetupWindow::kFolderField)), refused);

    setup.cancel();
    const driver::MessageBox quit = waitForMessageBox(installer.id());
    ASSERT_TRUE(quit) << "Cancel asked nothing";
    ASSERT_TRUE(answer(quit, IDYES));
    EXPECT_TRUE(installer.wait(20s)) << "the installer did not end on Cancel";
    EXPECT_FALSE(uninstallKeyExists(HKEY_CURRENT_USER));
    EXPECT_FALSE(exists(forTheUser().startMenuEntry));
}

// The read-me opens in the system's Notepad, named by its full path: the probe stands in for
// System32's notepad.exe, and a copy of stamp.exe named notepad.exe beside the installer,
// where a search for the name would look first, must never run.
TEST_F(Installer, ReadMeOpensInTheSystemsNotepadNeverOneBesideTheInstaller) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring notepad = std::wstring(system) + L"\\notepad.exe";
    const std::wstring aside = notepad + L".norvell-test";
    // A run that was stopped midway left the system's own aside: it goes back first.
    if (exists(aside)) MoveFileExW(aside.c_str(), notepad.c_str(), MOVEFILE_REPLACE_EXISTING);
    ASSERT_TRUE(MoveFileExW(notepad.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING));
    struct PutBack {
        const std::wstring& notepad;
        const std::wstring& aside;
        ~PutBack() {
            MoveFileExW(aside.c_str(), notepad.c_str(), MOVEFILE_REPLACE_EXISTING);
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineOverrides, L"notepad.exe");
        }
    } putBack{notepad, aside};
    copyFileOrThrow(testBinDir() + L"\\probe.exe", notepad);
    // Wine prefers its own notepad to a file of that name unless told otherwise. Told in the
    // environment, it runs its own all the same when the installer starts System32's, so the
    // prefix's own setting tells it, for the length of this test.
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kWineOverrides, L"notepad.exe", REG_SZ, L"native",
                              static_cast<DWORD>(sizeof L"native")),
              ERROR_SUCCESS);
    copyFileOrThrow(NORVELL_INSTALLER, scratch.file(L"Norvell-setup.exe"));
    copyFileOrThrow(testBinDir() + L"\\stamp.exe", scratch.file(L"notepad.exe"));

    const std::wstring folder = scratch.file(L"Read Norvell");
    const Process installer(scratch.file(L"Norvell-setup.exe"), L"", scratch.path());
    const SetupWindow setup(installer.id());
    ASSERT_TRUE(setup) << "the installer did not open";
    ASSERT_TRUE(setup.toFolderPage()) << "no folder page";
    setup.chooseFolder(folder);
    setup.next();
    ASSERT_TRUE(pollUntil([&] { return setup.nextButton() == L"&Finish"; }, 60s))
        << "the installation did not reach its last page";
    // Answered once the page has been made and its boxes set as the page sets them.
    ASSERT_TRUE(sync(setup.main()));
    HWND start = setup.checkBox(L"Start Norvell");
    HWND readMe = setup.checkBox(L"Show the read-me");
    ASSERT_TRUE(start && readMe) << "the last page offers no read-me";
    SendMessageW(start, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(readMe, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(SendMessageW(start, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(SendMessageW(readMe, BM_GETCHECK, 0, 0), BST_CHECKED);
    setup.next();
    EXPECT_EQ(installer.wait(20s), 0u) << "the installer did not finish";

    // Notepad starts in the installation folder, where the probe leaves its log.
    ASSERT_TRUE(pollUntil([&] { return probeRuns(folder).size() == 1; }))
        << "the system's Notepad did not start";
    EXPECT_EQ(probeRuns(folder)[0].commandLine,
              L"\"" + notepad + L"\" \"" + folder + L"\\readme.1st\"");
    EXPECT_TRUE(stampRuns(scratch.path()).empty()) << "the notepad.exe beside the installer ran";
}
