#include "win32/dll_search.hpp"

#include <windows.h>

namespace win32 {

void narrowDllSearch() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    // The working folder also leaves the search of the older functions that do not take the
    // default directories into account.
    SetDllDirectoryW(L"");
}

}  // namespace win32
