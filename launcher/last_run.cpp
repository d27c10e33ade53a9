#include "launcher/last_run.hpp"

#include <algorithm>
#include <vector>

#include "launcher/history.hpp"
#include "launcher/history_format.hpp"
#include "schedule/lines.hpp"

namespace launcher {

namespace {

using namespace history_format;

// Failures named one by one in the sentence; the rest are counted.
constexpr int kNamedFailures = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string withoutFullStop(std::string_view text) {
    while (!text.empty() && text.back() == '.') text.remove_suffix(1);
    return std::string(text);
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = schedule::lineEndFrom(text, 0);
        lines.push_back(text.substr(0, end));
        if (end == text.size()) break;
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        text.remove_prefix(next);
    }
    return lines;
}

// The lines of the newest whole entry, from its first line up to the blank line that ends it;
// none when there is none. The launcher adds its entry at the end of the file, so an entry
// without its blank line is still being written, or its writing was cut short: the entry
// before it is then the newest whole one.
std::vector<std::string_view> newestWholeEntry(std::string_view history) {
    for (std::size_t end = history.size();;) {
        const std::size_t from = startOfNewestEntries(history.substr(0, end), 1);
        if (from == end) return {};
        std::vector<std::string_view> lines = linesOf(history.substr(from, end - from));
        const auto blank = std::find(lines.begin() + 1, lines.end(), std::string_view());
        if (blank != lines.end()) {
            lines.erase(blank, lines.end());
            return lines;
        }
        end = from;
    }
}

}  // namespace

std::optional<LastRun> newestRun(std::string_view history) {
    const std::vector<std::string_view> lines = newestWholeEntry(withoutByteOrderMark(history));
    if (lines.empty()) return std::nullopt;
    LastRun last{std::string(lines.front()), {}};

    std::string& dayFile = last.dayFile;
    std::optional<std::string>& notRead = last.dayFileNotRead;
    int started = 0;
    int unknownStyle = 0;
    int notYetDue = 0;
    bool& incomplete = last.incompleteLastRecord;
    std::vector<std::string> failures;  // "program (reason)"
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!startsWith(lines[i], kIndent)) continue;
        const std::string_view line = lines[i].substr(kIndent.size());
        if (startsWith(line, kDayFile)) {
            dayFile = line.substr(kDayFile.size());
        } else if (startsWith(line, kNotRead)) {
            notRead = withoutFullStop(line.substr(kNotRead.size()));
        } else if (startsWith(line, kStarted)) {
            ++started;
        } else if (startsWith(line, kNotStarted)) {
            // The run-style word before it holds no "): ", the program line after it may.
            const std::size_t show = line.find(kShowValue);
            const std::size_t colon =
                show == std::string_view::npos ? show : line.find("): ", show);
            NotStarted failure{
                std::string(colon == std::string_view::npos ? line.substr(kNotStarted.size())
                                                            : line.substr(colon + 3)),
                {}};
            if (i + 1 < lines.size() && startsWith(lines[i + 1], kReasonIndent)) {
                failure.reason = withoutFullStop(lines[i + 1].substr(kReasonIndent.size()));
            }
            failures.push_back(failure.reason.empty()
                                   ? failure.program
                                   : failure.program + " (" + failure.reason + ")");
            last.notStarted.push_back(std::move(failure));
        } else if (startsWith(line, kUnknownStyle)) {
            ++unknownStyle;
            // "Minimise": C:\Tools\other.exe, the word quoted: its closing quote is the first
            // one followed by ": ".
            const std::string_view rest = line.substr(kUnknownStyle.size());
            const std::size_t close = rest.find("\": ", 1);
            if (!rest.empty() && rest.front() == '"' && close != std::string_view::npos) {
                last.notStarted.push_back(
                    {std::string(rest.substr(close + 3)),
                     "its run style " + std::string(rest.substr(0, close + 1)) +
                         " is not one that Brightwick knows, so it was passed over",
                     true});
            }
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
        last.notStarted.clear();
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
