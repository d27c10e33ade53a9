// Brightwick: started at logon with the schedule folder as its working folder, it starts the
// programs of today's day file that are due by now, adds what it did to the user's logon
// history and ends. No window, no console.
#include <windows.h>

#include <string>

#include "launcher/history.hpp"
#include "launcher/history_file.hpp"
#include "launcher/pass.hpp"
#include "launcher/system_start.hpp"
#include "packaging/resources/manifest_ids.h"
#include "win32/dll_search.hpp"
#include "win32/folder.hpp"
#include "win32/owners.hpp"
#include "win32/process.hpp"
#include "win32/system_library.hpp"
#include "win32/text.hpp"

namespace {

// Day files hold the ANSI code page; the history is UTF-8.
std::string textOfBytes(std::string_view bytes) {
    return win32::narrow(win32::fromCodePage(bytes));
}

// Written after the pass, so that no program waits for it. It is the user's record of what
// happened, never a reason to stop or to say anything: a failure to write it is passed over.
void addToHistory(const SYSTEMTIME& now, const std::wstring& folder,
                  const launcher::RunResult& result) {
    const launcher::LocalTime when{now.wYear, now.wMonth,  now.wDay,
                                   now.wHour, now.wMinute, now.wSecond};
    launcher::addToLogonHistory(
        launcher::historyEntry(when, win32::narrow(folder), result, textOfBytes));
}

// The windowing library is loaded for this one message only. Imported, it would be set up at
// every logon, which under Wine more than doubles the time of the whole run, while nearly every
// run ends without a message.
void showError(const std::wstring& text) {
    // Common Controls 6 for this message alone (see the program's resources). Without it the
    // message still shows, in the older look.
    const win32::ActivatedContext controls(NORVELL_MESSAGE_MANIFEST_ID);
    const win32::UniqueModule user = win32::loadSystemLibrary(L"user32.dll");
    if (!user) return;
    using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
    const auto messageBox = win32::procedureOf<MessageBoxFunction>(user.get(), "MessageBoxW");
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
    launcher::RunResult result;
    {
        // Gone before the history is written: a shell loaded for a document is let go first.
        launcher::RecordStarter starter;
        result = launcher::run(now.wDayOfWeek + 1, now.wHour, folder, starter);
    }
    const std::wstring workingFolder = win32::currentFolder();
    addToHistory(now, workingFolder, result);
    if (result.opened) return 0;
    showError(win32::widen(
        launcher::cannotOpenMessage(result.dayFile, win32::narrow(workingFolder), result.reason)));
    return 1;
}
