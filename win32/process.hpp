// Starting programs with a show-window value, and the files and folders a process knows
// itself by.
#pragma once

#include <optional>
#include <string>

#include <windows.h>

#include "schedule/outcome.hpp"
#include "win32/owners.hpp"

namespace win32 {

// Starts `commandLine` (found by the system's usual program search unless `application`
// names the file) with `showWindow` as the program's nCmdShow, inheriting this process's
// working folder. Never waits. On success `process` holds the new process's handle, for as
// long as its owner keeps it; the thread handle is closed at once. `output`, when given, is
// the program's standard output and error, and the one handle it inherits.
schedule::Outcome startProgram(const std::wstring& commandLine, int showWindow,
                               UniqueHandle& process, const std::wstring* application = nullptr,
                               HANDLE output = nullptr);

// A pipe whose write end a started program inherits as its output; the reader stays here.
struct OutputPipe {
    UniqueHandle read;
    UniqueHandle write;  // inheritable; let it go once the program has started
};
schedule::Outcome createOutputPipe(OutputPipe& pipe, unsigned long bufferBytes);

// What is left to read from `read` until the writer has gone, at most `limit` bytes.
std::string readAll(HANDLE read, std::size_t limit);

// The folder of this process's own program file, as the system spells it: no backslash at
// the end except at a drive root ("C:\\").
std::wstring ownProgramFolder();

// The process's working folder.
std::wstring currentFolder();

// The system folder (System32), where the system's own programs are.
std::wstring systemFolder();

// Whether `path` names an existing file, not a folder, however long a full path it is.
bool isFile(const std::wstring& path);

// A full path (a drive's, or a share's \\server\share\...) of MAX_PATH characters or more in the
// form by which the system opens it for a program that does not declare long paths: behind
// "\\?\", separators made single backslashes. Any other path as it is.
std::wstring extendedLengthPath(const std::wstring& path);

// The user's local application data folder (FOLDERID_LocalAppData); none when the system
// cannot tell. Cheap enough for every logon: the shell is loaded only when the environment
// does not name the folder.
std::optional<std::wstring> localAppDataFolder();

}  // namespace win32
