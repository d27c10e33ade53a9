// The schedule record: four lines, each ended by CR LF, the last one too.
#pragma once

#include <string>
#include <string_view>

namespace schedule {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr int kRecordLines = 4;

struct Record {
    std::string time;     // "HH:MM"
    std::string program;  // full path of the program file
    std::string style;    // stored run-style word
    std::string day;      // day line, "Monday" ...
    friend bool operator==(const Record&, const Record&) = default;
};

// The record's bytes as they stand in a pick or day file.
std::string formatRecord(const Record& record);

}  // namespace schedule
