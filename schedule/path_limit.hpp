// The longest path Windows starts a program by or opens a file by for the editor and
// Brightwick: neither declares that it takes longer ones, so the system refuses them to both.
// One home for the limit: the pickers, Pick Program, the viewer and the launcher all measure
// against it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace schedule {

// In UTF-16 units, as the system counts a path: MAX_PATH less its terminating zero.
inline constexpr std::size_t kLongestPath = 259;

// The length of UTF-8 text in UTF-16 units.
std::size_t utf16Length(std::string_view text);

// Whether Windows would refuse to start a program, or open a file, by this full path (UTF-8).
inline bool pathTooLong(std::string_view path) {
    return utf16Length(path) > kLongestPath;
}

// Why such a path is not started, as a sentence without its full stop: "Its path is 262
// characters long; Windows starts no program by a path of 260 characters or more".
std::string pathTooLongReason(std::string_view path);

}  // namespace schedule
