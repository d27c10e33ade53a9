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

namespace {

// The lines of a file as views into its bytes, by LineReader's rules: a line ends at CR LF,
// a lone CR or a lone LF, and a last line without a line end is still a line. No line is
// copied: the launcher reads tens of thousands of them at every logon, and starts few.
class Lines {
  public:
    explicit Lines(std::string_view bytes) : bytes_(bytes) {}

    bool next(std::string_view& line) {
        const std::size_t size = bytes_.size();
        if (position_ >= size) return false;
        std::size_t end = position_;
        while (end < size && bytes_[end] != '\r' && bytes_[end] != '\n') ++end;
        line = bytes_.substr(position_, end - position_);
        position_ = end + 1;
        if (end < size && bytes_[end] == '\r' && position_ < size && bytes_[position_] == '\n') {
            ++position_;
        }
        return true;
    }

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

}  // namespace

PassReport runRecords(int hourNow, std::string_view bytes, ProgramStarter& starter) {
    PassReport report;
    Lines lines(bytes);
    for (;;) {
        // The four lines of one record: time, program, run style, day (held, never used).
        std::array<std::string_view, schedule::kRecordLines> record;
        std::size_t read = 0;
        while (read < record.size() && lines.next(record[read])) ++read;
        if (read == 0) break;
        if (read < record.size()) {
            report.incompleteLastRecord = true;
            report.incompleteLines = static_cast<int>(read);
            break;
        }
        ++report.records;
        const std::string_view time = record[0];
        const std::string_view program = record[1];
        const std::string_view style = record[2];
        if (!schedule::isDue(time, hourNow)) {
            ++report.notYetDue;
            continue;
        }
        DueRecord& due = report.due.emplace_back();
        due.programLine = program;
        due.runStyle = style;
        due.showWindow = showWindowFor(style);
        if (due.showWindow) {
            ++report.starts;
            due.start = starter.start(program, *due.showWindow);
            if (!due.start.outcome) ++report.failed;
        }
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
    result.pass = runRecords(hourNow, bytes, starter);
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
