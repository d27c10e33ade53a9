#include "launcher/history.hpp"

#include <vector>

#include "schedule/run_style.hpp"

namespace launcher {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kIndent = "  ";
constexpr std::string_view kReasonIndent = "    ";
constexpr std::string_view kWorkingFolder = "Working folder: ";
constexpr std::string_view kDayFile = "Day file: ";
constexpr std::string_view kNotRead = "Day file not read: ";
constexpr std::string_view kStarted = "Started ";
constexpr std::string_view kNotStarted = "Not started ";
constexpr std::string_view kShowValue = " (show value ";
constexpr std::string_view kUnknownStyle = "Passed over for its unknown run style ";
constexpr std::string_view kIncomplete = "Passed over: an incomplete last record";
constexpr std::string_view kNotYetDue = "Not yet due: ";
constexpr std::size_t kHeaderLength = 19;  // "2025-03-10 08:15:02"
// Failures named one by one in the sentence on the last run; the rest are counted.
constexpr int kNamedFailures = 3;

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

std::string withFullStop(std::string_view reason) {
    std::string text(reason);
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

std::string withoutFullStop(std::string_view text) {
    while (!text.empty() && text.back() == '.') text.remove_suffix(1);
    return std::string(text);
}

std::string counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

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

// Where the `count`th entry from the end starts, going back only as far as that; the first
// entry's start when there are fewer, and the end of the text when there is none.
std::size_t startOfNewest(std::string_view text, int count) {
    std::size_t from = text.size();
    int found = 0;
    for (std::size_t position = text.size(); found < count && position-- > 0;) {
        if (isLineStart(text, position) && isHeaderAt(text, position)) {
            from = position;
            ++found;
        }
    }
    return from;
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        text.remove_prefix(next);
    }
    return lines;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
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
    const std::string_view kept = history.substr(startOfNewest(history, keep - 1));
    std::string bytes;
    bytes.reserve(kByteOrderMark.size() + kept.size() + kLineEnd.size() + entry.size());
    bytes += kByteOrderMark;
    bytes += kept;
    // A history cut short, by a full disk say, still keeps the new entry on lines of its own.
    if (!kept.empty() && kept.back() != '\n' && kept.back() != '\r') bytes += kLineEnd;
    bytes += entry;
    return bytes;
}

std::optional<LastRun> newestRun(std::string_view history) {
    history = withoutByteOrderMark(history);
    const std::size_t from = startOfNewest(history, 1);
    if (from == history.size()) return std::nullopt;
    const std::vector<std::string_view> lines = linesOf(history.substr(from));
    LastRun last{std::string(lines.front()), {}};

    std::string dayFile;
    std::optional<std::string> notRead;
    int started = 0;
    int unknownStyle = 0;
    int notYetDue = 0;
    bool incomplete = false;
    std::vector<std::string> failures;  // "program (reason)"
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!startsWith(lines[i], kIndent)) continue;
        const std::string_view line = lines[i].substr(kIndent.size());
        if (startsWith(line, kDayFile)) {
            dayFile = line.substr(kDayFile.size());
        } else if (startsWith(line, kNotRead)) {
            notRead = std::string(line.substr(kNotRead.size()));
        } else if (startsWith(line, kStarted)) {
            ++started;
        } else if (startsWith(line, kNotStarted)) {
            // The run-style word before it holds no "): ", the program line after it may.
            const std::size_t show = line.find(kShowValue);
            const std::size_t colon =
                show == std::string_view::npos ? show : line.find("): ", show);
            std::string failure(colon == std::string_view::npos ? line.substr(kNotStarted.size())
                                                                : line.substr(colon + 3));
            if (i + 1 < lines.size() && startsWith(lines[i + 1], kReasonIndent)) {
                failure += " (" + withoutFullStop(lines[i + 1].substr(kReasonIndent.size())) + ")";
            }
            failures.push_back(std::move(failure));
        } else if (startsWith(line, kUnknownStyle)) {
            ++unknownStyle;
        } else if (startsWith(line, kIncomplete)) {
            incomplete = true;
        } else if (startsWith(line, kNotYetDue)) {
            const std::string_view count = line.substr(kNotYetDue.size());
            for (std::size_t k = 0; k < count.size() && isDigit(count[k]); ++k) {
                notYetDue = notYetDue * 10 + (count[k] - '0');
            }
        }
    }

    if (notRead) {
        last.outcome = "The day file " + dayFile + " could not be read: " + withFullStop(*notRead) +
                       " No program was started.";
        return last;
    }
    const int notStarted = static_cast<int>(failures.size());
    const int due = started + notStarted + unknownStyle;
    std::string& text = last.outcome;
    if (due == 0) {
        text = "No program was due";
    } else if (started == due) {
        text = due == 1 ? "The one due program started"
                        : "All " + std::to_string(due) + " due programs started";
    } else {
        text = std::to_string(started) + " of " + counted(due, "due program", "due programs") +
               " started";
    }
    if (notStarted > 0) {
        text += "; not started: ";
        for (int k = 0; k < notStarted && k < kNamedFailures; ++k) {
            if (k > 0) text += ", ";
            text += failures[static_cast<std::size_t>(k)];
        }
        if (notStarted > kNamedFailures) {
            text += " and " + std::to_string(notStarted - kNamedFailures) + " more";
        }
    }
    if (unknownStyle > 0) {
        text += "; " + counted(unknownStyle, "record", "records") +
                " passed over for an unknown run style";
    }
    if (incomplete) text += "; an incomplete last record passed over";
    if (notYetDue > 0) text += "; " + counted(notYetDue, "record", "records") + " not yet due";
    text += '.';
    return last;
}

}  // namespace launcher
