// A record's program line started for real, as the launcher and the editor start it: batch
// files in folders whose names the command interpreter would split, the shell's start with
// administrator rights, the shell's libraries and COM given back; and where the logon history
// is kept.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <thread>

#include "driver.hpp"
#include "launcher/history.hpp"
#include "launcher/history_file.hpp"
#include "launcher/system_start.hpp"
#include "win32/process.hpp"
#include "win32/shell.hpp"
#include "win32/shell_start.hpp"
#include "win32/text.hpp"

using namespace driver;

namespace {

std::optional<ProbeRun> oneProbeRun(const std::wstring& folder) {
    if (!pollUntil([&] { return !probeRuns(folder).empty(); })) return std::nullopt;
    return probeRuns(folder).front();
}

}  // namespace

TEST(RecordStarter, RunsABatchFileInAFolderWhoseNameTheInterpreterWouldSplit) {
    TempFolder temp;
    for (const wchar_t* name : {L"a b", L"x (86)", L"Tom & Jerry"}) {
        SCOPED_TRACE(win32::narrow(name));
        const std::wstring folder = temp.file(name);
        createFolderOrThrow(folder);
        // It writes its own full path beside itself: it ran, and as that file.
        const std::wstring batch = folder + L"\\run.bat";
        temp.write(std::wstring(name) + L"\\run.bat", "@echo \"%~f0\">\"%~dp0ran.txt\"\r\n");
        const std::optional<std::string> line = win32::toCodePageExactly(batch);
        ASSERT_TRUE(line);
        launcher::RecordStarter starter;
        const launcher::StartResult result = starter.start(*line, SW_HIDE);
        EXPECT_TRUE(result.outcome) << result.outcome.error;
        EXPECT_EQ(result.way, launcher::StartWay::batchFile);
        ASSERT_TRUE(pollUntil([&] { return fileBytes(folder + L"\\ran.txt").has_value(); }))
            << "the batch file did not run";
        // Written while the file may still be open: wait for the whole line.
        ASSERT_TRUE(pollUntil([&] {
            return fileBytes(folder + L"\\ran.txt").value_or("").find('\n') != std::string::npos;
        }));
        EXPECT_EQ(fileBytes(folder + L"\\ran.txt"), "\"" + *line + "\"\r\n");
    }
}

TEST(SystemStart, StartsWithAdministratorRightsInTheWorkingFolderWithTheShowValue) {
    // Wine starts the program without asking; Windows asks for consent first.
    TempFolder temp;
    const std::wstring probe = temp.file(L"probe in here.exe");
    copyFileOrThrow(testBinDir() + L"\\probe.exe", probe);
    TempFolder work;
    {
        const InFolder in(work.path());
        launcher::SystemStart system;
        const schedule::Outcome started =
            system.shellExecute("runas", win32::narrow(probe), "/quiet \"two words\"", SW_MINIMIZE);
        ASSERT_TRUE(started) << started.error;
    }
    const std::optional<ProbeRun> run = oneProbeRun(work.path());
    ASSERT_TRUE(run) << "the probe did not run";
    EXPECT_EQ(run->showWindow, SW_MINIMIZE);
    EXPECT_EQ(run->folder, work.path());
    EXPECT_TRUE(run->commandLine.ends_with(L" /quiet \"two words\""))
        << win32::narrow(run->commandLine);
}

TEST(ShellStarter, GivesBackTheComItStartedAndKeepsTheComItFound) {
    TempFolder work;
    const InFolder in(work.path());
    const std::wstring probe = testBinDir() + L"\\probe.exe";
    onFreshThread([&] {
        {
            win32::ShellStarter shell;
            const schedule::Outcome started = shell.start(nullptr, probe, L"first", {}, SW_HIDE);
            EXPECT_TRUE(started) << started.error;
        }
        // Still single-threaded, COM would refuse another model.
        const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(after, S_OK) << "COM was left started on the thread";
        if (SUCCEEDED(after)) CoUninitialize();
    });
    onFreshThread([&] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            win32::ShellStarter shell;
            const schedule::Outcome started = shell.start(nullptr, probe, L"second", {}, SW_HIDE);
            EXPECT_TRUE(started) << started.error;
        }
        const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(after, S_FALSE) << "the thread's own COM was ended";
        if (SUCCEEDED(after)) CoUninitialize();
        CoUninitialize();
    });
    EXPECT_TRUE(pollUntil([&] { return probeRuns(work.path()).size() == 2; }));
}

TEST(LocalAppDataFolder, FromTheEnvironmentOrElseFromTheShell) {
    std::wstring known;
    ASSERT_TRUE(win32::knownFolder(FOLDERID_LocalAppData, known));
    struct Case {
        const char* name;
        std::optional<std::wstring> variable;
        std::wstring expected;
    };
    const Case cases[] = {
        {"the variable", L"D:\\Profiles\\ann\\Local", L"D:\\Profiles\\ann\\Local"},
        {"a network path", L"\\\\server\\ann\\Local", L"\\\\server\\ann\\Local"},
        {"no variable", std::nullopt, known},
        {"an empty variable", L"", known},
        {"a relative path", L"Local", known},
    };
    for (const Case& c : cases) {
        const EnvironmentVariable set(L"LOCALAPPDATA", c.variable);
        EXPECT_EQ(win32::localAppDataFolder(), c.expected) << c.name;
    }
}

TEST(LogonHistoryFile, MadeOnTheFirstRunAndAddedToAfterwards) {
    TempFolder local;
    const EnvironmentVariable set(L"LOCALAPPDATA", local.path());
    EXPECT_EQ(launcher::logonHistoryPath(), local.path() + L"\\Norvell\\logon-history.txt");

    std::optional<launcher::LastRun> last;
    EXPECT_TRUE(launcher::readLastLogonRun(last)) << "no history yet is no failure";
    EXPECT_FALSE(last);

    const std::string first = "2025-03-10 08:05:02\r\n  Not yet due: 1 record\r\n\r\n";
    const std::string second = "2025-03-11 09:00:00\r\n  Not yet due: 2 records\r\n\r\n";
    ASSERT_TRUE(launcher::addToLogonHistory(first));
    ASSERT_TRUE(launcher::addToLogonHistory(second));
    const std::wstring path = *launcher::logonHistoryPath();
    EXPECT_EQ(fileBytes(path), std::string(launcher::kByteOrderMark) + first + second);
    EXPECT_EQ(fileNames(local.path() + L"\\Norvell"),
              std::vector<std::wstring>{L"logon-history.txt"})
        << "a temporary file was left";
    ASSERT_TRUE(launcher::readLastLogonRun(last));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->when, "2025-03-11 09:00:00");
    EXPECT_EQ(last->outcome, "No program was due; 2 records not yet due.");
}

TEST(LogonHistoryFile, CountedInPartsAndWrittenAnewOnceItHoldsTheNewestAndTheSlack) {
    TempFolder local;
    const EnvironmentVariable set(L"LOCALAPPDATA", local.path());
    createFolderOrThrow(local.file(L"Norvell"));
    // Entries that tell their number, long enough that the history spans several reads.
    const auto entry = [](int number) {
        char header[32];
        std::snprintf(header, sizeof header, "2025-03-%02d %02d:%02d:00\r\n", 1 + number / 1440,
                      number / 60 % 24, number % 60);
        return header + std::string("  Not yet due: ") + std::string(120, 'x') + "\r\n\r\n";
    };
    const int full = launcher::kHistoryEntries + launcher::kHistorySlack;
    std::string history(launcher::kByteOrderMark);
    for (int number = 1; number < full; ++number) history += entry(number);
    ASSERT_GT(history.size(), 32u * 1024);
    local.write(L"Norvell\\logon-history.txt", history);
    const std::wstring path = local.file(L"Norvell\\logon-history.txt");

    ASSERT_TRUE(launcher::addToLogonHistory(entry(full)));
    EXPECT_EQ(fileBytes(path), history + entry(full)) << "one short of the limit: added at the end";

    ASSERT_TRUE(launcher::addToLogonHistory(entry(full + 1)));
    std::string newest(launcher::kByteOrderMark);
    for (int number = full + 2 - launcher::kHistoryEntries; number <= full + 1; ++number) {
        newest += entry(number);
    }
    EXPECT_EQ(fileBytes(path), newest) << "at the limit: written anew with the newest";
    EXPECT_EQ(fileNames(local.file(L"Norvell")), std::vector<std::wstring>{L"logon-history.txt"});
}

TEST(LogonHistoryFile, AHistoryThatCannotBeReadIsLeftAlone) {
    TempFolder local;
    const EnvironmentVariable set(L"LOCALAPPDATA", local.path());
    createFolderOrThrow(local.file(L"Norvell"));
    // A folder by the history's name: there, but no file to read.
    createFolderOrThrow(local.file(L"Norvell\\logon-history.txt"));
    EXPECT_FALSE(launcher::addToLogonHistory("2025-03-10 08:05:02\r\n\r\n"));
    EXPECT_TRUE(GetFileAttributesW(local.file(L"Norvell\\logon-history.txt").c_str()) &
                FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(fileNames(local.file(L"Norvell")), std::vector<std::wstring>{});
    std::optional<launcher::LastRun> last;
    EXPECT_FALSE(launcher::readLastLogonRun(last));
}

// One mutex for each history, whatever the case its path is spelt in.
TEST(LogonHistoryFile, TheMutexNameBelongsToTheHistorysPath) {
    const std::wstring path = L"C:\\Users\\ann\\AppData\\Local\\Norvell\\logon-history.txt";
    const std::wstring name = launcher::historyMutexName(path);
    EXPECT_TRUE(name.starts_with(L"Local\\")) << win32::narrow(name);
    EXPECT_EQ(name.find(L'\\', 6), std::wstring::npos) << "no backslash after the namespace";
    EXPECT_EQ(
        launcher::historyMutexName(L"c:\\USERS\\Ann\\AppData\\Local\\NORVELL\\Logon-History.TXT"),
        name);
    EXPECT_NE(
        launcher::historyMutexName(L"C:\\Users\\bob\\AppData\\Local\\Norvell\\logon-history.txt"),
        name);
}

// Another run holds the history: this one waits, then leaves the history alone and its entry
// beside it. A run that ended holding it has the system hand it on, and the next run adds that
// entry and its own.
TEST(LogonHistoryFile, ARunThatDoesNotGetTheHistoryLeavesItsEntryAndAnAbandonedOneIsTakenOver) {
    TempFolder local;
    const EnvironmentVariable set(L"LOCALAPPDATA", local.path());
    const std::string first = "2025-03-10 08:05:02\r\n  Not yet due: 1 record\r\n\r\n";
    const std::string second = "2025-03-11 09:00:00\r\n  Not yet due: 2 records\r\n\r\n";
    ASSERT_TRUE(launcher::addToLogonHistory(first));
    const std::wstring path = *launcher::logonHistoryPath();
    const std::wstring name = launcher::historyMutexName(path);
    // Kept open here, so that the mutex outlives the thread that leaves it abandoned.
    const win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(mutex);
    const win32::UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const win32::UniqueHandle end(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread other([&] {
        if (WaitForSingleObject(mutex.get(), 10'000) != WAIT_OBJECT_0) return;
        SetEvent(held.get());
        WaitForSingleObject(end.get(), 10'000);
        // Ends without ReleaseMutex, as a run the system ends half-way.
    });
    ASSERT_EQ(WaitForSingleObject(held.get(), 10'000), WAIT_OBJECT_0);
    const schedule::Outcome passed = launcher::addToLogonHistory(second, 100ms);
    SetEvent(end.get());
    other.join();
    EXPECT_FALSE(passed);
    EXPECT_EQ(passed.code, static_cast<unsigned long>(ERROR_TIMEOUT));
    EXPECT_EQ(fileBytes(path), std::string(launcher::kByteOrderMark) + first);

    EXPECT_TRUE(launcher::addToLogonHistory(second, 100ms)) << "the abandoned mutex is taken over";
    EXPECT_EQ(fileBytes(path), std::string(launcher::kByteOrderMark) + first +
                                   launcher::missedEntry(second, passed.error) + second)
        << "the run that passed its entry over is told of, by the next";
}

// Made by a run at another integrity level, the mutex cannot be had with every right, which
// CreateMutexW asks for; waiting for it needs only SYNCHRONIZE, which OpenMutexW asks for.
TEST(LogonHistoryFile, AMutexThatCannotBeHadWithEveryRightIsOpenedToWaitFor) {
    TempFolder local;
    const EnvironmentVariable set(L"LOCALAPPDATA", local.path());
    const std::wstring name = launcher::historyMutexName(*launcher::logonHistoryPath());
    PSECURITY_DESCRIPTOR raw = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;;0x00100000;;;WD)", SDDL_REVISION_1, &raw, nullptr));
    const win32::UniqueLocalMemory<void> descriptor(raw);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, raw, FALSE};
    const win32::UniqueHandle mutex(CreateMutexW(&attributes, FALSE, name.c_str()));
    ASSERT_TRUE(mutex);
    ASSERT_FALSE(win32::UniqueHandle(CreateMutexW(nullptr, FALSE, name.c_str())));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(launcher::addToLogonHistory("2025-03-10 08:05:02\r\n\r\n", 100ms));
}
