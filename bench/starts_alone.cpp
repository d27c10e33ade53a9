// The floor of Brightwick's typical day: a program built as Brightwick is that starts the program
// named by NORVELL_BENCH_PROGRAM the number of times NORVELL_BENCH_STARTS says, in Normal
// windows, one after the other as the launcher does, and does nothing else. What Brightwick
// takes beyond it is its own: reading and judging the day file, and the history.
#include <windows.h>

#include <string>

#include "win32/owners.hpp"

namespace {
std::wstring variable(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(value, length) : std::wstring();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring program = variable(L"NORVELL_BENCH_PROGRAM");
    const int starts = _wtoi(variable(L"NORVELL_BENCH_STARTS").c_str());
    if (program.empty() || starts <= 0) return 2;
    for (int i = 0; i < starts; ++i) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &started)) {
            return 1;
        }
        const win32::UniqueHandle thread = win32::ownHandle(started.hThread);
        const win32::UniqueHandle process = win32::ownHandle(started.hProcess);
    }
    return 0;
}
