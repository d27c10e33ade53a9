// The schedule core: conversions, names, line ends, atomic writes, combining and clearing.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_folder.hpp"
#include "schedule/command_line.hpp"
#include "schedule/helpers.hpp"
#include "schedule/lines.hpp"
#include "schedule/pick_file.hpp"
#include "schedule/record.hpp"
#include "schedule/run_style.hpp"
#include "schedule/time.hpp"
#include "schedule/weekday.hpp"

using namespace schedule;
using testing_support::FakeFolder;

TEST(Time, TwelveHourItemsBecomeTheHourWritten) {
    struct Case {
        const char* item;
        const char* half;
        const char* hour;
    };
    const Case cases[] = {
        {"12", "AM", "00"}, {"01", "AM", "01"}, {"07", "AM", "07"}, {"11", "AM", "11"},
        {"12", "PM", "12"}, {"01", "PM", "13"}, {"07", "PM", "19"}, {"11", "PM", "23"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hour24(c.item, c.half), c.hour) << c.item << ' ' << c.half;
    }
    EXPECT_EQ(timeLine(hour24("12", "AM"), "45"), "00:45");
    EXPECT_EQ(timeLine(hour24("07", "PM"), "45"), "19:45");
}

TEST(Time, LeadingNumberReadsLikeTheRecordReaders) {
    struct Case {
        const char* text;
        long long value;
    };
    const Case cases[] = {
        {"08", 8},   {"8:", 8},  {"30", 30}, {"", 0},    {"ab", 0},    {":3", 0},  {" 7", 7},
        {"1 2", 12}, {"-3", -3}, {"+4", 4},  {"9x9", 9}, {"0012", 12}, {"\t5", 5}, {"12345", 12345},
    };
    for (const Case& c : cases) EXPECT_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_GT(leadingNumber(std::string(400, '9')), 0) << "long digit runs saturate";
}

TEST(Time, NumberInCharactersTakesOnlyThoseCharacters) {
    EXPECT_EQ(numberInCharacters("08:30", 1, 2), 8);
    EXPECT_EQ(numberInCharacters("08:30", 4, 2), 30);
    EXPECT_EQ(numberInCharacters("8:30", 1, 2), 8);
    EXPECT_EQ(numberInCharacters("8:30", 4, 2), 0);  // the single character "0"
    EXPECT_EQ(numberInCharacters("123456", 1, 2), 12);
    EXPECT_EQ(numberInCharacters("1", 4, 2), 0);
    EXPECT_EQ(numberInCharacters("", 1, 2), 0);
}

TEST(Time, DueOnWholeHoursOnly) {
    struct Case {
        const char* line;
        int firstDueHour;  // 24: never due
    };
    const Case cases[] = {
        {"08:00", 8},  {"08:30", 9}, {"13:45", 14}, {"00:00", 0}, {"23:15", 24}, {"23:30", 24},
        {"23:45", 24}, {"", 0},      {"ab:cd", 0},  {"8:30", 8},  {"23:00", 23}, {"00:15", 1},
    };
    for (const Case& c : cases) {
        for (int hour = 0; hour < 24; ++hour) {
            EXPECT_EQ(isDue(c.line, hour), hour >= c.firstDueHour) << c.line << " at " << hour;
        }
    }
}

TEST(Weekdays, TableTiesBoxesCodesLinesFilesAndNumbers) {
    const char* files[] = {"datmon.dat", "dattue.dat", "datwed.dat", "datthu.dat",
                           "datfri.dat", "datsat.dat", "datsun.dat"};
    for (int i = 0; i < 7; ++i) {
        const Weekday& day = kWeekdays[static_cast<std::size_t>(i)];
        EXPECT_EQ(day.checkIndex, i);
        EXPECT_EQ(day.dayFile, files[i]);
        EXPECT_EQ(day.launcherNumber, i == 6 ? 1 : i + 2);
        EXPECT_EQ(weekdayByLauncherNumber(day.launcherNumber)->checkIndex, i);
        EXPECT_EQ(weekdayByDayLine(day.dayLine)->code, day.code);
    }
    EXPECT_EQ(weekdayByLauncherNumber(1)->dayFile, "datsun.dat");
    EXPECT_EQ(weekdayByLauncherNumber(2)->dayFile, "datmon.dat");
    EXPECT_FALSE(weekdayByLauncherNumber(0));
    EXPECT_FALSE(weekdayByLauncherNumber(8));
    EXPECT_FALSE(weekdayByDayLine("monday"));
}

TEST(RunStyles, ListWordsMapToStoredWordsExactly) {
    EXPECT_EQ(runStyleByListWord("Minimize")->storedWord, "Min");
    EXPECT_EQ(runStyleByListWord("Maximize")->storedWord, "Max");
    EXPECT_EQ(runStyleByListWord("Normal")->storedWord, "Normal");
    EXPECT_EQ(runStyleByListWord("Hide")->storedWord, "Hide");
    EXPECT_EQ(runStyleByStoredWord("Max")->shownAs, "Run Style - Maximize");
    for (const char* word : {"normal", "Min ", " Max", "", "Minimize"}) {
        EXPECT_FALSE(runStyleByStoredWord(word)) << word;
    }
}

TEST(Records, FourLinesEachEndedByCrLf) {
    EXPECT_EQ(formatRecord({"19:45", "C:\\\\app.exe", "Min", "Friday"}),
              "19:45\r\nC:\\\\app.exe\r\nMin\r\nFriday\r\n");
}

TEST(PickFiles, NamesAreCounterCodeAndExtension) {
    EXPECT_EQ(pickFileName("2", kWeekdays[0]), "2Mon.dat");
    EXPECT_EQ(pickFileName("15", kWeekdays[5]), "15Sat.dat");

    struct Case {
        const char* name;
        bool pick;
        unsigned long long number;
        int day;
    };
    const Case cases[] = {
        {"2Mon.dat", true, 2, 0},      {"10Mon.dat", true, 10, 0},   {"3mon.DAT", true, 3, 0},
        {"15Sat.dat", true, 15, 5},    {"0Sun.dat", true, 0, 6},     {"007Wed.dat", true, 7, 2},
        {"datmon.dat", false, 0, 0},   {"notes.dat", false, 0, 0},   {"Mon.dat", false, 0, 0},
        {"2Mon.dat.tmp", false, 0, 0}, {"2Monday.dat", false, 0, 0}, {"2Mon.txt", false, 0, 0},
        {"x2Mon.dat", false, 0, 0},    {"2 Mon.dat", false, 0, 0},   {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        auto pick = parsePickFileName(c.name);
        ASSERT_EQ(pick.has_value(), c.pick) << c.name;
        if (!pick) continue;
        EXPECT_EQ(pick->number, c.number) << c.name;
        EXPECT_EQ(pick->day.checkIndex, c.day) << c.name;
    }
    EXPECT_EQ(highestPickNumber({"2Mon.dat", "9Fri.dat", "datmon.dat", "99notes.dat"}), 9u);
    EXPECT_EQ(highestPickNumber({"datmon.dat", "notes.dat"}), 0u);
}

TEST(PickNumbers, OneReadingWithOneLimit) {
    const std::string limit = std::to_string(kPickNumberLimit);
    ASSERT_EQ(limit, "999999999999999999");
    EXPECT_EQ(pickNumberLimitText(), "999,999,999,999,999,999");
    struct Case {
        std::string digits;
        std::optional<unsigned long long> number;
    };
    const Case cases[] = {
        {"1", 1},
        {"0", 0},
        {"007", 7},
        {"2000000000000000", 2'000'000'000'000'000ULL},  // past what the time reading holds
        {limit, kPickNumberLimit},
        {"000" + limit, kPickNumberLimit},
        {"1000000000000000000", std::nullopt},   // one past the limit
        {"18446744073709551616", std::nullopt},  // wraps a 64-bit number to 0
        {"18446744073709551617", std::nullopt},  // ... and to 1
        {std::string(400, '9'), std::nullopt},
        {"", std::nullopt},
        {"12a", std::nullopt},
        {" 12", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readPickNumber(c.digits), c.number) << c.digits;

    // Names follow the same reading: above the limit they are not pick files, and say so.
    EXPECT_EQ(parsePickFileName(limit + "Sun.dat")->number, kPickNumberLimit);
    for (const std::string name : {"1000000000000000000Mon.dat", "18446744073709551617Mon.dat"}) {
        EXPECT_FALSE(parsePickFileName(name)) << name;
        EXPECT_TRUE(isPickNameAboveLimit(name)) << name;
    }
    for (const char* name : {"2Mon.dat", "datmon.dat", "99999999999999999999notes.dat"}) {
        EXPECT_FALSE(isPickNameAboveLimit(name)) << name;
    }
    EXPECT_EQ(highestPickNumber({"2000000000000000Mon.dat", "1000000000000001Tue.dat",
                                 "18446744073709551617Wed.dat"}),
              2'000'000'000'000'000ULL);
}

TEST(PickRecords, OneWholeRecordFollowedOnlyByEmptyLines) {
    const std::string whole = "08:00\r\nC:\\a.exe\r\nNormal\r\nMonday\r\n";
    struct Case {
        std::string bytes;
        const char* reason;  // empty: a record
    };
    const Case cases[] = {
        {whole, ""},
        {whole + "\r\n", ""},
        {whole + "\r\n\n\r", ""},
        {"08:00\nC:\\a.exe\rNormal\r\nMonday", ""},
        {whole + " \r\n", "it holds 5 lines instead of one record of 4"},
        {whole + whole, "it holds 8 lines instead of one record of 4"},
        {whole + "\r\n" + whole, "it holds 9 lines instead of one record of 4"},
        {"\r\n" + whole, "it holds 5 lines instead of one record of 4"},
        {"08:00\r\n", "it holds 1 line instead of one record of 4"},
        {"", "it is empty"},
    };
    for (const Case& c : cases) {
        std::string reason;
        const std::optional<Record> record = pickRecord(c.bytes, reason);
        EXPECT_EQ(reason, c.reason) << c.bytes;
        if (*c.reason) continue;
        ASSERT_TRUE(record) << c.bytes;
        EXPECT_EQ(formatRecord(*record), whole);
    }
}

TEST(Lines, EndAtCrLfLoneCrAndLoneLf) {
    using Lines = std::vector<std::string>;
    struct Case {
        const char* bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\n", {""}},
        {"a\n\rb", {"a", "", "b"}},
        {"last", {"last"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitLines(c.bytes), c.lines) << c.bytes;
}

// Lines empty, short and some thousands of bytes long, each file with one kind of line end
// or all kinds: from every position, the end is the first CR or LF.
TEST(Lines, EndFoundFromEveryPositionWhateverTheLineLengths) {
    const std::string ends[] = {"\r\n", "\r", "\n"};
    for (int kinds = 0; kinds <= 3; ++kinds) {
        std::string text;
        int line = 0;
        for (std::size_t length : {0u, 1u, 511u, 512u, 513u, 1024u, 1500u, 7u, 3000u}) {
            text += std::string(length, static_cast<char>('a' + line % 26));
            text += ends[kinds < 3 ? kinds : line % 3];
            ++line;
        }
        text += "last line without an end";
        for (std::size_t from = 0; from <= text.size(); ++from) {
            const std::size_t expected = std::min(text.find_first_of("\r\n", from), text.size());
            ASSERT_EQ(lineEndFrom(text, from), expected) << "kinds " << kinds << ", from " << from;
        }
    }
}

TEST(AtomicWrite, ReplacesWholeOrLeavesTheOldFile) {
    FakeFolder folder;
    folder.files["2Mon.dat"] = "old";
    EXPECT_TRUE(writeFileAtomically(folder, "2Mon.dat", "new"));
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"2Mon.dat", "new"}}));

    folder.unwritable.insert(temporaryNameFor("2Mon.dat"));
    Outcome failed = writeFileAtomically(folder, "2Mon.dat", "newer");
    EXPECT_EQ(failed.error, "disk full");
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"2Mon.dat", "new"}}));
}

TEST(AtomicWrite, RetriesAWhileAReaderHoldsTheFileThenGivesUp) {
    FakeFolder folder;
    folder.files["datmon.dat"] = "old";
    folder.busyReplaces = 3;
    EXPECT_TRUE(writeFileAtomically(folder, "datmon.dat", "new"));
    EXPECT_EQ(folder.pauses, 3);
    EXPECT_EQ(folder.files["datmon.dat"], "new");

    folder.busyReplaces = 1000;
    EXPECT_FALSE(writeFileAtomically(folder, "datmon.dat", "newer"));
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"datmon.dat", "new"}}));
    EXPECT_LT(folder.pauses, 3 + kReplaceAttempts);
}

TEST(AtomicWrite, AReadOnlyFileFailsAtOnceWithItsReasonAndKeepsItsBytes) {
    FakeFolder folder;
    folder.files["datmon.dat"] = "old";
    folder.readOnly.insert("datmon.dat");
    const Outcome failed = writeFileAtomically(folder, "datmon.dat", "new");
    EXPECT_EQ(failed.error, "the file is read-only");
    EXPECT_EQ(folder.pauses, 0) << "no wait helps a read-only file";
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"datmon.dat", "old"}}));
}

TEST(NewFile, IsWrittenOnlyUnderAFreeNameAndLeavesNoTemporaryFile) {
    FakeFolder folder;
    folder.files["2Mon.dat"] = "theirs";
    const Outcome taken = writeNewFile(folder, "2mon.DAT", "mine", "2mon.DAT.7.tmp");
    EXPECT_TRUE(taken.taken);
    EXPECT_FALSE(taken);
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"2Mon.dat", "theirs"}}));

    folder.busyReplaces = 2;
    EXPECT_TRUE(writeNewFile(folder, "3Mon.dat", "mine", "3Mon.dat.7.tmp"));
    EXPECT_EQ(folder.pauses, 2) << "a file held for a moment is waited for";
    EXPECT_EQ(folder.files,
              (std::map<std::string, std::string>{{"2Mon.dat", "theirs"}, {"3Mon.dat", "mine"}}));
}

TEST(NewFile, TemporaryNamesOfTwoWritersDiffer) {
    EXPECT_NE(temporaryNameFor("2Mon.dat", 4711), temporaryNameFor("2Mon.dat", 4712));
    EXPECT_NE(temporaryNameFor("2Mon.dat", 4711), "2Mon.dat");
    EXPECT_FALSE(parsePickFileName(temporaryNameFor("2Mon.dat", 4711))) << "never read as a pick";
}

namespace {
std::string appRecord(const char* time, const char* day) {
    return formatRecord({time, "C:\\app.exe", "Normal", day});
}
}  // namespace

TEST(Helpers, CombineOrdersByPickNumberAndWritesAllSevenDays) {
    FakeFolder folder;
    folder.files = {{"2Mon.dat", appRecord("01:00", "Monday")},
                    {"10Mon.dat", appRecord("10:00", "Monday")},
                    {"3mon.DAT", "03:00\nC:\\app.exe\rNormal\r\nMonday"},
                    {"2Wed.dat", appRecord("02:00", "Wednesday")},
                    {"datmon.dat", "stale"},
                    {"notes.dat", "mine"}};
    const HelperReport report = combinePickFiles(folder);
    EXPECT_EQ(report.status, kHelperDone);
    EXPECT_EQ(
        folder.files["datmon.dat"],
        appRecord("01:00", "Monday") + appRecord("03:00", "Monday") + appRecord("10:00", "Monday"));
    EXPECT_EQ(folder.files["datwed.dat"], appRecord("02:00", "Wednesday"));
    for (const char* empty :
         {"dattue.dat", "datthu.dat", "datfri.dat", "datsat.dat", "datsun.dat"}) {
        EXPECT_EQ(folder.files.at(empty), "") << empty;
    }
    EXPECT_EQ(folder.files["notes.dat"], "mine");
    EXPECT_EQ(folder.files.count("2Mon.dat"), 1u) << "pick files stay";
    EXPECT_EQ(folder.files.size(), 4u + 1u + 7u) << "four picks, notes.dat, seven day files";
}

TEST(Helpers, CombineLeavesOutPickFilesThatAreNotOneWholeRecordAndNamesThem) {
    FakeFolder folder;
    folder.files = {{"2Mon.dat", "01:00\r\nC:\\a.exe\r\nNormal\r\n"},
                    {"3Mon.dat", appRecord("03:00", "Monday") + appRecord("04:00", "Monday")},
                    {"4Mon.dat", appRecord("04:00", "Monday")},
                    {"5Mon.dat", appRecord("05:00", "Monday") + "\r\n\r\n"},
                    {"1000000000000000000Tue.dat", appRecord("06:00", "Tuesday")}};
    const HelperReport report = combinePickFiles(folder);
    EXPECT_EQ(report.status, kHelperPicksLeftOut);
    EXPECT_EQ(report.problems,
              (std::vector<std::string>{
                  "2Mon.dat: it holds 3 lines instead of one record of 4",
                  "3Mon.dat: it holds 8 lines instead of one record of 4",
                  "1000000000000000000Tue.dat: its number is above 999,999,999,999,999,999, the "
                  "highest a pick file may have"}));
    EXPECT_EQ(folder.files["datmon.dat"],
              appRecord("04:00", "Monday") + appRecord("05:00", "Monday"));
    EXPECT_EQ(folder.files["dattue.dat"], "");

    // The editor names the same files by the same reading.
    CombinedPicks combined;
    ASSERT_TRUE(readPickFiles(folder, combined));
    ASSERT_EQ(combined.leftOut.size(), 3u);
    EXPECT_EQ(combined.leftOut[0].name, "2Mon.dat");
    EXPECT_EQ(combined.days[0], folder.files["datmon.dat"]);
}

TEST(Helpers, CombineOrdersLongNumbersAsNumbers) {
    FakeFolder folder;
    folder.files = {{"2000000000000000Mon.dat", appRecord("02:00", "Monday")},
                    {"1000000000000001Mon.dat", appRecord("01:00", "Monday")},
                    {"2000000000000001Mon.dat", appRecord("03:00", "Monday")},
                    {"999999999999999999Mon.dat", appRecord("04:00", "Monday")}};
    EXPECT_EQ(combinePickFiles(folder).status, kHelperDone);
    EXPECT_EQ(folder.files["datmon.dat"],
              appRecord("01:00", "Monday") + appRecord("02:00", "Monday") +
                  appRecord("03:00", "Monday") + appRecord("04:00", "Monday"));
}

TEST(Helpers, CombineReportsADayFileThatCannotBeWritten) {
    FakeFolder folder;
    folder.files = {{"2Mon.dat", "short"}, {"datsun.dat", "old sunday"}};
    folder.unwritable.insert(temporaryNameFor("datsun.dat"));
    const HelperReport report = combinePickFiles(folder);
    EXPECT_EQ(report.status, kHelperFailed) << "a failed write outweighs a left-out pick";
    EXPECT_EQ(folder.files["datsun.dat"], "old sunday");
    EXPECT_EQ(folder.files.count(temporaryNameFor("datsun.dat")), 0u);
    EXPECT_EQ(folder.files["datmon.dat"], "");

    folder.unreadableFolder = true;
    EXPECT_EQ(combinePickFiles(folder).status, kHelperFailed);
}

namespace {
using Files = std::map<std::string, std::string>;

Files emptyDays() {
    Files days;
    for (const Weekday& day : kWeekdays) days[std::string(day.dayFile)] = "";
    return days;
}

Files with(Files files, const Files& more) {
    files.insert(more.begin(), more.end());
    return files;
}
}  // namespace

namespace {
constexpr ClearTime kNoon{2026, 12, 8, 12, 0, 5};
}  // namespace

TEST(Helpers, EachClearKeepsItsPicksInAFolderOfItsOwnBesideTheEarlierOnes) {
    FakeFolder folder;
    folder.files = {{"2Mon.dat", "a"}, {"10sun.DAT", "b"}, {"datmon.dat", "x"}, {"n.dat", "n"}};
    folder.sub("Cleared").files = {{"1Wed.dat", "an earlier version's"}};
    EXPECT_EQ(clearScheduleFiles(folder, kNoon).status, kHelperDone);
    EXPECT_EQ(folder.files, with(emptyDays(), {{"n.dat", "n"}}));
    // Another clear in the same second, one that finds no pick, and a later one.
    folder.files["3Tue.dat"] = "c";
    EXPECT_EQ(clearScheduleFiles(folder, kNoon).status, kHelperDone);
    EXPECT_EQ(clearScheduleFiles(folder, {2027, 1, 2, 3, 4, 5}).status, kHelperDone);
    folder.files["4Fri.dat"] = "d";
    EXPECT_EQ(clearScheduleFiles(folder, {2026, 12, 9, 0, 0, 0}).status, kHelperDone);
    std::vector<std::string> clears{"Turned Off", "2026-12-08 12-00-05 UTC (02)"};
    ASSERT_TRUE(folder.sub("Cleared").folderNames(clears));
    const std::vector<std::string> newest = clearFoldersNewestFirst(clears);
    EXPECT_EQ(newest,
              (std::vector<std::string>{"2026-12-09 00-00-00 UTC", "2026-12-08 12-00-05 UTC (2)",
                                        "2026-12-08 12-00-05 UTC"}));
    const std::vector<Files> kept{
        {{"4Fri.dat", "d"}}, {{"3Tue.dat", "c"}}, {{"2Mon.dat", "a"}, {"10sun.DAT", "b"}}};
    for (std::size_t i = 0; i < kept.size() && i < newest.size(); ++i) {
        EXPECT_EQ(folder.sub("Cleared").sub(newest[i]).files, kept[i]) << newest[i];
    }
    EXPECT_EQ(folder.sub("Cleared").files, (Files{{"1Wed.dat", "an earlier version's"}}));
}

TEST(Helpers, ClearWithoutPicksMakesNoClearedFolder) {
    FakeFolder folder;
    folder.files = {{"notes.dat", "keep"}};
    EXPECT_EQ(clearScheduleFiles(folder, kNoon).status, kHelperDone);
    EXPECT_FALSE(folder.hasSubfolder("Cleared"));
    EXPECT_EQ(folder.files, with(emptyDays(), {{"notes.dat", "keep"}}));
}

TEST(Helpers, ClearReportsWhatItCouldNotDo) {
    FakeFolder folder;
    folder.files = {{"2Mon.dat", "a"}, {"5Tue.dat", "x"}};
    folder.unmovable.insert("5Tue.dat");
    folder.unwritable.insert(temporaryNameFor("datsun.dat"));
    const HelperReport report = clearScheduleFiles(folder, kNoon);
    EXPECT_EQ(report.status, kHelperFailed);
    EXPECT_EQ(report.problems,
              (std::vector<std::string>{"5Tue.dat: locked", "datsun.dat: disk full"}));
    EXPECT_EQ(folder.files.at("5Tue.dat"), "x") << "what cannot be moved stays";

    folder.sub("Cleared").unreadableFolder = true;
    folder.files["6Wed.dat"] = "y";
    EXPECT_EQ(clearScheduleFiles(folder, kNoon).status, kHelperFailed);
    EXPECT_EQ(folder.files.count("6Wed.dat"), 1u) << "nothing moved where names are unknown";
}

TEST(Helpers, ClearedPicksInTheOrderTheyComeBack) {
    const std::vector<ClearedPick> picks =
        clearedPicks({"10Mon.dat", "2Mon.dat.new", "2Tue.dat", "notes.dat", "2Mon.dat", "x.new",
                      "datmon.dat", "1000000000000000000Fri.dat", "9Sun.dat.tmp", "3Wed.dat.NEW"});
    std::vector<std::string> names;
    for (const ClearedPick& pick : picks) names.push_back(pick.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"2Mon.dat", "2Tue.dat", "2Mon.dat.new", "10Mon.dat"}));
    EXPECT_TRUE(picks[2].staged);
    EXPECT_EQ(picks[2].pick.day.code, "Mon");
    EXPECT_EQ(picks[3].pick.number, 10u);
}

TEST(RecordDamage, ATimeThatIsNoTimeAndARunStyleNoneOfTheFourAreNamed) {
    const std::string time = "its time \"", style = "its run style \"";
    const std::string cases[][3] = {
        {"00:00", "Normal", ""},
        {"23:59", "Max", ""},
        {"24:00", "Min", time + "24:00\" is not a time of day from 00:00 to 23:59"},
        {"08:60", "Hide", time + "08:60\" is not"},
        {"8:30", "Hide", time + "8:30\" is not"},
        {"08.300", "Hide", time + "08.300\" is not"},
        {"08:30", "Minimize", style + "Minimize\" is none of Normal, Hide, Min or Max"},
        {"", "normal",
         time + "\" is not a time of day from 00:00 to 23:59, and " + style + "normal"},
    };
    for (const auto& [t, s, said] : cases) {
        const std::optional<std::string> damage = recordDamage({t, "C:\\a.exe", s, "Monday"});
        EXPECT_EQ(damage.value_or("").rfind(said, 0), 0u) << t << " " << s;
        EXPECT_EQ(damage.has_value(), !said.empty());
    }
}
