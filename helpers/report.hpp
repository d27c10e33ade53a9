// How a helper runs, and how it tells the editor that started it what it could not do: the
// reasons behind its exit status, which would otherwise stay with the helper.
#pragma once

#include <windows.h>

#include <string>

#include "schedule/helpers.hpp"
#include "win32/dll_search.hpp"
#include "win32/folder.hpp"

namespace helpers {

// A message box names a few files at most; the rest need not travel.
inline constexpr std::size_t kReportBytes = std::size_t{16} * 1024;

// One "name: reason" a line, UTF-8, on the standard output the editor hands the helper;
// nothing when it was started without one, as by hand.
inline void tellProblems(const schedule::HelperReport& report) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!output || output == INVALID_HANDLE_VALUE || report.problems.empty()) return;
    std::string text;
    for (const std::string& problem : report.problems) {
        if (text.size() + problem.size() + 1 > kReportBytes) break;
        text += problem;
        text += '\n';
    }
    DWORD written = 0;
    WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// A helper's whole run: its work on the working folder, its reasons told, its status returned.
inline int run(schedule::HelperReport (*work)(schedule::Folder&)) {
    win32::narrowDllSearch();
    win32::WorkingFolder folder;
    const schedule::HelperReport report = work(folder);
    tellProblems(report);
    return report.status;
}

}  // namespace helpers
