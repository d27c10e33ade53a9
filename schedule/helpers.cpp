#include "schedule/helpers.hpp"

#include <algorithm>
#include <array>

#include "schedule/lines.hpp"
#include "schedule/pick_file.hpp"
#include "schedule/record.hpp"

namespace schedule {

namespace {

struct Pick {
    unsigned long long number;
    std::string name;
};

void fail(HelperReport& report, int status, std::string_view name, const std::string& reason) {
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
            return a.number != b.number ? a.number < b.number : a.name < b.name;
        });
    }
    return days;
}

}  // namespace

HelperReport combinePickFiles(Folder& folder) {
    HelperReport report;
    std::vector<std::string> names;
    if (!listNames(folder, names, report)) return report;
    const auto days = picksByDay(names);
    for (const Weekday& day : kWeekdays) {
        std::string combined;
        for (const Pick& pick : days[static_cast<std::size_t>(day.checkIndex)]) {
            std::string bytes;
            if (Outcome read = folder.readFile(pick.name, bytes); !read) {
                fail(report, kHelperPicksLeftOut, pick.name, read.error);
                continue;
            }
            const std::vector<std::string> lines = splitLines(bytes);
            if (lines.size() != kRecordLines) {
                fail(report, kHelperPicksLeftOut, pick.name,
                     "holds " + std::to_string(lines.size()) + " lines instead of one record of " +
                         std::to_string(kRecordLines));
                continue;
            }
            combined += formatRecord({lines[0], lines[1], lines[2], lines[3]});
        }
        writeDayFile(folder, day, combined, report);
    }
    return report;
}

HelperReport clearScheduleFiles(Folder& folder) {
    HelperReport report;
    std::vector<std::string> names;
    if (!listNames(folder, names, report)) return report;
    for (const std::string& name : names) {
        if (!parsePickFileName(name)) continue;
        if (Outcome removed = folder.removeFile(name); !removed) {
            fail(report, kHelperFailed, name, removed.error);
        }
    }
    for (const Weekday& day : kWeekdays) writeDayFile(folder, day, {}, report);
    return report;
}

}  // namespace schedule
