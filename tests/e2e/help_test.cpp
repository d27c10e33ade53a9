// The Help menu in the real Norvell.exe: the About window beside Main and after it, and the
// two documents in the text editor. The probe stands in for the system's notepad.exe in the
// Windows folder, so the test sees the command line and show value that the editor hands over;
// copies of stamp.exe named notepad.exe lie in the editor's own folder and in its working
// folder, where a program search would look first, and must never run.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.hpp"
#include "editor/core/help.hpp"
#include "editor/core/logon_history.hpp"
#include "editor/win/about_ids.hpp"
#include "editor/win/main_ids.hpp"
#include "launcher/history_file.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

using namespace driver;
namespace form3 = editor::form3;

namespace {

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> distFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    win32::UniqueFindHandle find =
        win32::ownFindHandle(FindFirstFileW((distDir() + L"\\*").c_str(), &found));
    if (!find) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    return names;
}

class HelpMenu : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(exists(distDir() + L"\\Norvell.exe")) << "Norvell.exe is not built";
        for (const std::wstring& name : distFiles()) {
            copyFileOrThrow(distDir() + L"\\" + name, app.file(name));
        }
        copyFileOrThrow(testBinDir() + L"\\stamp.exe", app.file(L"notepad.exe"));
        copyFileOrThrow(testBinDir() + L"\\stamp.exe", work.file(L"notepad.exe"));
        // Wine prefers its own notepad to a file of that name: the override lets the probe
        // run there, for the editor and whatever it starts.
        wchar_t windows[MAX_PATH] = {};
        GetSystemWindowsDirectoryW(windows, MAX_PATH);
        notepad_ = std::wstring(windows) + L"\\notepad.exe";
        ASSERT_TRUE(MoveFileExW(notepad_.c_str(), (notepad_ + L".norvell-test").c_str(),
                                MOVEFILE_REPLACE_EXISTING));
        copyFileOrThrow(testBinDir() + L"\\probe.exe", notepad_);
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree,mshtml=;notepad.exe=n");
    }
    void TearDown() override {
        editor_.reset();
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree,mshtml=");
        MoveFileExW((notepad_ + L".norvell-test").c_str(), notepad_.c_str(),
                    MOVEFILE_REPLACE_EXISTING);
        EXPECT_TRUE(stampRuns(app.path()).empty()) << "a notepad.exe beside the editor ran";
        EXPECT_TRUE(stampRuns(work.path()).empty()) << "a notepad.exe among the schedules ran";
    }

    // Starts the copy of the editor in the working folder `work`, apart from its own folder,
    // and waits for Main.
    void start() {
        editor_ = std::make_unique<Process>(app.file(L"Norvell.exe"), L"", work.path());
        main_ = waitForWindow(editor_->id(), L"Norvell 1.0");
        ASSERT_NE(main_, nullptr) << "Main did not open";
    }

    // Chooses a Help item as the menu does, and returns once Main has handled it.
    void choose(int item) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_, WM_COMMAND, MAKEWPARAM(item, 0), 0, SMTO_NORMAL,
                                        10000, &result))
            << "Main did not answer";
    }

    std::vector<HWND> aboutWindows() const { return topWindows(editor_->id(), form3::kTitle); }

    HWND waitForAbout() const { return waitForWindow(editor_->id(), form3::kTitle); }

    static void closeBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

    std::wstring document(const wchar_t* name) const {
        return L"\"" + notepad_ + L"\" \"" + app.file(name) + L"\"";
    }

    TempFolder app;   // the copy of the shippable folder
    TempFolder work;  // the editor's working folder, where the probe writes its log
    std::unique_ptr<Process> editor_;
    HWND main_ = nullptr;
    std::wstring notepad_;  // the system's, in the Windows folder
};

}  // namespace

TEST_F(HelpMenu, AboutTwiceLeavesOneWindowWithTheSameTextBesideAWorkingMain) {
    start();
    if (HasFatalFailure()) return;
    choose(editor::main::About);
    HWND about = waitForAbout();
    ASSERT_NE(about, nullptr) << "About did not open";
    const std::wstring text = windowText(GetDlgItem(about, form3::Label1));
    EXPECT_EQ(text, win32::widen(editor::help::kAboutText));
    EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);

    choose(editor::main::About);
    EXPECT_EQ(aboutWindows(), std::vector<HWND>{about});

    // Main goes on working beside it: its boxes tick and its menu opens documents.
    EXPECT_TRUE(IsWindowEnabled(main_));
    HWND wednesday = GetDlgItem(main_, editor::main::Check1 + 2);
    click(wednesday);
    EXPECT_TRUE(
        pollUntil([&] { return SendMessageW(wednesday, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    choose(editor::main::Readme);
    EXPECT_TRUE(pollUntil([&] { return probeRuns(work.path()).size() == 1; }));

    // Closed and chosen again, it comes back with the same text.
    closeBox(about);
    ASSERT_TRUE(pollUntil([&] { return !IsWindow(about); }));
    choose(editor::main::About);
    HWND again = waitForAbout();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(windowText(GetDlgItem(again, form3::Label1)), text);
    EXPECT_EQ(aboutWindows().size(), 1u);
}

TEST_F(HelpMenu, ClosingMainLeavesTheEditorRunningUntilAboutIsClosed) {
    start();
    if (HasFatalFailure()) return;
    choose(editor::main::About);
    HWND about = waitForAbout();
    ASSERT_NE(about, nullptr);

    closeBox(main_);
    ASSERT_TRUE(pollUntil([&] { return !IsWindow(main_); })) << "Main did not close";
    // Twice: an editor that had posted itself the quit would answer once more at most.
    EXPECT_TRUE(sync(about) && sync(about)) << "the editor ended while About was open";
    EXPECT_FALSE(editor_->wait(0ms));
    EXPECT_TRUE(IsWindowVisible(about));

    closeBox(about);
    EXPECT_EQ(editor_->wait(10s), 0u) << "the editor did not end with its last window";
}

TEST_F(HelpMenu, ExitWithAboutOpenEndsEverything) {
    start();
    if (HasFatalFailure()) return;
    choose(editor::main::About);
    HWND about = waitForAbout();
    ASSERT_NE(about, nullptr);

    click(GetDlgItem(main_, editor::main::Command4));
    EXPECT_EQ(editor_->wait(10s), 0u) << "Exit did not end the editor";
    EXPECT_FALSE(IsWindow(about));
}

TEST_F(HelpMenu, ReadmeTwiceStartsTheTextEditorTwiceOnTheShippedDocument) {
    start();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(exists(app.file(L"readme.1st"))) << "the document does not ship";
    choose(editor::main::Readme);
    choose(editor::main::Readme);
    ASSERT_TRUE(pollUntil([&] { return probeRuns(work.path()).size() == 2; }))
        << probeRuns(work.path()).size() << " text editors started";
    for (const ProbeRun& run : probeRuns(work.path())) {
        EXPECT_EQ(run.commandLine, document(L"readme.1st"));
        EXPECT_EQ(run.showWindow, SW_SHOWNORMAL);
        EXPECT_EQ(run.folder, work.path()) << "it inherits the editor's working folder";
    }
    EXPECT_TRUE(IsWindow(main_));
}

TEST_F(HelpMenu, DisclaimerOpensTheLicence) {
    start();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(exists(app.file(L"license.txt"))) << "the document does not ship";
    choose(editor::main::Disc);
    ASSERT_TRUE(pollUntil([&] { return probeRuns(work.path()).size() == 1; }));
    const ProbeRun run = probeRuns(work.path()).front();
    EXPECT_EQ(run.commandLine, document(L"license.txt"));
    EXPECT_EQ(run.showWindow, SW_SHOWNORMAL);
}

TEST_F(HelpMenu, LogonHistoryOpensTheHistoryOrSaysThereIsNone) {
    const std::optional<std::wstring> history = launcher::logonHistoryPath();
    ASSERT_TRUE(history);
    // The user's own history is set aside for the test and comes back at its end.
    const std::wstring aside = *history + L".norvell-test";
    const bool had = MoveFileExW(history->c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    start();
    if (!HasFatalFailure()) {
        PostMessageW(main_, WM_COMMAND, editor::main::LogonHistory, 0);
        const driver::MessageBox none = waitForMessageBox(editor_->id());
        EXPECT_EQ(none.text, win32::widen(editor::kNoLogonHistory));
        EXPECT_TRUE(answer(none, IDOK));

        CreateDirectoryW(history->substr(0, history->find_last_of(L'\\')).c_str(), nullptr);
        HANDLE file =
            CreateFileW(history->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const win32::UniqueHandle written = win32::ownHandle(file);
        ASSERT_TRUE(written);
        choose(editor::main::LogonHistory);
        EXPECT_TRUE(pollUntil([&] { return probeRuns(work.path()).size() == 1; }));
        if (!probeRuns(work.path()).empty()) {
            EXPECT_EQ(probeRuns(work.path()).front().commandLine,
                      L"\"" + notepad_ + L"\" \"" + *history + L"\"");
        }
    }
    DeleteFileW(history->c_str());
    if (had) MoveFileExW(aside.c_str(), history->c_str(), MOVEFILE_REPLACE_EXISTING);
}
