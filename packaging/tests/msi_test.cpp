// The Windows Installer package, run as a software deployment tool runs it: msiexec silently,
// with a verbose log. A refused schedule fails the installation and leaves nothing; the
// installation puts the programs, the Start-menu entry and the shared schedule's folder in
// place, deploys the schedule that SCHEDULE names, gives way to a newer package and goes by its
// product code, each keeping the schedule.
#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "driver.hpp"
#include "package_support.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

using namespace driver;
using namespace package;

namespace {

const std::string kMonday = "08:00\r\nC:\\Tools\\app.exe\r\nNormal\r\nMonday\r\n";

// The file `name` in a known folder; in none when the folder is missing.
std::wstring in(const KNOWNFOLDERID& id, const wchar_t* name) {
    std::wstring folder;
    return win32::knownFolder(id, folder) ? folder + L"\\" + name : L"";
}
bool underWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
}

// Windows Installer puts the entry of a package for all users into the Start menu of all users.
// Wine's gives ProgramMenuFolder the installing user's Start menu whatever ALLUSERS says.
std::wstring startMenuEntry() {
    return in(underWine() ? FOLDERID_Programs : FOLDERID_CommonPrograms, L"Norvell.lnk");
}

bool installed(const wchar_t* code) {
    return MsiQueryProductStateW(code) == INSTALLSTATE_DEFAULT;
}

// msiexec with `arguments`, silently, logging everything into `log`; its exit code.
DWORD msiexec(const std::wstring& arguments, const TempFolder& scratch, std::wstring& log) {
    const std::wstring file = scratch.file(L"msiexec.log");
    DeleteFileW(file.c_str());
    const Process installer(in(FOLDERID_System, L"msiexec.exe"),
                            arguments + L" /qn /l*v \"" + file + L"\"", scratch.path());
    const std::optional<DWORD> code = installer.wait(180s);
    log = logText(file);
    return code.value_or(999);
}

// The shippable folder, and nothing else (no step's log).
void expectInstalledPrograms() {
    EXPECT_EQ(fileNames(forAllUsers().programs), fileNames(distDir()));
    for (const std::wstring& name : fileNames(distDir())) {
        EXPECT_EQ(fileBytes(forAllUsers().programs + L"\\" + name),
                  fileBytes(distDir() + L"\\" + name));
    }
}

}  // namespace

// One installation after the other, each on what the one before left.
TEST(Msi, InstallsUpgradesAndUninstallsForAllUsersKeepingTheSchedule) {
    ASSERT_TRUE(exists(NORVELL_MSI)) << "the package has not been built";
    const win32::ComApartment com;
    const TempFolder scratch;
    std::wstring log;
    std::error_code ignored;
    // What an earlier run left would let these tests pass unearned.
    msiexec(L"/x " NORVELL_MSI_PRODUCT_CODE, scratch, log);
    msiexec(L"/x " NORVELL_NEWER_MSI_PRODUCT_CODE, scratch, log);
    std::filesystem::remove_all(forAllUsers().sharedSchedule, ignored);
    DeleteFileW(forAllUsers().launcherShortcut.c_str());
    ASSERT_FALSE(exists(forAllUsers().programs))
        << "Norvell is installed otherwise: remove it first";
    ASSERT_FALSE(exists(forAllUsers().sharedSchedule)) << "a schedule is left: remove it first";

    const std::wstring missing = scratch.file(L"missing");
    EXPECT_EQ(msiexec(L"/i \"" NORVELL_MSI L"\" \"SCHEDULE=" + missing + L"\"", scratch, log),
              static_cast<DWORD>(ERROR_INSTALL_FAILURE));
    EXPECT_NE(log.find(L"The schedule folder " + missing + L" does not exist"), std::wstring::npos)
        << win32::narrow(log);
    EXPECT_FALSE(installed(NORVELL_MSI_PRODUCT_CODE));
    EXPECT_FALSE(exists(forAllUsers().programs));
    EXPECT_FALSE(exists(startMenuEntry()));
    EXPECT_FALSE(exists(forAllUsers().sharedSchedule))
        << "the folder this installation made is left";

    // The programs, the Start-menu entry and the shared schedule's folder.
    ASSERT_EQ(msiexec(L"/i \"" NORVELL_MSI L"\"", scratch, log), 0u) << win32::narrow(log);
    EXPECT_TRUE(installed(NORVELL_MSI_PRODUCT_CODE));
    expectInstalledPrograms();
    const std::optional<win32::Link> entry = loadLink(startMenuEntry());
    ASSERT_TRUE(entry) << "no Start-menu entry";
    EXPECT_EQ(win32::narrow(entry->target),
              win32::narrow(forAllUsers().programs + L"\\Norvell.exe"));
    // Windows Installer ends a folder's path with a backslash.
    EXPECT_EQ(win32::narrow(entry->workingFolder),
              win32::narrow(forAllUsers().sharedSchedule + L"\\"));
    // Norvell.exe's own words, as the NSIS installer's log has them.
    EXPECT_NE(log.find(L" the schedule folder " + forAllUsers().sharedSchedule +
                       L": administrators and SYSTEM may change it"),
              std::wstring::npos)
        << win32::narrow(log);

    // SCHEDULE: the day files and the launcher's shortcut for all users.
    TempFolder picks;
    picks.write(L"2Mon.dat", kMonday);
    ASSERT_EQ(msiexec(L"/i \"" NORVELL_MSI L"\" \"SCHEDULE=" + picks.path() + L"\"", scratch, log),
              0u)
        << win32::narrow(log);
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datmon.dat"), kMonday);
    const std::optional<win32::Link> shortcut = loadLink(forAllUsers().launcherShortcut);
    ASSERT_TRUE(shortcut) << win32::narrow(log);
    EXPECT_EQ(win32::narrow(shortcut->target),
              win32::narrow(forAllUsers().programs + L"\\Brightwick.exe"));
    EXPECT_EQ(win32::narrow(shortcut->workingFolder), win32::narrow(forAllUsers().sharedSchedule));

    // A newer version replaces this one in place.
    ASSERT_EQ(msiexec(L"/i \"" NORVELL_NEWER_MSI L"\"", scratch, log), 0u) << win32::narrow(log);
    EXPECT_FALSE(installed(NORVELL_MSI_PRODUCT_CODE));
    EXPECT_TRUE(installed(NORVELL_NEWER_MSI_PRODUCT_CODE));
    expectInstalledPrograms();
    EXPECT_TRUE(exists(startMenuEntry()));
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datmon.dat"), kMonday);
    // Wine's RemoveExistingProducts uninstalls the older version without UPGRADINGPRODUCTCODE,
    // so that its uninstallation takes the shortcut as if Norvell went.
    if (!underWine()) {
        EXPECT_TRUE(exists(forAllUsers().launcherShortcut));
    }

    // Uninstalled by its product code.
    ASSERT_TRUE(win32::saveLink(
        forAllUsers().launcherShortcut,
        {forAllUsers().programs + L"\\Brightwick.exe", L"", forAllUsers().sharedSchedule}));
    ASSERT_EQ(msiexec(L"/x " NORVELL_NEWER_MSI_PRODUCT_CODE, scratch, log), 0u)
        << win32::narrow(log);
    EXPECT_FALSE(installed(NORVELL_NEWER_MSI_PRODUCT_CODE));
    EXPECT_FALSE(exists(forAllUsers().programs)) << "the programs' folder is left";
    EXPECT_FALSE(exists(startMenuEntry()));
    EXPECT_FALSE(exists(forAllUsers().launcherShortcut))
        << "the launcher would be looked for at logon";
    EXPECT_EQ(fileBytes(forAllUsers().sharedSchedule + L"\\datmon.dat"), kMonday)
        << "the schedule went";
    std::filesystem::remove_all(forAllUsers().sharedSchedule, ignored);
}
