// A moment as a calendar and a clock name it, to the second. Which clock, local time or UTC,
// is for each use to say.
#pragma once

namespace schedule {

struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

}  // namespace schedule
