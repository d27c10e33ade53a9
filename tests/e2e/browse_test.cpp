// Schedule > Browse for a Program through the real Norvell.exe and the system's Open dialog:
// the chosen file moves the three pickers to it, and Pick Program then schedules it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_session.hpp"

using namespace driver;

namespace {
constexpr wchar_t kDialogTitle[] = L"Browse for a Program";

// A key as the keyboard sends it to the window that has the focus, posted to `window`'s
// thread; `alt` for a key pressed with Alt held.
void postKey(HWND window, WORD key, bool alt = false) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM context = alt ? 0x20000000 : 0;
    PostMessageW(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | scan | context);
    PostMessageW(window, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | scan | context | 0xC0000000);
}

bool menuOpen(DWORD process) {
    return !topWindows(process, {}, L"#32768").empty();
}

// The dialog's file-name box: its one edit field of its own.
HWND fileNameBox(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) == L"Edit" && IsWindowVisible(child)) return child;
    }
    return nullptr;
}

std::wstring selectedFile(const EditorSession& editor) {
    HWND file1 = editor.control(editor::main::File1);
    const LRESULT index = SendMessageW(file1, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? std::wstring() : listItem(file1, static_cast<int>(index));
}

std::wstring driveShown(const EditorSession& editor) {
    HWND drive1 = editor.control(editor::main::Drive1);
    const LRESULT index = SendMessageW(drive1, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(SendMessageW(drive1, CB_GETLBTEXTLEN, index, 0)),
                      L'\0');
    SendMessageW(drive1, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text.substr(0, 2);
}
}  // namespace

TEST(Browse, TheFileChosenInTheOpenDialogIsSelectedInItsFolderAndPicked) {
    // A program on another drive than the working folder's, which Drive1 shows at start: the
    // working folder in \tmp of the build's drive (under Wine the Unix root, Z:), the program
    // in C:\Program Files. Not the build's own folders: above them the Wine user may only pass
    // through folders such as /root, and the dialog does not open a file it cannot walk to.
    ProgramFolder programs(L"NorvellBrowse");
    programs.addProbe(L"probe.exe");
    const std::wstring& folder = programs.path();
    TempFolder work(testBinDir().substr(0, 2) + L"\\tmp");
    ASSERT_NE(towupper(folder[0]), towupper(work.path()[0]));
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);

    // Alt+S opens the Schedule menu, B its Browse item.
    postKey(editor.main(), 'S', true);
    ASSERT_TRUE(pollUntil([&] { return menuOpen(editor.id()); })) << "the menu did not open";
    postKey(editor.main(), 'B');
    HWND dialog = waitForWindow(editor.id(), kDialogTitle, L"#32770");
    ASSERT_NE(dialog, nullptr) << "the Open dialog did not open";
    HWND name = fileNameBox(dialog);
    ASSERT_NE(name, nullptr);
    const std::wstring typed = folder + L"\\probe.exe";
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(pollUntil([&] { return !IsWindow(dialog); })) << "the dialog stayed open";

    HWND dir1 = editor.control(editor::main::Dir1);
    EXPECT_TRUE(pollUntil([&] { return selectedFile(editor) == L"probe.exe"; }));
    EXPECT_EQ(windowText(editor.control(editor::main::File1)), folder);
    EXPECT_EQ(windowText(dir1), folder);
    EXPECT_EQ(listItem(dir1, static_cast<int>(SendMessageW(dir1, LB_GETCURSEL, 0, 0))),
              folder.substr(folder.find_last_of(L'\\') + 1))
        << "Dir1's own line is the folder's";
    EXPECT_EQ(towupper(driveShown(editor)[0]), towupper(folder[0]));
    EXPECT_TRUE(topWindows(editor.id(), {}, L"#32770").empty()) << "a message came";

    editor.tick(2);
    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    EXPECT_EQ(work.read(L"4Wed.dat"), "12:00\r\n" + utf8(typed) + "\r\nNormal\r\nWednesday\r\n")
        << "written in the working folder, which the dialog left as it was";
    EXPECT_TRUE(editor.exit());
}

TEST(Browse, CtrlOOpensTheDialogAndCancelLeavesThePickersAsTheyWere) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    HWND dir1 = editor.control(editor::main::Dir1);
    const std::wstring folder = windowText(dir1);
    ASSERT_FALSE(folder.empty());
    const std::wstring drive = driveShown(editor);

    // Ctrl+O from the keyboard, which goes to the window in the foreground.
    ASSERT_TRUE(pollUntil([&] { return GetForegroundWindow() == editor.main(); }));
    INPUT keys[4] = {};
    const WORD codes[] = {VK_CONTROL, 'O', 'O', VK_CONTROL};
    for (std::size_t k = 0; k < std::size(keys); ++k) {
        keys[k].type = INPUT_KEYBOARD;
        keys[k].ki.wVk = codes[k];
        keys[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
    HWND dialog = waitForWindow(editor.id(), kDialogTitle, L"#32770");
    ASSERT_NE(dialog, nullptr) << "Ctrl+O did not open the Open dialog";
    click(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(pollUntil([&] { return !IsWindow(dialog); }));

    ASSERT_TRUE(sync(editor.main()));
    EXPECT_TRUE(topWindows(editor.id(), {}, L"#32770").empty()) << "a message came";
    EXPECT_EQ(windowText(dir1), folder);
    EXPECT_EQ(driveShown(editor), drive);
    EXPECT_EQ(selectedFile(editor), L"");
    EXPECT_TRUE(editor.exit());
}
