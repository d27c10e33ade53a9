// The DLL search every program of ours narrows first thing: a DLL planted in the working
// folder, where the schedule files are, is found there before and never after.
#include <gtest/gtest.h>

#include <windows.h>

#include "driver.hpp"
#include "win32/dll_search.hpp"
#include "win32/owners.hpp"

TEST(DllSearch, APlantedDllInTheWorkingFolderIsNeverLoaded) {
    driver::TempFolder work;
    driver::copyFileOrThrow(driver::testBinDir() + L"\\planted.dll",
                            work.file(L"norvell-planted.dll"));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(work.path().c_str()));
    {
        // The classic search order looks in the working folder: the plant would work.
        const win32::UniqueModule found(LoadLibraryW(L"norvell-planted.dll"));
        EXPECT_TRUE(found) << "the planted DLL is not found even before the search is narrowed";
    }
    win32::narrowDllSearch();
    const win32::UniqueModule planted(LoadLibraryW(L"norvell-planted.dll"));
    const DWORD error = GetLastError();
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(planted) << "a DLL was loaded from the working folder";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    // The system's own DLLs are still found.
    EXPECT_TRUE(win32::UniqueModule(LoadLibraryW(L"version.dll")));
}
