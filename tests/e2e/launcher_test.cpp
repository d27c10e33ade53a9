// Brightwick run for real in a fresh folder: which records start, with which show-window
// value, from which folder and in which order; what it says when today's file is missing.
// The scheduled programs are the probe and stamp test programs, so every start is seen.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.hpp"
#include "launcher/history_file.hpp"
#include "schedule/command_line.hpp"
#include "schedule/record.hpp"
#include "schedule/weekday.hpp"
#include "win32/error.hpp"
#include "win32/text.hpp"

using namespace driver;

namespace {

struct Clock {
    int weekday;  // Sunday 1 ... Saturday 7, as the launcher numbers it
    int hour;
    bool operator==(const Clock&) const = default;
};

Clock clockNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wDayOfWeek + 1, now.wHour};
}

std::wstring dayFile(int weekday) {
    return win32::widen(schedule::weekdayByLauncherNumber(weekday)->dayFile);
}

// Text as the editor writes it into a day file: bytes of the ANSI code page.
std::string ansi(const std::wstring& text) {
    const std::optional<std::string> bytes = win32::toCodePageExactly(text);
    if (!bytes) throw std::runtime_error("the ANSI code page cannot hold " + win32::narrow(text));
    return *bytes;
}

std::string mondayRecord(const std::string& time, const std::wstring& program,
                         const std::string& style) {
    return schedule::formatRecord({time, ansi(program), style, "Monday"});
}

std::wstring inQuotes(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

std::string twoDigits(int number) {
    return std::string(1, static_cast<char>('0' + number / 10)) +
           static_cast<char>('0' + number % 10);
}

// A folder name with characters beyond ASCII that the ANSI code page holds exactly, as the
// editor can only schedule such paths.
std::wstring nonAsciiFolderName() {
    for (const wchar_t* name : {L"Caf\u00e9", L"\u041a\u0430\u0444\u0435", L"\u30ab\u30d5\u30a7",
                                L"\u039a\u03b1\u03c6\u03ad"}) {
        const std::optional<std::string> bytes = win32::toCodePageExactly(name);
        if (bytes && std::any_of(bytes->begin(), bytes->end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            return name;
        }
    }
    throw std::runtime_error("no non-ASCII folder name fits the ANSI code page");
}

// One run of the launcher in `folder`, until it and every program it started have ended.
struct LauncherRun {
    std::optional<DWORD> exitCode;
    bool allEnded = false;
    DWORD processes = 0;     // the launcher and every program it started
    driver::MessageBox box;  // the message box it showed, answered with OK; empty when none
};

LauncherRun runLauncher(const TempFolder& folder) {
    LauncherRun run;
    // Under Wine the first window on a desktop that nobody uses starts the desktop process,
    // explorer.exe, as a child of the program that shows it. Held open here by the test, the
    // desktop is there before the launcher's message box, so that process neither joins the
    // launcher's job nor counts as a program the launcher started.
    GetDesktopWindow();
    ProcessTree tree(distDir() + L"\\Brightwick.exe", L"", folder.path());
    pollUntil(
        [&] {
            if (tree.wait(0ms)) return true;
            const std::vector<HWND> boxes = topWindows(tree.id(), {}, L"#32770");
            return !boxes.empty();
        },
        20s);
    if (!tree.wait(0ms)) {
        run.box = waitForMessageBox(tree.id(), 1s);
        if (run.box) answer(run.box, IDOK);
    }
    run.exitCode = tree.wait(10s);
    run.allEnded = tree.waitForAll(30s);
    run.processes = tree.totalProcesses();
    return run;
}

// Sets up a folder for the clock of now, runs the launcher and checks what it did. A run
// during which the full hour passed is thrown away and done again, since what is due and
// which file is today's would have changed under it.
template <class Setup, class Check>
void onSteadyClock(Setup setup, Check check) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        TempFolder folder;
        const Clock clock = clockNow();
        setup(folder, clock);
        const LauncherRun run = runLauncher(folder);
        if (clockNow() != clock) continue;
        check(folder, clock, run);
        return;
    }
    FAIL() << "the full hour passed during every attempt";
}

void expectEndedAlone(const LauncherRun& run, DWORD exitCode) {
    EXPECT_EQ(run.exitCode, exitCode);
    EXPECT_TRUE(run.allEnded) << "a started program did not end";
}

std::wstring describe(const std::vector<ProbeRun>& runs) {
    std::wstring text;
    for (const ProbeRun& run : runs) {
        text +=
            std::to_wstring(run.showWindow) + L" " + run.folder + L" " + run.commandLine + L"\n";
    }
    return text;
}

// A file type of the test's own whose documents open with the probe, as a program registers
// its documents when it is installed. Under HKLM\\Software\\Classes: Wine's shell reads file
// types from there alone, not from the user's classes.
class ProbeFileType {
  public:
    static constexpr wchar_t kExtension[] = L".nvprobe";

    ProbeFileType() {
        set(L"Software\\Classes\\.nvprobe", L"NorvellProbeDocument");
        set(L"Software\\Classes\\NorvellProbeDocument\\shell\\open\\command",
            L"\"" + testBinDir() + L"\\probe.exe\" \"%1\"");
    }
    ~ProbeFileType() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\NorvellProbeDocument");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.nvprobe");
    }
    ProbeFileType(const ProbeFileType&) = delete;
    ProbeFileType& operator=(const ProbeFileType&) = delete;

  private:
    static void set(const wchar_t* key, const std::wstring& value) {
        HKEY raw = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                            nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot register the probe's file type");
        }
        const win32::UniqueKey owned(raw);
        RegSetValueExW(raw, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
};

}  // namespace

TEST(Launcher, StartsExactlyTodaysDueRecordsWithTheirWindowStyles) {
    std::wstring probe, blanks, nonAscii, gone;
    onSteadyClock(
        [&](const TempFolder& folder, const Clock& clock) {
            probe = folder.file(L"probe.exe");
            copyFileOrThrow(testBinDir() + L"\\probe.exe", probe);
            // The probe under a folder with blanks, and a decoy where an unquoted start of it
            // would land first.
            createFolderOrThrow(folder.file(L"Program Files"));
            createFolderOrThrow(folder.file(L"Program Files\\App"));
            blanks = folder.file(L"Program Files\\App\\probe.exe");
            gone = folder.file(L"Program Files\\App\\gone (1).exe");
            copyFileOrThrow(testBinDir() + L"\\probe.exe", blanks);
            copyFileOrThrow(testBinDir() + L"\\stamp.exe", folder.file(L"Program.exe"));
            createFolderOrThrow(folder.file(nonAsciiFolderName()));
            nonAscii = folder.file(nonAsciiFolderName() + L"\\probe.exe");
            copyFileOrThrow(testBinDir() + L"\\probe.exe", nonAscii);

            // Every other day's file would start the probe with its own argument.
            for (const schedule::Weekday& day : schedule::kWeekdays) {
                const std::wstring name = win32::widen(day.dayFile);
                folder.write(name, mondayRecord("00:00", inQuotes(probe) + L" " + name, "Normal"));
            }
            const std::string hour = twoDigits(clock.hour);
            const std::string today =
                mondayRecord("00:00", inQuotes(probe) + L" normal", "Normal") +
                mondayRecord("23:45", inQuotes(probe) + L" never", "Normal") +
                mondayRecord("00:00", inQuotes(probe) + L" max", "Max") +
                mondayRecord("00:00", inQuotes(probe) + L" lowercase", "normal") +
                mondayRecord("00:00", inQuotes(probe) + L" hide", "Hide") +
                mondayRecord("00:00", folder.file(L"missing.exe"), "Normal") +
                mondayRecord("00:00", inQuotes(probe) + L" min", "Min") +
                mondayRecord(hour + ":00", inQuotes(probe) + L" this-hour", "Normal") +
                mondayRecord(hour + ":15", inQuotes(probe) + L" after-this-hour", "Normal") +
                mondayRecord("00:00", inQuotes(probe) + L" list-word", "Minimize") +
                mondayRecord("00:00", inQuotes(probe) + L" blank", " Hide") +
                mondayRecord("00:00", blanks, "Max") + mondayRecord("00:00", nonAscii, "Hide") +
                // Gone, its path with blanks: the decoy at its first blank must not start.
                mondayRecord("00:00", gone, "Normal") +
                // A trailing blank line: an incomplete record that must not start the last
                // program again.
                "\r\n";
            folder.write(dayFile(clock.weekday), today);
        },
        [&](const TempFolder& folder, const Clock&, const LauncherRun& run) {
            expectEndedAlone(run, 0);
            EXPECT_FALSE(run.box) << "unexpected message: " << win32::narrow(run.box.text);
            struct Expected {
                int showWindow;
                std::wstring commandLine;
            };
            std::vector<Expected> expected{
                {1, inQuotes(probe) + L" normal"},
                {3, inQuotes(probe) + L" max"},
                {0, inQuotes(probe) + L" hide"},
                {6, inQuotes(probe) + L" min"},
                {1, inQuotes(probe) + L" this-hour"},
                {3, inQuotes(blanks)},
                {0, inQuotes(nonAscii)},
            };
            EXPECT_EQ(run.processes, expected.size() + 1) << "programs started besides the probes";
            // Started back to back, the probes may reach their log in any order.
            std::vector<ProbeRun> runs = probeRuns(folder.path());
            const auto byCommandLine = [](const auto& a, const auto& b) {
                return a.commandLine < b.commandLine;
            };
            std::sort(runs.begin(), runs.end(), byCommandLine);
            std::sort(expected.begin(), expected.end(), byCommandLine);
            ASSERT_EQ(runs.size(), expected.size()) << win32::narrow(describe(runs));
            for (std::size_t i = 0; i < runs.size(); ++i) {
                EXPECT_EQ(runs[i].commandLine, expected[i].commandLine);
                EXPECT_EQ(runs[i].showWindow, expected[i].showWindow)
                    << win32::narrow(runs[i].commandLine);
                EXPECT_EQ(runs[i].folder, folder.path()) << win32::narrow(runs[i].commandLine);
            }
            for (const StampRun& decoy : stampRuns(folder.path())) {
                ADD_FAILURE() << "the decoy ran: " << win32::narrow(decoy.program) << " as "
                              << win32::narrow(decoy.commandLine);
            }
            const std::string history = fileBytes(*launcher::logonHistoryPath()).value_or("");
            const std::string notFound =
                "  Not started as a program, Normal (show value 1): " + win32::narrow(gone) +
                "\r\n    " + std::string(schedule::kProgramNotFoundUnquoted) + ".\r\n";
            EXPECT_NE(history.find("  Working folder: " + win32::narrow(folder.path()) + "\r\n"),
                      std::string::npos);
            EXPECT_NE(history.find(notFound), std::string::npos)
                << history.substr(history.size() > 3000 ? history.size() - 3000 : 0);
        });
}

TEST(Launcher, StartsDueRecordsInFileOrder) {
    onSteadyClock(
        [&](const TempFolder& folder, const Clock&) {
            const std::wstring stamp = folder.file(L"stamp.exe");
            copyFileOrThrow(testBinDir() + L"\\stamp.exe", stamp);
            std::string records;
            const char* const styles[] = {"Hide", "Min", "Normal", "Max", "Hide", "Min"};
            for (int i = 0; i < 6; ++i) {
                records += mondayRecord("00:00", inQuotes(stamp) + L" " + std::to_wstring(i + 1),
                                        styles[i]);
                records += mondayRecord("23:30", inQuotes(stamp) + L" never", "Normal");
            }
            // The order does not depend on the day: every day's file holds the same records.
            for (const schedule::Weekday& day : schedule::kWeekdays) {
                folder.write(win32::widen(day.dayFile), records);
            }
        },
        [&](const TempFolder& folder, const Clock&, const LauncherRun& run) {
            expectEndedAlone(run, 0);
            EXPECT_EQ(run.processes, 7u);
            std::vector<StampRun> runs = stampRuns(folder.path());
            ASSERT_EQ(runs.size(), 6u);
            std::sort(runs.begin(), runs.end(),
                      [](const StampRun& a, const StampRun& b) { return a.created < b.created; });
            for (std::size_t i = 0; i < runs.size(); ++i) {
                EXPECT_EQ(runs[i].commandLine,
                          inQuotes(folder.file(L"stamp.exe")) + L" " + std::to_wstring(i + 1))
                    << "start " << i + 1;
                if (i > 0) {
                    EXPECT_LT(runs[i - 1].created, runs[i].created);
                }
            }
        });
}

TEST(Launcher, AMissingOrUnreadableDayFileIsNamedInAMessageAndStartsNothing) {
    struct Case {
        const char* name;
        bool folderInTheWay;  // a folder by the day file's name: there, but cannot be opened
    };
    for (const Case& c : {Case{"missing", false}, Case{"a folder in the way", true}}) {
        SCOPED_TRACE(c.name);
        onSteadyClock(
            [&](const TempFolder& folder, const Clock& clock) {
                copyFileOrThrow(testBinDir() + L"\\probe.exe", folder.file(L"probe.exe"));
                for (const schedule::Weekday& day : schedule::kWeekdays) {
                    const std::wstring name = win32::widen(day.dayFile);
                    if (name == dayFile(clock.weekday)) continue;
                    folder.write(name, mondayRecord("00:00", folder.file(L"probe.exe"), "Normal"));
                }
                if (c.folderInTheWay) createFolderOrThrow(folder.file(dayFile(clock.weekday)));
            },
            [&](const TempFolder& folder, const Clock& clock, const LauncherRun& run) {
                expectEndedAlone(run, 1);
                ASSERT_TRUE(run.box) << "no message box";
                EXPECT_EQ(run.box.title, L"Brightwick");
                const std::wstring& text = run.box.text;
                EXPECT_NE(text.find(L"\"" + dayFile(clock.weekday) + L"\""), std::wstring::npos)
                    << win32::narrow(text);
                EXPECT_NE(text.find(L"\"" + folder.path() + L"\""), std::wstring::npos)
                    << win32::narrow(text);
                if (!c.folderInTheWay) {
                    const std::wstring reason =
                        win32::widen(win32::systemReason(ERROR_FILE_NOT_FOUND));
                    EXPECT_NE(text.find(reason), std::wstring::npos) << win32::narrow(text);
                }
                EXPECT_EQ(run.processes, 1u) << "a program was started";
                EXPECT_TRUE(probeRuns(folder.path()).empty());
            });
    }
}

TEST(Launcher, AnEmptyDayFileEndsSilently) {
    onSteadyClock(
        [&](const TempFolder& folder, const Clock& clock) {
            copyFileOrThrow(testBinDir() + L"\\probe.exe", folder.file(L"probe.exe"));
            for (const schedule::Weekday& day : schedule::kWeekdays) {
                folder.write(win32::widen(day.dayFile),
                             mondayRecord("00:00", folder.file(L"probe.exe"), "Normal"));
            }
            folder.write(dayFile(clock.weekday), "");
        },
        [&](const TempFolder& folder, const Clock&, const LauncherRun& run) {
            expectEndedAlone(run, 0);
            EXPECT_FALSE(run.box) << "unexpected message: " << win32::narrow(run.box.text);
            EXPECT_EQ(run.processes, 1u);
            EXPECT_TRUE(probeRuns(folder.path()).empty());
        });
}

TEST(Launcher, ReadsADayFileThatAnotherProgramHoldsOpenForWriting) {
    // An editor may be writing or replacing the day file at logon; the launcher shares it.
    std::vector<win32::UniqueHandle> held;
    onSteadyClock(
        [&](const TempFolder& folder, const Clock&) {
            held.clear();
            copyFileOrThrow(testBinDir() + L"\\probe.exe", folder.file(L"probe.exe"));
            for (const schedule::Weekday& day : schedule::kWeekdays) {
                const std::wstring name = win32::widen(day.dayFile);
                folder.write(name, mondayRecord("00:00", folder.file(L"probe.exe"), "Hide"));
                held.push_back(win32::ownHandle(CreateFileW(folder.file(name).c_str(),
                                                            GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                                            nullptr, OPEN_EXISTING, 0, nullptr)));
                if (!held.back()) throw std::runtime_error("cannot hold " + win32::narrow(name));
            }
        },
        [&](const TempFolder& folder, const Clock&, const LauncherRun& run) {
            expectEndedAlone(run, 0);
            EXPECT_FALSE(run.box) << "unexpected message: " << win32::narrow(run.box.text);
            const std::vector<ProbeRun> runs = probeRuns(folder.path());
            ASSERT_EQ(runs.size(), 1u);
            EXPECT_EQ(runs[0].showWindow, 0);
            held.clear();
        });
}

TEST(Launcher, OpensADueDocumentThroughItsFileTypeWithItsWindowStyle) {
    const ProbeFileType type;
    std::wstring document;
    onSteadyClock(
        [&](const TempFolder& folder, const Clock&) {
            const std::wstring name = std::wstring(L"notes of the day") + type.kExtension;
            document = folder.file(name);
            folder.write(name, "notes\r\n");
            folder.write(std::wstring(L"later") + type.kExtension, "notes\r\n");
            const std::string records =
                mondayRecord("00:00", document, "Max") +
                mondayRecord("23:45", folder.file(std::wstring(L"later") + type.kExtension),
                             "Normal") +
                mondayRecord("00:00", folder.file(std::wstring(L"gone") + type.kExtension),
                             "Normal");
            for (const schedule::Weekday& day : schedule::kWeekdays) {
                folder.write(win32::widen(day.dayFile), records);
            }
        },
        [&](const TempFolder& folder, const Clock&, const LauncherRun& run) {
            expectEndedAlone(run, 0);
            EXPECT_FALSE(run.box) << "unexpected message: " << win32::narrow(run.box.text);
            EXPECT_EQ(run.processes, 2u) << "programs started besides the probe";
            const std::vector<ProbeRun> runs = probeRuns(folder.path());
            ASSERT_EQ(runs.size(), 1u) << win32::narrow(describe(runs));
            EXPECT_EQ(runs[0].showWindow, SW_SHOWMAXIMIZED);
            EXPECT_EQ(runs[0].folder, folder.path());
            EXPECT_EQ(runs[0].commandLine,
                      inQuotes(testBinDir() + L"\\probe.exe") + L" " + inQuotes(document));
        });
}
