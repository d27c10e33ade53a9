#include "schedule/command_line.hpp"

#include "schedule/ascii.hpp"
#include "schedule/run_style.hpp"

namespace schedule {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether `word` ends in ".exe" or ".com", letter case aside: the programs CreateProcess runs
// as they are named.
bool namesProgram(std::string_view word) {
    if (word.size() < 4) return false;
    std::string extension(word.substr(word.size() - 4));
    for (char& c : extension) c = lowerAscii(c);
    return extension == ".exe" || extension == ".com";
}

}  // namespace

std::optional<std::string> unmistakableCommandLine(std::string_view programLine) {
    std::size_t blank = 0;
    while (blank < programLine.size() && !isBlank(programLine[blank])) ++blank;
    if (programLine.empty() || programLine.front() == '"' || blank == programLine.size()) {
        return std::string(programLine);
    }
    const std::string_view first = programLine.substr(0, blank);
    const bool bareName = first.find_first_of("\\/:") == std::string_view::npos;
    if (!bareName && !namesProgram(first)) return std::nullopt;
    std::string line = "\"";
    line += first;
    line += '"';
    line += programLine.substr(blank);
    return line;
}

std::optional<std::string> recordDamage(const Record& record) {
    const std::string_view time = record.time;
    const bool isTime = time.size() == 5 && isDigit(time[0]) && isDigit(time[1]) &&
                        time[2] == ':' && isDigit(time[3]) && isDigit(time[4]) &&
                        (time[0] - '0') * 10 + (time[1] - '0') < 24 && time[3] < '6';
    std::string damage;
    if (!isTime) {
        damage = "its time \"" + record.time + "\" is not a time of day from 00:00 to 23:59";
    }
    if (!runStyleByStoredWord(record.style)) {
        if (!damage.empty()) damage += ", and ";
        damage += "its run style \"" + record.style + "\" is none of ";
        for (std::size_t i = 0; i < kRunStyles.size(); ++i) {
            if (i > 0) damage += i + 1 == kRunStyles.size() ? " or " : ", ";
            damage += kRunStyles[i].storedWord;
        }
    }
    if (damage.empty()) return std::nullopt;
    return damage;
}

}  // namespace schedule
