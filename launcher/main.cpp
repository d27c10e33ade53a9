// Brightwick: started at logon with the schedule folder as its working folder, it starts the
// programs of today's day file that are due by now and ends. No window, no console.
#include <windows.h>

#include <string>

#include "launcher/pass.hpp"
#include "win32/dll_search.hpp"
#include "win32/folder.hpp"
#include "win32/owners.hpp"
#include "win32/process.hpp"
#include "win32/text.hpp"

namespace {

bool namesExistingFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class SystemStarter final : public launcher::ProgramStarter {
  public:
    schedule::Outcome start(std::string_view programLine, int showWindow) override {
        // Day files hold the ANSI code page; the W functions take UTF-16.
        const launcher::StartPlan plan =
            launcher::planStart(programLine, namesExistingFile(win32::fromCodePage(programLine)));
        const std::wstring commandLine = win32::fromCodePage(plan.commandLine);
        // The launcher never waits: the process handle goes as soon as the program starts.
        win32::UniqueHandle process;
        if (plan.application) {
            const std::wstring application = win32::fromCodePage(*plan.application);
            return win32::startProgram(commandLine, showWindow, process, &application);
        }
        return win32::startProgram(commandLine, showWindow, process);
    }
};

// The windowing library is loaded for this one message only. Imported, it would be set up at
// every logon, which under Wine more than doubles the time of the whole run, while nearly every
// run ends without a message. It comes from the system folder, never from the working folder,
// which holds files that users write.
void showError(const std::wstring& text) {
    const win32::UniqueModule user(
        LoadLibraryExW(L"user32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!user) return;
    using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
    // Through the generic function pointer type, the one cast that no compiler warns about.
    const auto messageBox = reinterpret_cast<MessageBoxFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user.get(), "MessageBoxW")));
    if (!messageBox) return;
    messageBox(nullptr, text.c_str(), L"Brightwick", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::narrowDllSearch();
    // Taken once: a pass that runs across the full hour still judges every record alike.
    SYSTEMTIME now;
    GetLocalTime(&now);
    win32::WorkingFolder folder;
    SystemStarter starter;
    const launcher::RunResult result =
        launcher::run(now.wDayOfWeek + 1, now.wHour, folder, starter);
    if (result.opened) return 0;
    const std::wstring text = win32::widen(launcher::cannotOpenMessage(
        result.dayFile, win32::narrow(win32::currentFolder()), result.reason));
    showError(text);
    return 1;
}
