// A test-only program that the end-to-end tests schedule like any other: it appends one line
// to probe.log in its working folder, "nCmdShow TAB working folder TAB command line", in
// UTF-8 with CR LF, and ends.
#include <windows.h>

#include <string>

#include "win32/text.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showWindow) {
    wchar_t folder[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, folder);
    const std::string line = std::to_string(showWindow) + "\t" + win32::narrow(folder) + "\t" +
                             win32::narrow(GetCommandLineW()) + "\r\n";
    // Two probes started back to back may meet at the log: try again for a while.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileW(L"probe.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
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
