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

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::string_view kExtension = ".dat";

// A name split into its leading digits and the weekday whose code and extension follow them.
struct NameShape {
    std::string_view digits;
    Weekday day;
};

std::optional<NameShape> pickNameShape(std::string_view name) {
    std::size_t digits = 0;
    while (digits < name.size() && isDigit(name[digits])) ++digits;
    if (digits == 0) return std::nullopt;
    const std::string_view rest = name.substr(digits);
    for (const Weekday& day : kWeekdays) {
        if (rest.size() == day.code.size() + kExtension.size() &&
            equalsIgnoringCase(rest.substr(0, day.code.size()), day.code) &&
            equalsIgnoringCase(rest.substr(day.code.size()), kExtension)) {
            return NameShape{name.substr(0, digits), day};
        }
    }
    return std::nullopt;
}
}  // namespace

std::string pickNumberLimitText() {
    const std::string digits = std::to_string(kPickNumberLimit);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::optional<unsigned long long> readPickNumber(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    unsigned long long number = 0;
    for (const char c : digits) {
        if (!isDigit(c)) return std::nullopt;
        const auto digit = static_cast<unsigned long long>(c - '0');
        // Checked before it is multiplied, so no digit run, however long, can wrap around.
        if (number > (kPickNumberLimit - digit) / 10) return std::nullopt;
        number = number * 10 + digit;
    }
    return number;
}

std::string pickFileName(std::string_view counter, const Weekday& day) {
    std::string name(counter);
    name += day.code;
    name += kExtension;
    return name;
}

std::optional<PickName> parsePickFileName(std::string_view name) {
    const std::optional<NameShape> shape = pickNameShape(name);
    if (!shape) return std::nullopt;
    const std::optional<unsigned long long> number = readPickNumber(shape->digits);
    if (!number) return std::nullopt;
    return PickName{*number, shape->day};
}

bool isPickNameAboveLimit(std::string_view name) {
    const std::optional<NameShape> shape = pickNameShape(name);
    return shape && !readPickNumber(shape->digits);
}

unsigned long long highestPickNumber(const std::vector<std::string>& names) {
    unsigned long long highest = 0;
    for (const std::string& name : names) {
        if (auto pick = parsePickFileName(name)) highest = std::max(highest, pick->number);
    }
    return highest;
}

}  // namespace schedule
