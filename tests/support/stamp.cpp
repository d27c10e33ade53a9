// A test-only program that leaves a mark of when and as what it was started: it appends
// "creation time TAB own file TAB command line" to stamp.log in its working folder, in UTF-8
// with CR LF, and ends. The creation time (100 ns units) is set when the process is created,
// so it orders programs by their start even when they reach the log in another order; the own
// file tells a copy under another name (a decoy) apart.
#include <windows.h>

#include <string>

#include "win32/text.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const unsigned long long stamp =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    const std::string line = std::to_string(stamp) + "\t" + win32::narrow(self) + "\t" +
                             win32::narrow(GetCommandLineW()) + "\r\n";
    // Programs started back to back may meet at the log: try again for a while.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileW(L"stamp.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(log);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
