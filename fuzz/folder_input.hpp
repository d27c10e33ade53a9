// Turns fuzz input into a folder of schedule files: names mostly shaped like pick files (long
// numbers, odd letter case, day files among them), contents mostly near whole records.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <string>

#include "reference.hpp"

namespace fuzzing {

inline std::string mixCase(FuzzedDataProvider& input, std::string_view text) {
    std::string mixed(text);
    for (char& c : mixed) {
        if (input.ConsumeBool()) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    return mixed;
}

inline std::string name(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return input.ConsumeRandomLengthString(24);
        case 1:
            return mixCase(input, reference::kDayFiles[input.ConsumeIntegralInRange(0, 6)]);
        case 2: {  // around the limit: seventeen to twenty digits
            std::string digits(static_cast<std::size_t>(input.ConsumeIntegralInRange(17, 20)), '9');
            for (char& c : digits) {
                if (input.ConsumeBool())
                    c = static_cast<char>('0' + input.ConsumeIntegralInRange(0, 9));
            }
            return digits + mixCase(input, reference::kCodes[input.ConsumeIntegralInRange(0, 6)]) +
                   mixCase(input, ".dat");
        }
        default: {
            std::string digits = std::to_string(input.ConsumeIntegralInRange(0, 40));
            if (input.ConsumeBool()) digits.insert(0, "0");
            return digits + mixCase(input, reference::kCodes[input.ConsumeIntegralInRange(0, 6)]) +
                   mixCase(input, ".dat");
        }
    }
}

inline std::string lineEnd(FuzzedDataProvider& input) {
    static const char* const ends[] = {"\r\n", "\r\n", "\n", "\r"};
    return ends[input.ConsumeIntegralInRange(0, 3)];
}

inline std::string content(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange(0, 3) == 0) return input.ConsumeRandomLengthString(80);
    std::string bytes;
    const int lines = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < lines; ++i) {
        std::string line = input.ConsumeRandomLengthString(12);
        line.erase(
            std::remove_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }),
            line.end());
        bytes += line;
        if (i + 1 < lines || input.ConsumeBool()) bytes += lineEnd(input);
    }
    const int empties = input.ConsumeIntegralInRange(0, 2);
    for (int i = 0; i < empties; ++i) bytes += lineEnd(input);
    return bytes;
}

// Up to `most` files of the shapes above.
inline std::map<std::string, std::string> files(FuzzedDataProvider& input, int most) {
    std::map<std::string, std::string> made;
    const int count = input.ConsumeIntegralInRange(0, most);
    for (int i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        std::string fileName = name(input);
        made[fileName] = content(input);
    }
    return made;
}

}  // namespace fuzzing
