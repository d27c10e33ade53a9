// The launcher's pass: due test, run styles, file order, incomplete records, failed starts,
// the weekday's day file, the error message and how a program line is handed over.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "launcher/pass.hpp"
#include "schedule/record.hpp"

using launcher::PassReport;
using launcher::ProgramStarter;

namespace {

struct Start {
    std::string programLine;
    int showWindow;
    bool operator==(const Start&) const = default;
};

// Records every start; the program lines in `failing` fail, as a missing program would.
class RecordingStarter final : public ProgramStarter {
  public:
    std::vector<Start> starts;
    std::set<std::string> failing;

    launcher::StartResult start(std::string_view programLine, int showWindow) override {
        starts.push_back({std::string(programLine), showWindow});
        if (failing.count(std::string(programLine)) != 0) {
            return {schedule::Outcome::failure("The system cannot find the file specified"),
                    launcher::StartWay::commandLine};
        }
        return {schedule::Outcome::success(), launcher::StartWay::program};
    }
};

std::ostream& operator<<(std::ostream& out, const Start& start) {
    return out << '{' << start.programLine << ", " << start.showWindow << '}';
}

std::string recordOf(std::string time, std::string program, std::string style = "Normal",
                     std::string day = "Monday") {
    return schedule::formatRecord(
        {std::move(time), std::move(program), std::move(style), std::move(day)});
}

PassReport pass(std::string_view bytes, int hour, RecordingStarter& starter) {
    return launcher::runRecords(hour, bytes, starter);
}

// A folder of day files that counts its reads and can be busy or fail for a while.
class DayFolder final : public schedule::Folder {
  public:
    std::map<std::string, std::string> files;
    std::vector<std::string> reads;
    int busyReads = 0;  // the next reads fail as a file held by another process
    int pauses = 0;
    std::size_t partSize = 0;     // read in parts of this size; 0: the whole file at once
    int partsBeforeFailing = -1;  // a read in parts fails after this many; -1: never

    schedule::Outcome readFileInParts(std::string_view name,
                                      const std::function<void(std::string_view)>& take) override {
        if (partSize == 0) return Folder::readFileInParts(name, take);
        std::string bytes;
        if (schedule::Outcome read = readFile(name, bytes); !read) return read;
        int parts = 0;
        for (std::size_t at = 0; at < bytes.size(); at += partSize) {
            if (parts++ == partsBeforeFailing) {
                return schedule::Outcome::failure(
                    "The specified network name is no longer available");
            }
            take(std::string_view(bytes).substr(at, partSize));
        }
        return {};
    }

    schedule::Outcome fileNames(std::vector<std::string>&) override { return unexpected(); }
    schedule::Outcome folderNames(std::vector<std::string>&) override { return unexpected(); }
    schedule::Outcome removeSubfolder(std::string_view) override { return unexpected(); }
    schedule::Outcome readFile(std::string_view name, std::string& bytes) override {
        reads.emplace_back(name);
        if (busyReads > 0) {
            --busyReads;
            bytes = "partial";  // whatever a failed read leaves must not reach the pass
            return schedule::Outcome{.error = "in use", .busy = true};
        }
        auto it = files.find(std::string(name));
        if (it == files.end()) return schedule::Outcome::failure("The file was not found");
        bytes = it->second;
        return {};
    }
    schedule::Outcome writeFile(std::string_view, std::string_view) override {
        return unexpected();
    }
    schedule::Outcome replaceFile(std::string_view, std::string_view) override {
        return unexpected();
    }
    schedule::Outcome renameIfFree(std::string_view, std::string_view) override {
        return unexpected();
    }
    schedule::Outcome removeFile(std::string_view) override { return unexpected(); }
    schedule::Folder& subfolder(std::string_view) override {
        unexpected();
        return *this;
    }
    schedule::Outcome createSubfolder(std::string_view) override { return unexpected(); }
    schedule::Outcome moveToSubfolder(std::string_view, std::string_view,
                                      std::string_view) override {
        return unexpected();
    }
    void pause(std::chrono::milliseconds) override { ++pauses; }

  private:
    // The launcher only ever reads.
    static schedule::Outcome unexpected() {
        ADD_FAILURE() << "the launcher changed or listed the folder";
        return schedule::Outcome::failure("unexpected");
    }
};

}  // namespace

TEST(LauncherDue, WholeHoursAgainstEveryHourOfTheDay) {
    struct Case {
        const char* timeLine;
        int firstDueHour;  // 24: never due
    };
    const Case cases[] = {
        {"08:00", 8},  {"08:30", 9},  {"13:45", 14}, {"00:00", 0}, {"23:15", 24},
        {"23:30", 24}, {"23:45", 24}, {"23:00", 23}, {"00:15", 1}, {"12:59", 13},
        {"", 0},       {"ab:cd", 0},  {"xx", 0},     {"8:30", 8},  {"8:00", 8},
        {" 9:00", 9},  {"09", 9},     {"09:3", 10},  {"0900", 9},  {"1", 1},
    };
    for (const Case& c : cases) {
        const std::string bytes = recordOf(c.timeLine, "C:\\app.exe");
        for (int hour = 0; hour < 24; ++hour) {
            RecordingStarter starter;
            pass(bytes, hour, starter);
            const bool due = hour >= c.firstDueHour;
            EXPECT_EQ(starter.starts.size(), due ? 1u : 0u)
                << '"' << c.timeLine << "\" at hour " << hour;
        }
    }
}

TEST(LauncherStyles, StoredWordsGiveTheirShowWindowValues) {
    struct Case {
        const char* style;
        std::optional<int> showWindow;
    };
    const Case cases[] = {
        {"Normal", 1},    {"Max", 3},      {"Hide", 0},     {"Min", 6},       {"normal", {}},
        {"NORMAL", {}},   {"max", {}},     {"hide", {}},    {"MIN", {}},      {"Minimize", {}},
        {"Maximize", {}}, {" Normal", {}}, {"Normal ", {}}, {"Normal\t", {}}, {"Hidden", {}},
        {"Norm", {}},     {"", {}},        {"Min Max", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(launcher::showWindowFor(c.style), c.showWindow) << '"' << c.style << '"';
        RecordingStarter starter;
        const PassReport report = pass(recordOf("00:00", "C:\\app.exe", c.style), 12, starter);
        EXPECT_EQ(report.records, 1);
        if (c.showWindow) {
            EXPECT_EQ(starter.starts, (std::vector<Start>{{"C:\\app.exe", *c.showWindow}}))
                << c.style;
        } else {
            EXPECT_TRUE(starter.starts.empty()) << '"' << c.style << '"';
        }
    }
}

TEST(LauncherPass, StartsTheDueRecordsInFileOrder) {
    const std::string bytes =
        recordOf("00:00", "C:\\first.exe", "Normal") +
        recordOf("23:45", "C:\\never.exe", "Normal") +
        recordOf("08:00", "C:\\second.exe", "Max", "Friday") +
        recordOf("08:00", "C:\\lower.exe", "normal") + recordOf("07:30", "C:\\third.exe", "Hide") +
        recordOf("08:15", "C:\\later.exe", "Min") + recordOf("00:45", "C:\\fourth.exe", "Min");
    RecordingStarter starter;
    const PassReport report = pass(bytes, 8, starter);
    const std::vector<Start> expected{
        {"C:\\first.exe", 1}, {"C:\\second.exe", 3}, {"C:\\third.exe", 0}, {"C:\\fourth.exe", 6}};
    EXPECT_EQ(starter.starts, expected);
    EXPECT_EQ(report.records, 7);
    EXPECT_EQ(report.starts, 4);
    EXPECT_EQ(report.failed, 0);
    EXPECT_FALSE(report.incompleteLastRecord);
}

TEST(LauncherPass, AFailedStartDoesNotStopTheRecordsAfterIt) {
    const std::string bytes = recordOf("00:00", "C:\\missing.exe") +
                              recordOf("00:00", "C:\\notes.txt", "Max") + recordOf("00:00", "") +
                              recordOf("00:00", "C:\\app.exe", "Hide");
    RecordingStarter starter;
    starter.failing = {"C:\\missing.exe", "C:\\notes.txt", ""};
    const PassReport report = pass(bytes, 0, starter);
    const std::vector<Start> expected{
        {"C:\\missing.exe", 1}, {"C:\\notes.txt", 3}, {"", 1}, {"C:\\app.exe", 0}};
    EXPECT_EQ(starter.starts, expected);
    EXPECT_EQ(report.starts, 4);
    EXPECT_EQ(report.failed, 3);
}

TEST(LauncherPass, ReportsEachDueRecordWithWhatBecameOfItAndCountsTheRest) {
    const std::string bytes =
        recordOf("00:00", "C:\\first.exe", "Normal") +
        recordOf("23:45", "C:\\never.exe", "Normal") + recordOf("08:00", "C:\\gone.exe", "Max") +
        recordOf("08:00", "C:\\lower.exe", "normal") + recordOf("09:00", "C:\\later.exe", "Min") +
        "00:00\r\nC:\\cut.exe\r\n";
    RecordingStarter starter;
    starter.failing = {"C:\\gone.exe"};
    const PassReport report = pass(bytes, 8, starter);
    struct Expected {
        std::string programLine;
        std::string runStyle;
        std::optional<int> showWindow;
        bool started;
    };
    const Expected expected[] = {
        {"C:\\first.exe", "Normal", 1, true},
        {"C:\\gone.exe", "Max", 3, false},
        {"C:\\lower.exe", "normal", std::nullopt, false},
    };
    ASSERT_EQ(report.due.size(), std::size(expected));
    for (std::size_t i = 0; i < report.due.size(); ++i) {
        const launcher::DueRecord& due = report.due[i];
        EXPECT_EQ(due.programLine, expected[i].programLine);
        EXPECT_EQ(due.runStyle, expected[i].runStyle) << due.programLine;
        EXPECT_EQ(due.showWindow, expected[i].showWindow) << due.programLine;
        if (due.showWindow) {
            EXPECT_EQ(static_cast<bool>(due.start.outcome), expected[i].started) << due.programLine;
        }
    }
    EXPECT_FALSE(report.due[1].start.outcome.error.empty()) << "the reason stays with its record";
    EXPECT_EQ(report.notYetDue, 2);
    EXPECT_EQ(report.incompleteLines, 2);
    EXPECT_EQ(report.records, 5);
    EXPECT_EQ(report.starts, 2);
    EXPECT_EQ(report.failed, 1);
}

TEST(LauncherPass, AnIncompleteLastRecordIsPassedOver) {
    const std::string whole = recordOf("00:00", "C:\\app.exe", "Normal");
    struct Case {
        const char* name;
        std::string bytes;
        int records;
        bool incomplete;
    };
    const Case cases[] = {
        {"whole records only", whole + whole, 2, false},
        {"a trailing blank line", whole + "\r\n", 1, true},
        {"one line more", whole + "00:00\r\n", 1, true},
        {"two lines more", whole + "00:00\r\nC:\\other.exe\r\n", 1, true},
        {"three lines more", whole + "00:00\r\nC:\\other.exe\r\nMax\r\n", 1, true},
        {"three lines more, last unended", whole + "00:00\r\nC:\\other.exe\r\nMax", 1, true},
        {"only three lines", "00:00\r\nC:\\other.exe\r\nMax\r\n", 0, true},
        {"a last day line without line end", whole + "00:00\r\nC:\\app.exe\r\nNormal\r\nMonday", 2,
         false},
    };
    for (const Case& c : cases) {
        RecordingStarter starter;
        const PassReport report = pass(c.bytes, 12, starter);
        EXPECT_EQ(report.records, c.records) << c.name;
        EXPECT_EQ(report.incompleteLastRecord, c.incomplete) << c.name;
        EXPECT_EQ(starter.starts,
                  std::vector<Start>(static_cast<std::size_t>(c.records), {"C:\\app.exe", 1}))
            << c.name;
    }
}

TEST(LauncherPass, AnEmptyFileHoldsNoRecords) {
    RecordingStarter starter;
    const PassReport report = pass("", 12, starter);
    EXPECT_EQ(report.records, 0);
    EXPECT_FALSE(report.incompleteLastRecord);
    EXPECT_TRUE(starter.starts.empty());
}

TEST(LauncherPass, RecordsEndAtCrLfLoneCrOrLoneLf) {
    const std::string bytes =
        "00:00\rC:\\a.exe\rMax\rMonday\r"
        "00:00\nC:\\b.exe\nHide\nMonday\n"
        "00:00\r\nC:\\c.exe\r\nMin\r\nMonday\r\n";
    RecordingStarter starter;
    pass(bytes, 0, starter);
    const std::vector<Start> expected{{"C:\\a.exe", 3}, {"C:\\b.exe", 0}, {"C:\\c.exe", 6}};
    EXPECT_EQ(starter.starts, expected);
}

// The launcher reads its day file in parts: wherever they split it, into a line end, between
// CR and LF, or into single bytes, the pass is the one of the whole file.
TEST(LauncherPass, TheReportIsTheWholeFilesWhereverItsPartsSplitIt) {
    const std::string files[] = {
        "00:00\rC:\\a.exe\rMax\rMonday\r00:00\nC:\\b.exe\nHide\nMonday\n",
        recordOf("00:00", "C:\\a.exe") + recordOf("23:45", "C:\\later.exe") +
            recordOf("00:00", "C:\\b.exe", "Minimize") + recordOf("00:00", "C:\\c.exe", "Min"),
        recordOf("00:00", "C:\\a.exe") + "\r\n\r\n",                    // blank lines after it
        recordOf("00:00", "C:\\a.exe") + "00:00\r\nC:\\again.exe\r\n",  // an incomplete record
        "00:00\r\nC:\\a.exe\r\nNormal\r\nMonday",                       // no line end at all
        "00:00\r\nC:\\a.exe\r\nNormal\r\nMonday\r",                     // a lone CR at its end
        "\r\n\r\n\r\n\r\n\r\r\n\n",
        "",
    };
    const auto passInParts = [](std::string_view bytes, const std::vector<std::size_t>& cuts,
                                RecordingStarter& starter) {
        launcher::DayFileReader reader(12);
        std::size_t from = 0;
        for (std::size_t cut : cuts) {
            reader.take(bytes.substr(from, cut - from));
            from = cut;
        }
        reader.take(bytes.substr(from));
        PassReport report = reader.finish();
        launcher::startDue(report, starter);
        return report;
    };
    for (const std::string& bytes : files) {
        RecordingStarter wholeStarts;
        const PassReport whole = pass(bytes, 12, wholeStarts);
        std::vector<std::vector<std::size_t>> splits;
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) splits.push_back({cut});
        std::vector<std::size_t> everyByte;
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) everyByte.push_back(cut);
        splits.push_back(everyByte);
        for (const std::vector<std::size_t>& cuts : splits) {
            SCOPED_TRACE(testing::PrintToString(bytes) + " cut at " + testing::PrintToString(cuts));
            RecordingStarter starter;
            const PassReport parts = passInParts(bytes, cuts, starter);
            EXPECT_EQ(starter.starts, wholeStarts.starts);
            EXPECT_EQ(parts.records, whole.records);
            EXPECT_EQ(parts.notYetDue, whole.notYetDue);
            EXPECT_EQ(parts.starts, whole.starts);
            EXPECT_EQ(parts.incompleteLines, whole.incompleteLines);
            EXPECT_EQ(parts.incompleteLastRecord, whole.incompleteLastRecord);
            ASSERT_EQ(parts.due.size(), whole.due.size());
            for (std::size_t i = 0; i < parts.due.size(); ++i) {
                EXPECT_EQ(parts.due[i].programLine, whole.due[i].programLine);
                EXPECT_EQ(parts.due[i].runStyle, whole.due[i].runStyle);
            }
        }
    }
}

TEST(LauncherPass, TheProgramLineIsHandedOverUnchanged) {
    const char* const lines[] = {
        "C:\\Program Files\\App\\app.exe",
        "C:\\\\app.exe",  // a program in a drive's root: the editor doubles the backslash
        "\"C:\\Tools\\app.exe\" /quiet --day",
        "C:\\Tools\\Caf\xE9\\app.exe",  // a code page byte, not UTF-8
        "  C:\\app.exe  ",
        "notepad.exe C:\\readme.txt",
    };
    for (const char* line : lines) {
        RecordingStarter starter;
        pass(recordOf("00:00", line, "Normal"), 0, starter);
        EXPECT_EQ(starter.starts, (std::vector<Start>{{line, 1}})) << line;
    }
}

TEST(LauncherPass, TheDayLinePlaysNoPart) {
    RecordingStarter starter;
    pass(recordOf("00:00", "C:\\a.exe", "Normal", "Saturday") +
             recordOf("00:00", "C:\\b.exe", "Hide", ""),
         0, starter);
    EXPECT_EQ(starter.starts, (std::vector<Start>{{"C:\\a.exe", 1}, {"C:\\b.exe", 0}}));
}

TEST(LauncherRun, TheWeekdayPicksItsDayFileAndNoOther) {
    struct Case {
        int weekday;
        const char* dayFile;
    };
    const Case cases[] = {
        {1, "datsun.dat"}, {2, "datmon.dat"}, {3, "dattue.dat"}, {4, "datwed.dat"},
        {5, "datthu.dat"}, {6, "datfri.dat"}, {7, "datsat.dat"},
    };
    DayFolder folder;
    for (const Case& c : cases) {
        folder.files[c.dayFile] = recordOf("00:00", std::string("C:\\") + c.dayFile + ".exe");
    }
    for (const Case& c : cases) {
        EXPECT_EQ(launcher::dayFileFor(c.weekday), c.dayFile);
        folder.reads.clear();
        RecordingStarter starter;
        const launcher::RunResult result = launcher::run(c.weekday, 12, folder, starter);
        EXPECT_TRUE(result.opened) << c.weekday;
        EXPECT_EQ(result.dayFile, c.dayFile);
        EXPECT_EQ(folder.reads, std::vector<std::string>{c.dayFile});
        EXPECT_EQ(starter.starts,
                  (std::vector<Start>{{std::string("C:\\") + c.dayFile + ".exe", 1}}));
    }
    for (int weekday : {0, 8, -1}) {
        EXPECT_FALSE(launcher::dayFileFor(weekday)) << weekday;
        folder.reads.clear();
        RecordingStarter starter;
        const launcher::RunResult result = launcher::run(weekday, 12, folder, starter);
        EXPECT_FALSE(result.opened) << weekday;
        EXPECT_FALSE(result.reason.empty());
        EXPECT_TRUE(folder.reads.empty());
        EXPECT_TRUE(starter.starts.empty());
    }
}

TEST(LauncherRun, AMissingDayFileStartsNothingAndGivesTheReason) {
    DayFolder folder;
    folder.files["datmon.dat"] = recordOf("00:00", "C:\\monday.exe");
    RecordingStarter starter;
    const launcher::RunResult result = launcher::run(1, 12, folder, starter);
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(result.dayFile, "datsun.dat");
    EXPECT_EQ(result.reason, "The file was not found");
    EXPECT_TRUE(starter.starts.empty());
    EXPECT_EQ(folder.reads, std::vector<std::string>{"datsun.dat"}) << "tried once, not again";
    EXPECT_EQ(folder.pauses, 0);
}

TEST(LauncherRun, AnEmptyDayFileEndsWithoutAnything) {
    DayFolder folder;
    folder.files["datfri.dat"] = "";
    RecordingStarter starter;
    const launcher::RunResult result = launcher::run(6, 23, folder, starter);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.pass.records, 0);
    EXPECT_TRUE(starter.starts.empty());
}

TEST(LauncherRun, AFileHeldForAMomentIsTriedAgain) {
    struct Case {
        int busyReads;
        bool opened;
        int reads;
    };
    const Case cases[] = {
        {0, true, 1},
        {3, true, 4},
        {launcher::kOpenAttempts - 1, true, launcher::kOpenAttempts},
        {launcher::kOpenAttempts, false, launcher::kOpenAttempts},
        {1000, false, launcher::kOpenAttempts},
    };
    for (const Case& c : cases) {
        DayFolder folder;
        folder.files["datthu.dat"] = recordOf("00:00", "C:\\app.exe");
        folder.busyReads = c.busyReads;
        RecordingStarter starter;
        const launcher::RunResult result = launcher::run(5, 0, folder, starter);
        EXPECT_EQ(result.opened, c.opened) << c.busyReads;
        EXPECT_EQ(static_cast<int>(folder.reads.size()), c.reads) << c.busyReads;
        EXPECT_EQ(folder.pauses, c.reads - 1) << c.busyReads;
        EXPECT_EQ(starter.starts.size(), c.opened ? 1u : 0u) << c.busyReads;
        if (!c.opened) {
            EXPECT_EQ(result.reason, "in use");
        }
    }
}

// A file read to its end in parts starts what the whole file starts; one whose read fails
// part way starts nothing, as one that could not be opened, though some records were read.
TEST(LauncherRun, ADayFileReadInPartsStartsOnlyOnceItHasBeenReadToItsEnd) {
    std::string bytes;
    for (int i = 0; i < 50; ++i) bytes += recordOf("00:00", "C:\\app" + std::to_string(i) + ".exe");
    for (int failAfter : {-1, 0, 1, 7}) {
        DayFolder folder;
        folder.files["datwed.dat"] = bytes;
        folder.partSize = 100;
        folder.partsBeforeFailing = failAfter;
        RecordingStarter starter;
        const launcher::RunResult result = launcher::run(4, 12, folder, starter);
        SCOPED_TRACE(failAfter);
        if (failAfter < 0) {
            EXPECT_TRUE(result.opened);
            EXPECT_EQ(result.pass.records, 50);
            EXPECT_EQ(starter.starts.size(), 50u);
        } else {
            EXPECT_FALSE(result.opened);
            EXPECT_EQ(result.reason, "The specified network name is no longer available");
            EXPECT_TRUE(starter.starts.empty());
            EXPECT_EQ(folder.reads.size(), 1u) << "not busy: not tried again";
        }
    }
}

TEST(LauncherMessage, NamesTheFileTheFolderAndTheReason) {
    EXPECT_EQ(launcher::cannotOpenMessage("datmon.dat", "C:\\Users\\ann\\Schedule",
                                          "The system cannot find the file specified."),
              "Brightwick cannot open today's schedule file \"datmon.dat\" in the folder "
              "\"C:\\Users\\ann\\Schedule\".\n\nThe system cannot find the file specified.\n\n"
              "No scheduled program was started.");
    EXPECT_EQ(launcher::cannotOpenMessage("datsun.dat", "D:\\", "Access denied"),
              "Brightwick cannot open today's schedule file \"datsun.dat\" in the folder "
              "\"D:\\\".\n\nAccess denied.\n\nNo scheduled program was started.");
}
