// Form2, the day list viewer, in this process: its layout and fonts, the day buttons against a
// temporary folder of day files, the list area's text and scroll bar, the way back to Main,
// and Show List with fake services.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../host/fake_editor.hpp"
#include "driver.hpp"
#include "fonts.hpp"
#include "editor/win/viewer_ids.hpp"
#include "editor/win/viewer_window.hpp"
#include "editor/win/window.hpp"
#include "schedule/record.hpp"
#include "win32/folder.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

using namespace editor::form2;

namespace {

std::string record(const char* time, const char* program, const char* style, const char* day) {
    return schedule::formatRecord({time, program, style, day});
}

// Handles whatever the windows of this thread have queued.
void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LOGFONTW fontOf(HWND window) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    if (handle) GetObjectW(handle, sizeof font, &font);
    return font;
}

// The weight of each day button's font, Monday first.
std::array<LONG, 7> weights(HWND viewer) {
    std::array<LONG, 7> result{};
    for (int day = 0; day < 7; ++day) {
        result[static_cast<std::size_t>(day)] = fontOf(GetDlgItem(viewer, Command1 + day)).lfWeight;
    }
    return result;
}

std::array<LONG, 7> boldOnly(int day) {
    std::array<LONG, 7> result;
    result.fill(FW_NORMAL);
    if (day >= 0) result[static_cast<std::size_t>(day)] = FW_BOLD;
    return result;
}

win32::PixelRect clientPlace(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void press(HWND viewer, int id) {
    SendMessageW(GetDlgItem(viewer, id), BM_CLICK, 0, 0);
    pump();
}

SCROLLINFO scrollInfo(HWND list) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(list, SB_VERT, &info);
    return info;
}

bool hasScrollBar(HWND list) {
    return (GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) != 0;
}

// Pixels darker than the background that the list area paints into a bitmap of its own.
int inkOf(HWND list) {
    RECT client;
    GetClientRect(list, &client);
    const win32::ClientDC screen(nullptr);
    const win32::UniqueDC memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const win32::UniqueBitmap bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win32::Selected selected(memory.get(), bitmap.get());
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    GdiFlush();
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    int ink = 0;
    const auto* pixel = static_cast<const unsigned char*>(bits);
    for (LONG i = 0; i < client.right * client.bottom; ++i, pixel += 4) {
        if (pixel[0] != GetBValue(background) || pixel[1] != GetGValue(background) ||
            pixel[2] != GetRValue(background)) {
            ++ink;
        }
    }
    return ink;
}

// A viewer over `dayFiles`, shown; null when it could not be made.
std::unique_ptr<editor::Form2> openViewer(schedule::Folder& dayFiles,
                                          std::function<void()> onBackToMain,
                                          editor::WindowRegistry* windows) {
    auto viewer = std::make_unique<editor::Form2>(dayFiles, std::move(onBackToMain));
    const schedule::Outcome created = viewer->create(windows);
    EXPECT_TRUE(created) << created.error;
    if (!created) return nullptr;
    viewer->show();
    return viewer;
}

// A day file folder and a viewer over it, closed at the end.
class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.write(L"datmon.dat", record("07:30", "C:\\Tools\\app.exe", "Max", "Monday") +
                                         record("19:45", "D:\\\\game.exe", "Min", "Monday"));
        folder_.write(L"datsun.dat", record("09:00", "C:\\sun.exe", "Normal", "Sunday"));
        folder_.write(L"datsat.dat", "");
    }
    void TearDown() override {
        viewer_.reset();
        pump();
    }

    HWND open() {
        viewer_ = openViewer(
            dayFiles_, [this] { ++backs_; }, nullptr);
        EXPECT_TRUE(viewer_) << "the viewer did not open";
        pump();
        return viewer_ ? viewer_->hwnd() : nullptr;
    }

    driver::TempFolder folder_;
    win32::WorkingFolder dayFiles_{folder_.path() + L"\\"};
    std::unique_ptr<editor::Form2> viewer_;
    int backs_ = 0;
};

}  // namespace

TEST_F(ViewerTest, WindowAndButtonsAsDesigned) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(driver::windowText(viewer), L"Program to be Run");
    EXPECT_EQ(driver::className(viewer), kClassName);
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), nullptr) << "no owner";
    EXPECT_TRUE(IsWindowVisible(viewer));
    const LONG_PTR style = GetWindowLongPtrW(viewer, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    const unsigned dpi = GetDpiForWindow(viewer);
    RECT client;
    GetClientRect(viewer, &client);
    EXPECT_EQ(client.right, win32::twipsToPixels(10095, dpi));
    EXPECT_EQ(client.bottom, win32::twipsToPixels(7785, dpi));

    struct Button {
        int id;
        const wchar_t* caption;
        int left, width;
    };
    const Button buttons[] = {
        {Command1, L"Monday", 120, 975},      {Command2, L"Tuesday", 1200, 975},
        {Command3, L"Wednesday", 2280, 1215}, {Command4, L"Thursday", 3600, 975},
        {Command5, L"Friday", 4560, 975},     {Command6, L"Saturday", 5640, 975},
        {Command7, L"Sunday", 6720, 975},     {Command8, L"Back to Main Menu", 7800, 975},
    };
    ASSERT_TRUE(driver::fontInstalled(L"MS Sans Serif"));
    // The list's font stands in for Arial Narrow with a condensed family.
    ASSERT_TRUE(driver::fontInstalled(L"DejaVu Sans Condensed"));
    const std::wstring face = win32::chooseFamily({L"MS Sans Serif", 825, false, {}, FF_SWISS});
    std::vector<HFONT> fonts;
    for (const Button& expected : buttons) {
        SCOPED_TRACE(win32::narrow(expected.caption));
        HWND button = GetDlgItem(viewer, expected.id);
        ASSERT_TRUE(button);
        EXPECT_EQ(driver::className(button), L"Button");
        EXPECT_EQ(driver::windowText(button), expected.caption);
        EXPECT_TRUE(IsWindowVisible(button));
        EXPECT_EQ(clientPlace(button),
                  win32::toPixels({expected.left, 7200, expected.width, 495}, dpi));
        const LOGFONTW font = fontOf(button);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_EQ(font.lfHeight, win32::fontHeight(825, dpi));
        if (!face.empty()) {
            EXPECT_EQ(std::wstring(font.lfFaceName), face);
        }
        fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    }
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        for (std::size_t j = i + 1; j < fonts.size(); ++j) {
            EXPECT_NE(fonts[i], fonts[j]) << "each button has a font of its own";
        }
    }

    // Tab goes through the buttons in the table's order and round again.
    HWND focus = GetDlgItem(viewer, Command1);
    for (const Button& expected : buttons) {
        EXPECT_EQ(GetDlgCtrlID(focus), expected.id);
        focus = GetNextDlgTabItem(viewer, focus, FALSE);
    }
    EXPECT_EQ(GetDlgCtrlID(focus), Command1);

    HWND list = GetDlgItem(viewer, DayList);
    ASSERT_TRUE(list);
    EXPECT_EQ(driver::className(list), kDayListClassName);
    EXPECT_EQ(clientPlace(list), win32::toPixels({0, 0, 10095, 7080}, dpi));
    const LOGFONTW listFont = fontOf(list);
    EXPECT_EQ(listFont.lfWeight, FW_BOLD);
    EXPECT_EQ(listFont.lfHeight, win32::fontHeight(1200, dpi));
    const std::wstring narrow = win32::chooseFamily({L"Arial Narrow", 1200, true, {}, FF_SWISS});
    if (!narrow.empty()) {
        EXPECT_EQ(std::wstring(listFont.lfFaceName), narrow);
    }
    EXPECT_NE(std::wstring(listFont.lfFaceName), L"") << "some narrow or sans family stands in";
}

TEST_F(ViewerTest, OpensEmptyWithNoDayBold) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(driver::windowText(GetDlgItem(viewer, DayList)), L"");
    EXPECT_EQ(weights(viewer), boldOnly(-1));
    EXPECT_EQ(inkOf(GetDlgItem(viewer, DayList)), 0) << "nothing drawn";
}

TEST_F(ViewerTest, DayButtonsShowTheirDayAndMoveTheBoldMark) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);

    press(viewer, Command7);
    EXPECT_EQ(driver::windowText(list), L"Time: 09:00\r\nC:\\sun.exe\r\nRun Style - Normal");
    EXPECT_EQ(weights(viewer), boldOnly(6));
    EXPECT_GT(inkOf(list), 0) << "the lines are painted";

    press(viewer, Command1);
    EXPECT_EQ(driver::windowText(list),
              L"Time: 07:30\r\nC:\\Tools\\app.exe\r\nRun Style - Maximize\r\n"
              L"Time: 19:45\r\nD:\\\\game.exe\r\nRun Style - Minimize");
    EXPECT_EQ(weights(viewer), boldOnly(0));

    press(viewer, Command1);  // the same day again reads the file again
    EXPECT_EQ(weights(viewer), boldOnly(0));
    EXPECT_EQ(SendMessageW(list, WM_GETTEXTLENGTH, 0, 0),
              static_cast<LRESULT>(driver::windowText(list).size()));

    press(viewer, Command2);  // no dattue.dat at all: quietly empty
    EXPECT_EQ(driver::windowText(list), L"");
    EXPECT_EQ(weights(viewer), boldOnly(1));
    EXPECT_EQ(inkOf(list), 0);
    EXPECT_EQ(driver::topWindows(GetCurrentProcessId(), {}, L"#32770").size(), 0u)
        << "no message box";

    press(viewer, Command6);  // empty datsat.dat
    EXPECT_EQ(driver::windowText(list), L"");
    EXPECT_EQ(weights(viewer), boldOnly(5));
    EXPECT_EQ(backs_, 0);
}

TEST_F(ViewerTest, EachDayButtonReadsItsOwnFile) {
    const wchar_t* const files[] = {L"datmon.dat", L"dattue.dat", L"datwed.dat", L"datthu.dat",
                                    L"datfri.dat", L"datsat.dat", L"datsun.dat"};
    for (const wchar_t* name : files) folder_.write(name, win32::narrow(name) + "\r\n");
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    for (int day = 0; day < 7; ++day) {
        press(viewer, Command1 + day);
        EXPECT_EQ(driver::windowText(GetDlgItem(viewer, DayList)), files[day]);
        EXPECT_EQ(weights(viewer), boldOnly(day));
    }
}

TEST_F(ViewerTest, LinesAreReadInTheAnsiCodePage) {
    const std::string program = "C:\\M\xE4rz\\app.exe";  // a byte above ASCII
    folder_.write(L"datfri.dat", record("06:15", program.c_str(), "Hide", "Friday"));
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    press(viewer, Command5);
    EXPECT_EQ(driver::windowText(GetDlgItem(viewer, DayList)),
              L"Time: 06:15\r\n" + win32::fromCodePage(program) + L"\r\nRun Style - Hide");
}

TEST_F(ViewerTest, ListAreaTextIsCutToTheCallersBuffer) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    press(viewer, Command7);
    HWND list = GetDlgItem(viewer, DayList);
    wchar_t small[8];
    std::fill(std::begin(small), std::end(small), L'#');
    EXPECT_EQ(SendMessageW(list, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(small)), 4);
    EXPECT_EQ(std::wstring(small), L"Time");
    EXPECT_EQ(small[5], L'#') << "nothing written past the buffer";
    EXPECT_EQ(SendMessageW(list, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
}

TEST_F(ViewerTest, ScrollBarOnlyWhenTheLinesDoNotFit) {
    std::string many;
    for (int i = 0; i < 40; ++i) many += record("08:00", "C:\\app.exe", "Normal", "Wednesday");
    folder_.write(L"datwed.dat", many);
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    EXPECT_FALSE(hasScrollBar(list));

    press(viewer, Command3);
    ASSERT_TRUE(hasScrollBar(list)) << "120 lines do not fit";
    SCROLLINFO info = scrollInfo(list);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 119);
    EXPECT_EQ(info.nPos, 0);
    const int page = static_cast<int>(info.nPage);
    ASSERT_GT(page, 5);
    ASSERT_LT(page, 120);
    const int inkAtTop = inkOf(list);

    // The wheel turns over the focused button and reaches the list through the viewer.
    UINT perNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    const int step = perNotch == WHEEL_PAGESCROLL ? page : static_cast<int>(perNotch);
    SendMessageW(GetDlgItem(viewer, Command3), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(scrollInfo(list).nPos, std::min(step, 120 - page));
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(scrollInfo(list).nPos, 0);
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(scrollInfo(list).nPos, 0) << "not above the first line";

    SendMessageW(list, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(scrollInfo(list).nPos, 120 - page) << "the last line at the bottom, no further";
    EXPECT_GT(inkOf(list), 0);
    SendMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(scrollInfo(list).nPos, 120 - page);
    SendMessageW(list, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(scrollInfo(list).nPos, std::max(0, 120 - 2 * page));
    SendMessageW(list, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(scrollInfo(list).nPos, 0);
    EXPECT_EQ(inkOf(list), inkAtTop) << "back at the top, the same picture";

    // Exactly a page of lines fits without a bar; one more needs it.
    std::string lines;
    for (int i = 0; i < page; ++i) lines += "line " + std::to_string(i) + "\r\n";
    folder_.write(L"datthu.dat", lines);
    folder_.write(L"datfri.dat", lines + "one more\r\n");
    press(viewer, Command4);
    EXPECT_FALSE(hasScrollBar(list)) << page << " lines fit";
    press(viewer, Command5);
    EXPECT_TRUE(hasScrollBar(list)) << page + 1 << " lines do not";
    EXPECT_EQ(scrollInfo(list).nPos, 0);

    // A new day starts at its first line.
    SendMessageW(list, WM_VSCROLL, SB_BOTTOM, 0);
    press(viewer, Command3);
    EXPECT_EQ(scrollInfo(list).nPos, 0);
    press(viewer, Command7);
    EXPECT_FALSE(hasScrollBar(list));
}

TEST_F(ViewerTest, BackToMainMenuCallsBackThenCloses) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    bool viewerOpenDuringCallback = false;
    viewer_ = openViewer(
        dayFiles_,
        [&] {
            ++backs_;
            viewerOpenDuringCallback = IsWindow(viewer_->hwnd()) != FALSE;
        },
        nullptr);
    ASSERT_TRUE(viewer_);
    EXPECT_FALSE(IsWindow(viewer)) << "letting the object go closes a viewer still open";
    viewer = viewer_->hwnd();
    pump();

    press(viewer, Command8);
    EXPECT_EQ(backs_, 1);
    EXPECT_TRUE(viewerOpenDuringCallback) << "Main comes back before the viewer goes";
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_EQ(viewer_->hwnd(), nullptr);
}

TEST_F(ViewerTest, CloseBoxDoesWhatBackDoes) {
    for (UINT message : {UINT{WM_SYSCOMMAND}, UINT{WM_CLOSE}}) {
        HWND viewer = open();
        ASSERT_TRUE(viewer);
        const int before = backs_;
        SendMessageW(viewer, message, message == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);
        pump();
        EXPECT_EQ(backs_, before + 1);
        EXPECT_FALSE(IsWindow(viewer));
    }
}

TEST_F(ViewerTest, LaysOutAgainForANewDpi) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    press(viewer, Command7);
    RECT suggested;
    GetWindowRect(viewer, &suggested);
    SendMessageW(viewer, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    pump();
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, Command3)),
              win32::toPixels({2280, 7200, 1215, 495}, 144));
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, Command8)),
              win32::toPixels({7800, 7200, 975, 495}, 144));
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, DayList)), win32::toPixels({0, 0, 10095, 7080}, 144));
    EXPECT_EQ(fontOf(GetDlgItem(viewer, Command1)).lfHeight, win32::fontHeight(825, 144));
    EXPECT_EQ(fontOf(GetDlgItem(viewer, DayList)).lfHeight, win32::fontHeight(1200, 144));
    EXPECT_EQ(weights(viewer), boldOnly(6)) << "the bold mark stays";
    EXPECT_EQ(driver::windowText(GetDlgItem(viewer, DayList)),
              L"Time: 09:00\r\nC:\\sun.exe\r\nRun Style - Normal");
    press(viewer, Command1);
    EXPECT_EQ(fontOf(GetDlgItem(viewer, Command1)).lfHeight, win32::fontHeight(825, 144))
        << "a day turned bold later gets the new size too";
}

TEST_F(ViewerTest, JoinsTheEditorsWindowsWhileOpen) {
    // A stand-in for Main keeps the count above zero, as Main does, hidden or not.
    HWND main = CreateWindowExW(0, L"STATIC", L"Main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(main);
    editor::WindowRegistry windows;
    windows.add(main);
    viewer_ = openViewer(
        dayFiles_, [] {}, &windows);
    ASSERT_TRUE(viewer_);
    EXPECT_TRUE(windows.contains(viewer_->hwnd()));
    EXPECT_EQ(windows.count(), 2u);
    press(viewer_->hwnd(), Command8);
    EXPECT_EQ(windows.count(), 1u);
    windows.remove(main);
    DestroyWindow(main);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the last one ends";
}

// Show List, with the services faked and Main a plain window of this process.
class ShowListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        main_ = CreateWindowExW(0, L"STATIC", L"Main", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(main_);
        services_.folder.files["datsun.dat"] = record("09:00", "C:\\sun.exe", "Normal", "Sunday");
    }
    void TearDown() override {
        viewer_.reset();
        DestroyWindow(main_);
        pump();
    }
    void showList() {
        viewer_ = editor::ShowList(
            services_, nullptr, [this] { ShowWindow(main_, SW_HIDE); },
            [this] { ShowWindow(main_, SW_SHOW); });
        pump();
    }

    HWND main_ = nullptr;
    testing_support::FakeServices services_;
    std::unique_ptr<editor::Form2> viewer_;
};

TEST_F(ShowListTest, CombinesThenHidesMainAndOpensTheViewer) {
    showList();
    ASSERT_TRUE(viewer_);
    EXPECT_EQ(services_.log, std::vector<std::string>{"helper: copyfle.com"});
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_TRUE(IsWindowVisible(viewer_->hwnd()));
    EXPECT_EQ(driver::windowText(viewer_->hwnd()), L"Program to be Run");

    press(viewer_->hwnd(), Command7);  // the services' folder holds the day files
    EXPECT_EQ(driver::windowText(GetDlgItem(viewer_->hwnd(), DayList)),
              L"Time: 09:00\r\nC:\\sun.exe\r\nRun Style - Normal");

    press(viewer_->hwnd(), Command8);
    EXPECT_TRUE(IsWindowVisible(main_)) << "Main is back";
    EXPECT_EQ(viewer_->hwnd(), nullptr);

    showList();
    ASSERT_TRUE(viewer_);
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_EQ(driver::windowText(GetDlgItem(viewer_->hwnd(), DayList)), L"")
        << "a new viewer, empty";
    SendMessageW(viewer_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(main_)) << "the close box brings Main back too";
}

TEST_F(ShowListTest, CopyfleThatCannotStartKeepsMainAndOpensNothing) {
    editor::HelperRun run;
    run.ending = editor::HelperRun::Ending::NotStarted;
    run.error = "The system cannot find the file specified.";
    services_.helperRuns["copyfle.com"] = run;
    showList();
    EXPECT_FALSE(viewer_);
    EXPECT_TRUE(IsWindowVisible(main_));
    ASSERT_EQ(services_.log.size(), 2u);
    EXPECT_NE(services_.log[1].find("copyfle.com could not be started"), std::string::npos);
    EXPECT_TRUE(driver::topWindows(GetCurrentProcessId(), kTitle).empty());
}

TEST_F(ShowListTest, CopyfleTroubleIsToldAndTheViewerStillOpens) {
    editor::HelperRun slow;
    slow.ending = editor::HelperRun::Ending::TimedOut;
    editor::HelperRun leftOut;
    leftOut.exitCode = 2;
    for (const editor::HelperRun& run : {slow, leftOut}) {
        services_.log.clear();
        services_.helperRuns["copyfle.com"] = run;
        showList();
        ASSERT_TRUE(viewer_);
        ASSERT_EQ(services_.log.size(), 2u);
        EXPECT_EQ(services_.log[1].rfind("message: copyfle.com", 0), 0u) << services_.log[1];
        EXPECT_FALSE(IsWindowVisible(main_));
        press(viewer_->hwnd(), Command8);
        EXPECT_TRUE(IsWindowVisible(main_));
    }
}
