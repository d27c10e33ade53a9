// The day list viewer in the real Norvell.exe: Show List rebuilds the day files with the real
// copyfle.com, hides Main and opens Form2; the day buttons show their day (how the window
// marks the day is its own behaviour, tested in process); Back and the close box bring Main
// back; a second Show List opens a new, empty viewer; Remove sends a pick file to the Recycle
// Bin.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "driver.hpp"
#include "editor_session.hpp"
#include "editor/win/main_ids.hpp"
#include "editor/win/viewer_ids.hpp"
#include "win32/owners.hpp"

using namespace driver;
namespace form2 = editor::form2;

namespace {

// Norvell started in a folder of its own, once it holds the viewer.
class ViewerEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(GetFileAttributesW((distDir() + L"\\Norvell.exe").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << "Norvell.exe is not built";
        // A Monday file from before, which copyfle.com must replace before the viewer reads it.
        work_.write(L"datmon.dat", record("00:00", "C:\\old.exe", "Normal", "Monday"));
    }

    void start() {
        editor_ = std::make_unique<EditorSession>(work_.path());
        ASSERT_TRUE(*editor_) << "Main did not appear";
    }

    // Clicks Show List and waits for the viewer; null when none came.
    HWND showList() {
        editor_->press(editor::main::Command2);
        HWND viewer = waitForWindow(editor_->id(), form2::kTitle);
        EXPECT_TRUE(viewer) << "the viewer did not open";
        return viewer;
    }

    bool mainVisible() const { return IsWindowVisible(editor_->main()) != FALSE; }

    TempFolder work_;
    // Under Wine the Recycle Bin is the XDG trash: the test's own, never the machine's.
    TempFolder bin_;
    EnvironmentVariable trash_{L"XDG_DATA_HOME", unixPath(bin_.path())};
    std::unique_ptr<EditorSession> editor_;
};

// What the Recycle Bin holds, as the shell shows it: each item's name and the folder it was
// deleted from.
struct BinItem {
    std::wstring name;
    std::wstring from;
    bool operator==(const BinItem&) const = default;
};

std::wstring shown(const STRRET& text, PCUITEMID_CHILD item) {
    wchar_t* owned = nullptr;
    if (FAILED(StrRetToStrW(const_cast<STRRET*>(&text), item, &owned))) return {};
    const win32::UniqueTaskMemory<wchar_t> freed(owned);
    return owned;
}

std::vector<BinItem> recycleBin() {
    const win32::ComApartment apartment;
    std::vector<BinItem> items;
    win32::ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put()))) return items;
    PIDLIST_ABSOLUTE raw = nullptr;
    if (FAILED(SHGetKnownFolderIDList(FOLDERID_RecycleBinFolder, 0, nullptr, &raw))) return items;
    const win32::UniqueTaskMemory<ITEMIDLIST_ABSOLUTE> bin(raw);
    win32::ComPtr<IShellFolder2> folder;
    if (FAILED(desktop->BindToObject(bin.get(), nullptr, IID_IShellFolder2, folder.putVoid()))) {
        return items;
    }
    // The column of the original location, found by its heading ("Original Location" on
    // Windows, "Original location" under Wine).
    UINT from = 0;
    for (UINT column = 0;; ++column) {
        SHELLDETAILS heading{};
        if (FAILED(folder->GetDetailsOf(nullptr, column, &heading))) return items;
        if (CompareStringOrdinal(shown(heading.str, nullptr).c_str(), -1, L"Original Location", -1,
                                 TRUE) == CSTR_EQUAL) {
            from = column;
            break;
        }
    }
    win32::ComPtr<IEnumIDList> list;
    if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, list.put()) != S_OK) {
        return items;
    }
    PITEMID_CHILD child = nullptr;
    while (list->Next(1, &child, nullptr) == S_OK) {
        const win32::UniqueTaskMemory<ITEMID_CHILD> item(child);
        STRRET name{};
        SHELLDETAILS location{};
        if (SUCCEEDED(folder->GetDisplayNameOf(item.get(), SHGDN_NORMAL, &name)) &&
            SUCCEEDED(folder->GetDetailsOf(item.get(), from, &location))) {
            items.push_back({shown(name, item.get()), shown(location.str, item.get())});
        }
    }
    return items;
}

}  // namespace

TEST_F(ViewerEndToEnd, PickShowListDaysBackAndCloseBox) {
    ProgramFolder programs(L"NorvellViewer");
    programs.addProbe(L"alpha.exe");
    programs.addProbe(L"beta.exe");
    start();
    ASSERT_TRUE(editor_->openFolder(programs.name()));
    // alpha.exe for Monday and Sunday at 7:30 AM, maximized: pick number 2.
    ASSERT_TRUE(pollUntil([&] { return editor_->selectFile(L"alpha.exe"); }));
    editor_->tick(0);
    editor_->tick(6);
    ASSERT_TRUE(editor_->selectItem(editor::main::List2, L"07"));
    ASSERT_TRUE(editor_->selectItem(editor::main::List3, L"30"));
    ASSERT_TRUE(editor_->selectItem(editor::main::List1, L"AM"));
    ASSERT_TRUE(editor_->selectItem(editor::main::List4, L"Maximize"));
    EXPECT_EQ(editor_->pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    // beta.exe for Monday alone at 1:15 PM, hidden: pick number 3.
    ASSERT_TRUE(editor_->selectFile(L"beta.exe"));
    for (int day = 1; day < 7; ++day) editor_->tick(day, false);
    ASSERT_TRUE(editor_->selectItem(editor::main::List2, L"01"));
    ASSERT_TRUE(editor_->selectItem(editor::main::List3, L"15"));
    ASSERT_TRUE(editor_->selectItem(editor::main::List1, L"PM"));
    ASSERT_TRUE(editor_->selectItem(editor::main::List4, L"Hide"));
    EXPECT_EQ(editor_->pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    ASSERT_EQ(work_.names(),
              (std::vector<std::wstring>{L"2Mon.dat", L"2Sun.dat", L"3Mon.dat", L"datmon.dat"}));
    const std::wstring folder = windowText(editor_->control(editor::main::Dir1));
    const std::wstring sunday =
        L"Time: 07:30\r\n" + folder + L"\\alpha.exe\r\nRun Style - Maximize";
    const std::wstring monday =
        sunday + L"\r\nTime: 13:15\r\n" + folder + L"\\beta.exe\r\nRun Style - Hide";

    HWND viewer = showList();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(className(viewer), form2::kClassName);
    EXPECT_TRUE(pollUntil([&] { return !mainVisible(); }, 5s)) << "Main hidden";
    EXPECT_TRUE(IsWindow(editor_->main())) << "hidden, not closed";
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), nullptr) << "the viewer has no owner";
    HWND list = GetDlgItem(viewer, form2::DayList);
    ASSERT_TRUE(list);
    EXPECT_EQ(listText(list), L"") << "a new viewer shows nothing";

    click(GetDlgItem(viewer, form2::Command7));
    EXPECT_TRUE(pollUntil([&] { return listText(list) == sunday; }, 5s))
        << utf8(listText(list)) << "\nexpected\n"
        << utf8(sunday);

    click(GetDlgItem(viewer, form2::Command1));
    EXPECT_TRUE(pollUntil([&] { return listText(list) == monday; }, 5s))
        << utf8(listText(list)) << "\nexpected\n"
        << utf8(monday);

    click(GetDlgItem(viewer, form2::Command8));
    EXPECT_TRUE(pollUntil([&] { return mainVisible() && !IsWindow(viewer); }, 5s))
        << "Back to Main Menu shows Main and closes the viewer";

    viewer = showList();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(pollUntil([&] { return !mainVisible(); }, 5s));
    list = GetDlgItem(viewer, form2::DayList);
    EXPECT_EQ(listText(list), L"") << "the second viewer opens empty";

    PostMessageW(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(pollUntil([&] { return mainVisible() && !IsWindow(viewer); }, 5s))
        << "the close box shows Main and closes the viewer";
    // Twice: an editor that had posted itself the quit would answer once more at most.
    EXPECT_TRUE(sync(editor_->main()) && sync(editor_->main())) << "the editor still runs";
    EXPECT_FALSE(editor_->process().wait(0ms));

    // With the viewer gone for good, closing Main is closing the last window.
    PostMessageW(editor_->main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(editor_->process().wait(10s), std::optional<DWORD>(0));
}

TEST_F(ViewerEndToEnd, ShowListReplacesOldDayFilesAndEmptyDaysAreQuiet) {
    // A program that is not there, which the list marks.
    const std::wstring sunday =
        L"Time: 07:30\r\nC:\\Tools\\app.exe (not found)\r\nRun Style - Maximize";
    work_.write(L"2Sun.dat", record("07:30", "C:\\Tools\\app.exe", "Max", "Sunday"));
    start();
    HWND viewer = showList();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, form2::DayList);
    click(GetDlgItem(viewer, form2::Command7));
    ASSERT_TRUE(pollUntil([&] { return listText(list) == sunday; }, 5s));
    // The Monday file from before is gone: copyfle.com rebuilt it empty before the viewer
    // opened, and the empty day shows no message.
    click(GetDlgItem(viewer, form2::Command1));
    EXPECT_TRUE(pollUntil([&] { return listText(list).empty(); }, 5s)) << utf8(listText(list));
    ASSERT_TRUE(sync(viewer));
    EXPECT_TRUE(topWindows(editor_->id(), {}, L"#32770").empty()) << "no message for an empty day";
    EXPECT_TRUE(IsWindowVisible(viewer));
}

TEST_F(ViewerEndToEnd, StartNowStartsARecordAsAtLogonAndNamesAMissingOne) {
    ProgramFolder programs(L"NorvellStartNow");
    programs.addProbe(L"probe.exe");
    const std::string probe = utf8(programs.path() + L"\\probe.exe");
    const std::string gone = utf8(programs.path() + L"\\gone.exe");
    work_.write(L"2Wed.dat", record("07:30", probe.c_str(), "Min", "Wednesday"));
    work_.write(L"3Wed.dat", record("08:00", gone.c_str(), "Normal", "Wednesday"));
    start();
    HWND viewer = showList();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, form2::DayList);
    click(GetDlgItem(viewer, form2::Command3));
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }, 5s));

    // As a user does: Tab to the list, the arrow keys to a record, Enter.
    const auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(viewer, nullptr), &info);
        return info.hwndFocus;
    };
    for (int tabs = 0; tabs < 10 && focus() != list; ++tabs) {
        // Each key's effect before the next: a key still queued would move on past the list.
        HWND before = focus();
        PostMessageW(before, WM_KEYDOWN, VK_TAB, 0);
        ASSERT_TRUE(pollUntil([&] { return focus() != before; }));
    }
    ASSERT_EQ(focus(), list) << "Tab does not reach the list";
    PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(pollUntil([&] { return probeRuns(work_.path()).size() == 1; }, 10s))
        << "Start Now did not start the probe";
    const ProbeRun run = probeRuns(work_.path()).front();
    EXPECT_EQ(run.showWindow, SW_MINIMIZE);
    EXPECT_EQ(run.folder, work_.path()) << "in the editor's working folder, as at logon";

    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; }));
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    const driver::MessageBox box = waitForMessageBox(editor_->id());
    ASSERT_TRUE(box) << "no message names the missing program";
    EXPECT_NE(box.text.find(win32::widen(gone)), std::wstring::npos) << utf8(box.text);
    EXPECT_NE(box.text.find(L"could not be started"), std::wstring::npos) << utf8(box.text);
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), viewer) << "the viewer's message";
    EXPECT_TRUE(answer(box, IDOK));
    EXPECT_EQ(probeRuns(work_.path()).size(), 1u);
}

TEST_F(ViewerEndToEnd, DeleteSendsTheSelectedRecordsPickFileToTheRecycleBinAndNoOther) {
    // Two picks for Monday, each for Tuesday too.
    for (const auto& [day, code] : {std::pair{"Monday", L"Mon"}, {"Tuesday", L"Tue"}}) {
        work_.write(std::wstring(L"2") + code + L".dat",
                    record("07:30", "C:\\first.exe", "Max", day));
        work_.write(std::wstring(L"3") + code + L".dat",
                    record("09:00", "C:\\second.exe", "Hide", day));
    }
    start();
    HWND viewer = showList();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, form2::DayList);
    click(GetDlgItem(viewer, form2::Command1));
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }, 5s));

    // The second record with the arrow keys, then Delete.
    PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; }));
    PostMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    const driver::MessageBox question = waitForMessageBox(editor_->id());
    ASSERT_TRUE(question) << "Delete asks first";
    EXPECT_EQ(buttonIds(question.window), (std::vector<int>{IDYES, IDNO}));
    EXPECT_NE(question.text.find(L"C:\\second.exe"), std::wstring::npos) << utf8(question.text);
    EXPECT_NE(question.text.find(L"09:00"), std::wstring::npos) << utf8(question.text);
    EXPECT_NE(question.text.find(L"Monday"), std::wstring::npos) << utf8(question.text);
    EXPECT_NE(question.text.find(L"3Mon.dat goes to the Recycle Bin"), std::wstring::npos)
        << utf8(question.text);
    EXPECT_TRUE(answer(question, IDYES));

    const std::wstring first = L"Time: 07:30\r\nC:\\first.exe (not found)\r\nRun Style - Maximize";
    EXPECT_TRUE(pollUntil([&] { return listText(list) == first; }, 10s)) << utf8(listText(list));
    EXPECT_EQ(work_.read(L"datmon.dat"), record("07:30", "C:\\first.exe", "Max", "Monday"));
    EXPECT_FALSE(work_.exists(L"3Mon.dat")) << "its Monday pick file is gone";
    for (const wchar_t* stays : {L"2Mon.dat", L"2Tue.dat", L"3Tue.dat"}) {
        EXPECT_TRUE(work_.exists(stays)) << utf8(stays);
    }
    EXPECT_EQ(work_.read(L"dattue.dat"), record("07:30", "C:\\first.exe", "Max", "Tuesday") +
                                             record("09:00", "C:\\second.exe", "Hide", "Tuesday"));
    EXPECT_EQ(recycleBin(), (std::vector<BinItem>{{L"3Mon.dat", work_.path()}}))
        << "Explorer's Restore brings it back from there";
}

TEST_F(ViewerEndToEnd, ADayFileCopyfleCannotReplaceIsNamedWithItsReason) {
    work_.write(L"2Mon.dat", record("07:30", "C:\\a.exe", "Max", "Monday"));
    // Held open without leave to replace it, past copyfle.com's half second of tries.
    const win32::UniqueHandle holder =
        win32::ownHandle(CreateFileW(work_.file(L"datmon.dat").c_str(), GENERIC_READ,
                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    start();
    editor_->press(editor::main::Command2);
    const driver::MessageBox box = waitForMessageBox(editor_->id(), 40s);
    ASSERT_TRUE(box) << "copyfle.com's trouble is not told";
    EXPECT_NE(box.text.find(L"copyfle.com could not write every day file"), std::wstring::npos)
        << utf8(box.text);
    EXPECT_NE(box.text.find(L"\ndatmon.dat: "), std::wstring::npos)
        << "copyfle.com's own reason, for the file it names: " << utf8(box.text);
    EXPECT_TRUE(answer(box, IDOK));
    EXPECT_TRUE(waitForWindow(editor_->id(), form2::kTitle)) << "the viewer still opens";
}
