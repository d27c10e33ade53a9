// A test-only program that leaves a mark of when and as what it was started: it appends
// "creation time TAB own file TAB command line" to stamp.log in its working folder, in UTF-8
// with CR LF, and ends. The creation time (100 ns units) is set when the process is created,
// so it orders programs by their start even when they reach the log in another order; the own
// file tells a copy under another name (a decoy) apart.
#include <windows.h>

#include <string>

#include "log_line.hpp"
#include "win32/text.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const unsigned long long stamp =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    return driver::appendLogLine(L"stamp.log", std::to_string(stamp), win32::narrow(self),
                                 win32::narrow(GetCommandLineW()))
               ? 0
               : 1;
}
