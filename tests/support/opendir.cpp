// opendir FOLDER [SECONDS]: once Main has come (within SECONDS, 30 by default), opens FOLDER
// in its Dir1 one folder at a time, as a user's double clicks would: first the drive's root,
// then each folder below it. For the run script, whose demo starts in a folder of its own.
// Exit status 0 when Dir1 shows FOLDER, 1 when Main did not come or a folder is not listed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "editor/win/main_ids.hpp"

namespace {

namespace ids = editor::main;

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Opens Dir1's line `index`, as a double click does; false when there is none.
bool open(HWND main, HWND dir1, LRESULT index) {
    if (index == LB_ERR) return false;
    SendMessageW(dir1, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ids::Dir1, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(dir1));
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring folder = argv[1];
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 30;
    HWND main = nullptr;
    for (int waited = 0; waited < seconds * 50; ++waited) {
        main = FindWindowW(ids::kClassName, nullptr);
        if (main && IsWindowVisible(main)) break;
        main = nullptr;
        Sleep(20);
    }
    HWND dir1 = main ? GetDlgItem(main, ids::Dir1) : nullptr;
    if (!dir1) {
        std::fwprintf(stderr, L"Norvell's main window did not appear.\n");
        return 1;
    }
    // Dir1's first line is always the drive's root.
    if (folder.size() < 3 || folder.compare(1, 2, L":\\") != 0 || !open(main, dir1, 0)) {
        std::fwprintf(stderr, L"%ls is not a full path on a drive.\n", folder.c_str());
        return 1;
    }
    for (std::size_t start = 3; start < folder.size();) {
        std::size_t end = folder.find(L'\\', start);
        if (end == std::wstring::npos) end = folder.size();
        const std::wstring name = folder.substr(start, end - start);
        const LRESULT index = SendMessageW(dir1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(name.c_str()));
        if (!open(main, dir1, index)) {
            std::fwprintf(stderr, L"Dir1 at %ls does not list the folder %ls.\n",
                          textOf(dir1).c_str(), name.c_str());
            return 1;
        }
        start = end + 1;
    }
    return 0;
}
