// The newest run that a logon history tells of, for the editor to report.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// Its date and time as the entry gives them ("2025-03-10 08:15:02") and what became of it
// in a sentence.
struct LastRun {
    std::string when;
    std::string outcome;
};

// The newest whole entry of a history's bytes, one that ends in its blank line; none when the
// history holds no such entry.
std::optional<LastRun> newestRun(std::string_view history);

}  // namespace launcher
