#include "schedule/pick_file.hpp"

#include <algorithm>

#include "schedule/ascii.hpp"

namespace schedule {

namespace {
bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

constexpr std::string_view kExtension = ".dat";
constexpr unsigned long long kMaxNumber = 1'000'000'000'000'000'000ULL;
}  // namespace

std::string pickFileName(std::string_view counter, const Weekday& day) {
    std::string name(counter);
    name += day.code;
    name += kExtension;
    return name;
}

std::optional<PickName> parsePickFileName(std::string_view name) {
    std::size_t digits = 0;
    unsigned long long number = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') {
        number = std::min(kMaxNumber, number * 10 + static_cast<unsigned>(name[digits] - '0'));
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    const std::string_view rest = name.substr(digits);
    for (const Weekday& day : kWeekdays) {
        if (rest.size() == day.code.size() + kExtension.size() &&
            equalsIgnoringCase(rest.substr(0, day.code.size()), day.code) &&
            equalsIgnoringCase(rest.substr(day.code.size()), kExtension)) {
            return PickName{number, day};
        }
    }
    return std::nullopt;
}

unsigned long long highestPickNumber(const std::vector<std::string>& names) {
    unsigned long long highest = 0;
    for (const std::string& name : names) {
        if (auto pick = parsePickFileName(name)) highest = std::max(highest, pick->number);
    }
    return highest;
}

}  // namespace schedule
