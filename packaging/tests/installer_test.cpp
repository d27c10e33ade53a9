// The installer and its uninstaller, run silently (/S) as a user's script would run them:
// what lands where, what the Start menu and the list of apps get, and what is taken away
// again and what is left alone.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "driver.hpp"
#include "pe_image.hpp"
#include "win32/owners.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

using namespace driver;

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvell";

std::wstring folderOrFail(const KNOWNFOLDERID& id) {
    std::wstring folder;
    if (const schedule::Outcome found = win32::knownFolder(id, folder); !found) {
        throw std::runtime_error("a known folder is missing: " + found.error);
    }
    return folder;
}

std::wstring defaultInstallFolder() {
    return folderOrFail(FOLDERID_LocalAppData) + L"\\Programs\\Norvell";
}
std::wstring startMenuEntry() {
    return folderOrFail(FOLDERID_Programs) + L"\\Norvell.lnk";
}
std::wstring launcherShortcut() {
    return folderOrFail(FOLDERID_Startup) + L"\\Brightwick.lnk";
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Paths as Windows compares them: without regard to case.
bool samePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

void removeTree(const std::wstring& path) {
    for (const std::wstring& name : fileNames(path)) {
        SetFileAttributesW((path + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((path + L"\\" + name).c_str());
    }
    RemoveDirectoryW(path.c_str());
}

std::optional<std::wstring> uninstallValue(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

bool uninstallKeyExists() {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key);
    const win32::UniqueKey owned(opened == ERROR_SUCCESS ? key : nullptr);
    return opened == ERROR_SUCCESS;
}

class Installer : public testing::Test {
  protected:
    // Whatever an earlier, failed run left behind would let these tests pass unearned.
    void SetUp() override {
        ASSERT_TRUE(exists(NORVELL_INSTALLER)) << "cpack has not made the installer";
        removeInstallation(defaultInstallFolder());
    }
    void TearDown() override { removeInstallation(defaultInstallFolder()); }

    static void removeInstallation(const std::wstring& folder) {
        removeTree(folder);
        DeleteFileW(startMenuEntry().c_str());
        DeleteFileW(launcherShortcut().c_str());
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
        ASSERT_TRUE(pollUntil([] { return !uninstallKeyExists(); }, 30s))
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
        const std::optional<win32::Link> entry = loadLink(startMenuEntry());
        ASSERT_TRUE(entry) << "no Start-menu entry";
        EXPECT_TRUE(samePath(entry->target, folder + L"\\Norvell.exe"))
            << win32::narrow(entry->target);
        EXPECT_TRUE(samePath(entry->workingFolder, folder)) << win32::narrow(entry->workingFolder);
        EXPECT_EQ(entry->arguments, L"");

        // The user's list of apps offers the uninstaller.
        EXPECT_EQ(uninstallValue(L"DisplayName"), L"Norvell 1.00");
        EXPECT_EQ(uninstallValue(L"DisplayVersion"), L"1.00");
        const std::optional<std::wstring> location = uninstallValue(L"InstallLocation");
        ASSERT_TRUE(location);
        EXPECT_TRUE(samePath(*location, folder));
        const std::optional<std::wstring> command = uninstallValue(L"UninstallString");
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
    const std::wstring folder = defaultInstallFolder();
    expectInstalledIn(folder);
    if (HasFatalFailure()) return;

    // As "Ready to Deploy..." answered Yes leaves it: the launcher of this installation.
    ASSERT_TRUE(win32::saveLink(launcherShortcut(), {folder + L"\\Brightwick.exe", L"", folder}));
    uninstall(folder);
    if (HasFatalFailure()) return;

    EXPECT_FALSE(exists(folder)) << "the installation folder is left";
    EXPECT_FALSE(exists(startMenuEntry())) << "the Start-menu entry is left";
    EXPECT_FALSE(exists(launcherShortcut())) << "the launcher would be looked for at logon";
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
    ASSERT_TRUE(win32::saveLink(launcherShortcut(), {otherLauncher, L"", L"C:\\Other Norvell"}));

    uninstall(folder);
    if (HasFatalFailure()) return;

    EXPECT_EQ(fileNames(folder), (std::vector<std::wstring>{L"2Mon.dat", L"datmon.dat"}));
    EXPECT_EQ(scratch.read(L"My Norvell\\datmon.dat"), record);
    EXPECT_FALSE(exists(startMenuEntry()));
    const std::optional<win32::Link> kept = loadLink(launcherShortcut());
    ASSERT_TRUE(kept) << "another copy's launcher shortcut was removed";
    EXPECT_TRUE(samePath(kept->target, otherLauncher)) << win32::narrow(kept->target);
}
