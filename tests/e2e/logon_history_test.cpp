// A real logon, as Wine's own session start performs it (wineboot opens what the user's
// Startup folder holds), after Deploy with Yes in the real editor: Brightwick starts the due
// programs and adds one entry to the user's logon history at each logon. Two Brightwick runs
// at one logon each add theirs.
#include <gtest/gtest.h>

#include <string_view>

#include "editor_session.hpp"
#include "launcher/history_file.hpp"
#include "schedule/ascii.hpp"
#include "schedule/command_line.hpp"
#include "schedule/weekday.hpp"
#include "win32/error.hpp"
#include "win32/process.hpp"
#include "win32/shell.hpp"

using namespace driver;

namespace {

std::wstring userStartupLink() {
    std::wstring folder;
    if (const schedule::Outcome found = win32::knownFolder(FOLDERID_Startup, folder); !found) {
        throw std::runtime_error("the Startup folder is missing: " + found.error);
    }
    return folder + L"\\Brightwick.lnk";
}

// The history's entries of the runs in `folder`, oldest first. A blank line ends each entry,
// and none holds one.
std::vector<std::string> entriesOfRunsIn(const std::wstring& folder) {
    const std::string history = fileBytes(*launcher::logonHistoryPath()).value_or("");
    const std::string mark = "\r\n  Working folder: " + utf8(folder) + "\r\n";
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t end = history.find("\r\n\r\n"); end != std::string::npos;
         end = history.find("\r\n\r\n", start)) {
        std::string entry = history.substr(start, end + 2 - start);
        if (entry.find(mark) != std::string::npos) entries.push_back(std::move(entry));
        start = end + 4;
    }
    return entries;
}

// The editor writes a program's path as its folder list spells it, "C:\\PROGRAM FILES" under
// Wine: compared in one case.
std::string lowerCase(std::string text) {
    for (char& c : text) c = schedule::lowerAscii(c);
    return text;
}

// Wine's session start: it runs the Run keys and opens every shortcut in the user's Startup
// folder, in the shortcut's working folder, through the shell, and ends without waiting.
void logOn() {
    Process boot(win32::systemFolder() + L"\\wineboot.exe", L"", win32::systemFolder());
    ASSERT_EQ(boot.wait(60s), 0u) << "wineboot did not end";
}

}  // namespace

TEST(LogonHistory, EachLogonAddsOneEntryNamingTheProgramThatStartedAndTheOneThatDidNot) {
    const std::wstring link = userStartupLink();
    DeleteFileW(link.c_str());
    ProgramFolder programs(L"NorvellLogon");
    programs.addProbe(L"probe.exe");
    programs.addProbe(L"gone.exe");
    TempFolder work;
    {
        EditorSession editor(work.path());
        ASSERT_TRUE(editor);
        ASSERT_TRUE(editor.choose(programs, L"probe.exe"));
        for (int day = 0; day < 7; ++day) editor.tick(day);
        ASSERT_TRUE(editor.selectItem(editor::main::List1, L"AM"));
        ASSERT_TRUE(editor.selectItem(editor::main::List4, L"Minimize"));
        EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
                  L"Program Picked, Next one Please");
        // Every day at midnight, Normal: what the editor selects after a pick.
        ASSERT_TRUE(pollUntil([&] { return editor.selectFile(L"gone.exe"); }));
        EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
                  L"Program Picked, Next one Please");
        editor.press(editor::main::Command3);
        const driver::MessageBox question = waitForMessageBox(editor.id(), 40s);
        ASSERT_TRUE(question) << "no question came";
        ASSERT_TRUE(answer(question, IDYES));
        const driver::MessageBox done = waitForMessageBox(editor.id(), 40s);
        EXPECT_NE(done.text.find(L"Login Profile"), std::wstring::npos) << utf8(done.text);
        EXPECT_TRUE(answer(done, IDOK));
        EXPECT_TRUE(editor.exit());
    }
    // Picked, then uninstalled before the logon.
    const std::wstring gone = programs.path() + L"\\gone.exe";
    ASSERT_TRUE(DeleteFileW(gone.c_str()));

    const std::string started = "  Started as a program, Minimize (show value 6): " +
                                utf8(programs.path() + L"\\probe.exe") + "\r\n";
    // Its path has blanks: not handed to the system, which might start another program.
    const std::string notStarted =
        "  Not started as a program, Normal (show value 1): " + utf8(gone) + "\r\n    " +
        std::string(schedule::kProgramNotFoundUnquoted) + ".\r\n";
    for (std::size_t logon = 1; logon <= 2; ++logon) {
        SCOPED_TRACE("logon " + std::to_string(logon));
        logOn();
        ASSERT_TRUE(pollUntil([&] { return entriesOfRunsIn(work.path()).size() == logon; }, 30s))
            << "the history holds " << entriesOfRunsIn(work.path()).size() << " entries";
        const std::string entry = lowerCase(entriesOfRunsIn(work.path()).back());
        EXPECT_NE(entry.find(lowerCase(started)), std::string::npos) << entry;
        EXPECT_NE(entry.find(lowerCase(notStarted)), std::string::npos) << entry;
        EXPECT_NE(entry.find("  not yet due: 0 records\r\n"), std::string::npos) << entry;
        ASSERT_TRUE(pollUntil([&] { return probeRuns(work.path()).size() == logon; }));
        const ProbeRun run = probeRuns(work.path()).back();
        EXPECT_EQ(run.showWindow, SW_MINIMIZE);
        EXPECT_EQ(run.folder, work.path());
    }
    DeleteFileW(link.c_str());
}

namespace {

std::size_t occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// Whether `history` holds, once, the whole entry of a run in `folder` whose day file held no
// record: its first line "YYYY-MM-DD HH:MM:SS" and every line after it up to the blank line.
bool holdsWholeEntry(const std::string& history, const std::wstring& folder,
                     const std::string& dayFile) {
    const std::string body = "  Working folder: " + utf8(folder) + "\r\n  Day file: " + dayFile +
                             "\r\n  Not yet due: 0 records\r\n\r\n";
    const std::size_t at = history.find(body);
    if (at == std::string::npos || history.find(body, at + 1) != std::string::npos) return false;
    constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd\r\n";
    if (at < shape.size()) return false;
    const std::string_view first =
        std::string_view(history).substr(at - shape.size(), shape.size());
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = first[i] >= '0' && first[i] <= '9';
        if (shape[i] == 'd' ? !digit : first[i] != shape[i]) return false;
    }
    return at == shape.size() + launcher::kByteOrderMark.size() ||
           history.compare(at - shape.size() - 2, 2, "\r\n") == 0;
}

// Brightwick started in `folder` with its first thread held, so that two runs can be let go
// at one moment: their starts under Wine take longer than their work on the history, and would
// otherwise rarely meet there. Ended by force at the end if it still runs.
class HeldLauncher {
  public:
    explicit HeldLauncher(const std::wstring& folder) {
        const std::wstring program = distDir() + L"\\Brightwick.exe";
        std::wstring commandLine = L"\"" + program + L"\"";
        PROCESS_INFORMATION info{};
        if (!createProcess(program.c_str(), commandLine, CREATE_SUSPENDED, folder.c_str(), info)) {
            throw std::runtime_error("Brightwick.exe cannot be started");
        }
        process_.reset(info.hProcess);
        thread_.reset(info.hThread);
    }
    ~HeldLauncher() {
        if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    HeldLauncher(const HeldLauncher&) = delete;
    HeldLauncher& operator=(const HeldLauncher&) = delete;

    void go() const { ResumeThread(thread_.get()); }
    std::optional<DWORD> wait() const { return waitForExit(process_.get(), 30s); }

  private:
    win32::UniqueHandle process_;
    win32::UniqueHandle thread_;
};

}  // namespace

// Two launchers at one logon, as when both Startup folders hold the shortcut, started together:
// each run's entry is in the history whole, when the history is new and when it is one entry
// short of being written anew, and the file holds one byte order mark, at its start.
TEST(LogonHistory, TwoLaunchersStartedTogetherEachAddTheirEntryWhole) {
    TempFolder local;
    const EnvironmentVariable set(L"LOCALAPPDATA", local.path());
    createFolderOrThrow(local.file(L"Norvell"));
    const std::wstring path = local.file(L"Norvell\\logon-history.txt");
    TempFolder first;
    TempFolder second;
    for (const TempFolder* folder : {&first, &second}) {
        for (const schedule::Weekday& day : schedule::kWeekdays) {
            folder->write(win32::widen(day.dayFile), "");
        }
    }
    const int full = launcher::kHistoryEntries + launcher::kHistorySlack;
    std::string oneShort(launcher::kByteOrderMark);
    for (int number = 1; number < full; ++number) {
        oneShort += "2024-01-01 00:00:00\r\n  Earlier run " + std::to_string(number) + "\r\n\r\n";
    }
    for (int round = 0; round < 20; ++round) {
        const bool fresh = round % 2 == 1;
        SCOPED_TRACE((fresh ? "a new history, round " : "one entry short, round ") +
                     std::to_string(round / 2 + 1));
        if (fresh) {
            DeleteFileW(path.c_str());
        } else {
            local.write(L"Norvell\\logon-history.txt", oneShort);
        }
        SYSTEMTIME now;
        GetLocalTime(&now);
        // Both started before either is waited for.
        const HeldLauncher one(first.path());
        const HeldLauncher two(second.path());
        one.go();
        two.go();
        EXPECT_EQ(one.wait(), 0u);
        EXPECT_EQ(two.wait(), 0u);
        SYSTEMTIME after;
        GetLocalTime(&after);
        if (after.wDayOfWeek != now.wDayOfWeek) continue;  // midnight passed: another day file
        const std::string day(schedule::weekdayByLauncherNumber(now.wDayOfWeek + 1)->dayFile);

        const std::string history = fileBytes(path).value_or("");
        EXPECT_EQ(history.rfind(launcher::kByteOrderMark, 0), 0u) << "a byte order mark first";
        EXPECT_EQ(occurrences(history, launcher::kByteOrderMark), 1u);
        EXPECT_TRUE(holdsWholeEntry(history, first.path(), day)) << history.substr(0, 400);
        EXPECT_TRUE(holdsWholeEntry(history, second.path(), day)) << history.substr(0, 400);
        // One run added at the end, the other then wrote the history anew with the newest.
        EXPECT_EQ(occurrences(history, "\r\n\r\n"),
                  fresh ? 2u : static_cast<std::size_t>(launcher::kHistoryEntries));
        EXPECT_EQ(fileNames(local.file(L"Norvell")),
                  std::vector<std::wstring>{L"logon-history.txt"})
            << "a temporary file was left";
    }
}
