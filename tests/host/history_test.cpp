// The logon history: the entry of one run, the file kept to its newest entries, and the
// sentence on the last run that the editor shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "launcher/history.hpp"
#include "launcher/last_run.hpp"

using launcher::DueRecord;
using launcher::RunResult;
using launcher::StartWay;

namespace {

constexpr launcher::LocalTime kWhen{2025, 3, 10, 8, 5, 2};

// Day files hold a code page; a stand-in for it: Latin-1 to UTF-8.
std::string latin1(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | byte >> 6);
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

DueRecord due(std::string program, std::string style, std::optional<int> show, StartWay way,
              std::string error = {}) {
    DueRecord record{std::move(program), std::move(style), show, {}};
    record.start.way = way;
    if (!error.empty()) record.start.outcome = schedule::Outcome::failure(std::move(error));
    return record;
}

RunResult opened(std::vector<DueRecord> records, int notYetDue, int incompleteLines = 0) {
    RunResult run;
    run.dayFile = "datmon.dat";
    run.opened = true;
    run.pass.due = std::move(records);
    run.pass.notYetDue = notYetDue;
    run.pass.incompleteLines = incompleteLines;
    run.pass.incompleteLastRecord = incompleteLines > 0;
    return run;
}

RunResult notOpened(std::string reason) {
    RunResult run;
    run.dayFile = "datsun.dat";
    run.reason = std::move(reason);
    return run;
}

std::string entryOf(const RunResult& run, launcher::LocalTime when = kWhen) {
    return launcher::historyEntry(when, "C:\\Users\\ann\\Schedule", run, latin1);
}

// An entry that tells its number by its time, so that a test sees which entries were kept.
std::string numberedEntry(int number) {
    const launcher::LocalTime when{
        2025, 1 + number / 3600 % 12, 1, number / 60 % 24, number % 60, number % 60};
    return entryOf(opened({}, number), when);
}

// What the launcher makes of the history file, for a history held whole: the bytes added at
// its end, or (rewrite) the whole file written anew.
struct Update {
    bool rewrite = false;
    std::string bytes;
};
Update updated(std::string_view history, std::string_view entry,
               int keep = launcher::kHistoryEntries, int slack = launcher::kHistorySlack) {
    launcher::HistoryTally tally;
    tally.add(history);
    if (std::optional<std::string> appendix =
            launcher::historyAppendix(tally, entry, keep, slack)) {
        return {false, std::move(*appendix)};
    }
    return {true, launcher::historyWithEntry(history, entry, keep)};
}

int countOf(std::string_view text, std::string_view part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

TEST(HistoryEntry, TellsEachDueRecordWhatBecameOfItAndCountsTheRest) {
    const RunResult run = opened(
        {
            due("C:\\Program Files\\App\\app.exe", "Normal", 1, StartWay::program),
            due("C:\\Users\\ann\\Caf\xE9.txt", "Max", 3, StartWay::document),
            due("C:\\a b\\run.bat", "Hide", 0, StartWay::batchFile),
            due("C:\\Tools\\setup.exe", "Normal", 1, StartWay::elevated),
            due("\"C:\\Tools\\app.exe\" /quiet", "Normal", 1, StartWay::commandLine),
            due("C:\\Tools\\gone.exe", "Min", 6, StartWay::commandLine,
                "The system cannot find the file specified"),
            due("C:\\Tools\\setup2.exe", "Max", 3, StartWay::elevated,
                "The operation was canceled\r\nby the user."),
            due("C:\\Tools\\other.exe", "Minimis\xE9", std::nullopt, StartWay::program),
        },
        3, 2);
    EXPECT_EQ(
        entryOf(run),
        "2025-03-10 08:05:02\r\n"
        "  Working folder: C:\\Users\\ann\\Schedule\r\n"
        "  Day file: datmon.dat\r\n"
        "  Started as a program, Normal (show value 1): C:\\Program Files\\App\\app.exe\r\n"
        "  Started as a document, Maximize (show value 3): C:\\Users\\ann\\Caf\xC3\xA9.txt\r\n"
        "  Started as a batch file, Hide (show value 0): C:\\a b\\run.bat\r\n"
        "  Started with administrator rights, Normal (show value 1): C:\\Tools\\setup.exe\r\n"
        "  Started as a command line, Normal (show value 1): \"C:\\Tools\\app.exe\" /quiet\r\n"
        "  Not started as a command line, Minimize (show value 6): C:\\Tools\\gone.exe\r\n"
        "    The system cannot find the file specified.\r\n"
        "  Not started with administrator rights, Maximize (show value 3): "
        "C:\\Tools\\setup2.exe\r\n"
        "    The operation was canceled  by the user.\r\n"
        "  Passed over for its unknown run style \"Minimis\xC3\xA9\": C:\\Tools\\other.exe\r\n"
        "  Passed over: an incomplete last record of 2 lines\r\n"
        "  Not yet due: 3 records\r\n"
        "\r\n");
}

TEST(HistoryEntry, CountsInTheSingularAndPlural) {
    const std::string one = entryOf(opened({}, 1, 1));
    EXPECT_NE(one.find("  Passed over: an incomplete last record of 1 line\r\n"), std::string::npos)
        << one;
    EXPECT_NE(one.find("  Not yet due: 1 record\r\n"), std::string::npos) << one;
    const std::string none = entryOf(opened({}, 0));
    EXPECT_NE(none.find("  Not yet due: 0 records\r\n"), std::string::npos) << none;
    EXPECT_EQ(none.find("incomplete"), std::string::npos) << none;
}

TEST(HistoryEntry, ADayFileThatCouldNotBeReadGivesTheReasonAlone) {
    EXPECT_EQ(
        entryOf(notOpened("The system cannot find the file specified"), {2026, 12, 31, 23, 59, 59}),
        "2026-12-31 23:59:59\r\n"
        "  Working folder: C:\\Users\\ann\\Schedule\r\n"
        "  Day file: datsun.dat\r\n"
        "  Day file not read: The system cannot find the file specified.\r\n"
        "\r\n");
}

TEST(HistoryFile, KeepsTheNewestEntriesBehindOneByteOrderMark) {
    std::string history;
    for (int number = 1; number <= 250; ++number) {
        history = launcher::historyWithEntry(history, numberedEntry(number));
    }
    std::string expected(launcher::kByteOrderMark);
    for (int number = 51; number <= 250; ++number) expected += numberedEntry(number);
    EXPECT_EQ(history, expected);
    EXPECT_EQ(countOf(history, launcher::kByteOrderMark), 1);
}

TEST(HistoryFile, EntriesAreFoundByTheirFirstLineAlone) {
    // A program line that reads like a date stays inside its entry.
    const std::string tricky =
        entryOf(opened({due("2025-03-10 08:05:02", "Normal", 1, StartWay::commandLine)}, 0));
    struct Case {
        const char* name;
        std::string history;
        int keep;
        std::string expected;
    };
    const std::string one = numberedEntry(1), two = numberedEntry(2), three = numberedEntry(3);
    const std::string bom(launcher::kByteOrderMark);
    const Case cases[] = {
        {"no history yet", "", 3, bom + three},
        {"a history without a byte order mark", one + two, 3, bom + one + two + three},
        {"the oldest goes", bom + one + two, 2, bom + two + three},
        {"keep one: only the new entry", bom + one + two, 1, bom + three},
        {"text before the first entry goes", bom + "notes\r\n" + one, 3, bom + one + three},
        {"an entry that is not one", bom + tricky + one, 2, bom + one + three},
        {"the date inside an entry is no entry", bom + one + tricky, 2, bom + tricky + three},
        {"cut short, the new entry starts on a line of its own", bom + one.substr(0, 30), 3,
         bom + one.substr(0, 30) + "\r\n" + three},
        {"lines ended by LF alone", bom + "2025-01-01 00:00:00\n  Day file: x\n\n" + two, 2,
         bom + two + three},
        {"nothing but text", bom + "notes\r\n", 3, bom + three},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(launcher::historyWithEntry(c.history, three, c.keep), c.expected) << c.name;
    }
}

TEST(HistoryFile, MostRunsAddTheirEntryAtTheEndAndEverySoManyWriteTheNewestAnew) {
    const std::string bom(launcher::kByteOrderMark);
    const std::string one = numberedEntry(1), two = numberedEntry(2), three = numberedEntry(3);
    const std::string four = numberedEntry(4);
    struct Case {
        const char* name;
        std::string history;
        bool rewrite;
        std::string bytes;
    };
    const Case cases[] = {
        {"no history yet", "", false, bom + four},
        {"below the limit", bom + one, false, four},
        {"a byte order mark alone", bom, false, four},
        {"cut short: on a line of its own", bom + one.substr(0, 30), false, "\r\n" + four},
        {"cut short after a CR", bom + one.substr(0, one.size() - 1), false, four},
        {"one below keep + slack", bom + one + two, false, four},
        {"keep + slack reached: only the newest written anew", bom + one + two + three, true,
         bom + three + four},
        {"text that holds no entry is not counted", "notes\r\n" + one + two, false, four},
    };
    for (const Case& c : cases) {
        const Update update = updated(c.history, four, 2, 1);
        EXPECT_EQ(update.rewrite, c.rewrite) << c.name;
        EXPECT_EQ(update.bytes, c.bytes) << c.name;
    }
}

TEST(HistoryFile, KeepsAtLeastTheNewestEntriesAndWritesAnewOnceInSoManyRuns) {
    std::string history;
    int rewrites = 0;
    for (int number = 1; number <= 260; ++number) {
        const Update update = updated(history, numberedEntry(number));
        if (update.rewrite) {
            ++rewrites;
            history = update.bytes;
        } else {
            history += update.bytes;
        }
        const int entries = countOf(history, "  Day file: ");
        ASSERT_GE(entries, std::min(number, launcher::kHistoryEntries)) << number;
        ASSERT_LE(entries, launcher::kHistoryEntries + launcher::kHistorySlack) << number;
    }
    EXPECT_EQ(rewrites, 1);
    std::string expected(launcher::kByteOrderMark);
    for (int number = 52; number <= 260; ++number) expected += numberedEntry(number);
    EXPECT_EQ(history, expected);
}

TEST(HistoryTally, InPartsOfAnySizeTellsWhatTheWholeHistoryWould) {
    const std::string bom(launcher::kByteOrderMark);
    const std::string one = numberedEntry(1), two = numberedEntry(2);
    const std::string header = "2025-01-01 00:00:00";
    const std::string tricky =
        entryOf(opened({due("2025-03-10 08:05:02", "Normal", 1, StartWay::commandLine)}, 0));
    struct Case {
        const char* name;
        std::string history;
        long long entries;
        bool endsLine;
    };
    const Case cases[] = {
        {"nothing", "", 0, true},
        {"a byte order mark alone", bom, 0, true},
        {"part of a byte order mark", bom.substr(0, 2), 0, false},
        {"two entries behind a byte order mark", bom + one + two, 2, true},
        {"bytes like a mark's start are text", bom.substr(0, 2) + header + "\r\n", 0, true},
        {"the last entry's first line without its line end", bom + one + header, 2, false},
        {"a first line ended by a CR alone", bom + header + "\r", 1, true},
        {"lines ended by a CR alone", header + "\r  x\r" + header + "\r", 2, true},
        {"lines ended by an LF alone", header + "\n  x\n\n" + header + "\n", 2, true},
        {"a CR before CR LF ends a line of its own", header + "\r\r\n" + header + "\r\n", 2, true},
        {"one character too many", header + "0\r\n", 0, true},
        {"one character too few", header.substr(1) + "\r\n", 0, true},
        {"not at the start of a line", "  " + header + "\r\n", 0, true},
        {"a program line like a date is no entry", bom + tricky, 1, true},
        {"cut short inside an entry", bom + one + two.substr(0, 30), 2, false},
    };
    const auto check = [](const launcher::HistoryTally& tally, const Case& c,
                          const std::string& how) {
        EXPECT_EQ(tally.entries(), c.entries) << c.name << how;
        EXPECT_EQ(tally.endsLine(), c.endsLine) << c.name << how;
        EXPECT_EQ(tally.empty(), c.history.empty()) << c.name << how;
    };
    for (const Case& c : cases) {
        const std::string_view history = c.history;
        for (std::size_t split = 0; split <= history.size(); ++split) {
            launcher::HistoryTally tally;
            tally.add(history.substr(0, split));
            tally.add(history.substr(split));
            check(tally, c, ", split at " + std::to_string(split));
        }
        launcher::HistoryTally bytes;
        for (const char c1 : history) bytes.add(std::string_view(&c1, 1));
        check(bytes, c, ", a byte at a time");
    }
}

TEST(HistoryTally, TheAppendixIsWhatTheWholeHistoryWouldGet) {
    std::string history;
    int rewriteAt = 0;
    for (int number = 1; number <= 260 && !rewriteAt; ++number) {
        const std::string entry = numberedEntry(number);
        launcher::HistoryTally tally;
        for (std::size_t at = 0; at < history.size(); at += 16 * 1024) {
            tally.add(std::string_view(history).substr(at, 16 * 1024));
        }
        const Update whole = updated(history, entry);
        const std::optional<std::string> appendix = launcher::historyAppendix(tally, entry);
        ASSERT_EQ(appendix.has_value(), !whole.rewrite) << number;
        if (!appendix) {
            rewriteAt = number;
        } else {
            EXPECT_EQ(*appendix, whole.bytes) << number;
            history += *appendix;
        }
    }
    EXPECT_EQ(rewriteAt, launcher::kHistoryEntries + launcher::kHistorySlack + 1);
}

TEST(HistoryLastRun, SaysWhatBecameOfTheNewestRun) {
    const auto started = [](std::string program) {
        return due(std::move(program), "Normal", 1, StartWay::program);
    };
    const auto failed = [](std::string program, std::string reason) {
        return due(std::move(program), "Min", 6, StartWay::commandLine, std::move(reason));
    };
    struct Case {
        const char* name;
        RunResult run;
        std::string outcome;
    };
    const Case cases[] = {
        {"a day file that could not be read",
         notOpened("The system cannot find the file specified"),
         "The day file datsun.dat could not be read: The system cannot find the file "
         "specified. No program was started."},
        {"nothing due", opened({}, 4), "No program was due; 4 records not yet due."},
        {"a count of two digits", opened({}, 12), "No program was due; 12 records not yet due."},
        {"nothing at all", opened({}, 0), "No program was due."},
        {"one due, started", opened({started("C:\\a.exe")}, 1),
         "The one due program started; 1 record not yet due."},
        {"all started", opened({started("C:\\a.exe"), started("C:\\b.exe")}, 0),
         "All 2 due programs started."},
        {"a failure names the program and the reason",
         opened({started("C:\\a.exe"), failed("C:\\gone.exe", "The file is gone.")}, 2),
         "1 of 2 due programs started; not started: C:\\gone.exe (The file is gone); 2 records "
         "not yet due."},
        {"a program line holding the separator",
         opened({failed("C:\\x.exe /t (show value 1): y", "No")}, 0),
         "0 of 1 due program started; not started: C:\\x.exe /t (show value 1): y (No)."},
        {"three failures named, the rest counted",
         opened({failed("C:\\1.exe", "r1"), failed("C:\\2.exe", "r2"), failed("C:\\3.exe", "r3"),
                 failed("C:\\4.exe", "r4"), failed("C:\\5.exe", "r5")},
                0),
         "0 of 5 due programs started; not started: C:\\1.exe (r1), C:\\2.exe (r2), "
         "C:\\3.exe (r3) and 2 more."},
        {"passed over",
         opened(
             {started("C:\\a.exe"), due("C:\\b.exe", "Minimise", std::nullopt, StartWay::program),
              due("C:\\c.exe", "max", std::nullopt, StartWay::program)},
             1, 3),
         "1 of 3 due programs started; 2 records passed over for an unknown run style; an "
         "incomplete last record passed over; 1 record not yet due."},
    };
    for (const Case& c : cases) {
        const std::string history = launcher::historyWithEntry(
            launcher::historyWithEntry({}, numberedEntry(1)), entryOf(c.run));
        const std::optional<launcher::LastRun> last = launcher::newestRun(history);
        ASSERT_TRUE(last) << c.name;
        EXPECT_EQ(last->when, "2025-03-10 08:05:02") << c.name;
        EXPECT_EQ(last->outcome, c.outcome) << c.name;
    }
}

TEST(HistoryLastRun, TellsEachDueProgramNotStartedWithItsReason) {
    using launcher::NotStarted;
    const RunResult run =
        opened({due("C:\\a.exe", "Normal", 1, StartWay::program),
                due("C:\\gone.exe", "Min", 6, StartWay::commandLine, "The file is gone."),
                due("C:\\x.exe /t (show value 1): y", "Max", 3, StartWay::program, "No"),
                due("C:\\odd.exe \"a\": b", "Minimise", std::nullopt, StartWay::program)},
               0, 2);
    const std::optional<launcher::LastRun> last =
        launcher::newestRun(launcher::historyWithEntry({}, entryOf(run)));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->dayFile, "datmon.dat");
    EXPECT_FALSE(last->dayFileNotRead);
    EXPECT_EQ(last->notStarted,
              (std::vector<NotStarted>{
                  {"C:\\gone.exe", "The file is gone", false},
                  {"C:\\x.exe /t (show value 1): y", "No", false},
                  {"C:\\odd.exe \"a\": b",
                   "its run style \"Minimise\" is not one that Brightwick knows, so it was passed "
                   "over",
                   true}}));
    EXPECT_TRUE(last->incompleteLastRecord);

    const std::optional<launcher::LastRun> unread = launcher::newestRun(
        launcher::historyWithEntry({}, entryOf(notOpened("Access is denied."))));
    ASSERT_TRUE(unread);
    EXPECT_EQ(unread->dayFile, "datsun.dat");
    EXPECT_EQ(unread->dayFileNotRead, "Access is denied");
    EXPECT_TRUE(unread->notStarted.empty());

    const std::optional<launcher::LastRun> allStarted =
        launcher::newestRun(launcher::historyWithEntry(
            {}, entryOf(opened({due("C:\\a.exe", "Normal", 1, StartWay::program)}, 3))));
    ASSERT_TRUE(allStarted);
    EXPECT_TRUE(allStarted->notStarted.empty());
    EXPECT_FALSE(allStarted->incompleteLastRecord);
}

// The launcher adds its entry at the end of the file: a reader may meet it half written, and
// a power failure may leave part of it, or zeros, for good.
TEST(HistoryLastRun, PassesOverAnEntryNotWrittenWhole) {
    const std::string older = entryOf(opened({}, 4), {2025, 3, 9, 7, 0, 0});
    const std::string newer = entryOf(opened({}, 2));
    const std::string bom(launcher::kByteOrderMark);
    for (std::size_t cut = 0; cut <= newer.size(); ++cut) {
        const std::optional<launcher::LastRun> last =
            launcher::newestRun(bom + older + newer.substr(0, cut));
        ASSERT_TRUE(last) << cut;
        // The blank line is whole once its CR is there: the entry's every line is.
        const bool whole = cut >= newer.size() - 1;
        EXPECT_EQ(last->when, whole ? "2025-03-10 08:05:02" : "2025-03-09 07:00:00") << cut;
        EXPECT_EQ(last->outcome, whole ? "No program was due; 2 records not yet due."
                                       : "No program was due; 4 records not yet due.")
            << cut;
    }
    struct Case {
        const char* name;
        std::string history;
        std::string when;
    };
    const std::string zeros(40, '\0');
    const Case cases[] = {
        {"zeros after a whole entry", bom + older + zeros, "2025-03-09 07:00:00"},
        {"zeros, then a whole entry on a line of its own", bom + older + zeros + "\r\n" + newer,
         "2025-03-10 08:05:02"},
        {"a half entry, then a whole one", bom + newer.substr(0, 40) + "\r\n" + older,
         "2025-03-09 07:00:00"},
        {"the lines of a torn entry after a whole one stay out of it",
         bom + older + zeros + newer.substr(30), "2025-03-09 07:00:00"},
        {"no whole entry", bom + newer.substr(0, newer.size() - 2), ""},
    };
    for (const Case& c : cases) {
        const std::optional<launcher::LastRun> last = launcher::newestRun(c.history);
        EXPECT_EQ(last ? last->when : "", c.when) << c.name;
        if (last) {
            EXPECT_EQ(last->outcome, c.when == "2025-03-09 07:00:00"
                                         ? "No program was due; 4 records not yet due."
                                         : "No program was due; 2 records not yet due.")
                << c.name;
        }
    }
}

TEST(HistoryLastRun, NoneWithoutAnEntry) {
    for (const std::string& history :
         {std::string(), std::string(launcher::kByteOrderMark), std::string("notes\r\n"),
          std::string("  2025-03-10 08:05:02\r\n"), std::string("2025-03-10 08:05\r\n")}) {
        EXPECT_FALSE(launcher::newestRun(history)) << history;
    }
}
