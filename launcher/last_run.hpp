// The newest run that a logon history tells of, for the editor to report.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// A due program that a run did not start, and why.
struct NotStarted {
    std::string program;        // the record's program line
    std::string reason;         // a sentence without its full stop
    bool unknownStyle = false;  // passed over for its run style, never tried
    friend bool operator==(const NotStarted&, const NotStarted&) = default;
};

// Its date and time as the entry gives them ("2025-03-10 08:15:02") and what became of it
// in a sentence; then what went wrong, one thing at a time, for a reader to act on.
struct LastRun {
    std::string when;
    std::string outcome;
    std::string dayFile{};                        // as the entry names it
    std::optional<std::string> dayFileNotRead{};  // the reason, without its full stop
    std::vector<NotStarted> notStarted{};         // in file order
    bool incompleteLastRecord = false;
};

// The newest whole entry of a history's bytes, one that ends in its blank line; none when the
// history holds no such entry.
std::optional<LastRun> newestRun(std::string_view history);

}  // namespace launcher
