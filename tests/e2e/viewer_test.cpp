// The day list viewer in the real Norvell.exe: Show List rebuilds the day files with the real
// copyfle.com, hides Main and opens Form2; the day buttons show their day and turn bold; Back
// and the close box bring Main back; a second Show List opens a new, empty viewer.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "driver.hpp"
#include "editor_session.hpp"
#include "editor/win/main_ids.hpp"
#include "editor/win/viewer_ids.hpp"
#include "schedule/record.hpp"
#include "win32/owners.hpp"

using namespace driver;
namespace form2 = editor::form2;

namespace {

std::string record(const char* time, const char* program, const char* style, const char* day) {
    return schedule::formatRecord({time, program, style, day});
}

// Another process's fonts cannot be read from here, so a button's weight is read off the
// screen instead: the dark pixels of its caption. The outer pixels are left out, since the
// frame and the focus rectangle live there.
int captionInk(HWND button) {
    constexpr int kEdge = 4;
    RECT rect;
    if (!GetWindowRect(button, &rect)) return -1;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    int ink = -1;
    if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
        GdiFlush();
        ink = 0;
        const auto* pixels = static_cast<const unsigned char*>(bits);
        for (int y = kEdge; y < height - kEdge; ++y) {
            for (int x = kEdge; x < width - kEdge; ++x) {
                const unsigned char* pixel = pixels + (y * width + x) * 4;
                if (pixel[0] + pixel[1] + pixel[2] < 300) ++ink;
            }
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

using Inks = std::array<int, 7>;

Inks dayInks(HWND viewer) {
    Inks inks{};
    for (int day = 0; day < 7; ++day) {
        inks[static_cast<std::size_t>(day)] = captionInk(GetDlgItem(viewer, form2::Command1 + day));
    }
    return inks;
}

// Whether the day buttons look as they did with no day bold, but for `boldDay` (-1: none),
// whose caption must carry clearly more ink.
bool looksBold(const Inks& now, const Inks& regular, int boldDay) {
    for (int day = 0; day < 7; ++day) {
        const auto i = static_cast<std::size_t>(day);
        const bool bold = now[i] * 100 > regular[i] * 125;
        if (bold != (day == boldDay)) return false;
    }
    return true;
}

std::string describe(const Inks& inks) {
    std::string text;
    for (int ink : inks) text += std::to_string(ink) + " ";
    return text;
}

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
        editor_->press(editor::Command2);
        HWND viewer = waitForWindow(editor_->id(), form2::kTitle);
        EXPECT_TRUE(viewer) << "the viewer did not open";
        return viewer;
    }

    bool mainVisible() const { return IsWindowVisible(editor_->main()) != FALSE; }

    TempFolder work_;
    std::unique_ptr<EditorSession> editor_;
};

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
    ASSERT_TRUE(editor_->selectItem(editor::List2, L"07"));
    ASSERT_TRUE(editor_->selectItem(editor::List3, L"30"));
    ASSERT_TRUE(editor_->selectItem(editor::List1, L"AM"));
    ASSERT_TRUE(editor_->selectItem(editor::List4, L"Maximize"));
    EXPECT_EQ(editor_->pressAndReadMessage(editor::Command1), L"Program Picked, Next one Please");
    // beta.exe for Monday alone at 1:15 PM, hidden: pick number 3.
    ASSERT_TRUE(editor_->selectFile(L"beta.exe"));
    for (int day = 1; day < 7; ++day) editor_->tick(day, false);
    ASSERT_TRUE(editor_->selectItem(editor::List2, L"01"));
    ASSERT_TRUE(editor_->selectItem(editor::List3, L"15"));
    ASSERT_TRUE(editor_->selectItem(editor::List1, L"PM"));
    ASSERT_TRUE(editor_->selectItem(editor::List4, L"Hide"));
    EXPECT_EQ(editor_->pressAndReadMessage(editor::Command1), L"Program Picked, Next one Please");
    ASSERT_EQ(work_.names(),
              (std::vector<std::wstring>{L"2Mon.dat", L"2Sun.dat", L"3Mon.dat", L"datmon.dat"}));
    const std::wstring folder = windowText(editor_->control(editor::Dir1));
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
    EXPECT_EQ(windowText(list), L"") << "a new viewer shows nothing";

    // The captions as they look with no day bold; they must hold still once painted.
    Inks regular{};
    EXPECT_TRUE(pollUntil(
        [&] {
            const Inks now = dayInks(viewer);
            const bool settled = now == regular && now[0] > 0;
            regular = now;
            return settled;
        },
        5s))
        << describe(regular);

    click(GetDlgItem(viewer, form2::Command7));
    EXPECT_TRUE(pollUntil([&] { return windowText(list) == sunday; }, 5s))
        << utf8(windowText(list)) << "\nexpected\n"
        << utf8(sunday);
    Inks now{};
    EXPECT_TRUE(pollUntil([&] { return looksBold(now = dayInks(viewer), regular, 6); }, 5s))
        << "Sunday alone bold: " << describe(now) << "against " << describe(regular);

    click(GetDlgItem(viewer, form2::Command1));
    EXPECT_TRUE(pollUntil([&] { return windowText(list) == monday; }, 5s))
        << utf8(windowText(list)) << "\nexpected\n"
        << utf8(monday);
    EXPECT_TRUE(pollUntil([&] { return looksBold(now = dayInks(viewer), regular, 0); }, 5s))
        << "Monday alone bold: " << describe(now) << "against " << describe(regular);

    click(GetDlgItem(viewer, form2::Command8));
    EXPECT_TRUE(pollUntil([&] { return mainVisible() && !IsWindow(viewer); }, 5s))
        << "Back to Main Menu shows Main and closes the viewer";

    viewer = showList();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(pollUntil([&] { return !mainVisible(); }, 5s));
    list = GetDlgItem(viewer, form2::DayList);
    EXPECT_EQ(windowText(list), L"") << "the second viewer opens empty";
    EXPECT_TRUE(pollUntil([&] { return looksBold(now = dayInks(viewer), regular, -1); }, 5s))
        << "no day bold: " << describe(now) << "against " << describe(regular);

    PostMessageW(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(pollUntil([&] { return mainVisible() && !IsWindow(viewer); }, 5s))
        << "the close box shows Main and closes the viewer";
    EXPECT_FALSE(editor_->process().wait(0ms)) << "the editor still runs";

    // With the viewer gone for good, closing Main is closing the last window.
    PostMessageW(editor_->main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(editor_->process().wait(10s), std::optional<DWORD>(0));
}

TEST_F(ViewerEndToEnd, ShowListReplacesOldDayFilesAndEmptyDaysAreQuiet) {
    const std::wstring sunday = L"Time: 07:30\r\nC:\\Tools\\app.exe\r\nRun Style - Maximize";
    work_.write(L"2Sun.dat", record("07:30", "C:\\Tools\\app.exe", "Max", "Sunday"));
    start();
    HWND viewer = showList();
    ASSERT_TRUE(viewer);
    HWND list = GetDlgItem(viewer, form2::DayList);
    click(GetDlgItem(viewer, form2::Command7));
    ASSERT_TRUE(pollUntil([&] { return windowText(list) == sunday; }, 5s));
    // The Monday file from before is gone: copyfle.com rebuilt it empty before the viewer
    // opened, and the empty day shows no message.
    click(GetDlgItem(viewer, form2::Command1));
    EXPECT_TRUE(pollUntil([&] { return windowText(list).empty(); }, 5s)) << utf8(windowText(list));
    EXPECT_FALSE(waitForMessageBox(editor_->id(), 300ms)) << "no message for an empty day";
    EXPECT_TRUE(IsWindowVisible(viewer));
}
