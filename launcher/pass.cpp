#include "launcher/pass.hpp"

#include <array>

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

PassReport runRecords(int hourNow, schedule::LineSource& lines, ProgramStarter& starter) {
    PassReport report;
    for (;;) {
        // The four lines of one record: time, program, run style, day (held, never used).
        std::array<std::string, schedule::kRecordLines> record;
        std::size_t read = 0;
        while (read < record.size()) {
            std::optional<std::string> line = lines.next();
            if (!line) break;
            record[read++] = std::move(*line);
        }
        if (read == 0) break;
        if (read < record.size()) {
            report.incompleteLastRecord = true;
            break;
        }
        ++report.records;
        const std::string& time = record[0];
        const std::string& program = record[1];
        const std::string& style = record[2];
        if (!schedule::isDue(time, hourNow)) continue;
        const std::optional<int> showWindow = showWindowFor(style);
        if (!showWindow) continue;
        ++report.starts;
        if (!starter.start(program, *showWindow)) ++report.failed;
    }
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
    std::string bytes;
    schedule::Outcome outcome;
    for (int attempt = 1;; ++attempt) {
        bytes.clear();
        outcome = folder.readFile(result.dayFile, bytes);
        if (outcome || !outcome.busy || attempt == kOpenAttempts) break;
        folder.pause(kOpenPause);
    }
    if (!outcome) {
        result.reason = outcome.error;
        return result;
    }
    result.opened = true;
    schedule::LineReader lines(bytes);
    result.pass = runRecords(hourNow, lines, starter);
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

StartPlan planStart(std::string_view programLine, bool namesExistingFile) {
    if (!namesExistingFile) return {std::nullopt, std::string(programLine)};
    // No ANSI code page has the quote byte as the second byte of a double-byte character, so
    // quoting the bytes before conversion is safe.
    std::string quoted = "\"";
    quoted += programLine;
    quoted += '"';
    return {std::string(programLine), std::move(quoted)};
}

}  // namespace launcher
