// Plain second readings of the schedule files, written apart from the product code and as
// simply as possible, so that a fuzz target compares the two instead of restating one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace reference {

// Lines as the files' rules give them: CR LF, a lone CR and a lone LF each end one; text after
// the last line end is a line of its own.
inline std::vector<std::string> lines(std::string_view bytes) {
    std::vector<std::string> result;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            result.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line += c;
            open = true;
        }
    }
    if (open) result.push_back(line);
    return result;
}

inline char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

inline const char* const kCodes[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
inline const char* const kDayLines[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                        "Friday", "Saturday", "Sunday"};
inline const char* const kDayFiles[] = {"datmon.dat", "dattue.dat", "datwed.dat", "datthu.dat",
                                        "datfri.dat", "datsat.dat", "datsun.dat"};

// A day file, or the temporary name a day file is written under before it replaces the old
// one: files the helpers make their own.
inline bool isDayFileOrItsTemporary(std::string_view name) {
    for (const char* day : kDayFiles) {
        const std::string_view file(day);
        if (name == file ||
            (name.size() == file.size() + 4 && name.substr(0, file.size()) == file &&
             name.substr(file.size()) == ".tmp")) {
            return true;
        }
    }
    return false;
}

// A pick file name taken apart: its digits without leading zeros and its weekday (0 Monday).
struct PickName {
    std::string digits;  // "0" for zero
    int day = -1;
    bool aboveLimit = false;  // more than eighteen digits
};

inline bool pickName(std::string_view name, PickName& pick) {
    std::size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
    if (digits == 0 || name.size() != digits + 3 + 4) return false;
    if (!sameIgnoringCase(name.substr(digits + 3), ".dat")) return false;
    for (int day = 0; day < 7; ++day) {
        if (sameIgnoringCase(name.substr(digits, 3), kCodes[day])) {
            std::string_view number = name.substr(0, digits);
            while (number.size() > 1 && number[0] == '0') number.remove_prefix(1);
            pick.digits = std::string(number);
            pick.day = day;
            pick.aboveLimit = number.size() > 18;
            return true;
        }
    }
    return false;
}

// Orders two numbers written without leading zeros.
inline bool lessNumber(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace reference
