// Handing a file to the shell (ShellExecuteExW) from a program that must not load the shell
// at start: the launcher runs at every logon, and only a rare record needs the shell.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "schedule/outcome.hpp"
#include "win32/owners.hpp"

namespace win32 {

// Loads shell32 and starts COM on this thread, both from the system folder, the first time a
// file is handed over, and keeps shell32 and COM until it goes (ole32 stays for the process). Used
// and destroyed on one thread, since COM belongs to the thread that started it.
class ShellStarter {
  public:
    ShellStarter() = default;
    ~ShellStarter();
    ShellStarter(const ShellStarter&) = delete;
    ShellStarter& operator=(const ShellStarter&) = delete;

    // ShellExecuteExW of `file` with `verb` (null: the file's default verb), `parameters`,
    // `folder` as the working folder and `showWindow`. It waits only until the shell has
    // handed the file over, and shows no message of the shell's own: a failure is the
    // Outcome. `owner` is the window a consent prompt belongs to, if any.
    schedule::Outcome start(const wchar_t* verb, const std::wstring& file,
                            const std::wstring& parameters, const std::wstring& folder,
                            int showWindow, HWND owner = nullptr);

  private:
    using ShellExecuteExFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

    schedule::Outcome load();

    UniqueModule shell32_;
    ShellExecuteExFunction execute_ = nullptr;
    // Whether this thread's COM was started here; its end then balances that start.
    bool comStarted_ = false;
};

}  // namespace win32
