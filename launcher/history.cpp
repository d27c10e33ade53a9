#include "launcher/history.hpp"

#include <algorithm>
#include <cstring>

#include "launcher/history_format.hpp"
#include "schedule/lines.hpp"
#include "schedule/run_style.hpp"

namespace launcher {

namespace history_format {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether `line`, without its line end, is an entry's first line: "YYYY-MM-DD HH:MM:SS".
bool isHeaderLine(std::string_view line) {
    constexpr std::string_view pattern = "dddd-dd-dd dd:dd:dd";
    static_assert(pattern.size() == kEntryFirstLineLength);
    if (line.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == 'd' ? !isDigit(line[i]) : line[i] != pattern[i]) return false;
    }
    return true;
}

// Whether an entry's first line starts at `position`: "YYYY-MM-DD HH:MM:SS" and the line end.
bool isHeaderAt(std::string_view text, std::size_t position) {
    if (text.size() - position < kEntryFirstLineLength) return false;
    const std::size_t end = position + kEntryFirstLineLength;
    if (end != text.size() && text[end] != '\r' && text[end] != '\n') return false;
    return isHeaderLine(text.substr(position, kEntryFirstLineLength));
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

std::string missedEntry(std::string_view entry, std::string_view reason) {
    // Inside the entry, before the blank line that ends it.
    const std::string blank = std::string(kLineEnd) + std::string(kLineEnd);
    const bool ended = entry.ends_with(blank);
    std::string text(ended ? entry.substr(0, entry.size() - kLineEnd.size()) : entry);
    if (!endsLine(text)) text += kLineEnd;
    appendLine(text, kIndent,
               "Added by the next run: this run could not have the history to itself: " +
                   withFullStop(reason));
    text += kLineEnd;
    return text;
}

void HistoryTally::add(std::string_view part) {
    // A byte order mark may come in more than one part; bytes that turn out not to be one are
    // text after all.
    while (markPending_ && !part.empty()) {
        if (part.front() != kByteOrderMark[markMatched_]) {
            markPending_ = false;
            scan(kByteOrderMark.substr(0, markMatched_));
            break;
        }
        part.remove_prefix(1);
        if (++markMatched_ == kByteOrderMark.size()) markPending_ = false;
    }
    scan(part);
}

bool HistoryTally::endsLine() const {
    // Part of a byte order mark and nothing after it is text that ends no line.
    if (markPending_ && markMatched_ > 0) return false;
    return !anyText_ || last_ == '\n' || last_ == '\r';
}

long long HistoryTally::entries() const {
    // The last line may end with the history, without a line end.
    return entries_ + (lineIsHeader() ? 1 : 0);
}

bool HistoryTally::lineIsHeader() const {
    return lineLength_ == kEntryFirstLineLength &&
           isHeaderLine(std::string_view(line_, kEntryFirstLineLength));
}

void HistoryTally::takeLineText(std::string_view text) {
    const std::size_t room = kEntryFirstLineLength - std::min(lineLength_, kEntryFirstLineLength);
    if (const std::size_t copied = std::min(room, text.size()); copied > 0) {
        std::memcpy(line_ + lineLength_, text.data(), copied);
    }
    // Counted one past the first line's length at most: longer is all that matters then.
    lineLength_ = std::min(lineLength_ + text.size(), kEntryFirstLineLength + 1);
}

void HistoryTally::endLine() {
    if (lineIsHeader()) ++entries_;
    lineLength_ = 0;
}

// A CR or an LF ends a line: CR LF then ends one more, empty line, which is no entry's first
// line either, so entries are counted as the reader of a whole history counts them. Only the
// start of each line is looked at, so the scan goes from line end to line end.
void HistoryTally::scan(std::string_view text) {
    if (text.empty()) return;
    anyText_ = true;
    last_ = text.back();
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t lineEnd = schedule::lineEndFrom(text, at);
        takeLineText(text.substr(at, lineEnd - at));
        if (lineEnd == text.size()) return;  // the line goes on in the next part
        endLine();
        at = lineEnd + 1;
    }
}

std::optional<std::string> historyAppendix(const HistoryTally& tally, std::string_view entry,
                                           int keep, int slack) {
    if (tally.entries() >= keep + slack) return std::nullopt;
    std::string bytes;
    if (tally.empty()) {
        bytes = kByteOrderMark;
    } else if (!tally.endsLine()) {
        bytes = kLineEnd;
    }
    bytes += entry;
    return bytes;
}

}  // namespace launcher
