// Main in this process: its menu, its controls behind MainControls, the one-row lists, the
// pickers on a temporary folder, a DPI change, and the window registry that ends the editor.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <span>
#include <stdexcept>

#include "access_keys.hpp"
#include "driver.hpp"
#include "fonts.hpp"
#include "editor/win/about_ids.hpp"
#include "editor/win/main_ids.hpp"
#include "editor/win/main_window.hpp"
#include "editor/win/window.hpp"
#include "win32/error.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

using editor::Field;
using editor::List;

namespace {
// Whether a quit message waits in this thread's queue; takes it out.
bool quitPosted() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

class PlainWindow final : public editor::Window {
  public:
    bool open(editor::WindowRegistry* registry) {
        static constexpr editor::WindowDesign kDesign{
            L"NorvellTestWindow", L"plain", WS_OVERLAPPEDWINDOW, 0, {0, 0, 3000, 1500}, {}};
        return static_cast<bool>(create(kDesign, registry));
    }
    int created = 0;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProcW(hwnd(), message, wParam, lParam);
    }
    schedule::Outcome OnCreate() override {
        ++created;
        return schedule::Outcome::success();
    }
};

// A window whose making fails in one of the ways a real one can.
class FailingWindow final : public editor::Window {
  public:
    enum class Fault { ControlClassMissing, OnCreateRefuses, OnCreateThrows };
    explicit FailingWindow(Fault fault) : fault_(fault) {}
    schedule::Outcome open(editor::WindowRegistry* registry) {
        static constexpr editor::ControlRow kMissing[] = {
            {100, L"NoSuchControlClass", L"", WS_VISIBLE, 0, {0, 0, 100, 100}, nullptr}};
        const editor::WindowDesign design{L"NorvellFailingWindow",
                                          L"failing",
                                          WS_OVERLAPPEDWINDOW,
                                          0,
                                          {0, 0, 3000, 1500},
                                          fault_ == Fault::ControlClassMissing
                                              ? std::span<const editor::ControlRow>(kMissing)
                                              : std::span<const editor::ControlRow>()};
        return create(design, registry);
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProcW(hwnd(), message, wParam, lParam);
    }
    schedule::Outcome OnCreate() override {
        if (fault_ == Fault::OnCreateThrows) throw std::runtime_error("the test throws");
        if (fault_ == Fault::OnCreateRefuses) return schedule::Outcome::failure("the test refuses");
        return schedule::Outcome::success();
    }
    Fault fault_;
};

std::vector<std::wstring> items(HWND list) {
    std::vector<std::wstring> texts;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) texts.push_back(editor::listBoxText(list, i));
    return texts;
}

win32::PixelRect placeOf(HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
    return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

struct Editor {
    editor::PlatformServices services;
    editor::WindowRegistry windows;
    editor::MainWindow main{services, windows};
    Editor() {
        EXPECT_TRUE(main.create());
        services.setOwner(main.hwnd());
    }
    ~Editor() { quitPosted(); }
    HWND control(int id) const { return GetDlgItem(main.hwnd(), id); }
};
}  // namespace

TEST(WindowRegistry, TheEditorEndsWithItsLastWindowHiddenOnesCounting) {
    quitPosted();
    editor::WindowRegistry windows;
    PlainWindow first, second;
    ASSERT_TRUE(first.open(&windows));
    ASSERT_TRUE(second.open(&windows));
    EXPECT_EQ(first.created, 1);
    EXPECT_EQ(windows.count(), 2u);
    ShowWindow(second.hwnd(), SW_HIDE);
    DestroyWindow(first.hwnd());
    EXPECT_EQ(first.hwnd(), nullptr);
    EXPECT_EQ(windows.count(), 1u);
    EXPECT_FALSE(quitPosted()) << "a hidden window still counts as open";
    DestroyWindow(second.hwnd());
    EXPECT_EQ(windows.count(), 0u);
    EXPECT_TRUE(quitPosted());
}

TEST(WindowRegistry, CloseAllDestroysEveryWindowAndAnObjectLetsGoOfItsWindow) {
    quitPosted();
    editor::WindowRegistry windows;
    PlainWindow kept;
    ASSERT_TRUE(kept.open(&windows));
    HWND keptWindow = kept.hwnd();
    {
        PlainWindow shortLived;
        ASSERT_TRUE(shortLived.open(&windows));
        EXPECT_EQ(windows.count(), 2u);
    }
    EXPECT_EQ(windows.count(), 1u) << "the object's end closes its window";
    EXPECT_FALSE(quitPosted());
    PlainWindow another;
    ASSERT_TRUE(another.open(&windows));
    windows.closeAll();
    EXPECT_FALSE(IsWindow(keptWindow));
    EXPECT_EQ(another.hwnd(), nullptr);
    EXPECT_EQ(windows.count(), 0u);
    EXPECT_TRUE(quitPosted());

    PlainWindow outside;  // a window that does not count
    ASSERT_TRUE(outside.open(nullptr));
    DestroyWindow(outside.hwnd());
    EXPECT_FALSE(quitPosted());
}

TEST(WindowCreation, AFailureInWmCreateIsTheReasonAndLeavesNoWindow) {
    using Fault = FailingWindow::Fault;
    // The system's reason for a missing control class: Windows and Wine name it differently.
    const std::vector<std::string> missingClass{win32::systemReason(ERROR_CANNOT_FIND_WND_CLASS),
                                                win32::systemReason(ERROR_CLASS_DOES_NOT_EXIST)};
    const std::pair<Fault, std::vector<std::string>> cases[] = {
        {Fault::ControlClassMissing, missingClass},
        {Fault::OnCreateRefuses, {"the test refuses"}},
        {Fault::OnCreateThrows, {"the test throws"}},
    };
    for (const auto& [fault, reasons] : cases) {
        editor::WindowRegistry windows;
        FailingWindow window(fault);
        const schedule::Outcome created = window.open(&windows);
        EXPECT_FALSE(created);
        EXPECT_NE(std::find(reasons.begin(), reasons.end(), created.error), reasons.end())
            << created.error;
        EXPECT_EQ(window.hwnd(), nullptr);
        EXPECT_EQ(windows.count(), 0u);
        EXPECT_TRUE(driver::topWindows(GetCurrentProcessId(), L"failing", {}, false).empty());
        quitPosted();
    }
}

TEST(MainWindow, MenuTitleAndFrame) {
    Editor editor;
    HWND main = editor.main.hwnd();
    EXPECT_EQ(editor.windows.count(), 1u);
    EXPECT_FALSE(IsWindowVisible(main)) << "shown only by the loading";
    HMENU bar = GetMenu(main);
    ASSERT_NE(bar, nullptr);
    struct Menu {
        const wchar_t* caption;
        std::vector<std::pair<int, std::wstring>> items;
    };
    // The menus' access keys as written: Alt+S, R restores cleared picks. Browsing picks a
    // program, the others look after the schedule: a separator parts them.
    const Menu menus[] = {
        {L"&Schedule",
         {{editor::main::BrowseForProgram, L"&Browse for a Program...\tCtrl+O"},
          {0, L""},
          {editor::main::RestoreCleared, L"&Restore Cleared Picks"},
          {editor::main::LogonHistory, L"Logon &History"},
          {editor::main::DeploymentStatus, L"&Deployment Status..."}}},
        {L"&Help",
         {{editor::main::About, L"&About"},
          {editor::main::Readme, L"&Readme"},
          {editor::main::Disc, L"&Disclaimer"}}},
    };
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(std::size(menus)));
    for (int m = 0; m < static_cast<int>(std::size(menus)); ++m) {
        wchar_t caption[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(m), caption, 64, MF_BYPOSITION);
        EXPECT_STREQ(caption, menus[m].caption);
        HMENU menu = GetSubMenu(bar, m);
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(menus[m].items.size()));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const auto& [id, text] = menus[m].items[static_cast<std::size_t>(i)];
            EXPECT_EQ(static_cast<int>(GetMenuItemID(menu, i)), id);
            GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
            EXPECT_EQ(std::wstring(caption), text);
        }
    }
    // Access keys as the menus and the buttons hold them: none twice in one menu, nor among the
    // bar's and the window's buttons, which Alt with a letter reaches alike.
    std::vector<std::wstring> barAndButtons = driver::menuCaptions(bar);
    for (const std::wstring& caption : driver::controlCaptions(main)) {
        barAndButtons.push_back(caption);
    }
    EXPECT_FALSE(driver::accessKeysClash(barAndButtons));
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        EXPECT_FALSE(driver::accessKeysClash(driver::menuCaptions(GetSubMenu(bar, m)))) << m;
    }

    RECT client;
    GetClientRect(main, &client);
    const unsigned dpi = GetDpiForWindow(main);
    EXPECT_EQ(client.right, win32::twipsToPixels(9135, dpi));
    EXPECT_EQ(client.bottom, win32::twipsToPixels(5085, dpi));
}

namespace {
// The buttons a click reached, by id, instead of their handlers: Main's own would show
// messages and start programs.
std::vector<int> clicked;
WNDPROC mainProcedure = nullptr;
LRESULT CALLBACK RecordClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        clicked.push_back(LOWORD(wParam));
        return 0;
    }
    return CallWindowProcW(mainProcedure, window, message, wParam, lParam);
}
}  // namespace

TEST(MainWindow, AltWithEachButtonsAccessKeyPressesThatButton) {
    Editor editor;
    editor.main.show();
    HWND main = editor.main.hwnd();
    mainProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordClicks)));
    const int buttons[] = {editor::main::Command1, editor::main::Command2, editor::main::Command3,
                           editor::main::Command5, editor::main::Command4};
    for (int id : buttons) {
        const wchar_t key = driver::accessKey(driver::windowText(editor.control(id)));
        ASSERT_NE(key, 0) << "button " << id << " has no access key";
        clicked.clear();
        // From another control, as the keys work wherever the focus is in the window.
        EXPECT_TRUE(driver::pressAltWith(main, editor.control(editor::main::File1), key));
        EXPECT_EQ(clicked, std::vector<int>{id}) << "Alt+" << static_cast<char>(key);
    }
    SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mainProcedure));
}

TEST(MainWindow, FontsAsNamedInPoints) {
    Editor editor;
    struct Case {
        int id;
        LONG height;  // at 96 DPI
        LONG weight;
    };
    const Case cases[] = {
        {editor::main::Label9, -19, FW_BOLD},   {editor::main::Program, -11, FW_BOLD},
        {editor::main::List1, -16, FW_NORMAL},  {editor::main::List4, -16, FW_NORMAL},
        {editor::main::Label1, -11, FW_NORMAL}, {editor::main::Command1, -11, FW_NORMAL},
        {editor::main::File1, -11, FW_NORMAL},  {editor::main::Check1 + 6, -11, FW_NORMAL},
    };
    ASSERT_EQ(GetDpiForWindow(editor.main.hwnd()), 96u);
    ASSERT_TRUE(driver::fontInstalled(L"MS Sans Serif"));
    const win32::ClientDC screen(nullptr);
    for (const Case& c : cases) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(editor.control(c.id), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << c.id;
        LOGFONTW made{};
        GetObjectW(font, sizeof made, &made);
        EXPECT_EQ(made.lfHeight, c.height) << c.id;
        EXPECT_EQ(made.lfWeight, c.weight) << c.id;
        wchar_t face[LF_FACESIZE] = {};
        TEXTMETRICW metrics{};
        {
            const win32::Selected selected(screen.get(), font);
            GetTextFaceW(screen.get(), LF_FACESIZE, face);
            GetTextMetricsW(screen.get(), &metrics);
        }
        EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, -c.height) << c.id;
        if (c.id == editor::main::Label9) {
            const std::wstring serifs[] = {
                L"Book Antiqua",   L"Palatino Linotype", L"Palatino",        L"P052",
                L"URW Palladio L", L"Georgia",           L"Times New Roman", L"Liberation Serif",
                L"DejaVu Serif"};
            EXPECT_NE(std::find(std::begin(serifs), std::end(serifs), face), std::end(serifs))
                << "a serif for Book Antiqua, not " << win32::narrow(face);
            EXPECT_EQ(made.lfPitchAndFamily & 0xF0, FF_ROMAN);
        } else {
            EXPECT_STREQ(face, L"MS Sans Serif") << c.id;
        }
    }
}

TEST(MainWindow, ControlsReadAndChangeExactly) {
    Editor editor;
    editor::MainControls& controls = editor.main.controls();
    for (int day = 0; day < 7; ++day) {
        EXPECT_FALSE(controls.dayTicked(day));
        controls.setDayTicked(day, day % 2 == 0);
    }
    for (int day = 0; day < 7; ++day) {
        EXPECT_EQ(controls.dayTicked(day), day % 2 == 0) << day;
        EXPECT_EQ(SendMessageW(editor.control(editor::main::Check1 + day), BM_GETCHECK, 0, 0),
                  day % 2 == 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    EXPECT_FALSE(controls.dayTicked(7));

    EXPECT_EQ(controls.currentItem(List::List1), "") << "nothing chosen before the loading";
    controls.selectItem(List::List1, "PM");
    EXPECT_EQ(controls.currentItem(List::List1), "PM");
    controls.selectItem(List::List1, "am");  // words are compared with their case
    EXPECT_EQ(controls.currentItem(List::List1), "PM");
    controls.selectItem(List::List4, "Maximize");
    EXPECT_EQ(controls.currentItem(List::List4), "Maximize");
    controls.selectItem(List::List4, "Max");
    EXPECT_EQ(controls.currentItem(List::List4), "Maximize");
    EXPECT_EQ(items(editor.control(editor::main::List2)),
              (std::vector<std::wstring>{L"01", L"02", L"03", L"04", L"05", L"06", L"07", L"08",
                                         L"09", L"10", L"11", L"12"}));
    EXPECT_EQ(items(editor.control(editor::main::List3)),
              (std::vector<std::wstring>{L"00", L"15", L"30", L"45"}));

    EXPECT_EQ(controls.text(Field::Text1), "Text1");
    EXPECT_EQ(controls.text(Field::Text3), "0");
    EXPECT_EQ(controls.text(Field::Text4), "");
    controls.setText(Field::Text1, "C:\\Caf\xC3\xA9\\app.exe");
    controls.setText(Field::Text4, "12");
    EXPECT_EQ(controls.text(Field::Text1), "C:\\Caf\xC3\xA9\\app.exe");
    EXPECT_EQ(controls.text(Field::Text4), "12");
    EXPECT_EQ(driver::windowText(editor.control(editor::main::Text4)), L"12");
}

TEST(MainWindow, OneRowListsShowOneItemAndScrollingMovesTheCurrentOne) {
    Editor editor;
    editor::MainControls& controls = editor.main.controls();
    for (int id :
         {editor::main::List1, editor::main::List2, editor::main::List3, editor::main::List4}) {
        HWND list = editor.control(id);
        RECT client;
        GetClientRect(list, &client);
        EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), client.bottom) << id;
        SCROLLINFO bar{sizeof bar, SIF_RANGE, 0, 0, 0, 0, 0};
        EXPECT_TRUE(GetScrollInfo(list, SB_VERT, &bar)) << id;
        EXPECT_EQ(bar.nMax + 1, SendMessageW(list, LB_GETCOUNT, 0, 0)) << id << ": its scroll bar";
    }
    controls.selectItem(List::List2, "12");
    HWND hours = editor.control(editor::main::List2);
    EXPECT_EQ(SendMessageW(hours, LB_GETTOPINDEX, 0, 0), 11) << "the current item is in view";
    SendMessageW(hours, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(controls.currentItem(List::List2), "11");
    SendMessageW(hours, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(controls.currentItem(List::List2), "01");
    SendMessageW(hours, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(controls.currentItem(List::List2), "02");
    SendMessageW(hours, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(controls.currentItem(List::List2), "03");
    EXPECT_EQ(SendMessageW(hours, LB_GETTOPINDEX, 0, 0), 2);
}

TEST(MainWindow, PickersShowATemporaryFolder) {
    driver::TempFolder temp;
    for (const wchar_t* name : {L"zeta.exe", L"Alpha.txt", L"beta.dat", L"hidden.ini"}) {
        temp.write(name, "x");
    }
    SetFileAttributesW(temp.file(L"hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    driver::createFolderOrThrow(temp.file(L"tools"));
    temp.write(L"tools\\tool.exe", "x");

    Editor editor;
    editor::MainControls& controls = editor.main.controls();
    const std::string path = win32::narrow(temp.path());
    ASSERT_TRUE(controls.setFolderPath(path + "\\"));
    EXPECT_EQ(controls.folderPath(), path);
    HWND dir1 = editor.control(editor::main::Dir1);
    HWND file1 = editor.control(editor::main::File1);
    EXPECT_EQ(driver::windowText(dir1), temp.path());
    EXPECT_EQ(driver::windowText(file1), temp.path());
    EXPECT_EQ(items(file1), (std::vector<std::wstring>{L"Alpha.txt", L"beta.dat", L"zeta.exe"}));
    EXPECT_EQ(controls.selectedFile(), "") << "no file is selected by a move";
    const std::vector<std::wstring> lines = items(dir1);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front().substr(1), L":\\");
    EXPECT_EQ(lines.back(), L"tools");
    const LRESULT current = SendMessageW(dir1, LB_GETCURSEL, 0, 0);
    EXPECT_EQ(current, static_cast<LRESULT>(lines.size()) - 2);
    const LRESULT data = SendMessageW(dir1, LB_GETITEMDATA, lines.size() - 1, 0);
    EXPECT_EQ(HIWORD(data), 0) << "a subfolder shows closed";
    EXPECT_EQ(LOWORD(data), lines.size() - 1);
    EXPECT_EQ(HIWORD(SendMessageW(dir1, LB_GETITEMDATA, current, 0)), 1);

    SendMessageW(file1, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(controls.selectedFile(), "zeta.exe");

    // A double click on the subfolder opens it.
    SendMessageW(dir1, LB_SETCURSEL, lines.size() - 1, 0);
    SendMessageW(editor.main.hwnd(), WM_COMMAND, MAKEWPARAM(editor::main::Dir1, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(dir1));
    EXPECT_EQ(controls.folderPath(), path + "\\tools");
    EXPECT_EQ(items(file1), std::vector<std::wstring>{L"tool.exe"});
    EXPECT_EQ(controls.selectedFile(), "");

    EXPECT_FALSE(controls.setFolderPath(path + "\\missing"));
    EXPECT_EQ(controls.folderPath(), path + "\\tools");
    EXPECT_EQ(items(file1), std::vector<std::wstring>{L"tool.exe"});
}

TEST(MainWindow, ADpiChangeLaysOutAndSizesAgain) {
    Editor editor;
    HWND main = editor.main.hwnd();
    RECT suggested{10, 20, 30, 40};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 914);
    EXPECT_EQ(client.bottom, 509);
    EXPECT_EQ(placeOf(editor.control(editor::main::Command5)),
              (win32::PixelRect{444, 444, 146, 50}));
    EXPECT_EQ(placeOf(editor.control(editor::main::File1)), (win32::PixelRect{600, 204, 266, 185}));
    EXPECT_EQ(placeOf(editor.control(editor::main::Drive1)), (win32::PixelRect{168, 204, 98, 32}));
    EXPECT_EQ(placeOf(editor.control(editor::main::Line1)), (win32::PixelRect{144, 70, 636, 5}));
    LOGFONTW title{};
    GetObjectW(reinterpret_cast<HFONT>(
                   SendMessageW(editor.control(editor::main::Label9), WM_GETFONT, 0, 0)),
               sizeof title, &title);
    EXPECT_EQ(title.lfHeight, -29);
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    HWND hours = editor.control(editor::main::List2);
    GetClientRect(hours, &client);
    EXPECT_EQ(SendMessageW(hours, LB_GETITEMHEIGHT, 0, 0), client.bottom);
}

TEST(MainWindow, EnterPressesTheFocusedButtonAndNothingElse) {
    Editor editor;
    editor.main.show();
    quitPosted();
    SetFocus(editor.control(editor::main::Check1 + 2));
    SendMessageW(editor.main.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(editor.main.controls().dayTicked(2)) << "Enter ticks no box";
    EXPECT_NE(editor.main.hwnd(), nullptr);
    SetFocus(editor.control(editor::main::Command4));
    SendMessageW(editor.main.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(editor.main.hwnd(), nullptr) << "Enter on Exit ends the editor";
    EXPECT_TRUE(quitPosted());
}

TEST(MainWindow, HideShowAndExit) {
    Editor editor;
    PlainWindow about;
    ASSERT_TRUE(about.open(&editor.windows));
    editor.main.show();
    EXPECT_TRUE(IsWindowVisible(editor.main.hwnd()));
    editor.main.hide();
    EXPECT_FALSE(IsWindowVisible(editor.main.hwnd()));
    EXPECT_EQ(editor.windows.count(), 2u);
    editor.main.show();
    EXPECT_TRUE(IsWindowVisible(editor.main.hwnd()));
    quitPosted();
    SendMessageW(editor.main.hwnd(), WM_COMMAND, MAKEWPARAM(editor::main::Command4, BN_CLICKED),
                 reinterpret_cast<LPARAM>(editor.control(editor::main::Command4)));
    EXPECT_EQ(editor.main.hwnd(), nullptr);
    EXPECT_EQ(about.hwnd(), nullptr) << "Exit closes the other windows too";
    EXPECT_TRUE(quitPosted());
}

TEST(MainWindow, AboutAgainBringsTheOneAboutWindowForward) {
    Editor editor;
    editor.main.show();
    HWND main = editor.main.hwnd();
    const auto abouts = [] {
        return driver::topWindows(GetCurrentProcessId(), editor::form3::kTitle);
    };
    SendMessageW(main, WM_COMMAND, editor::main::About, 0);
    const std::vector<HWND> first = abouts();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(editor.windows.count(), 2u);

    SetForegroundWindow(main);
    SendMessageW(main, WM_COMMAND, editor::main::About, 0);
    EXPECT_EQ(abouts(), first);
    EXPECT_EQ(GetForegroundWindow(), first.front());

    // Closed, it opens anew.
    SendMessageW(first.front(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(first.front()));
    EXPECT_EQ(editor.windows.count(), 1u);
    SendMessageW(main, WM_COMMAND, editor::main::About, 0);
    EXPECT_EQ(abouts().size(), 1u);
    EXPECT_EQ(editor.windows.count(), 2u);
}
