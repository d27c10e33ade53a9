#include "schedule/record.hpp"

namespace schedule {

std::string formatRecord(const Record& record) {
    std::string bytes;
    bytes.reserve(record.time.size() + record.program.size() + record.style.size() +
                  record.day.size() + 4 * kLineEnd.size());
    for (const std::string* line : {&record.time, &record.program, &record.style, &record.day}) {
        bytes += *line;
        bytes += kLineEnd;
    }
    return bytes;
}

}  // namespace schedule
