// A test-only program that the end-to-end tests schedule like any other: it appends one line
// to probe.log in its working folder, "nCmdShow TAB working folder TAB command line", in
// UTF-8 with CR LF, and ends.
#include <windows.h>

#include <string>

#include "log_line.hpp"
#include "win32/text.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showWindow) {
    wchar_t folder[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, folder);
    return driver::appendLogLine(L"probe.log", std::to_string(showWindow), win32::narrow(folder),
                                 win32::narrow(GetCommandLineW()))
               ? 0
               : 1;
}
