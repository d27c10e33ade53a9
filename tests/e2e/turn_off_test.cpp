// A record turned off in the real viewer starts at no logon, and on again it starts; a record
// changed through the Change Record dialog is in the day file at its new time.
#include <gtest/gtest.h>

#include <windows.h>

#include "driver.hpp"
#include "editor/win/change_ids.h"
#include "editor/win/main_ids.hpp"
#include "editor/win/viewer_ids.hpp"
#include "editor_session.hpp"
#include "schedule/record.hpp"
#include "schedule/weekday.hpp"
#include "win32/text.hpp"

using namespace driver;
namespace form2 = editor::form2;

namespace {
// How many times the probe has started, after Brightwick and all it started have ended.
std::size_t launch(const TempFolder& folder) {
    GetDesktopWindow();  // the desktop process is not one the launcher starts
    ProcessTree tree(distDir() + L"\\Brightwick.exe", L"", folder.path());
    EXPECT_EQ(tree.wait(20s), std::optional<DWORD>(0));
    EXPECT_TRUE(tree.waitForAll(30s));
    return probeRuns(folder.path()).size();
}
}  // namespace

TEST(TurnOffEndToEnd, OffStartsNothingOnStartsItAndChangeWritesTheNewTime) {
    TempFolder work;
    TempFolder bin;  // the Recycle Bin of this test, never the machine's
    const EnvironmentVariable trash(L"XDG_DATA_HOME", unixPath(bin.path()));
    SYSTEMTIME now;
    GetLocalTime(&now);
    const schedule::Weekday today = *schedule::weekdayByLauncherNumber(now.wDayOfWeek + 1);
    const std::wstring dayFile = win32::widen(today.dayFile);
    copyFileOrThrow(testBinDir() + L"\\probe.exe", work.file(L"probe.exe"));
    const std::string program = win32::narrow(work.file(L"probe.exe"));
    const std::string day(today.dayLine);
    work.write(L"2" + win32::widen(today.code) + L".dat",
               schedule::formatRecord({"00:00", program, "Normal", day}));

    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    editor.press(editor::main::Command2);
    HWND viewer = waitForWindow(editor.id(), form2::kTitle);
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, form2::DayList);
    click(GetDlgItem(viewer, form2::Command1 + today.checkIndex));
    ASSERT_TRUE(pollUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }));
    const auto act = [&](int command) {
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        PostMessageW(viewer, WM_COMMAND, command, 0);
    };

    act(form2::TurnOff);
    ASSERT_TRUE(pollUntil([&] { return listText(list).starts_with(L"Time: 00:00 (off)\r\n"); }));
    EXPECT_EQ(launch(work), 0u) << "a record turned off does not start";

    act(form2::TurnOn);
    ASSERT_TRUE(pollUntil([&] { return listText(list).starts_with(L"Time: 00:00\r\n"); }));
    EXPECT_EQ(launch(work), 1u) << "turned on again, it starts";

    act(form2::ChangeRecord);
    HWND dialog = waitForWindow(editor.id(), L"Change Record", L"#32770");
    SendMessageW(GetDlgItem(dialog, CHANGE_LIST2), CB_SETCURSEL, 8, 0);  // "09"
    SendMessageW(GetDlgItem(dialog, CHANGE_LIST1), CB_SETCURSEL, 1, 0);  // "PM"
    click(GetDlgItem(dialog, IDOK));
    const std::string changed = schedule::formatRecord({"21:00", program, "Normal", day});
    EXPECT_TRUE(pollUntil([&] { return work.read(dayFile) == changed; }));
    EXPECT_TRUE(editor.exit());
}
