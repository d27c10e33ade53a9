// Files dropped on a window: the paths a drop hands over, and Main's pickers moving to the
// dropped file or folder. Each drop is made here as the shell makes one: a DROPFILES header and
// the wide file list after it, in memory from GlobalAlloc, which the receiver gives back.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver.hpp"
#include "editor/win/main_ids.hpp"
#include "editor/win/main_window.hpp"
#include "win32/drop.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace {
HDROP makeDrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    const std::size_t bytes = list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    if (!memory) return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES), list.data(), bytes);
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::wstring workingFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetCurrentDirectoryW(MAX_PATH, folder.data()));
    return folder;
}
}  // namespace

TEST(Drop, PathsComeInTheDropsOrder) {
    const std::vector<std::wstring> paths{L"C:\\Tools\\first.exe", L"D:\\Caf\u00e9\\second.lnk",
                                          L"C:\\Program Files\\A folder"};
    const win32::UniqueDrop drop(makeDrop(paths));
    ASSERT_TRUE(drop);
    EXPECT_EQ(win32::droppedPaths(drop.get()), paths);
}

TEST(Drop, AFileOrFolderDroppedOnMainMovesThePickersThere) {
    driver::TempFolder temp;
    temp.write(L"readme.txt", "x");
    driver::createFolderOrThrow(temp.file(L"tools"));
    temp.write(L"tools\\a.exe", "x");
    temp.write(L"tools\\tool.exe", "x");
    // Another drive than the dropped file's, so that Drive1 is seen to follow: Unix's /tmp on
    // Wine's drive Z. The editor's working folder, since the editor says in a message box when
    // it cannot write there, and the build's folders are not the Wine user's to write.
    const std::wstring elsewhere =
        L"Z:\\tmp\\norvell-drop-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_NE(towupper(elsewhere[0]), towupper(temp.path()[0]));
    driver::createFolderOrThrow(elsewhere);
    struct Return {
        std::wstring folder;
        std::wstring made;
        ~Return() {
            SetCurrentDirectoryW(folder.c_str());
            RemoveDirectoryW(made.c_str());
        }
    } back{workingFolder(), elsewhere};
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.c_str()));

    editor::PlatformServices services;
    editor::WindowRegistry windows;
    editor::MainWindow main(services, windows);
    ASSERT_TRUE(main.create());
    services.setOwner(main.hwnd());
    main.load(SW_SHOWNOACTIVATE);
    EXPECT_TRUE(GetWindowLongPtrW(main.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES)
        << "the system drops nothing on a window that does not accept files";
    HWND drive1 = GetDlgItem(main.hwnd(), editor::main::Drive1);
    const auto drive = [&] {
        wchar_t caption[MAX_PATH] = {};
        SendMessageW(drive1, CB_GETLBTEXT, SendMessageW(drive1, CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(caption));
        return towupper(caption[0]);
    };
    ASSERT_EQ(drive(), towupper(elsewhere[0]));
    editor::MainControls& controls = main.controls();

    SendMessageW(main.hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(makeDrop({temp.file(L"tools\\tool.exe")})), 0);
    EXPECT_EQ(controls.folderPath(), win32::narrow(temp.file(L"tools")));
    EXPECT_EQ(driver::windowText(GetDlgItem(main.hwnd(), editor::main::File1)),
              temp.file(L"tools"));
    EXPECT_EQ(controls.selectedFile(), "tool.exe");
    EXPECT_EQ(drive(), towupper(temp.path()[0]));

    SendMessageW(main.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({elsewhere})), 0);
    EXPECT_EQ(controls.folderPath(), win32::narrow(elsewhere));
    EXPECT_EQ(driver::windowText(GetDlgItem(main.hwnd(), editor::main::File1)), elsewhere);
    EXPECT_EQ(controls.selectedFile(), "") << "a folder selects no file";
    EXPECT_EQ(drive(), towupper(elsewhere[0]));
    EXPECT_TRUE(driver::topWindows(GetCurrentProcessId(), {}, L"#32770").empty())
        << "no message came";
    windows.closeAll();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}
