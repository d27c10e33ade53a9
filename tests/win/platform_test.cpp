// The platform layer on Windows (under Wine in CI): code page conversion, failures, the
// working folder, program starts and shortcuts.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "driver.hpp"
#include "schedule/folder.hpp"
#include "win32/command_search.hpp"
#include "win32/drive.hpp"
#include "win32/error.hpp"
#include "win32/folder.hpp"
#include "win32/owners.hpp"
#include "win32/process.hpp"
#include "win32/recycle.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

using namespace std::chrono_literals;

TEST(Text, CodePageConversionRefusesWhatItCannotHoldExactly) {
    const std::wstring cafe = L"C:\\Caf\u00e9\\app.exe";
    EXPECT_EQ(win32::toCodePageExactly(cafe, 1252), std::string("C:\\Caf\xE9\\app.exe"));
    EXPECT_EQ(win32::fromCodePage("Caf\xE9", 1252), L"Caf\u00e9");
    // Cyrillic has no place in Western European; best fit would make look-alikes of some
    // letters, the default character of the rest.
    EXPECT_FALSE(win32::toCodePageExactly(L"C:\\\u041f\u0440\u043e\u0433\\a.exe", 1252));
    // A letter that best fit would turn into a plain "A".
    EXPECT_FALSE(win32::toCodePageExactly(L"\u0100", 1252));
    EXPECT_EQ(win32::toCodePageExactly(L"\u041f", CP_UTF8), std::string("\xD0\x9F"));
    EXPECT_EQ(win32::toCodePageExactly(L"", 1252), std::string());
    EXPECT_EQ(win32::narrow(win32::widen("Caf\xC3\xA9")), "Caf\xC3\xA9");
}

// ASCII is copied without the system's conversion: the result must be the system's all the
// same, on both sides of the last ASCII unit.
TEST(Text, Utf8AndUtf16ConvertAsTheSystemConverts) {
    const auto systemWide = [](const std::string& utf8) {
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                static_cast<int>(wide.size()))));
        return wide;
    };
    const std::string cases[] = {"",
                                 "a",
                                 "\x7f",
                                 "\xc2\x80",
                                 "C:\\Program Files\\Tool.exe",
                                 "Caf\xc3\xa9.exe",
                                 "\xe2\x82\xac 5",
                                 "\xf0\x9f\x98\x80",
                                 std::string("a\0b", 3)};
    for (const std::string& utf8 : cases) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(win32::widen(utf8), systemWide(utf8));
        EXPECT_EQ(win32::narrow(systemWide(utf8)), utf8);
    }
    // Into one string, each conversion replaces what the one before left, longer or shorter.
    std::wstring reused;
    for (const std::string& utf8 : {std::string("\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac"),
                                    std::string("ab"), std::string("\xc3\xa9"), std::string()}) {
        win32::widenInto(utf8, reused);
        EXPECT_EQ(reused, systemWide(utf8)) << utf8;
    }
}

TEST(Error, AFailureCarriesTheWin32CodeEvenFromACOMResult) {
    struct Case {
        HRESULT result;
        unsigned long code;
    };
    const Case cases[] = {
        {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), ERROR_ACCESS_DENIED},
        {HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), ERROR_SHARING_VIOLATION},
        {E_NOINTERFACE, static_cast<unsigned long>(E_NOINTERFACE)},
    };
    for (const Case& c : cases) {
        const schedule::Outcome failed = win32::comFailure(c.result);
        EXPECT_FALSE(failed);
        EXPECT_EQ(failed.code, c.code);
        EXPECT_EQ(failed.error, win32::systemReason(c.code));
    }
}

TEST(WorkingFolder, WritesReplacesListsAndRemoves) {
    driver::TempFolder temp;
    win32::WorkingFolder folder(temp.path() + L"\\");
    EXPECT_TRUE(schedule::writeFileAtomically(folder, "2Mon.dat", "one"));
    EXPECT_TRUE(schedule::writeFileAtomically(folder, "2Mon.dat", "two"));
    driver::createFolderOrThrow(temp.file(L"sub"));
    std::vector<std::string> names;
    EXPECT_TRUE(folder.fileNames(names));
    EXPECT_EQ(names, std::vector<std::string>{"2Mon.dat"}) << "no folders, no temporary files";
    std::string bytes;
    EXPECT_TRUE(folder.readFile("2Mon.dat", bytes));
    EXPECT_EQ(bytes, "two");
    EXPECT_TRUE(folder.removeFile("2Mon.dat"));
    EXPECT_TRUE(folder.removeFile("2Mon.dat")) << "removing what is gone is no failure";
    const schedule::Outcome missing = folder.readFile("2Mon.dat", bytes);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(missing.error, win32::systemReason(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(missing.busy);
}

// A pick file is created only under a free name: the file system refuses a name that a file
// has, in any letter case, or a folder, and leaves both files as they were.
TEST(WorkingFolder, RenameIfFreeNeverReplacesWhatHasTheName) {
    driver::TempFolder temp;
    win32::WorkingFolder folder(temp.path() + L"\\");
    temp.write(L"2Mon.dat", "theirs");
    driver::createFolderOrThrow(temp.file(L"3Mon.dat"));
    for (const char* taken : {"2Mon.dat", "2MON.DAT", "3Mon.dat"}) {
        SCOPED_TRACE(taken);
        temp.write(L"mine.tmp", "mine");
        const schedule::Outcome refused = folder.renameIfFree("mine.tmp", taken);
        EXPECT_FALSE(refused);
        EXPECT_TRUE(refused.taken);
        EXPECT_FALSE(refused.busy);
        EXPECT_EQ(temp.read(L"mine.tmp"), "mine");
        EXPECT_EQ(temp.read(L"2Mon.dat"), "theirs");
    }
    EXPECT_TRUE(folder.renameIfFree("mine.tmp", "4Mon.dat"));
    EXPECT_EQ(temp.names(), (std::vector<std::wstring>{L"2Mon.dat", L"4Mon.dat"}));
    EXPECT_EQ(temp.read(L"4Mon.dat"), "mine");
}

// The launcher reads its day file in parts: together they are the file, whatever its size
// against the part, and a file that cannot be opened hands nothing.
TEST(WorkingFolder, ReadsAFileInPartsThatMakeUpTheWholeFile) {
    driver::TempFolder temp;
    win32::WorkingFolder folder(temp.path() + L"\\");
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65536},
                                   std::size_t{65537}, std::size_t{600000}}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
        ASSERT_TRUE(folder.writeFile("datmon.dat", bytes));
        std::string joined;
        int parts = 0;
        EXPECT_TRUE(folder.readFileInParts("datmon.dat", [&](std::string_view part) {
            EXPECT_FALSE(part.empty());
            joined += part;
            ++parts;
        }));
        EXPECT_EQ(joined, bytes) << size;
        EXPECT_LE(parts, static_cast<int>(size / 4096 + 1)) << "parts of at least a page";
    }
    bool handed = false;
    const schedule::Outcome missing =
        folder.readFileInParts("datsun.dat", [&](std::string_view) { handed = true; });
    EXPECT_EQ(missing.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(handed);
}

TEST(WorkingFolder, ReplaceOutwaitsABriefReaderAndGivesUpOnALongOne) {
    driver::TempFolder temp;
    win32::WorkingFolder folder(temp.path() + L"\\");
    temp.write(L"datmon.dat", "old");
    // A reader that does not share deletion blocks the rename until it closes the file.
    win32::UniqueHandle reader =
        win32::ownHandle(CreateFileW(temp.file(L"datmon.dat").c_str(), GENERIC_READ,
                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    const schedule::Outcome blocked = schedule::writeFileAtomically(folder, "datmon.dat", "new");
    EXPECT_FALSE(blocked);
    EXPECT_EQ(temp.read(L"datmon.dat"), "old");
    EXPECT_FALSE(temp.exists(L"datmon.dat.tmp"));
    // A reader that lets go within the retry time does not make the write fail.
    std::thread closer([owned = std::move(reader)]() mutable {
        Sleep(150);
        owned.reset();
    });
    EXPECT_TRUE(schedule::writeFileAtomically(folder, "datmon.dat", "new"));
    closer.join();
    EXPECT_EQ(temp.read(L"datmon.dat"), "new");
}

TEST(Process, StartsWithTheShowValueAndReportsFailures) {
    driver::TempFolder temp;
    const std::wstring probe = driver::testBinDir() + L"\\probe.exe";
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.path().c_str()));
    win32::UniqueHandle process, none;
    const schedule::Outcome started = win32::startProgram(L"\"" + probe + L"\" first", 6, process);
    const schedule::Outcome missing = win32::startProgram(L"no-such-program-here.exe", 1, none);
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(started) << started.error;
    EXPECT_EQ(driver::waitForExit(process.get(), 10s), 0u);
    const auto runs = driver::probeRuns(temp.path());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].showWindow, 6);
    EXPECT_EQ(runs[0].folder, temp.path()) << "the working folder is inherited";
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(none) << "no handle for a program that did not start";
}

TEST(Shell, ShortcutIsWrittenReplacedAndReadBack) {
    win32::ComApartment com;
    driver::TempFolder temp;
    const std::wstring path = temp.file(L"Brightwick.lnk");
    EXPECT_TRUE(win32::saveLink(path, {L"C:\\Old\\Brightwick.exe", L"", L"C:\\Old"}));
    EXPECT_TRUE(win32::saveLink(path, {L"C:\\Tools\\Brightwick.exe", L"", L"D:\\Schedules"}));
    const auto link = driver::loadLink(path);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, L"C:\\Tools\\Brightwick.exe");
    EXPECT_EQ(link->arguments, L"");
    EXPECT_EQ(link->workingFolder, L"D:\\Schedules");
    const schedule::Outcome unwritable =
        win32::saveLink(temp.file(L"no such folder\\x.lnk"), {L"C:\\a.exe", L"", L""});
    EXPECT_FALSE(unwritable);
    EXPECT_NE(unwritable.code, 0u) << unwritable.error;
}

TEST(Shell, StartupFoldersAndOwnFolderAreKnown) {
    for (const KNOWNFOLDERID* id : {&FOLDERID_Startup, &FOLDERID_CommonStartup}) {
        std::wstring path;
        EXPECT_TRUE(win32::knownFolder(*id, path));
        EXPECT_FALSE(path.empty());
    }
    const std::wstring folder = win32::ownProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.size() == 3 || folder.back() != L'\\') << "one backslash only at a root";
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(self).rfind(folder, 0), 0u);
}

TEST(CommandSearch, ALineIsFoundAsAFileOrAsTheProgramCreateProcessWouldTake) {
    driver::TempFolder temp;
    driver::createFolderOrThrow(temp.file(L"with blank"));
    temp.write(L"with blank\\app.exe", "x");
    temp.write(L"notes.txt", "x");
    const std::wstring app = temp.file(L"with blank\\app.exe");
    struct Case {
        std::wstring line;
        bool found;
    };
    const Case cases[] = {
        {app, true},                      // a file as a whole, blanks and all
        {temp.file(L"notes.txt"), true},  // a document is a file too
        {L"\"" + app + L"\" /x", true},   // quoted program, arguments after
        {app + L" /x", false},            // only the first word, part of a path with blanks
        {temp.file(L"with blank\\gone.exe"), false},  // moved or uninstalled
        {L"\"" + temp.file(L"gone.exe") + L"\" /x", false},
        {L"cmd.exe /c exit", true},  // found by the program search, in the system folder
        {L"cmd /c exit", true},      // ".exe" added to a name without an extension
        {L"no-such-program-4711 /x", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::commandFound(c.line), c.found) << win32::narrow(c.line);
    }
}

TEST(Process, AFileByALongPathIsFoundInTheFormWindowsOpensItBy) {
    const std::wstring name(240, L'n');
    const std::wstring shortPath = L"C:\\Tools\\app.exe";
    struct Case {
        std::wstring path;
        std::wstring extended;
    };
    const Case cases[] = {
        {shortPath, shortPath},
        {L"C:\\" + name + L"\\" + name, L"\\\\?\\C:\\" + name + L"\\" + name},
        // Behind the prefix nothing is normalised: the separators are made so beforehand.
        {L"C:/" + name + L"\\\\" + name, L"\\\\?\\C:\\" + name + L"\\" + name},
        {L"\\\\server\\share\\" + name + L"\\" + name,
         L"\\\\?\\UNC\\server\\share\\" + name + L"\\" + name},
        {L"\\\\?\\C:\\" + name + L"\\" + name, L"\\\\?\\C:\\" + name + L"\\" + name},
        {name + L"\\" + name, name + L"\\" + name},  // not a full path: left to the system
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::extendedLengthPath(c.path), c.extended) << win32::narrow(c.path);
    }

    // A program at a path of more than MAX_PATH characters is there for isFile.
    driver::TempFolder temp;
    std::wstring folder = temp.path();
    while (folder.size() < MAX_PATH) {
        folder += L"\\" + std::wstring(60, L'f');
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr)) << folder.size();
    }
    const std::wstring program = folder + L"\\app.exe";
    ASSERT_TRUE(CopyFileW((driver::testBinDir() + L"\\probe.exe").c_str(),
                          (L"\\\\?\\" + program).c_str(), TRUE));
    EXPECT_TRUE(win32::isFile(program));
    EXPECT_FALSE(win32::isFile(folder + L"\\gone.exe"));
    EXPECT_FALSE(win32::isFile(folder)) << "a folder is no file";
}

TEST(WorkingFolder, AReadOnlyFileIsSaidToBeSoAtOnceAndOtherConflictsMayPass) {
    struct Case {
        unsigned long error;
        unsigned long attributes;
        bool busy;
        std::string reason;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_READONLY, false, "the file is read-only"},
        {ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, false,
         "the file is read-only"},
        {ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_NORMAL, true,
         win32::systemReason(ERROR_ACCESS_DENIED)},
        {ERROR_ACCESS_DENIED, INVALID_FILE_ATTRIBUTES, true,
         win32::systemReason(ERROR_ACCESS_DENIED)},
        {ERROR_SHARING_VIOLATION, FILE_ATTRIBUTE_READONLY, true,
         win32::systemReason(ERROR_SHARING_VIOLATION)},
        {ERROR_DISK_FULL, FILE_ATTRIBUTE_NORMAL, false, win32::systemReason(ERROR_DISK_FULL)},
    };
    for (const Case& c : cases) {
        const schedule::Outcome refused = win32::refusal(c.error, c.attributes);
        EXPECT_FALSE(refused);
        EXPECT_EQ(refused.busy, c.busy) << c.error << " " << c.attributes;
        EXPECT_EQ(refused.error, c.reason);
        EXPECT_EQ(refused.code, c.error);
    }

    // Removing one, as the viewer's Remove does: Windows, and Wine too, refuse a read-only file.
    driver::TempFolder temp;
    temp.write(L"2Mon.dat", "x");
    SetFileAttributesW(temp.file(L"2Mon.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    win32::WorkingFolder folder(temp.path() + L"\\");
    const schedule::Outcome removed = folder.removeFile("2Mon.dat");
    SetFileAttributesW(temp.file(L"2Mon.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(removed.error, "the file is read-only");
    EXPECT_FALSE(removed.busy);
}

TEST(Drive, ASubstituteDriveLeadsToItsFolderAndOthersStayAsTheyAre) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    std::wstring folder = temp;
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    // What subst does: a drive letter that is a link to a folder.
    wchar_t letter = L'\0';
    for (wchar_t candidate = L'P'; candidate <= L'W' && !letter; ++candidate) {
        const std::wstring drive{candidate, L':'};
        if (GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_NO_ROOT_DIR &&
            DefineDosDeviceW(0, drive.c_str(), folder.c_str())) {
            letter = candidate;
        }
    }
    ASSERT_NE(letter, L'\0') << "no free drive letter could be defined";
    const std::wstring drive{letter, L':'};
    const win32::DriveLetter substitute = win32::driveLetter(drive + L"\\Sched");
    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive.c_str(),
                     folder.c_str());
    EXPECT_EQ(substitute.kind, win32::DriveLetter::Kind::Substitute);
    EXPECT_EQ(substitute.path, folder + L"\\Sched");

    for (const wchar_t* path : {L"C:\\Windows", L"\\\\srv\\apps\\Sched", L"Sched"}) {
        const win32::DriveLetter local = win32::driveLetter(path);
        EXPECT_EQ(local.kind, win32::DriveLetter::Kind::Local) << win32::narrow(path);
        EXPECT_TRUE(local.path.empty());
    }
}

// The Recycle Bin keeps a fixed drive's files, and none of a share or of a drive made by subst.
TEST(RecycleBin, TakesTheFilesOfAFixedDriveAlone) {
    driver::TempFolder temp;
    EXPECT_TRUE(win32::recycleBinTakes(temp.path()));
    EXPECT_FALSE(win32::recycleBinTakes(L"\\\\srv\\apps\\Sched"));

    wchar_t letter = L'\0';
    for (wchar_t candidate = L'P'; candidate <= L'W' && !letter; ++candidate) {
        const std::wstring drive{candidate, L':'};
        if (GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_NO_ROOT_DIR &&
            DefineDosDeviceW(0, drive.c_str(), temp.path().c_str())) {
            letter = candidate;
        }
    }
    ASSERT_NE(letter, L'\0') << "no free drive letter could be defined";
    const std::wstring drive{letter, L':'};
    const bool substitute = win32::recycleBinTakes(drive + L"\\");
    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive.c_str(),
                     temp.path().c_str());
    EXPECT_FALSE(substitute);
}
