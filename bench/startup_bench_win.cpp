// startup_bench_win NORVELL.EXE ONE_WINDOW.EXE: the time from starting the editor until its
// main window is shown, against the same for a program that shows one empty window. Both
// start alternately in an empty folder; prints the medians and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "timing_win.hpp"
#include "win32/owners.hpp"

namespace {
using bench::median;
using bench::seconds;

constexpr int kRounds = 15;

struct Search {
    DWORD process;
    const wchar_t* title;
    HWND found;
};

HWND visibleWindow(DWORD process, const wchar_t* title) {
    Search search{process, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[64] = {};
            if (owner == s.process && IsWindowVisible(window) && GetWindowTextW(window, text, 64) &&
                std::wstring(text) == s.title) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Seconds from the start until the window shows; negative when it never came.
double timeToWindow(const std::wstring& program, const wchar_t* title, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = seconds();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        return -1;
    }
    win32::UniqueHandle process(info.hProcess), thread(info.hThread);
    HWND window = nullptr;
    while (!(window = visibleWindow(info.dwProcessId, title))) {
        if (seconds() - start > 20 || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 1);
            return -1;
        }
        Sleep(1);
    }
    const double shown = seconds() - start;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
    }
    return shown;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: startup_bench_win NORVELL.EXE ONE_WINDOW.EXE\n");
        return 2;
    }
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"norvell-startup-bench";
    CreateDirectoryW(folder.c_str(), nullptr);

    std::vector<double> editor, baseline;
    for (int round = 0; round <= kRounds; ++round) {
        const double a = timeToWindow(argv[1], L"Norvell 1.0", folder);
        const double b = timeToWindow(argv[2], L"One window", folder);
        if (a < 0 || b < 0) {
            std::printf("a window did not show (editor %d, baseline %d)\n", a >= 0, b >= 0);
            return 1;
        }
        if (round == 0) continue;  // the first round loads both from the disk
        editor.push_back(a);
        baseline.push_back(b);
    }
    const double editorMedian = median(editor), baselineMedian = median(baseline);
    std::printf("Norvell.exe until Main shows: median %.1f ms (from %.1f to %.1f)\n",
                editorMedian * 1000, *std::min_element(editor.begin(), editor.end()) * 1000,
                *std::max_element(editor.begin(), editor.end()) * 1000);
    std::printf("one empty window:             median %.1f ms (from %.1f to %.1f)\n",
                baselineMedian * 1000, *std::min_element(baseline.begin(), baseline.end()) * 1000,
                *std::max_element(baseline.begin(), baseline.end()) * 1000);
    std::printf("ratio %.2f (target at most 1.5)\n", editorMedian / baselineMedian);
    return 0;
}
