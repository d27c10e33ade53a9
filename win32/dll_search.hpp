// Where a program of ours may load DLLs from.
#pragma once

namespace win32 {

// Loads DLLs only from the system folder and the program's own folder from here on: never
// from the working folder, which holds the schedule files that users write and so is where a
// planted DLL would wait for a library that the system loads on demand. Call it first thing.
void narrowDllSearch();

}  // namespace win32
