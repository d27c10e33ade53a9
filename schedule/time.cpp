#include "schedule/time.hpp"

#include <algorithm>

namespace schedule {

namespace {
constexpr long long kSaturation = 1'000'000'000'000'000LL;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

long long leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isBlank(c)) continue;
        if (!isDigit(c)) break;
        value = std::min(kSaturation, value * 10 + (c - '0'));
    }
    return negative ? -value : value;
}

long long numberInCharacters(std::string_view line, std::size_t first, std::size_t count) {
    if (first == 0 || first > line.size()) return 0;
    return leadingNumber(line.substr(first - 1, count));
}

std::string hour24(std::string_view hourItem, std::string_view half) {
    std::string hour(hourItem);
    const long long value = leadingNumber(hour);
    if (half == "PM" && value != 12) hour = std::to_string(value + 12);
    if (half == "AM" && leadingNumber(hour) == 12) hour = "00";
    return hour;
}

std::string timeLine(std::string_view hour, std::string_view minute) {
    std::string line(hour);
    line += ':';
    line += minute;
    return line;
}

bool isDue(std::string_view timeLine, int hourNow) {
    const long long hour = numberInCharacters(timeLine, 1, 2);
    const long long minute = numberInCharacters(timeLine, 4, 2);
    return minute == 0 ? hourNow >= hour : hourNow >= hour + 1;
}

}  // namespace schedule
