#include "schedule/path_limit.hpp"

namespace schedule {

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // a character starts here
        if ((byte & 0xF8) == 0xF0) ++units;  // beyond the first plane: a surrogate pair
    }
    return units;
}

std::string pathTooLongReason(std::string_view path) {
    return "Its path is " + std::to_string(utf16Length(path)) +
           " characters long; Windows starts no program by a path of " +
           std::to_string(kLongestPath + 1) + " characters or more";
}

}  // namespace schedule
