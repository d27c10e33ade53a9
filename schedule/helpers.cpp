#include "schedule/helpers.hpp"

#include <algorithm>
#include <tuple>

#include "schedule/command_line.hpp"
#include "schedule/lines.hpp"

namespace schedule {

namespace {

struct Pick {
    unsigned long long number;
    std::string name;
};

void fail(HelperReport& report, int status, std::string_view name, std::string_view reason) {
    // A file that could not be written outweighs files that were left out.
    if (report.status != kHelperFailed) report.status = status;
    std::string problem(name);
    problem += ": ";
    problem += reason;
    report.problems.push_back(std::move(problem));
}

// The names in the folder; a folder that cannot be listed fails the whole job.
bool listNames(Folder& folder, std::vector<std::string>& names, HelperReport& report) {
    if (Outcome listed = folder.fileNames(names); !listed) {
        fail(report, kHelperFailed, ".", listed.error);
        return false;
    }
    return true;
}

// Writes one day file whole, or leaves the old one as it was and says so.
void writeDayFile(Folder& folder, const Weekday& day, std::string_view bytes,
                  HelperReport& report) {
    if (Outcome written = writeFileAtomically(folder, day.dayFile, bytes); !written) {
        fail(report, kHelperFailed, day.dayFile, written.error);
    }
}

// The pick files of the folder, per weekday, in the order their records are combined.
std::array<std::vector<Pick>, kWeekdays.size()> picksByDay(const std::vector<std::string>& names) {
    std::array<std::vector<Pick>, kWeekdays.size()> days;
    for (const std::string& name : names) {
        if (auto pick = parsePickFileName(name)) {
            days[static_cast<std::size_t>(pick->day.checkIndex)].push_back({pick->number, name});
        }
    }
    for (auto& picks : days) {
        std::sort(picks.begin(), picks.end(), [](const Pick& a, const Pick& b) {
            return std::tie(a.number, a.name) < std::tie(b.number, b.name);
        });
    }
    return days;
}

std::string linesWord(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

// A name in the Cleared folder without kStagedEnding; none when it does not end so.
std::optional<std::string_view> withoutStagedEnding(std::string_view name) {
    if (name.size() <= kStagedEnding.size() || !name.ends_with(kStagedEnding)) {
        return std::nullopt;
    }
    return name.substr(0, name.size() - kStagedEnding.size());
}

std::string twoDigits(int value) {
    return std::string{static_cast<char>('0' + value / 10 % 10),
                       static_cast<char>('0' + value % 10)};
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The folder of a new clear in kClearedFolder, made: the time's name, or the first count of it
// that no folder has yet. Empty when it could not be made.
std::string makeClearFolder(Folder& folder, const ClearTime& time, HelperReport& report) {
    if (Outcome created = folder.createSubfolder(kClearedFolder); !created) {
        fail(report, kHelperFailed, kClearedFolder, created.error);
        return {};
    }
    Folder& cleared = folder.subfolder(kClearedFolder);
    std::vector<std::string> there;
    if (Outcome listed = cleared.folderNames(there); !listed) {
        fail(report, kHelperFailed, kClearedFolder, listed.error);
        return {};
    }
    for (int count = 1;; ++count) {
        std::string name = clearFolderName(time, count);
        // Windows names ignore letter case, and the form has no letters but "UTC".
        if (std::find(there.begin(), there.end(), name) != there.end()) continue;
        if (Outcome created = cleared.createSubfolder(name); !created) {
            fail(report, kHelperFailed, std::string(kClearedFolder) + "\\" + name, created.error);
            return {};
        }
        return std::string(kClearedFolder) + "\\" + name;
    }
}

}  // namespace

std::optional<Record> pickRecord(std::string_view bytes, std::string& reason) {
    const std::vector<std::string> lines = splitLines(bytes);
    // Empty lines after the record are what an editor leaves at the end of a file.
    std::size_t used = lines.size();
    while (used > kRecordLines && lines[used - 1].empty()) --used;
    if (used == kRecordLines) return Record{lines[0], lines[1], lines[2], lines[3]};
    reason = used == 0 ? "it is empty"
                       : "it holds " + linesWord(used) + " instead of one record of " +
                             std::to_string(kRecordLines);
    return std::nullopt;
}

Outcome readPickFiles(Folder& folder, CombinedPicks& combined,
                      std::map<std::string, std::string, std::less<>>* bytesRead) {
    std::vector<std::string> names;
    if (Outcome listed = folder.fileNames(names); !listed) return listed;
    const auto days = picksByDay(names);
    for (const Weekday& day : kWeekdays) {
        const auto index = static_cast<std::size_t>(day.checkIndex);
        for (const Pick& pick : days[index]) {
            std::string bytes;
            if (Outcome read = folder.readFile(pick.name, bytes); !read) {
                combined.leftOut.push_back({pick.name, "it cannot be read: " + read.error});
                continue;
            }
            std::string reason;
            const std::optional<Record> record = pickRecord(bytes, reason);
            if (bytesRead) (*bytesRead)[pick.name] = bytes;
            if (record) {
                combined.days[index] += formatRecord(*record);
                combined.pickNames[index].push_back(pick.name);
                if (auto damage = recordDamage(*record)) {
                    combined.damaged.push_back({pick.name, std::move(*damage)});
                }
            } else {
                combined.leftOut.push_back({pick.name, std::move(reason)});
            }
        }
    }
    std::vector<std::string> aboveLimit;
    for (const std::string& name : names) {
        if (isPickNameAboveLimit(name)) aboveLimit.push_back(name);
    }
    std::sort(aboveLimit.begin(), aboveLimit.end());
    for (std::string& name : aboveLimit) {
        combined.leftOut.push_back({std::move(name), "its number is above " +
                                                         pickNumberLimitText() +
                                                         ", the highest a pick file may have"});
    }
    return Outcome::success();
}

HelperReport combinePickFiles(Folder& folder) {
    HelperReport report;
    CombinedPicks combined;
    if (Outcome read = readPickFiles(folder, combined); !read) {
        fail(report, kHelperFailed, ".", read.error);
        return report;
    }
    for (const LeftOutPick& left : combined.leftOut) {
        fail(report, kHelperPicksLeftOut, left.name, left.reason);
    }
    for (const Weekday& day : kWeekdays) {
        writeDayFile(folder, day, combined.days[static_cast<std::size_t>(day.checkIndex)], report);
    }
    return report;
}

std::string clearFolderName(const ClearTime& time, int count) {
    std::string name = std::to_string(time.year) + "-" + twoDigits(time.month) + "-" +
                       twoDigits(time.day) + " " + twoDigits(time.hour) + "-" +
                       twoDigits(time.minute) + "-" + twoDigits(time.second) + " UTC";
    if (count > 1) name += " (" + std::to_string(count) + ")";
    return name;
}

std::optional<ClearOrder> clearOrder(std::string_view folderName) {
    // "YYYY-MM-DD HH-MM-SS UTC", then " (n)" for a count above 1.
    constexpr std::string_view kForm = "0000-00-00 00-00-00 UTC";
    if (folderName.size() < kForm.size()) return std::nullopt;
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        const bool digit = folderName[i] >= '0' && folderName[i] <= '9';
        if (kForm[i] == '0' ? !digit : folderName[i] != kForm[i]) return std::nullopt;
    }
    ClearOrder order{std::string(folderName.substr(0, kForm.size())), 1};
    std::string_view rest = folderName.substr(kForm.size());
    if (rest.empty()) return order;
    if (!rest.starts_with(" (") || !rest.ends_with(")")) return std::nullopt;
    rest = rest.substr(2, rest.size() - 3);
    if (!allDigits(rest) || rest.size() > 6 || rest.front() == '0') return std::nullopt;
    order.count = std::stoi(std::string(rest));
    return order;
}

std::vector<std::string> clearFoldersNewestFirst(const std::vector<std::string>& folderNames) {
    std::vector<std::pair<ClearOrder, std::string>> clears;
    for (const std::string& name : folderNames) {
        if (auto order = clearOrder(name)) clears.emplace_back(std::move(*order), name);
    }
    std::sort(clears.begin(), clears.end(), [](const auto& a, const auto& b) { return b < a; });
    std::vector<std::string> names;
    names.reserve(clears.size());
    for (auto& clear : clears) names.push_back(std::move(clear.second));
    return names;
}

void movePicks(Folder& root, std::string_view fromPath, const std::vector<std::string>& picks,
               std::string_view toPath, HelperReport& report) {
    const std::string prefix = fromPath.empty() ? std::string() : std::string(fromPath) + "\\";
    for (const std::string& pick : picks) {
        if (Outcome moved = root.moveToSubfolder(prefix + pick, toPath, pick); !moved) {
            fail(report, kHelperFailed, prefix + pick, moved.error);
            continue;
        }
        report.kept.push_back({pick, std::string(toPath) + "\\" + pick});
    }
}

HelperReport clearScheduleFiles(Folder& folder, const ClearTime& time) {
    HelperReport report;
    std::vector<std::string> names;
    if (!listNames(folder, names, report)) return report;
    std::vector<std::string> picks;
    for (const std::string& name : names) {
        if (parsePickFileName(name)) picks.push_back(name);
    }
    // The turned-off picks go with the clear, into its own Turned Off, so that a restore
    // brings each back as it was.
    std::vector<std::string> off;
    std::vector<std::string> offNames;
    if (Outcome listed = folder.subfolder(kTurnedOffFolder).fileNames(offNames); !listed) {
        fail(report, kHelperFailed, kTurnedOffFolder, listed.error);
    }
    for (std::string& name : offNames) {
        if (parsePickFileName(name)) off.push_back(std::move(name));
    }
    if (!picks.empty() || !off.empty()) {
        const std::string clearFolder = makeClearFolder(folder, time, report);
        if (!clearFolder.empty()) movePicks(folder, {}, picks, clearFolder, report);
        const std::string offFolder = clearFolder + "\\" + std::string(kTurnedOffFolder);
        if (!clearFolder.empty() && !off.empty()) {
            if (Outcome created = folder.createSubfolder(offFolder); !created) {
                fail(report, kHelperFailed, offFolder, created.error);
            } else {
                movePicks(folder, kTurnedOffFolder, off, offFolder, report);
            }
        }
    }
    for (const Weekday& day : kWeekdays) writeDayFile(folder, day, {}, report);
    return report;
}

std::vector<ClearedPick> clearedPicks(const std::vector<std::string>& names) {
    std::vector<ClearedPick> picks;
    for (const std::string& name : names) {
        const std::optional<std::string_view> base = withoutStagedEnding(name);
        if (auto pick = parsePickFileName(base.value_or(name))) {
            picks.push_back({name, *pick, base.has_value()});
        }
    }
    std::sort(picks.begin(), picks.end(), [](const ClearedPick& a, const ClearedPick& b) {
        return std::tie(a.pick.number, a.staged, a.name) <
               std::tie(b.pick.number, b.staged, b.name);
    });
    return picks;
}

}  // namespace schedule
