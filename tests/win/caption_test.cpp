// Every caption of Main, the viewer and About whole in its control, in the face the system
// chose, and the bold designs drawn bold: at the DPI this program runs at, and at 100 % to
// 200 % scaling, each in a program of its own started with the prefix's LogPixels at that DPI
// (the system's DPI is read once, when a program starts). The program carries Norvell's
// manifest, so its buttons are common controls 6 with visual styles and it is aware of the DPI
// as the editor is.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../host/fake_editor.hpp"
#include "driver.hpp"
#include "fonts.hpp"
#include "access_keys.hpp"
#include "log_pixels.hpp"
#include "editor/win/about_window.hpp"
#include "editor/win/change_dialog.hpp"
#include "editor/win/fonts.hpp"
#include "editor/win/main_window.hpp"
#include "editor/win/viewer_window.hpp"
#include "win32/caption.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace {

namespace ids = editor::main;
namespace viewer = editor::form2;

constexpr wchar_t kExpectedDpi[] = L"NORVELL_EXPECTED_DPI";

std::wstring textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring classOf(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    return name;
}

HFONT fontHandleOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

std::string describe(HFONT font) {
    LOGFONTW made{};
    GetObjectW(font, sizeof made, &made);
    return win32::narrow(made.lfFaceName) + " " + std::to_string(-made.lfHeight) + " px" +
           (made.lfWeight >= FW_BOLD ? " bold" : "");
}

// Where the control draws its caption, as Microsoft documents the controls: a label in its
// client area, lines broken between words unless it is SS_LEFTNOWORDWRAP or SS_SIMPLE; a push
// button inside its theme's content area for the button part (without visual styles, its raised
// edge and the default button's line) less its text margins, on one line unless BS_MULTILINE;
// with `checkBoxes`, a check box's right of its box and the gap after it. False for a control
// that shows no caption.
bool captionArea(HWND control, RECT& area, UINT& format, bool checkBoxes = false) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    RECT client{};
    GetClientRect(control, &client);
    const std::wstring kind = classOf(control);
    if (kind == L"Static") {
        const DWORD type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return false;
        area = client;
        format = DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    } else if (kind == L"Button" && checkBoxes && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        const unsigned dpi = GetDpiForWindow(control);
        SIZE box{GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi), 0};
        const win32::ClientDC dc(control);
        if (HTHEME theme = GetWindowTheme(control))
            GetThemePartSize(theme, dc.get(), BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_DRAW,
                             &box);
        area = client;
        area.left += box.cx + 2 * GetSystemMetricsForDpi(SM_CXEDGE, dpi);
        format = DT_SINGLELINE;
    } else if (kind == L"Button") {
        const DWORD type = style & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return false;
        area = client;
        const unsigned dpi = GetDpiForWindow(control);
        if (HTHEME theme = GetWindowTheme(control)) {
            const win32::ClientDC dc(control);
            GetThemeBackgroundContentRect(theme, dc.get(), BP_PUSHBUTTON, PBS_NORMAL, &client,
                                          &area);
        } else {
            InflateRect(&area,
                        -(GetSystemMetricsForDpi(SM_CXEDGE, dpi) +
                          GetSystemMetricsForDpi(SM_CXBORDER, dpi) +
                          GetSystemMetricsForDpi(SM_CXFOCUSBORDER, dpi)),
                        -(GetSystemMetricsForDpi(SM_CYEDGE, dpi) +
                          GetSystemMetricsForDpi(SM_CYBORDER, dpi) +
                          GetSystemMetricsForDpi(SM_CYFOCUSBORDER, dpi)));
        }
        RECT margin{};
        if (SendMessageW(control, BCM_GETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin))) {
            area = {area.left + margin.left, area.top + margin.top, area.right - margin.right,
                    area.bottom - margin.bottom};
        }
        format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    } else {
        return false;
    }
    return !textOf(control).empty();
}

// The caption measured in the control's own font with DrawText, wrapped as the control wraps
// it, against the area it is drawn in.
::testing::AssertionResult wholeInItsControl(HWND control, bool checkBoxes = false) {
    RECT area{};
    UINT format = 0;
    if (!captionArea(control, area, format, checkBoxes)) {
        return ::testing::AssertionFailure()
               << "control " << GetDlgCtrlID(control) << " shows no caption";
    }
    const std::wstring text = textOf(control);
    const win32::ClientDC dc(control);
    const win32::Selected selected(dc.get(), fontHandleOf(control));
    const LONG width = area.right - area.left, height = area.bottom - area.top;
    RECT measured{0, 0, width, height};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &measured,
              format | DT_CALCRECT);
    const LONG needWidth = measured.right - measured.left;
    const LONG needHeight = measured.bottom - measured.top;
    const std::string what = "\"" + win32::narrow(text) + "\" in " +
                             describe(fontHandleOf(control)) + ": " + std::to_string(needWidth) +
                             " x " + std::to_string(needHeight) + " in " + std::to_string(width) +
                             " x " + std::to_string(height);
    if (needWidth > width || needHeight > height) {
        return ::testing::AssertionFailure() << what;
    }
    return ::testing::AssertionSuccess() << what;
}

// The control's client area as it draws it (WM_PRINTCLIENT), with `text` as its caption.
std::vector<DWORD> drawn(HWND control, const std::wstring& text, LONG width, LONG height) {
    const std::wstring caption = textOf(control);
    SetWindowTextW(control, text.c_str());
    const win32::ClientDC screen(control);
    const win32::UniqueDC dc(CreateCompatibleDC(screen.get()));
    const win32::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        const win32::Selected canvas(dc.get(), bitmap.get());
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &info, 0);
    SetWindowTextW(control, caption.c_str());
    return pixels;
}

// The caption's ink (what the control draws with it, less what it draws without) keeps a pixel
// away from all else it draws (a button's frame and focus rectangle), and off a label's right
// and bottom edges, and its left one when centred.
::testing::AssertionResult inkClearOfEdges(HWND control) {
    // A button draws its focus rectangle only beside a caption: it would count as ink.
    if (GetFocus() == control) SetFocus(nullptr);
    RECT client{};
    GetClientRect(control, &client);
    const LONG w = client.right, h = client.bottom;
    const std::vector<DWORD> with = drawn(control, textOf(control), w, h);
    const std::vector<DWORD> without = drawn(control, L"", w, h);
    const auto at = [&](const std::vector<DWORD>& pixels, LONG x, LONG y) {
        return pixels[static_cast<std::size_t>(std::clamp(y, 0L, h - 1) * w +
                                               std::clamp(x, 0L, w - 1))];
    };
    const DWORD face = at(without, w / 2, h / 2);
    const bool label = classOf(control) == L"Static";
    const bool centred = (GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            if (at(with, x, y) == at(without, x, y)) continue;
            bool touches = label && (x == w - 1 || y == h - 1 || (centred && x == 0));
            for (LONG n = 0; n < 9; ++n)
                touches |= at(without, x + n % 3 - 1, y + n / 3 - 1) != face;
            if (touches) return ::testing::AssertionFailure() << "ink at " << x << ", " << y;
        }
    }
    return ::testing::AssertionSuccess();
}

// The control's font draws bold in what comes out.
::testing::AssertionResult drawsBold(HWND control) {
    return driver::drawsBold(fontHandleOf(control));
}

}  // namespace

TEST(Captions, WholeInTheirControlsAndBoldWhereDesignedAtTheSystemsDpi) {
    const unsigned dpi = GetDpiForSystem();
    if (const wchar_t* expected = _wgetenv(kExpectedDpi)) {
        ASSERT_EQ(dpi, static_cast<unsigned>(_wtoi(expected))) << "LogPixels did not hold";
    }
    editor::PlatformServices platform;
    editor::WindowRegistry windows;
    editor::MainWindow main(platform, windows);
    ASSERT_TRUE(main.create());
    testing_support::FakeServices services;
    editor::Form2 form2(services, editor::ScheduleUse::Change, [] {});
    ASSERT_TRUE(form2.create(nullptr));
    editor::Form3 form3;
    ASSERT_TRUE(form3.create(nullptr));
    ASSERT_EQ(GetDpiForWindow(main.hwnd()), dpi);

    const int mainCaptions[] = {ids::Label9,   ids::Label1,   ids::Label2,   ids::Label3,
                                ids::Label4,   ids::Label5,   ids::Label6,   ids::Label7,
                                ids::Label8,   ids::Label10,  ids::Program,  ids::Command1,
                                ids::Command2, ids::Command3, ids::Command5, ids::Command4};
    for (int id : mainCaptions) {
        EXPECT_TRUE(wholeInItsControl(GetDlgItem(main.hwnd(), id))) << "Main's " << id;
        EXPECT_TRUE(inkClearOfEdges(GetDlgItem(main.hwnd(), id))) << "Main's " << id;
    }
    for (int id : {ids::Label9, ids::Program}) {
        EXPECT_TRUE(drawsBold(GetDlgItem(main.hwnd(), id))) << "Main's " << id;
    }
    EXPECT_TRUE(wholeInItsControl(GetDlgItem(form3.hwnd(), editor::form3::Label1)));

    // Each day in turn bold, as its button makes it, and every caption still whole.
    for (int day = -1; day < 7; ++day) {
        if (day >= 0) {
            SendMessageW(GetDlgItem(form2.hwnd(), viewer::Command1 + day), BM_CLICK, 0, 0);
            driver::pump();
            EXPECT_TRUE(drawsBold(GetDlgItem(form2.hwnd(), viewer::Command1 + day))) << day;
        }
        for (int id = viewer::Command1; id <= viewer::Command8; ++id) {
            EXPECT_TRUE(wholeInItsControl(GetDlgItem(form2.hwnd(), id)))
                << "the viewer's " << id << " with day " << day << " bold";
            EXPECT_TRUE(inkClearOfEdges(GetDlgItem(form2.hwnd(), id))) << "the viewer's " << id;
        }
    }

    // No other control shows a caption: the check boxes are as small as their tick squares.
    int captions = 0;
    for (HWND window : {main.hwnd(), form2.hwnd(), form3.hwnd()}) {
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT area;
            UINT format;
            if (captionArea(child, area, format)) ++captions;
        }
    }
    EXPECT_EQ(captions, static_cast<int>(std::size(mainCaptions)) + 1 + 8);
    windows.closeAll();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Where a raster caption fits by its measure alone, its ink keeps clear at every width near
// it, a made-up bold's overstrike too.
TEST(Captions, ARasterCaptionThatFitsByItsMeasureKeepsItsInkClear) {
    const win32::UniqueDC measuring(CreateCompatibleDC(nullptr));
    const win32::UniqueFont font(win32::createFont(editor::fonts::kSansSerifBold, 96));
    for (LONG width = 20; width < 40; ++width) {
        for (DWORD alignment : {SS_LEFT, SS_CENTER}) {
            const HWND label = CreateWindowExW(0, WC_STATICW, L"Wed", WS_POPUP | alignment, 0, 0,
                                               width, 20, nullptr, nullptr, nullptr, nullptr);
            SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
            win32::ButtonMargins margins;
            const auto layout = win32::captionLayout(label, 96, margins);
            ASSERT_TRUE(layout) << width;
            if (win32::captionFits(measuring.get(), *layout, font.get())) {
                EXPECT_TRUE(inkClearOfEdges(label)) << width << " px, style " << alignment;
            }
            DestroyWindow(label);
        }
    }
}

TEST(Captions, WholeAndBoldAtEveryScaleFrom100To200Percent) {
    if (_wgetenv(kExpectedDpi)) GTEST_SKIP() << "a program started by this test";
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH + 1), 0u);
    for (const DWORD dpi : {96u, 120u, 144u, 168u, 192u}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const driver::LogPixels scale(dpi);
        ASSERT_TRUE(scale.set());
        SetEnvironmentVariableW(kExpectedDpi, std::to_wstring(dpi).c_str());
        const driver::Process program(
            self,
            L"--gtest_filter=Captions.WholeInTheirControlsAndBoldWhereDesignedAtTheSystemsDpi:"
            L"ChangeRecord.*AtTheSystemsDpi",
            driver::testBinDir());
        SetEnvironmentVariableW(kExpectedDpi, nullptr);
        EXPECT_EQ(program.wait(std::chrono::seconds(60)), std::optional<DWORD>(0))
            << "its failures are above";
    }
}

namespace {
// What to do inside the Change Record dialog's own message loop, once it shows.
std::function<void(HWND)> inChangeRecord;
void CALLBACK whenChangeRecordShows(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowW(L"#32770", L"Change Record");
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    if (!IsWindowVisible(dialog) || process != GetCurrentProcessId()) return;
    KillTimer(nullptr, timer);
    inChangeRecord(dialog);
}
}  // namespace

// Every control of the dialog in tab order is reached by Alt and the access key of its own
// caption or of the label before it; a box's key ticks it too; and Esc after all that changes
// nothing.
TEST(ChangeRecord, CaptionsWholeAccessKeysReachEveryControlAndEscCancelsAtTheSystemsDpi) {
    editor::RecordChoices choices = editor::choicesOf({"07:30", "C:\\a.exe", "Max", "Monday"}, 0);
    const editor::RecordChoices shown = choices;
    std::vector<std::wstring> captions;
    int reached = 0;
    inChangeRecord = [&](HWND dialog) {
        std::wstring label;
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT area;
            UINT format;
            if (captionArea(child, area, format, true)) {
                EXPECT_TRUE(wholeInItsControl(child, true));
                captions.push_back(textOf(child));
            }
            if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)) {
                label = textOf(child);
                continue;
            }
            const wchar_t key =
                driver::accessKey(classOf(child) == L"Button" ? textOf(child) : label);
            EXPECT_NE(key, 0) << GetDlgCtrlID(child);
            if (GetDlgCtrlID(child) == IDOK || GetDlgCtrlID(child) == IDCANCEL) continue;
            SetFocus(GetDlgItem(dialog, IDCANCEL));
            EXPECT_TRUE(driver::pressAltWith(dialog, GetFocus(), key)) << char(key);
            EXPECT_EQ(GetFocus(), child) << char(key);
            ++reached;
        }
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    ASSERT_TRUE(SetTimer(nullptr, 0, 20, whenChangeRecordShows));
    bool chosen = true;
    ASSERT_TRUE(editor::askRecordChanges(nullptr, "C:\\a.exe", choices, chosen));
    EXPECT_FALSE(chosen);
    EXPECT_EQ(choices, shown);
    EXPECT_EQ(reached, 12) << "the program, four lists and seven days";
    EXPECT_EQ(captions.size(), 14u) << "five labels, seven days, OK and Cancel";
    EXPECT_FALSE(driver::accessKeysClash(captions));
}
