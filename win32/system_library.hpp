// The system's own libraries, loaded at run time by programs that must not load them at start
// because only a rare path needs them.
#pragma once

#include <windows.h>

#include "win32/owners.hpp"

namespace win32 {

// `name` from the system folder only, never from the program's or the working folder, which
// may hold files that users write.
inline UniqueModule loadSystemLibrary(const wchar_t* name) {
    return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

// A function of a loaded module as its own type; null when the module has none by that name.
template <class Function>
Function procedureOf(HMODULE module, const char* name) {
    // Through the generic function pointer type, the one cast that no compiler warns about.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace win32
