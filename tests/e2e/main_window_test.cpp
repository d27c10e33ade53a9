// Norvell.exe's main window as a user meets it: its frame, every control at its place in
// twips at 96 and at 144 DPI, the values after start-up, the keyboard order, the chain of the
// drive, folder and file lists, and the two ways the editor ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "driver.hpp"
#include "editor/win/main_ids.hpp"
#include "editor_session.hpp"
#include "win32/owners.hpp"

using namespace driver;

namespace {
struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* caption;        // null: not compared (lists show their folder or drive instead)
    int left, top, width, height;  // twips, in the client area
    bool visible;
    bool tabStop;  // Tab visits it, in the order of this table
};

namespace ids = editor::main;

// The window's table, in keyboard order (Tab). The rule, Line1, is checked on its own. The
// buttons' captions keep their words, an "&" before each one's access key.
// clang-format off
const Control kControls[] = {
    {ids::Label1,     L"Static",   L"Mon",                                    360,  960,  495,  375, true,  false},
    {ids::Label2,     L"Static",   L"Tue",                                    840,  960,  495,  255, true,  false},
    {ids::Label3,     L"Static",   L"Wed",                                   1320,  960,  495,  255, true,  false},
    {ids::Label4,     L"Static",   L"Thu",                                   1800,  960,  495,  375, true,  false},
    {ids::Label5,     L"Static",   L"Fri",                                   2280,  960,  375,  255, true,  false},
    {ids::Label6,     L"Static",   L"Sat",                                   2760,  960,  495,  255, true,  false},
    {ids::Label7,     L"Static",   L"Sun",                                   3240,  960,  375,  255, true,  false},
    {ids::Command1,   L"Button",   L"&Pick Program",                          240, 4440, 1455,  495, true,  true},
    {ids::Program,    L"Static",   L"Program to be Run when starting up pc",  240, 2040, 1335,  855, true,  false},
    {ids::Drive1,     L"ComboBox", nullptr,                                  1680, 2040,  975,  315, true,  true},
    {ids::Dir1,       L"ListBox",  nullptr,                                  3120, 2040, 2655, 1890, true,  true},
    {ids::File1,      L"ListBox",  nullptr,                                  6000, 2040, 2655, 1845, true,  true},
    {ids::Command2,   L"Button",   L"Show &List",                            1800, 4440, 1095,  495, true,  true},
    {ids::Command3,   L"Button",   L"Ready to &Deploy...",                   3000, 4440, 1215,  495, true,  true},
    {ids::Check1 + 0, L"Button",   L"Check1",                                 480, 1320,  255,  255, true,  true},
    {ids::Check1 + 1, L"Button",   L"Check1",                                 960, 1320,  255,  255, true,  true},
    {ids::Check1 + 2, L"Button",   L"Check1",                                1440, 1320,  255,  255, true,  true},
    {ids::Check1 + 3, L"Button",   L"Check1",                                1920, 1320,  255,  255, true,  true},
    {ids::Check1 + 4, L"Button",   L"Check1",                                2400, 1320,  255,  255, true,  true},
    {ids::Check1 + 5, L"Button",   L"Check1",                                2880, 1320,  255,  255, true,  true},
    {ids::Check1 + 6, L"Button",   L"Check1",                                3360, 1320,  255,  255, true,  true},
    {ids::Text1,      L"Edit",     L"Text1",                                 7680, 4440,  735,  495, false, false},
    {ids::Label8,     L"Static",   L"Time (Will run after below time)",      4680,  960, 2295,  255, true,  false},
    {ids::List1,      L"ListBox",  L"",                                      6120, 1320,  855,  360, true,  true},
    {ids::List2,      L"ListBox",  L"",                                      4440, 1320,  735,  360, true,  true},
    {ids::List3,      L"ListBox",  L"",                                      5280, 1320,  735,  360, true,  true},
    {ids::Label9,     L"Static",   L"Norvell",                               1080,  240, 6975,  615, true,  false},
    {ids::Label10,    L"Static",   L"Run Style",                             7080,  960, 1695,  255, true,  false},
    {ids::List4,      L"ListBox",  L"",                                      7320, 1320, 1575,  360, true,  true},
    {ids::Text3,      L"Edit",     L"0",                                     8400, 4080,  375,  285, false, false},
    {ids::Text4,      L"Edit",     L"1",                                     8520, 4560,  495,  375, false, false},
    {ids::Command4,   L"Button",   L"E&xit",                                 6120, 4440, 1335,  495, true,  true},
    {ids::Command5,   L"Button",   L"&Reset/Clear List",                     4440, 4440, 1455,  495, true,  true},
};
// clang-format on

RECT placeOf(HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
    return box;
}

int pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// Every control's class, caption, visibility and place at `dpi`, and the rule: from (1440,
// 720) to (7800, 720), 3 pixels thick at 96 DPI and centred on its line.
void expectLayout(const EditorSession& editor, int dpi) {
    RECT client;
    GetClientRect(editor.main(), &client);
    EXPECT_EQ(client.right, pixels(9135, dpi));
    EXPECT_EQ(client.bottom, pixels(5085, dpi));
    for (const Control& expected : kControls) {
        SCOPED_TRACE(::testing::Message() << "control " << expected.id << " at " << dpi);
        HWND control = editor.control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(className(control), expected.className);
        if (expected.caption) {
            EXPECT_EQ(windowText(control), expected.caption);
        }
        EXPECT_EQ(IsWindowVisible(control) != FALSE, expected.visible);
        const RECT place = placeOf(control);
        EXPECT_EQ(place.left, pixels(expected.left, dpi));
        EXPECT_EQ(place.top, pixels(expected.top, dpi));
        EXPECT_EQ(place.right - place.left, pixels(expected.width, dpi));
        EXPECT_EQ(place.bottom - place.top, pixels(expected.height, dpi));
    }
    const RECT rule = placeOf(editor.control(editor::main::Line1));
    const int thickness = MulDiv(3, dpi, 96);
    EXPECT_EQ(rule.left, pixels(1440, dpi));
    EXPECT_EQ(rule.right, pixels(7800, dpi));
    EXPECT_EQ(rule.top, pixels(720, dpi) - thickness / 2);
    EXPECT_EQ(rule.bottom - rule.top, thickness);
    EXPECT_TRUE(IsWindowVisible(editor.control(editor::main::Line1)));
}

std::vector<std::wstring> listItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(text);
    }
    return items;
}

LRESULT driveIndex(HWND drive1, wchar_t letter) {
    const LRESULT count = SendMessageW(drive1, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        SendMessageW(drive1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        if (towlower(text[0]) == towlower(letter) && text[1] == L':') return i;
    }
    return CB_ERR;
}

HWND focusOf(const EditorSession& editor) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(editor.main(), nullptr), &info);
    return info.hwndFocus;
}

bool sameFolder(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The system DPI of the test prefix for the editors started in one scope.
class ScopedDpi {
  public:
    explicit ScopedDpi(DWORD dpi) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
        key_.reset(key);
        DWORD size = sizeof previous_;
        had_ = RegQueryValueExW(key_.get(), L"LogPixels", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS;
        set(dpi);
    }
    ~ScopedDpi() {
        if (had_) {
            set(previous_);
        } else {
            RegDeleteValueW(key_.get(), L"LogPixels");
        }
    }
    ScopedDpi(const ScopedDpi&) = delete;
    ScopedDpi& operator=(const ScopedDpi&) = delete;

  private:
    void set(DWORD dpi) {
        EXPECT_EQ(RegSetValueExW(key_.get(), L"LogPixels", 0, REG_DWORD,
                                 reinterpret_cast<BYTE*>(&dpi), sizeof dpi),
                  ERROR_SUCCESS);
    }
    win32::UniqueKey key_;
    bool had_ = false;
    DWORD previous_ = 0;
};
}  // namespace

TEST(MainWindow, TitleFrameAndMenu) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    const LONG_PTR style = GetWindowLongPtrW(editor.main(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_NE(GetMenu(editor.main()), nullptr);
    EXPECT_EQ(topWindows(editor.id()).size(), 1u) << "Main is the only window at start";
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, ProgramCarriesItsIconAndManifest) {
    const win32::UniqueModule module(
        LoadLibraryExW((distDir() + L"\\Norvell.exe").c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module);
    HMODULE program = module.get();
    // The icon group names one image: 32 x 32 pixels in 16 colours.
    HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
    ASSERT_NE(directory, nullptr);
    EXPECT_EQ(directory[4] | directory[5] << 8, 1) << "one image";
    EXPECT_EQ(directory[6], 32) << "width";
    EXPECT_EQ(directory[7], 32) << "height";
    EXPECT_EQ(directory[8], 16) << "colours";
    HRSRC manifest = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(program, manifest))),
                           SizeofResource(program, manifest));
    for (const char* part :
         {"PerMonitorV2", "Microsoft.Windows.Common-Controls", "6.0.0.0", "asInvoker"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
}

TEST(MainWindow, EveryControlAtItsPlaceAt96Dpi) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    expectLayout(editor, 96);
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, LayoutScalesAt144Dpi) {
    ScopedDpi dpi(144);
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    expectLayout(editor, 144);
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, ValuesAfterStartUp) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor.currentItem(editor::main::List2), L"12");
    EXPECT_EQ(editor.currentItem(editor::main::List3), L"00");
    EXPECT_EQ(editor.currentItem(editor::main::List1), L"PM");
    EXPECT_EQ(editor.currentItem(editor::main::List4), L"Normal");
    for (int day = 0; day < 7; ++day) EXPECT_FALSE(editor.ticked(day)) << day;
    EXPECT_EQ(SendMessageW(editor.control(editor::main::File1), LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(editor.text(editor::main::Text4), L"1");
    EXPECT_EQ(editor.text(editor::main::Text1), L"Text1");
    EXPECT_EQ(editor.text(editor::main::Text3), L"0");
    EXPECT_EQ(windowText(editor.control(editor::main::Dir1)), L"C:\\PROGRAM FILES");
    EXPECT_EQ(windowText(editor.control(editor::main::File1)), L"C:\\PROGRAM FILES");
    const std::vector<std::wstring> folders = listItems(editor.control(editor::main::Dir1));
    ASSERT_GE(folders.size(), 3u);
    EXPECT_EQ(folders[0], L"C:\\");
    EXPECT_EQ(folders[1], L"PROGRAM FILES");
    EXPECT_NE(std::find(folders.begin(), folders.end(), L"Common Files"), folders.end());
    EXPECT_EQ(SendMessageW(editor.control(editor::main::Dir1), LB_GETCURSEL, 0, 0), 1);
    // The drive of the working folder, not necessarily the folder list's.
    EXPECT_EQ(windowText(editor.control(editor::main::Drive1)).substr(0, 2), L"c:");
    EXPECT_TRUE(pollUntil([&] {
        return focusOf(editor) == editor.control(editor::main::Command1);
    })) << "Pick Program has the focus";
    // A one-row list: its one line fills it, and the scroll bar moves the current item.
    HWND half = editor.control(editor::main::List1);
    RECT client;
    GetClientRect(half, &client);
    EXPECT_EQ(SendMessageW(half, LB_GETITEMHEIGHT, 0, 0), client.bottom);
    SendMessageW(half, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(editor.currentItem(editor::main::List1), L"AM");
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, CounterStartsAtTheHighestEarlierPick) {
    TempFolder work;
    for (const wchar_t* name : {L"2Mon.dat", L"9Fri.dat", L"datmon.dat", L"12notes.dat"}) {
        work.write(name, "x");
    }
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor.text(editor::main::Text4), L"9");
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, TabVisitsTheControlsInTheirOrder) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    // From Pick Program, which has the focus at start, round the table back to it.
    std::vector<int> order;
    for (const Control& control : kControls) {
        if (control.tabStop) order.push_back(control.id);
    }
    const auto first = std::find(order.begin(), order.end(), ids::Command1);
    ASSERT_NE(first, order.end());
    std::rotate(order.begin(), first + 1, order.end());
    ASSERT_TRUE(pollUntil([&] { return focusOf(editor) == editor.control(ids::Command1); }));
    for (int next : order) {
        PostMessageW(focusOf(editor), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_TRUE(pollUntil([&] { return focusOf(editor) == editor.control(next); }))
            << "expected control " << next << ", focus on " << GetDlgCtrlID(focusOf(editor));
    }
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, DriveAndFolderChoicesRefreshTheListsBelowThem) {
    TempFolder work;
    for (const wchar_t* name : {L"b.txt", L"A.txt", L"c.DAT", L"hidden.txt", L"system.txt"}) {
        work.write(name, "x");
    }
    SetFileAttributesW(work.file(L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(work.file(L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    createFolderOrThrow(work.file(L"sub"));
    work.write(L"sub\\inner.exe", "x");
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    HWND drive1 = editor.control(editor::main::Drive1);
    HWND dir1 = editor.control(editor::main::Dir1);
    HWND file1 = editor.control(editor::main::File1);
    const auto choose = [&](wchar_t letter) {
        const LRESULT index = driveIndex(drive1, letter);
        EXPECT_NE(index, CB_ERR) << "no drive " << static_cast<char>(letter);
        SendMessageW(drive1, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageW(editor.main(), WM_COMMAND, MAKEWPARAM(editor::main::Drive1, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(drive1));
        return index;
    };

    // Drive Z: (the prefix's view of the whole file system) moves Dir1 to its current folder.
    const LRESULT z = choose(L'Z');
    EXPECT_TRUE(pollUntil([&] { return windowText(dir1).starts_with(L"Z:\\"); }))
        << "Dir1 at " << win32::narrow(windowText(dir1));
    EXPECT_EQ(windowText(file1), windowText(dir1));
    EXPECT_EQ(SendMessageW(drive1, CB_GETCURSEL, 0, 0), z);

    // Drive C: is the working folder's drive, whose current folder is the working folder.
    const LRESULT c = choose(L'C');
    EXPECT_TRUE(pollUntil([&] { return sameFolder(windowText(dir1), work.path()); }))
        << "Dir1 at " << win32::narrow(windowText(dir1));
    EXPECT_TRUE(sameFolder(windowText(file1), work.path()));
    EXPECT_EQ(listItems(file1), (std::vector<std::wstring>{L"A.txt", L"b.txt", L"c.DAT"}));
    EXPECT_EQ(SendMessageW(file1, LB_GETCURSEL, 0, 0), LB_ERR) << "a choice selects no file";
    const std::vector<std::wstring> folders = listItems(dir1);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.back(), L"sub");

    // Enter on Dir1 opens the folder under the cursor; Drive1 stays where it is.
    ASSERT_TRUE(
        pollUntil([&] { return focusOf(editor) == editor.control(editor::main::Command1); }));
    for (int step = 0; step < 2; ++step) PostMessageW(focusOf(editor), WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(pollUntil([&] { return focusOf(editor) == dir1; }));
    SendMessageW(dir1, LB_SETCURSEL, folders.size() - 1, 0);
    PostMessageW(dir1, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(pollUntil([&] { return sameFolder(windowText(dir1), work.file(L"sub")); }))
        << "Dir1 at " << win32::narrow(windowText(dir1));
    EXPECT_EQ(listItems(file1), std::vector<std::wstring>{L"inner.exe"});
    EXPECT_EQ(SendMessageW(drive1, CB_GETCURSEL, 0, 0), c);
    ASSERT_TRUE(sync(editor.main()));
    EXPECT_TRUE(topWindows(editor.id(), {}, L"#32770").empty()) << "no message came";
    EXPECT_TRUE(editor.exit());
}

TEST(MainWindow, ExitEndsTheEditor) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    editor.press(editor::main::Command4);
    EXPECT_EQ(editor.process().wait(10s), 0u);
}

TEST(MainWindow, ClosingMainEndsTheEditorWhenNoOtherWindowIsOpen) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    PostMessageW(editor.main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(editor.process().wait(10s), 0u);
}
