// copyfle.com and clrfle.com, run for real on a temporary folder.
#include <gtest/gtest.h>

#include "driver.hpp"
#include "schedule/helpers.hpp"
#include "schedule/record.hpp"
#include "win32/text.hpp"

using namespace driver;

namespace {
std::string normalRecord(const char* time, const char* program, const char* day) {
    return schedule::formatRecord({time, program, "Normal", day});
}

DWORD runHelper(const wchar_t* name, const TempFolder& folder) {
    Process helper(distDir() + L"\\" + name, L"", folder.path());
    auto code = helper.wait(30s);
    EXPECT_TRUE(code.has_value()) << "helper did not finish";
    return code.value_or(999);
}

const wchar_t* const kDayFilesByName[] = {L"datfri.dat", L"datmon.dat", L"datsat.dat",
                                          L"datsun.dat", L"datthu.dat", L"dattue.dat",
                                          L"datwed.dat"};
}  // namespace

TEST(Helpers, CombineThenClearAFolderOfPicks) {
    TempFolder folder;
    const std::string mon2 = normalRecord("08:00", "C:\\a.exe", "Monday");
    const std::string mon3 = normalRecord("09:15", "C:\\b.exe", "Monday");
    const std::string mon10 = normalRecord("10:30", "C:\\c.exe", "Monday");
    const std::string wed2 = normalRecord("08:00", "C:\\a.exe", "Wednesday");
    folder.write(L"2Mon.dat", mon2);
    folder.write(L"10Mon.dat", mon10);
    folder.write(L"2Wed.dat", wed2);
    folder.write(L"3mon.DAT", "09:15\nC:\\b.exe\nNormal\nMonday\n");  // LF only: normalised
    folder.write(L"datmon.dat", normalRecord("00:00", "C:\\stale.exe", "Monday"));
    folder.write(L"notes.dat", "my notes\r\n");

    EXPECT_EQ(runHelper(L"copyfle.com", folder), 0u);
    EXPECT_EQ(folder.read(L"datmon.dat"), mon2 + mon3 + mon10);
    EXPECT_EQ(folder.read(L"datwed.dat"), wed2);
    for (const wchar_t* day :
         {L"dattue.dat", L"datthu.dat", L"datfri.dat", L"datsat.dat", L"datsun.dat"}) {
        EXPECT_EQ(folder.read(day), "") << "empty day file expected";
    }
    EXPECT_TRUE(folder.exists(L"2Mon.dat")) << "pick files stay";
    EXPECT_EQ(folder.read(L"notes.dat"), "my notes\r\n");

    EXPECT_EQ(runHelper(L"clrfle.com", folder), 0u);
    std::vector<std::wstring> expected(std::begin(kDayFilesByName), std::end(kDayFilesByName));
    expected.push_back(L"notes.dat");
    EXPECT_EQ(folder.names(), expected);
    for (const wchar_t* day : kDayFilesByName) EXPECT_EQ(folder.read(day), "");
    EXPECT_EQ(folder.read(L"notes.dat"), "my notes\r\n");

    // The cleared picks are kept aside, whole, for the editor to restore, in a folder named
    // by the clear's time.
    const std::vector<std::wstring> clears = folderNames(folder.file(L"Cleared"));
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_TRUE(schedule::clearOrder(win32::narrow(clears[0]))) << win32::narrow(clears[0]);
    const std::wstring cleared = folder.file(L"Cleared\\" + clears[0]);
    EXPECT_EQ(fileNames(cleared),
              (std::vector<std::wstring>{L"10Mon.dat", L"2Mon.dat", L"2Wed.dat", L"3mon.DAT"}));
    EXPECT_EQ(fileBytes(cleared + L"\\2Mon.dat"), mon2);
}

TEST(Helpers, AClearThatCannotMoveAPickFileLeavesItWhereItWas) {
    TempFolder folder;
    folder.write(L"2Mon.dat", normalRecord("08:00", "C:\\a.exe", "Monday"));
    folder.write(L"3Mon.dat", normalRecord("09:00", "C:\\b.exe", "Monday"));
    // Open without delete sharing, as an editor holding the file would.
    const win32::UniqueHandle held = win32::ownHandle(
        CreateFileW(folder.file(L"3Mon.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(runHelper(L"clrfle.com", folder), 1u);
    EXPECT_EQ(folder.read(L"3Mon.dat"), normalRecord("09:00", "C:\\b.exe", "Monday"));
    const std::vector<std::wstring> clears = folderNames(folder.file(L"Cleared"));
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(fileNames(folder.file(L"Cleared\\" + clears[0])),
              std::vector<std::wstring>{L"2Mon.dat"});
    EXPECT_EQ(folder.read(L"datmon.dat"), "");
}

TEST(Helpers, CombineLeavesOutAPickFileOfThreeLinesAndOneAboveTheLimit) {
    TempFolder folder;
    folder.write(L"2Fri.dat", "08:00\r\nC:\\a.exe\r\nNormal\r\n");
    folder.write(L"3Fri.dat", normalRecord("09:00", "C:\\b.exe", "Friday"));
    folder.write(L"4Fri.dat", normalRecord("10:00", "C:\\c.exe", "Friday") + "\r\n\r\n");
    EXPECT_EQ(runHelper(L"copyfle.com", folder), 2u);
    EXPECT_EQ(folder.read(L"datfri.dat"), normalRecord("09:00", "C:\\b.exe", "Friday") +
                                              normalRecord("10:00", "C:\\c.exe", "Friday"))
        << "a record followed only by empty lines is taken";

    folder.write(L"2Fri.dat", normalRecord("08:00", "C:\\a.exe", "Friday"));
    EXPECT_EQ(runHelper(L"copyfle.com", folder), 0u);
    folder.write(L"1000000000000000000Fri.dat", normalRecord("11:00", "C:\\d.exe", "Friday"));
    EXPECT_EQ(runHelper(L"copyfle.com", folder), 2u);
    EXPECT_EQ(folder.read(L"datfri.dat"), normalRecord("08:00", "C:\\a.exe", "Friday") +
                                              normalRecord("09:00", "C:\\b.exe", "Friday") +
                                              normalRecord("10:00", "C:\\c.exe", "Friday"));
}

TEST(Helpers, CombineReportsADayFileItCannotReplace) {
    TempFolder folder;
    folder.write(L"2Sat.dat", normalRecord("09:00", "C:\\b.exe", "Saturday"));
    folder.write(L"datsat.dat", "old");
    // A folder in the way of the day file cannot be replaced by a file.
    ASSERT_TRUE(DeleteFileW(folder.file(L"datsat.dat").c_str()));
    createFolderOrThrow(folder.file(L"datsat.dat"));
    EXPECT_EQ(runHelper(L"copyfle.com", folder), 1u);
    EXPECT_FALSE(folder.exists(L"datsat.dat.tmp")) << "no temporary file is left behind";
    EXPECT_EQ(folder.read(L"datmon.dat"), "") << "the other days are still written";
}

TEST(Helpers, BareNameIsFoundFromTheWorkingFolder) {
    // The editor starts the helpers by bare name from its working folder, where they ship.
    TempFolder folder;
    copyFileOrThrow(distDir() + L"\\copyfle.com", folder.file(L"copyfle.com"));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"copyfle.com";
    const bool started = createProcess(nullptr, commandLine, 0, nullptr, info);
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(started);
    win32::UniqueHandle process(info.hProcess);
    const win32::UniqueHandle thread(info.hThread);
    ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(folder.exists(L"datsun.dat"));
}
