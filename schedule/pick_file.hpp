// Pick files: one record each, named by the pick counter, a day code and ".dat" (2Mon.dat).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/weekday.hpp"

namespace schedule {

// The pick file name for a counter held as decimal text and a weekday: "2" + "Mon" + ".dat".
std::string pickFileName(std::string_view counter, const Weekday& day);

struct PickName {
    unsigned long long number;  // saturates for absurdly long digit runs
    Weekday day;
};

// Reads a pick file name: a decimal number, a day code and ".dat", the code and the
// extension without regard to letter case as Windows names are. Day files ("datmon.dat")
// and every other name give none.
std::optional<PickName> parsePickFileName(std::string_view name);

// The highest pick number among `names`, 0 when none of them is a pick file.
unsigned long long highestPickNumber(const std::vector<std::string>& names);

}  // namespace schedule
