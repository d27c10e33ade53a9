// Pick files: one record each, named by the pick counter, a day code and ".dat" (2Mon.dat).
// Their numbers are read in one place, here, for start-up, the counter and combining alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/weekday.hpp"

namespace schedule {

// The highest pick number: eighteen nines. The counter grows by at most seven a pick, so it
// never leaves the range of a 64-bit number on its way there.
inline constexpr unsigned long long kPickNumberLimit = 999'999'999'999'999'999ULL;

// The limit as a sentence names it: "999,999,999,999,999,999".
std::string pickNumberLimitText();

// A pick number written as decimal digits, leading zeros allowed; none for an empty text,
// any other character, or a value above kPickNumberLimit.
std::optional<unsigned long long> readPickNumber(std::string_view digits);

// The pick file name for a counter held as decimal text and a weekday: "2" + "Mon" + ".dat".
std::string pickFileName(std::string_view counter, const Weekday& day);

struct PickName {
    unsigned long long number;  // at most kPickNumberLimit
    Weekday day;
};

// Reads a pick file name: a decimal number, a day code and ".dat", the code and the
// extension without regard to letter case as Windows names are. Day files ("datmon.dat"),
// names whose number passes kPickNumberLimit and every other name give none.
std::optional<PickName> parsePickFileName(std::string_view name);

// Whether `name` has the shape of a pick file name, digits, day code and ".dat", but a number
// above kPickNumberLimit: not a pick file, though meant as one.
bool isPickNameAboveLimit(std::string_view name);

// The highest pick number among `names`, 0 when none of them is a pick file.
unsigned long long highestPickNumber(const std::vector<std::string>& names);

}  // namespace schedule
