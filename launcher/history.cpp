#include "launcher/history.hpp"

#include "launcher/history_format.hpp"
#include "schedule/run_style.hpp"

namespace launcher {

namespace history_format {

namespace {

constexpr std::size_t kHeaderLength = 19;  // "2025-03-10 08:15:02"

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether an entry's first line starts at `position`: "YYYY-MM-DD HH:MM:SS" and the line end.
bool isHeaderAt(std::string_view text, std::size_t position) {
    if (text.size() - position < kHeaderLength) return false;
    constexpr std::string_view pattern = "dddd-dd-dd dd:dd:dd";
    for (std::size_t i = 0; i < kHeaderLength; ++i) {
        const char c = text[position + i];
        if (pattern[i] == 'd' ? !isDigit(c) : c != pattern[i]) return false;
    }
    const std::size_t end = position + kHeaderLength;
    return end == text.size() || text[end] == '\r' || text[end] == '\n';
}

bool isLineStart(std::string_view text, std::size_t position) {
    if (position == 0) return true;
    const char before = text[position - 1];
    return before == '\n' || (before == '\r' && text[position] != '\n');
}

struct Newest {
    std::size_t from;  // where the oldest of them starts; the end of the text when none
    int found;
};

Newest newestEntries(std::string_view text, int count) {
    Newest newest{text.size(), 0};
    for (std::size_t position = text.size(); newest.found < count && position-- > 0;) {
        if (isLineStart(text, position) && isHeaderAt(text, position)) {
            newest.from = position;
            ++newest.found;
        }
    }
    return newest;
}

}  // namespace

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

std::size_t startOfNewestEntries(std::string_view text, int count) {
    return newestEntries(text, count).from;
}

int entriesUpTo(std::string_view text, int most) {
    return newestEntries(text, most).found;
}

bool endsLine(std::string_view text) {
    return text.empty() || text.back() == '\n' || text.back() == '\r';
}

std::string withFullStop(std::string_view reason) {
    std::string text(reason);
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

std::string counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace history_format

namespace {

using namespace history_format;

void appendTwoDigits(std::string& text, int number) {
    text += static_cast<char>('0' + number / 10 % 10);
    text += static_cast<char>('0' + number % 10);
}

// One line of an entry. A line break inside the text (a system's reason can hold one) would
// start a line that is not indented and so read as another entry.
void appendLine(std::string& entry, std::string_view indent, std::string_view text) {
    entry += indent;
    for (const char c : text) entry += c == '\r' || c == '\n' ? ' ' : c;
    entry += kLineEnd;
}

std::string styleWording(std::string_view storedWord) {
    const std::optional<schedule::RunStyle> style = schedule::runStyleByStoredWord(storedWord);
    return std::string(style ? style->listWord : storedWord);
}

}  // namespace

std::string historyEntry(const LocalTime& when, std::string_view workingFolder,
                         const RunResult& run, TextOfBytes textOf) {
    std::string entry = std::to_string(when.year);
    entry += '-';
    appendTwoDigits(entry, when.month);
    entry += '-';
    appendTwoDigits(entry, when.day);
    entry += ' ';
    appendTwoDigits(entry, when.hour);
    entry += ':';
    appendTwoDigits(entry, when.minute);
    entry += ':';
    appendTwoDigits(entry, when.second);
    entry += kLineEnd;
    appendLine(entry, kIndent, std::string(kWorkingFolder) + std::string(workingFolder));
    appendLine(entry, kIndent, std::string(kDayFile) + run.dayFile);
    if (!run.opened) {
        appendLine(entry, kIndent, std::string(kNotRead) + withFullStop(run.reason));
        entry += kLineEnd;
        return entry;
    }
    const PassReport& pass = run.pass;
    for (const DueRecord& due : pass.due) {
        const std::string program = textOf(due.programLine);
        if (!due.showWindow) {
            appendLine(entry, kIndent,
                       std::string(kUnknownStyle) + '"' + textOf(due.runStyle) + "\": " + program);
            continue;
        }
        const bool started = static_cast<bool>(due.start.outcome);
        std::string line(started ? kStarted : kNotStarted);
        line += startWayWording(due.start.way);
        line += ", ";
        line += styleWording(due.runStyle);
        line += kShowValue;
        line += std::to_string(*due.showWindow);
        line += "): ";
        line += program;
        appendLine(entry, kIndent, line);
        if (!started) appendLine(entry, kReasonIndent, withFullStop(due.start.outcome.error));
    }
    if (pass.incompleteLastRecord) {
        appendLine(
            entry, kIndent,
            std::string(kIncomplete) + " of " + counted(pass.incompleteLines, "line", "lines"));
    }
    appendLine(entry, kIndent,
               std::string(kNotYetDue) + counted(pass.notYetDue, "record", "records"));
    entry += kLineEnd;
    return entry;
}

std::string historyWithEntry(std::string_view history, std::string_view entry, int keep) {
    history = withoutByteOrderMark(history);
    const std::string_view kept = history.substr(startOfNewestEntries(history, keep - 1));
    std::string bytes;
    bytes.reserve(kByteOrderMark.size() + kept.size() + kLineEnd.size() + entry.size());
    bytes += kByteOrderMark;
    bytes += kept;
    // A history cut short, by a full disk say, still keeps the new entry on lines of its own.
    if (!endsLine(kept)) bytes += kLineEnd;
    bytes += entry;
    return bytes;
}

HistoryUpdate historyUpdate(std::string_view history, std::string_view entry, int keep, int slack) {
    if (entriesUpTo(withoutByteOrderMark(history), keep + slack) >= keep + slack) {
        return {true, historyWithEntry(history, entry, keep)};
    }
    HistoryUpdate update;
    if (history.empty()) {
        update.bytes = kByteOrderMark;
    } else if (!endsLine(withoutByteOrderMark(history))) {
        update.bytes = kLineEnd;
    }
    update.bytes += entry;
    return update;
}

}  // namespace launcher
