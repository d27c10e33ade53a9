// Form2, the day list viewer, in this process: its layout and fonts, the day buttons against a
// temporary folder of day files, the list area's text and scroll bar, the way back to Main,
// and Show List with fake services.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../host/fake_editor.hpp"
#include "access_keys.hpp"
#include "driver.hpp"
#include "fonts.hpp"
#include "editor/win/viewer_ids.hpp"
#include "editor/win/viewer_window.hpp"
#include "editor/win/window.hpp"
#include "win32/canvas.hpp"
#include "win32/folder.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

using namespace editor::form2;

namespace {

// The weight of each day button's font, Monday first.
std::array<LONG, 7> weights(HWND viewer) {
    std::array<LONG, 7> result{};
    for (int day = 0; day < 7; ++day) {
        result[static_cast<std::size_t>(day)] =
            driver::logFontOf(GetDlgItem(viewer, Command1 + day)).lfWeight;
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
    driver::pump();
}

bool hasScrollBar(HWND list) {
    return (GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) != 0;
}

// What the list paints into a bitmap of its own: one COLORREF a pixel, row by row.
struct Picture {
    LONG width = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(LONG x, LONG y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // Pixels inside `area` for which `is` holds.
    template <class Predicate>
    int count(const RECT& area, Predicate is) const {
        int found = 0;
        const LONG height = static_cast<LONG>(pixels.size()) / std::max<LONG>(width, 1);
        for (LONG y = std::max<LONG>(area.top, 0); y < std::min(area.bottom, height); ++y) {
            for (LONG x = std::max<LONG>(area.left, 0); x < std::min(area.right, width); ++x) {
                if (is(at(x, y))) ++found;
            }
        }
        return found;
    }
};

// What `draw` paints on a memory DC of `width` by `height` pixels.
Picture drawnPicture(LONG width, LONG height, const std::function<void(HDC)>& draw) {
    const win32::Canvas canvas(width, height);
    draw(canvas.dc());
    Picture picture;
    picture.width = width;
    for (const DWORD pixel : canvas.pixels()) {
        picture.pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
    return picture;
}

Picture paint(HWND list) {
    RECT client;
    GetClientRect(list, &client);
    return drawnPicture(client.right, client.bottom, [&](HDC dc) {
        // As on the screen: the background first, then the entries.
        SendMessageW(list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

// Pixels other than the background that the list paints.
int inkOf(HWND list) {
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    return paint(list).count(RECT{0, 0, LONG_MAX, LONG_MAX},
                             [&](COLORREF pixel) { return pixel != background; });
}

RECT itemRect(HWND list, int index) {
    RECT rect{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// A viewer over `dayFiles`, shown; null when it could not be made.
std::unique_ptr<editor::Form2> openViewer(editor::ViewerServices services,
                                          std::function<void()> onBackToMain,
                                          editor::WindowRegistry* windows,
                                          editor::ScheduleUse use = editor::ScheduleUse::Change) {
    auto viewer = std::make_unique<editor::Form2>(services, use, std::move(onBackToMain));
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
        services_.folder.files["datmon.dat"] =
            (driver::record("07:30", "C:\\Tools\\app.exe", "Max", "Monday") +
             driver::record("19:45", "D:\\\\game.exe", "Min", "Monday"));
        services_.folder.files["datsun.dat"] =
            (driver::record("09:00", "C:\\sun.exe", "Normal", "Sunday"));
        services_.folder.files["datsat.dat"] = ("");
    }
    void TearDown() override {
        viewer_.reset();
        driver::pump();
    }

    HWND open(editor::ScheduleUse use = editor::ScheduleUse::Change) {
        viewer_ = openViewer(
            services_, [this] { ++backs_; }, nullptr, use);
        EXPECT_TRUE(viewer_) << "the viewer did not open";
        driver::pump();
        return viewer_ ? viewer_->hwnd() : nullptr;
    }

    testing_support::FakeServices services_;
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
    // The captions keep their words; an "&" marks each one's access key.
    const Button buttons[] = {
        {Command1, L"&Monday", 120, 975},      {Command2, L"&Tuesday", 1200, 975},
        {Command3, L"&Wednesday", 2280, 1215}, {Command4, L"T&hursday", 3600, 975},
        {Command5, L"&Friday", 4560, 975},     {Command6, L"&Saturday", 5640, 975},
        {Command7, L"S&unday", 6720, 975},     {Command8, L"&Back to Main Menu", 7800, 975},
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
        const LOGFONTW font = driver::logFontOf(button);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        // A caption whose two lines would touch the button's frame at the design size steps
        // down for that button alone, never below 80 %; the caption tests hold it whole.
        if (font.lfHeight != win32::fontHeight(825, dpi)) {
            EXPECT_GT(font.lfHeight, win32::fontHeight(825, dpi));
            EXPECT_LE(font.lfHeight, win32::fontHeight(660, dpi));
            continue;
        }
        if (!face.empty()) {
            EXPECT_EQ(std::wstring(font.lfFaceName), face);
        }
        fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    }
    // Buttons of one design and size share one font: the window makes no font twice.
    ASSERT_GE(fonts.size(), 7u);
    for (HFONT font : fonts) EXPECT_EQ(font, fonts.front());

    // Tab goes through the buttons in the table's order, then the list, and round again.
    HWND focus = GetDlgItem(viewer, Command1);
    for (const Button& expected : buttons) {
        EXPECT_EQ(GetDlgCtrlID(focus), expected.id);
        focus = GetNextDlgTabItem(viewer, focus, FALSE);
    }
    EXPECT_EQ(GetDlgCtrlID(focus), DayList);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(viewer, focus, FALSE)), Command1);

    HWND list = GetDlgItem(viewer, DayList);
    ASSERT_TRUE(list);
    EXPECT_EQ(driver::className(list), L"ListBox");
    EXPECT_EQ(clientPlace(list), win32::toPixels({0, 0, 10095, 7080}, dpi));
    const LOGFONTW listFont = driver::logFontOf(list);
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
    EXPECT_EQ(driver::listText(GetDlgItem(viewer, DayList)), L"");
    EXPECT_EQ(weights(viewer), boldOnly(-1));
    EXPECT_EQ(inkOf(GetDlgItem(viewer, DayList)), 0) << "nothing drawn";
}

TEST_F(ViewerTest, DayButtonsShowTheirDayAndMoveTheBoldMark) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);

    press(viewer, Command7);
    EXPECT_EQ(driver::listText(list), L"Time: 09:00\r\nC:\\sun.exe\r\nRun Style - Normal");
    EXPECT_EQ(weights(viewer), boldOnly(6));
    EXPECT_GT(inkOf(list), 0) << "the lines are painted";

    press(viewer, Command1);
    EXPECT_EQ(driver::listText(list),
              L"Time: 07:30\r\nC:\\Tools\\app.exe\r\nRun Style - Maximize\r\n"
              L"Time: 19:45\r\nD:\\\\game.exe\r\nRun Style - Minimize");
    EXPECT_EQ(weights(viewer), boldOnly(0));

    services_.folder.files["datmon.dat"] = driver::record("06:00", "C:\\new.exe", "Hide", "Monday");
    press(viewer, Command1);  // the same day again reads the file again
    EXPECT_EQ(weights(viewer), boldOnly(0));
    EXPECT_EQ(driver::listText(list), L"Time: 06:00\r\nC:\\new.exe\r\nRun Style - Hide");

    press(viewer, Command2);  // no dattue.dat at all: quietly empty
    EXPECT_EQ(driver::listText(list), L"");
    EXPECT_EQ(weights(viewer), boldOnly(1));
    EXPECT_EQ(inkOf(list), 0);
    EXPECT_EQ(driver::topWindows(GetCurrentProcessId(), {}, L"#32770").size(), 0u)
        << "no message box";

    press(viewer, Command6);  // empty datsat.dat
    EXPECT_EQ(driver::listText(list), L"");
    EXPECT_EQ(weights(viewer), boldOnly(5));
    EXPECT_EQ(backs_, 0);
}

TEST_F(ViewerTest, EachDayButtonReadsItsOwnFile) {
    const wchar_t* const files[] = {L"datmon.dat", L"dattue.dat", L"datwed.dat", L"datthu.dat",
                                    L"datfri.dat", L"datsat.dat", L"datsun.dat"};
    for (const wchar_t* name : files) {
        services_.folder.files[win32::narrow(name)] = win32::narrow(name) + "\r\n";
    }
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    for (int day = 0; day < 7; ++day) {
        press(viewer, Command1 + day);
        EXPECT_EQ(driver::listText(GetDlgItem(viewer, DayList)), files[day]);
        EXPECT_EQ(weights(viewer), boldOnly(day));
    }
}

TEST_F(ViewerTest, LinesAreReadInTheAnsiCodePage) {
    const std::string program = "C:\\M\xE4rz\\app.exe";  // a byte above ASCII
    services_.folder.files["datfri.dat"] =
        driver::record("06:15", program.c_str(), "Hide", "Friday");
    services_.decode = [](std::string_view bytes) {
        return win32::narrow(win32::fromCodePage(bytes));
    };
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    press(viewer, Command5);
    EXPECT_EQ(driver::listText(GetDlgItem(viewer, DayList)),
              L"Time: 06:15\r\n" + win32::fromCodePage(program) + L"\r\nRun Style - Hide");
}

TEST_F(ViewerTest, ScrollBarOnlyWhenTheRecordsDoNotFit) {
    std::string many;
    for (int i = 0; i < 40; ++i) {
        many += driver::record(("08:" + std::to_string(10 + i)).c_str(), "C:\\app.exe", "Normal",
                               "Wednesday");
    }
    services_.folder.files["datwed.dat"] = many;
    services_.folder.files["datthu.dat"] =
        driver::record("08:00", "C:\\a.exe", "Normal", "Thursday");
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    EXPECT_FALSE(hasScrollBar(list));

    press(viewer, Command3);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 40) << "one entry a record";
    ASSERT_TRUE(hasScrollBar(list)) << "40 records do not fit";
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    const int inkAtTop = inkOf(list);

    // The wheel turns over the focused button and reaches the list through the viewer.
    SendMessageW(GetDlgItem(viewer, Command3), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    SendMessageW(list, WM_VSCROLL, SB_BOTTOM, 0);
    const LRESULT bottom = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    EXPECT_GT(bottom, 30) << "the last record at the bottom";
    RECT last;
    SendMessageW(list, LB_GETITEMRECT, 39, reinterpret_cast<LPARAM>(&last));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_LE(last.bottom, client.bottom) << "the last record shows whole";
    SendMessageW(list, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(inkOf(list), inkAtTop) << "back at the top, the same picture";

    // A new day starts at its first record, and one that fits has no bar.
    SendMessageW(list, WM_VSCROLL, SB_BOTTOM, 0);
    press(viewer, Command3);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    press(viewer, Command4);
    EXPECT_FALSE(hasScrollBar(list));
}

TEST_F(ViewerTest, BackToMainMenuCallsBackThenCloses) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    bool viewerOpenDuringCallback = false;
    viewer_ = openViewer(
        services_,
        [&] {
            ++backs_;
            viewerOpenDuringCallback = IsWindow(viewer_->hwnd()) != FALSE;
        },
        nullptr);
    ASSERT_TRUE(viewer_);
    EXPECT_FALSE(IsWindow(viewer)) << "letting the object go closes a viewer still open";
    viewer = viewer_->hwnd();
    driver::pump();

    press(viewer, Command8);
    EXPECT_EQ(backs_, 1);
    EXPECT_TRUE(viewerOpenDuringCallback) << "Main comes back before the viewer goes";
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_EQ(viewer_->hwnd(), nullptr);
}

TEST_F(ViewerTest, AltWithEachButtonsAccessKeyPressesItFromAnywhereInTheWindow) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    EXPECT_FALSE(driver::accessKeysClash(driver::controlCaptions(viewer)));
    HWND list = GetDlgItem(viewer, DayList);
    for (int day = 0; day < 7; ++day) {
        const wchar_t key =
            driver::accessKey(driver::windowText(GetDlgItem(viewer, Command1 + day)));
        ASSERT_NE(key, 0) << "day " << day << " has no access key";
        // From the list too, which takes letters alone for itself.
        EXPECT_TRUE(
            driver::pressAltWith(viewer, day % 2 ? list : GetDlgItem(viewer, Command8), key));
        driver::pump();
        EXPECT_EQ(weights(viewer), boldOnly(day)) << "Alt+" << static_cast<char>(key);
    }
    EXPECT_EQ(backs_, 0);
    const wchar_t back = driver::accessKey(driver::windowText(GetDlgItem(viewer, Command8)));
    ASSERT_NE(back, 0);
    EXPECT_TRUE(driver::pressAltWith(viewer, list, back));
    driver::pump();
    EXPECT_EQ(backs_, 1);
    EXPECT_FALSE(IsWindow(viewer));
}

TEST_F(ViewerTest, EscDoesWhatBackDoesWhereverTheFocusIs) {
    for (int focus : {int{Command3}, int{DayList}}) {
        HWND viewer = open();
        ASSERT_TRUE(viewer);
        press(viewer, Command1);
        const int before = backs_;
        MSG escape{};
        escape.hwnd = GetDlgItem(viewer, focus);
        escape.message = WM_KEYDOWN;
        escape.wParam = VK_ESCAPE;
        escape.lParam = 1;
        SetFocus(escape.hwnd);
        // As the editor's message loop hands keys to the dialog manager.
        EXPECT_TRUE(IsDialogMessageW(viewer, &escape));
        driver::pump();
        EXPECT_EQ(backs_, before + 1) << focus;
        EXPECT_FALSE(IsWindow(viewer)) << focus;
    }
}

TEST_F(ViewerTest, CloseBoxDoesWhatBackDoes) {
    for (UINT message : {UINT{WM_SYSCOMMAND}, UINT{WM_CLOSE}}) {
        HWND viewer = open();
        ASSERT_TRUE(viewer);
        const int before = backs_;
        SendMessageW(viewer, message, message == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);
        driver::pump();
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
    // 125 %, at which the design fits the test's screen of 1024 x 768.
    SendMessageW(viewer, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
    driver::pump();
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, Command3)),
              win32::toPixels({2280, 7200, 1215, 495}, 120));
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, Command8)),
              win32::toPixels({7800, 7200, 975, 495}, 120));
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, DayList)), win32::toPixels({0, 0, 10095, 7080}, 120));
    EXPECT_EQ(driver::logFontOf(GetDlgItem(viewer, Command1)).lfHeight,
              win32::fontHeight(825, 120));
    EXPECT_EQ(driver::logFontOf(GetDlgItem(viewer, DayList)).lfHeight,
              win32::fontHeight(1200, 120));
    EXPECT_EQ(weights(viewer), boldOnly(6)) << "the bold mark stays";
    EXPECT_EQ(driver::listText(GetDlgItem(viewer, DayList)),
              L"Time: 09:00\r\nC:\\sun.exe\r\nRun Style - Normal");
    press(viewer, Command1);
    EXPECT_EQ(driver::logFontOf(GetDlgItem(viewer, Command1)).lfHeight, win32::fontHeight(825, 120))
        << "a day turned bold later gets the new size too";
}

TEST_F(ViewerTest, AtADpiWithoutRoomForItsDesignItsListGivesWayAndItsButtonsStayInView) {
    std::string many;
    for (int i = 0; i < 40; ++i) {
        many += driver::record(("08:" + std::to_string(10 + i)).c_str(), "C:\\app.exe", "Normal",
                               "Monday");
    }
    services_.folder.files["datmon.dat"] = many;
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(viewer, MONITOR_DEFAULTTONEAREST), &monitor));
    ASSERT_EQ(monitor.rcMonitor.right - monitor.rcMonitor.left, 1024) << "the test's screen";
    ASSERT_EQ(monitor.rcMonitor.bottom - monitor.rcMonitor.top, 768);
    const RECT work = monitor.rcWork;
    const auto inside = [&](const RECT& box) {
        return box.left >= work.left && box.top >= work.top && box.right <= work.right &&
               box.bottom <= work.bottom;
    };
    // At 96 DPI the design fits, as designed: the other tests hold its every place.
    RECT frame;
    GetWindowRect(viewer, &frame);
    EXPECT_TRUE(inside(frame));

    // 150 %, where 10095 x 7785 twips are 1010 x 779 pixels: the place Windows suggests keeps
    // the corner and scales the size.
    RECT suggested{frame.left, frame.top, frame.left + (frame.right - frame.left) * 3 / 2,
                   frame.top + (frame.bottom - frame.top) * 3 / 2};
    SendMessageW(viewer, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    driver::pump();
    GetWindowRect(viewer, &frame);
    EXPECT_TRUE(inside(frame)) << frame.left << "," << frame.top << " " << frame.right << ","
                               << frame.bottom;
    RECT client;
    GetClientRect(viewer, &client);
    EXPECT_LT(client.bottom, win32::twipsToPixels(7785, 144)) << "lower than the design";
    HWND list = GetDlgItem(viewer, DayList);
    const win32::PixelRect listPlace = clientPlace(list);
    for (int id = Command1; id <= Command8; ++id) {
        HWND button = GetDlgItem(viewer, id);
        const win32::PixelRect place = clientPlace(button);
        // In the client area, at the bottom as designed, and below the list.
        EXPECT_EQ(client.bottom - (place.top + place.height), win32::twipsToPixels(7785, 144) -
                                                                  win32::twipsToPixels(7200, 144) -
                                                                  win32::twipsToPixels(495, 144))
            << id;
        EXPECT_LE(place.left + place.width, client.right) << id;
        EXPECT_GE(place.top, listPlace.top + listPlace.height) << id;
        RECT onScreen;
        GetWindowRect(button, &onScreen);
        EXPECT_TRUE(inside(onScreen)) << id;
        EXPECT_EQ(place.height, win32::twipsToPixels(495, 144)) << id;
    }
    EXPECT_EQ(listPlace.width, client.right);
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, Command3)).left, win32::twipsToPixels(2280, 144));

    // The list scrolls to its last record.
    press(viewer, Command1);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 40);
    SendMessageW(list, WM_VSCROLL, SB_BOTTOM, 0);
    RECT last;
    SendMessageW(list, LB_GETITEMRECT, 39, reinterpret_cast<LPARAM>(&last));
    RECT listClient;
    GetClientRect(list, &listClient);
    EXPECT_LE(last.bottom, listClient.bottom) << "the last record shows whole";
    EXPECT_GT(last.bottom, 0);

    // Back at 96 DPI, as designed again.
    GetWindowRect(viewer, &suggested);
    SendMessageW(viewer, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    driver::pump();
    GetClientRect(viewer, &client);
    EXPECT_EQ(client.right, 673);
    EXPECT_EQ(client.bottom, 519);
    EXPECT_EQ(clientPlace(list), win32::toPixels({0, 0, 10095, 7080}, 96));
    EXPECT_EQ(clientPlace(GetDlgItem(viewer, Command8)),
              win32::toPixels({7800, 7200, 975, 495}, 96));
}

TEST_F(ViewerTest, JoinsTheEditorsWindowsWhileOpen) {
    // A stand-in for Main keeps the count above zero, as Main does, hidden or not.
    HWND main = CreateWindowExW(0, L"STATIC", L"Main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(main);
    editor::WindowRegistry windows;
    windows.add(main);
    viewer_ = openViewer(
        services_, [] {}, &windows);
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
        services_.folder.files["datsun.dat"] =
            driver::record("09:00", "C:\\sun.exe", "Normal", "Sunday");
    }
    void TearDown() override {
        viewer_.reset();
        DestroyWindow(main_);
        driver::pump();
    }
    void showList() {
        viewer_ = editor::ShowList(
            services_, editor::ScheduleUse::Change, nullptr,
            [this] {
                viewerShownBeforeMainHid_ =
                    !driver::topWindows(GetCurrentProcessId(), kTitle).empty();
                ShowWindow(main_, SW_HIDE);
            },
            [this] { ShowWindow(main_, SW_SHOW); });
        driver::pump();
    }

    HWND main_ = nullptr;
    bool viewerShownBeforeMainHid_ = false;
    testing_support::FakeServices services_;
    std::unique_ptr<editor::Form2> viewer_;
};

TEST_F(ShowListTest, CombinesThenHidesMainAndOpensTheViewer) {
    showList();
    ASSERT_TRUE(viewer_);
    EXPECT_EQ(services_.log, std::vector<std::string>{"helper: copyfle.com"});
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_TRUE(IsWindowVisible(viewer_->hwnd()));
    EXPECT_TRUE(viewerShownBeforeMainHid_) << "one window of the editor shows all along";
    EXPECT_EQ(driver::windowText(viewer_->hwnd()), L"Program to be Run");

    press(viewer_->hwnd(), Command7);  // the services' folder holds the day files
    EXPECT_EQ(driver::listText(GetDlgItem(viewer_->hwnd(), DayList)),
              L"Time: 09:00\r\nC:\\sun.exe\r\nRun Style - Normal");

    press(viewer_->hwnd(), Command8);
    EXPECT_TRUE(IsWindowVisible(main_)) << "Main is back";
    EXPECT_EQ(viewer_->hwnd(), nullptr);

    showList();
    ASSERT_TRUE(viewer_);
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_EQ(driver::listText(GetDlgItem(viewer_->hwnd(), DayList)), L"") << "a new viewer, empty";
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

TEST_F(ViewerTest, ArrowKeysSelectOneRecordAtATimeInTheSelectionColours) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    press(viewer, Command1);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR) << "nothing selected at first";
    EXPECT_EQ(driver::listItem(list, 1), L"Time: 19:45\r\nD:\\\\game.exe\r\nRun Style - Minimize");
    SetFocus(list);
    for (const auto& [key, selected] :
         {std::pair{VK_HOME, 0}, {VK_DOWN, 1}, {VK_DOWN, 1}, {VK_UP, 0}, {VK_END, 1}}) {
        SendMessageW(list, WM_KEYDOWN, key, 0);
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), selected) << "after key " << key;
    }
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const Picture picture = paint(list);
    const auto isHighlight = [&](COLORREF pixel) { return pixel == highlight; };
    EXPECT_GT(picture.count(itemRect(list, 1), isHighlight), 0) << "the selected record";
    EXPECT_EQ(picture.count(itemRect(list, 0), isHighlight), 0) << "the other record";
    EXPECT_EQ(itemRect(list, 1).bottom - itemRect(list, 1).top,
              itemRect(list, 0).bottom - itemRect(list, 0).top)
        << "each record as high as its three lines";
}

TEST_F(ViewerTest, EnterAndADoubleClickStartTheSelectedRecordAsTheLauncherWould) {
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    press(viewer, Command1);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SetFocus(list);
    SendMessageW(viewer, WM_COMMAND, IDOK, 0);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SendMessageW(viewer, WM_COMMAND, MAKEWPARAM(DayList, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(services_.log, (std::vector<std::string>{"start record: C:\\Tools\\app.exe show 3",
                                                       "start record: D:\\\\game.exe show 6"}));
    // Enter on a day button is that button's, not the record's.
    SetFocus(GetDlgItem(viewer, Command7));
    SendMessageW(viewer, WM_COMMAND, IDOK, 0);
    driver::pump();
    EXPECT_EQ(services_.log.size(), 2u);
    EXPECT_EQ(weights(viewer), boldOnly(6));
}

TEST_F(ViewerTest, LookingOnlyRemoveSaysWhatItNeedsAndRemovesNothing) {
    services_.workingFolderPath = "C:\\ProgramData\\Norvell";
    const auto before = services_.folder.files;
    HWND viewer = open(editor::ScheduleUse::LookOnly);
    ASSERT_TRUE(viewer);
    press(viewer, Command1);
    SendMessageW(GetDlgItem(viewer, DayList), LB_SETCURSEL, 0, 0);
    SendMessageW(viewer, WM_COMMAND, Remove, 0);
    ASSERT_EQ(services_.log.size(), 1u) << "no question, no helper";
    EXPECT_TRUE(services_.log[0].starts_with(
        "message: Removing a program from the schedule needs administrator rights"))
        << services_.log[0];
    EXPECT_EQ(services_.folder.files, before);
}

TEST_F(ViewerTest, AMissingProgramIsDrawnGreyWithNotFoundAndItsLineStays) {
    services_.missingPrograms = {"D:\\\\game.exe"};
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    press(viewer, Command1);
    EXPECT_EQ(driver::listItem(list, 1),
              L"Time: 19:45\r\nD:\\\\game.exe (not found)\r\nRun Style - Minimize")
        << "the text is the line as it stands, with the mark a screen reader reads";
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const Picture picture = paint(list);
    const auto isGrey = [&](COLORREF pixel) { return pixel == grey; };
    EXPECT_GT(picture.count(itemRect(list, 1), isGrey), 0) << "the missing one is grey";
    EXPECT_EQ(picture.count(itemRect(list, 0), isGrey), 0) << "the one that exists is not";

    // Its program line reaches as far as the path and " (not found)" after it.
    const win32::ClientDC dc(list);
    const win32::Selected font(dc.get(),
                               reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE path{}, marked{};
    GetTextExtentPoint32W(dc.get(), L"D:\\\\game.exe", 12, &path);
    GetTextExtentPoint32W(dc.get(), L"D:\\\\game.exe (not found)", 24, &marked);
    RECT item = itemRect(list, 1);
    const LONG line = (item.bottom - item.top) / 3;
    RECT programLine{item.left, item.top + line, item.right, item.top + 2 * line};
    RECT beyondThePath = programLine;
    beyondThePath.left = path.cx + 2;
    RECT beyondTheMark = programLine;
    beyondTheMark.left = marked.cx + 2;
    EXPECT_GT(picture.count(beyondThePath, isGrey), 0);
    EXPECT_EQ(picture.count(beyondTheMark, isGrey), 0);
}

TEST_F(ViewerTest, AProgramByAPathTooLongToStartIsDrawnGreyWithThatMark) {
    const std::string program = "C:\\Tools\\" + std::string(250, 'a') + ".exe";
    services_.folder.files["datmon.dat"] =
        driver::record("07:30", program.c_str(), "Max", "Monday") +
        driver::record("08:00", "C:\\Tools\\app.exe", "Max", "Monday");
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    press(viewer, Command1);
    EXPECT_EQ(driver::listItem(list, 0), L"Time: 07:30\r\n" + win32::widen(program) +
                                             L" (path too long)\r\nRun Style - Maximize");
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const Picture picture = paint(list);
    const auto isGrey = [&](COLORREF pixel) { return pixel == grey; };
    EXPECT_GT(picture.count(itemRect(list, 0), isGrey), 0) << "the one too long is grey";
    EXPECT_EQ(picture.count(itemRect(list, 1), isGrey), 0) << "the other is not";
}

TEST_F(ViewerTest, ARecordThatNeverStartsIsDrawnGreyWithThatMark) {
    services_.folder.files["datmon.dat"] = driver::record("25:99", "C:\\app.exe", "Max", "Monday");
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    press(viewer, Command1);
    EXPECT_EQ(driver::listItem(list, 0),
              L"Time: 25:99\r\nC:\\app.exe (never starts)\r\nRun Style - Maximize");
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_GT(paint(list).count(itemRect(list, 0), [&](COLORREF pixel) { return pixel == grey; }),
              0);
}

TEST_F(ViewerTest, ALongProgramLineKeepsTheProgramsOwnNameInView) {
    std::string program = "C:\\";
    // Far wider than the list, and still a path that Windows starts a program by.
    for (int i = 0; i < 8; ++i) program += "A rather long folder name\\";
    program += "app.exe";
    services_.folder.files["datmon.dat"] =
        driver::record("07:30", program.c_str(), "Max", "Monday");
    HWND viewer = open();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, DayList);
    press(viewer, Command1);
    EXPECT_EQ(driver::listItem(list, 0),
              L"Time: 07:30\r\n" + win32::widen(program) + L"\r\nRun Style - Maximize")
        << "the text is the line as it stands";

    const Picture picture = paint(list);
    const RECT item = itemRect(list, 0);
    const LONG height = (item.bottom - item.top) / 3;
    const LONG top = item.top + height;  // the program line
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    LONG right = -1;
    for (LONG x = 0; x < picture.width; ++x) {
        for (LONG y = top; y < top + height; ++y) {
            if (picture.at(x, y) != background) right = x;
        }
    }
    ASSERT_GT(right, 0);
    EXPECT_LT(right, picture.width - 1) << "the line is not cut at the edge";

    // "app.exe" alone, drawn as the list draws its lines, ends the drawn line pixel for pixel.
    const Picture name = drawnPicture(picture.width, height, [&](HDC dc) {
        const win32::Selected font(dc,
                                   reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        RECT all{0, 0, picture.width, height};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutW(dc, 0, 0, L"app.exe", 7);
    });
    LONG nameRight = -1;
    for (LONG x = 0; x < picture.width; ++x) {
        for (LONG y = 0; y < height; ++y) {
            if (name.at(x, y) != background) nameRight = x;
        }
    }
    ASSERT_GT(nameRight, 0);
    int differing = 0;
    for (LONG x = 0; x <= nameRight; ++x) {
        for (LONG y = 0; y < height; ++y) {
            if (picture.at(right - nameRight + x, top + y) != name.at(x, y)) ++differing;
        }
    }
    EXPECT_EQ(differing, 0) << "the line does not end in the program's name";
}
