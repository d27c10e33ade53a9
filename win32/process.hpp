// Starting programs with a show-window value, and waiting for them where we must.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "win32/owners.hpp"

namespace win32 {

struct Started {
    UniqueHandle process;  // empty when the start failed
    unsigned long error = 0;
    explicit operator bool() const { return static_cast<bool>(process); }
};

// Starts `commandLine` (found by the system's usual program search unless `application`
// names the file) with `showWindow` as the program's nCmdShow, inheriting this process's
// working folder. Never waits; the thread handle is closed at once.
Started startProgram(const std::wstring& commandLine, int showWindow,
                     const std::wstring* application = nullptr);

// The exit code once the process has ended, or none when `deadline` passed first.
// Messages of this thread's windows are not pumped: callers keep the wait short or accept
// that their windows do not repaint meanwhile.
std::optional<unsigned long> waitForExit(HANDLE process, std::chrono::milliseconds deadline);

// The folder of this process's own program file, as the system spells it: no backslash at
// the end except at a drive root ("C:\\").
std::wstring ownProgramFolder();

// The process's working folder.
std::wstring currentFolder();

}  // namespace win32
