// The benchmarks' folder of pick files: 10,000 records spread over the seven days.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "schedule/pick_file.hpp"
#include "schedule/record.hpp"
#include "schedule/weekday.hpp"

namespace bench {

inline constexpr int kPickFiles = 10'000;

// Names and contents, numbered as a long run of the editor would leave them.
inline std::vector<std::pair<std::string, std::string>> pickFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    files.reserve(kPickFiles);
    for (int i = 0; i < kPickFiles; ++i) {
        const schedule::Weekday& day = schedule::kWeekdays[static_cast<std::size_t>(i % 7)];
        const std::string counter = std::to_string(2 + i / 7);
        files.emplace_back(
            schedule::pickFileName(counter, day),
            schedule::formatRecord({"08:15", "C:\\Program Files\\Tools\\app" + counter + ".exe",
                                    "Normal", std::string(day.dayLine)}));
    }
    return files;
}

}  // namespace bench
