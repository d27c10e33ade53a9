// Showing a folder of 20,000 files in Main's file list (one pass over the folder, sorting,
// filling Dir1 and File1 with redraw off), against enumerating the same folder with
// FindFirstFileExW alone. Both run alternately; prints the medians and their ratio.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "editor/win/main_ids.hpp"
#include "editor/win/main_window.hpp"
#include "timing_win.hpp"
#include "win32/listing.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace {
using bench::median;
using bench::seconds;

constexpr int kFiles = 20'000;
constexpr int kRounds = 9;

// The baseline: the system's own enumeration of the folder, entries counted and nothing kept.
int enumerate(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    win32::UniqueFindHandle find = win32::ownFindHandle(
        FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
    int entries = 0;
    if (!find) return entries;
    do {
        ++entries;
    } while (FindNextFileW(find.get(), &found));
    return entries;
}

// Names in no particular order and of mixed case, so the sort has work to do.
void makeFolder(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    if (enumerate(folder) >= kFiles + 2) return;  // made by an earlier run
    unsigned seed = 12345;
    for (int i = 0; i < kFiles; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::wstring name = ((seed >> 16) & 1 ? L"Report " : L"data-") +
                                  std::to_wstring((seed >> 8) % 100000) + L"-" +
                                  std::to_wstring(i) + ((seed >> 20) & 1 ? L".TXT" : L".dat");
        win32::UniqueHandle file = win32::ownHandle(CreateFileW(
            (folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
}
}  // namespace

int wmain() {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"norvell-file-list-bench";
    makeFolder(folder);

    editor::PlatformServices services;
    editor::WindowRegistry windows;
    editor::MainWindow main(services, windows);
    if (!main.create()) {
        std::printf("the main window cannot be created\n");
        return 1;
    }
    ShowWindow(main.hwnd(), SW_SHOWNOACTIVATE);
    const std::string path = win32::narrow(folder);
    const std::string elsewhere = win32::narrow(temp);
    HWND file1 = GetDlgItem(main.hwnd(), editor::main::File1);

    std::vector<double> shown, enumerated, read;
    for (int round = 0; round <= kRounds; ++round) {
        main.setFolderPath(elsewhere);  // so that each round shows the folder anew
        double start = seconds();
        const bool ok = main.setFolderPath(path);
        const double show = seconds() - start;
        start = seconds();
        const int entries = enumerate(folder);
        const double enumeration = seconds() - start;
        start = seconds();
        const win32::FolderContents contents = win32::listFolder(folder);
        const double reading = seconds() - start;
        const LRESULT listed = SendMessageW(file1, LB_GETCOUNT, 0, 0);
        if (!ok || listed != kFiles || entries != kFiles + 2 ||
            contents.files.size() != static_cast<std::size_t>(kFiles)) {
            std::printf("unexpected: shown %d, listed %ld, enumerated %d\n", ok ? 1 : 0,
                        static_cast<long>(listed), entries);
            return 1;
        }
        if (round == 0) continue;  // the first round warms the caches
        shown.push_back(show);
        enumerated.push_back(enumeration);
        read.push_back(reading);
    }
    const double showMedian = median(shown), enumerationMedian = median(enumerated);
    std::printf("File1 showing %d files: median %.1f ms (from %.1f to %.1f)\n", kFiles,
                showMedian * 1000, *std::min_element(shown.begin(), shown.end()) * 1000,
                *std::max_element(shown.begin(), shown.end()) * 1000);
    std::printf("FindFirstFileExW alone:      median %.1f ms (from %.1f to %.1f)\n",
                enumerationMedian * 1000,
                *std::min_element(enumerated.begin(), enumerated.end()) * 1000,
                *std::max_element(enumerated.begin(), enumerated.end()) * 1000);
    std::printf("of it win32::listFolder (read and sort): median %.1f ms\n", median(read) * 1000);
    // File1 stays a stock list box, which holds its strings: the figure is shown, not judged.
    std::printf("ratio %.2f\n", showMedian / enumerationMedian);
    std::printf(
        "@figure|File1 showing %d files / FindFirstFileExW alone, median of %zu|%.3f|-|"
        "%.1f / %.1f ms\n",
        kFiles, shown.size(), showMedian / enumerationMedian, showMedian * 1000,
        enumerationMedian * 1000);
    return 0;
}
