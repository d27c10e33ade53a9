// The one table that ties the editor's weekday boxes, pick file names, day lines,
// day files and the launcher's weekday numbers together.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace schedule {

struct Weekday {
    int checkIndex;            // Check1 index in the editor, Monday 0 ... Sunday 6
    std::string_view code;     // in pick file names: "Mon"
    std::string_view dayLine;  // fourth line of a record: "Monday"
    std::string_view dayFile;  // the day file: "datmon.dat"
    int launcherNumber;        // the launcher's weekday, Sunday 1 ... Saturday 7
};

inline constexpr std::array<Weekday, 7> kWeekdays{{
    {0, "Mon", "Monday", "datmon.dat", 2},
    {1, "Tue", "Tuesday", "dattue.dat", 3},
    {2, "Wed", "Wednesday", "datwed.dat", 4},
    {3, "Thu", "Thursday", "datthu.dat", 5},
    {4, "Fri", "Friday", "datfri.dat", 6},
    {5, "Sat", "Saturday", "datsat.dat", 7},
    {6, "Sun", "Sunday", "datsun.dat", 1},
}};

// The weekday of a launcher weekday number (Sunday 1 ... Saturday 7); none outside 1..7.
std::optional<Weekday> weekdayByLauncherNumber(int number);

// The weekday whose day line is exactly `line` (case-sensitive); none otherwise.
std::optional<Weekday> weekdayByDayLine(std::string_view line);

}  // namespace schedule
