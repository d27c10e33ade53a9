#include "schedule/helpers.hpp"

#include <algorithm>
#include <tuple>

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

// Moves the pick files aside into the Cleared folder, marked as staged, then lets the earlier
// clear's files go and takes the marks off. Until every new file is aside the earlier set
// stays whole; a staged file found at the start is a cut-off clear's, finished with this one.
void keepClearedPicks(Folder& folder, const std::vector<std::string>& picks, HelperReport& report) {
    Folder& cleared = folder.subfolder(kClearedFolder);
    std::vector<std::string> there;
    if (Outcome listed = cleared.fileNames(there); !listed) {
        // Without knowing what is there, nothing there can be replaced safely.
        fail(report, kHelperFailed, kClearedFolder, listed.error);
        return;
    }
    std::vector<std::string> staged;
    for (const std::string& name : there) {
        const auto base = withoutStagedEnding(name);
        if (base && parsePickFileName(*base)) staged.push_back(name);
    }
    if (picks.empty() && staged.empty()) return;  // the earlier clear's picks stay
    if (Outcome created = folder.createSubfolder(kClearedFolder); !created) {
        fail(report, kHelperFailed, kClearedFolder, created.error);
        return;
    }
    const bool unfinished = !staged.empty();
    for (const std::string& pick : picks) {
        std::string aside = pick;
        aside += kStagedEnding;
        if (Outcome moved = folder.moveToSubfolder(pick, kClearedFolder, aside); !moved) {
            fail(report, kHelperFailed, pick, moved.error);
            continue;
        }
        staged.push_back(std::move(aside));
    }
    if (staged.empty()) return;  // nothing could be moved: the earlier set stays
    // After a cut-off clear, its files that already lost their mark cannot be told from the
    // earlier set's: then all of them stay, and a restore brings back more rather than less.
    if (!unfinished) {
        for (const std::string& name : there) {
            if (!parsePickFileName(name)) continue;
            if (Outcome removed = cleared.removeFile(name); !removed) {
                fail(report, kHelperFailed, std::string(kClearedFolder) + "\\" + name,
                     removed.error);
            }
        }
    }
    for (const std::string& name : staged) {
        const std::string unmarked(*withoutStagedEnding(name));
        if (Outcome renamed = cleared.replaceFile(name, unmarked); !renamed) {
            fail(report, kHelperFailed, std::string(kClearedFolder) + "\\" + name, renamed.error);
        }
    }
}

// Moves the turned-off picks with the clear into its own Turned Off (kClearedFolder's), so
// that a restore brings each back as it was; the earlier clear's go as its picks went, when
// `replaced`. Each is copied whole before it leaves, so a clear cut off loses none of them.
void keepTurnedOffPicks(Folder& folder, bool replaced, HelperReport& report) {
    Folder& off = folder.subfolder(kTurnedOffFolder);
    std::vector<std::string> picks;
    if (!listNames(off, picks, report)) return;
    std::erase_if(picks, [](const std::string& name) { return !parsePickFileName(name); });
    if (picks.empty() && !replaced) return;  // the earlier clear's stay with its picks
    const std::string kept = std::string(kClearedFolder) + "\\" + std::string(kTurnedOffFolder);
    Folder& cleared = folder.subfolder(kClearedFolder);
    if (Outcome created = folder.createSubfolder(kClearedFolder); !created) {
        fail(report, kHelperFailed, kClearedFolder, created.error);
        return;
    }
    if (Outcome created = cleared.createSubfolder(kTurnedOffFolder); !created) {
        fail(report, kHelperFailed, kept, created.error);
        return;
    }
    Folder& keptOff = cleared.subfolder(kTurnedOffFolder);
    std::vector<std::string> earlier;
    if (!listNames(keptOff, earlier, report)) return;
    for (const std::string& name : earlier) {
        if (!parsePickFileName(name)) continue;
        if (Outcome removed = keptOff.removeFile(name); !removed) {
            fail(report, kHelperFailed, kept + "\\" + name, removed.error);
        }
    }
    for (const std::string& pick : picks) {
        std::string bytes;
        Outcome moved = off.readFile(pick, bytes);
        if (moved) moved = writeFileAtomically(keptOff, pick, bytes);
        if (moved) moved = off.removeFile(pick);
        if (!moved)
            fail(report, kHelperFailed, std::string(kTurnedOffFolder) + "\\" + pick, moved.error);
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

Outcome readPickFiles(Folder& folder, CombinedPicks& combined) {
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
            if (const std::optional<Record> record = pickRecord(bytes, reason)) {
                combined.days[index] += formatRecord(*record);
                combined.pickNames[index].push_back(pick.name);
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

HelperReport clearScheduleFiles(Folder& folder) {
    HelperReport report;
    std::vector<std::string> names;
    if (!listNames(folder, names, report)) return report;
    std::vector<std::string> picks;
    for (const std::string& name : names) {
        if (parsePickFileName(name)) picks.push_back(name);
    }
    keepClearedPicks(folder, picks, report);
    keepTurnedOffPicks(folder, !picks.empty(), report);
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
