#include "launcher/pass.hpp"

#include <array>

#include "schedule/lines.hpp"
#include "schedule/record.hpp"
#include "schedule/run_style.hpp"
#include "schedule/time.hpp"
#include "schedule/weekday.hpp"

namespace launcher {

std::optional<int> showWindowFor(std::string_view runStyleLine) {
    // The stored words, not the editor's list words: a record holds "Min", never "Minimize".
    const std::optional<schedule::RunStyle> style = schedule::runStyleByStoredWord(runStyleLine);
    if (!style) return std::nullopt;
    return style->showWindow;
}

DayFileReader::DayFileReader(int hourNow) : hourNow_(hourNow) {}

void DayFileReader::take(std::string_view part) {
    std::size_t from = 0;
    if (!pending_.empty()) {
        // The record begun in an earlier part is completed with as little of this one as it
        // needs, nine line-end characters at most (four CR LF and the one after a last CR),
        // rather than the whole part copied behind it.
        std::size_t prefix = 0;
        for (int ends = 0; prefix < part.size() && ends < 9; ++prefix) {
            if (part[prefix] == '\r' || part[prefix] == '\n') ++ends;
        }
        pending_.append(part.substr(0, prefix));
        const std::size_t left = pending_.size() - judgeWhole(pending_, false);
        if (left > prefix) {  // still short of its end: all of this part went into it
            pending_.erase(0, pending_.size() - left);
            return;
        }
        pending_.clear();
        from = prefix - left;  // what is left is the end of the prefix
    }
    const std::string_view rest = part.substr(from);
    pending_.assign(rest.substr(judgeWhole(rest, false)));
}

PassReport DayFileReader::finish() {
    judgeWhole(pending_, true);
    pending_.clear();
    return std::move(report_);
}

// A line ends at CR LF, a lone CR or a lone LF; a last line without a line end is still a
// line. Before the end of the file a CR at the end of what has come so far may yet be
// followed by its LF, so the line waits for the next part.
std::size_t DayFileReader::judgeWhole(std::string_view bytes, bool atEnd) {
    const std::size_t size = bytes.size();
    std::size_t judged = 0;
    for (;;) {
        // The four lines of one record: time, program, run style, day (held, never used).
        std::array<std::string_view, schedule::kRecordLines> record;
        std::size_t lines = 0;
        std::size_t position = judged;
        while (lines < record.size() && position < size) {
            const std::size_t end = schedule::lineEndFrom(bytes, position);
            if (end == size && !atEnd) return judged;
            if (end + 1 == size && bytes[end] == '\r' && !atEnd) return judged;
            record[lines++] = bytes.substr(position, end - position);
            position = end + 1;
            if (end < size && bytes[end] == '\r' && position < size && bytes[position] == '\n') {
                ++position;
            }
        }
        if (lines < record.size()) {
            if (!atEnd) return judged;  // the rest of the record is still to come
            if (lines > 0) {
                report_.incompleteLastRecord = true;
                report_.incompleteLines = static_cast<int>(lines);
            }
            return size;
        }
        judge(record[0], record[1], record[2]);
        judged = position;
    }
}

void DayFileReader::judge(std::string_view time, std::string_view program, std::string_view style) {
    ++report_.records;
    if (!schedule::isDue(time, hourNow_)) {
        ++report_.notYetDue;
        return;
    }
    DueRecord& due = report_.due.emplace_back();
    due.programLine = program;
    due.runStyle = style;
    due.showWindow = showWindowFor(style);
}

void startDue(PassReport& report, ProgramStarter& starter) {
    for (DueRecord& due : report.due) {
        if (!due.showWindow) continue;
        ++report.starts;
        due.start = starter.start(due.programLine, *due.showWindow);
        if (!due.start.outcome) ++report.failed;
    }
}

PassReport runRecords(int hourNow, std::string_view bytes, ProgramStarter& starter) {
    DayFileReader reader(hourNow);
    reader.take(bytes);
    PassReport report = reader.finish();
    startDue(report, starter);
    return report;
}

std::optional<std::string_view> dayFileFor(int weekday) {
    const std::optional<schedule::Weekday> day = schedule::weekdayByLauncherNumber(weekday);
    if (!day) return std::nullopt;
    return day->dayFile;
}

RunResult run(int weekday, int hourNow, schedule::Folder& folder, ProgramStarter& starter) {
    RunResult result;
    const std::optional<std::string_view> dayFile = dayFileFor(weekday);
    if (!dayFile) {
        result.reason = "the weekday number " + std::to_string(weekday) + " is not one of 1 to 7";
        return result;
    }
    result.dayFile = std::string(*dayFile);
    // Read in parts, the whole file judged before anything starts: a file that cannot be read
    // to its end starts nothing.
    std::optional<DayFileReader> reader;
    schedule::Outcome outcome;
    for (int attempt = 1;; ++attempt) {
        reader.emplace(hourNow);
        outcome = folder.readFileInParts(result.dayFile,
                                         [&](std::string_view part) { reader->take(part); });
        if (outcome || !outcome.busy || attempt == kOpenAttempts) break;
        folder.pause(kOpenPause);
    }
    if (!outcome) {
        result.reason = outcome.error;
        return result;
    }
    result.opened = true;
    result.pass = reader->finish();
    startDue(result.pass, starter);
    return result;
}

std::string cannotOpenMessage(std::string_view dayFile, std::string_view folder,
                              std::string_view reason) {
    std::string text = "Brightwick cannot open today's schedule file \"";
    text += dayFile;
    text += "\" in the folder \"";
    text += folder;
    text += "\".\n\n";
    text += reason;
    if (!reason.empty() && reason.back() != '.') text += '.';
    text += "\n\nNo scheduled program was started.";
    return text;
}

}  // namespace launcher
