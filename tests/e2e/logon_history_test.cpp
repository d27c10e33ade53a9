// A real logon, as Wine's own session start performs it (wineboot opens what the user's
// Startup folder holds), after Deploy with Yes in the real editor: Brightwick starts the due
// programs and adds one entry to the user's logon history at each logon.
#include <gtest/gtest.h>

#include "editor_session.hpp"
#include "launcher/history_file.hpp"
#include "schedule/ascii.hpp"
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
    const std::string notStarted =
        "  Not started as a command line, Normal (show value 1): " + utf8(gone) + "\r\n    " +
        win32::systemReason(ERROR_FILE_NOT_FOUND) + ".\r\n";
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
