#include "schedule/weekday.hpp"

#include "schedule/table.hpp"

namespace schedule {

std::optional<Weekday> weekdayByLauncherNumber(int number) {
    return rowWhere(kWeekdays, &Weekday::launcherNumber, number);
}

std::optional<Weekday> weekdayByDayLine(std::string_view line) {
    return rowWhere(kWeekdays, &Weekday::dayLine, line);
}

}  // namespace schedule
