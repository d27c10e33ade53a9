#include "schedule/weekday.hpp"

namespace schedule {

std::optional<Weekday> weekdayByLauncherNumber(int number) {
    for (const Weekday& day : kWeekdays) {
        if (day.launcherNumber == number) return day;
    }
    return std::nullopt;
}

std::optional<Weekday> weekdayByDayLine(std::string_view line) {
    for (const Weekday& day : kWeekdays) {
        if (day.dayLine == line) return day;
    }
    return std::nullopt;
}

}  // namespace schedule
