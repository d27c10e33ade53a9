// When a program line that names no existing file may go to the system as a command line, and
// what the record's values must be for the launcher ever to start it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "schedule/record.hpp"

namespace schedule {

// Why a line is not started when its program part could be mistaken, worded to follow "not
// started: " or to stand as the reason of a failed start.
inline constexpr std::string_view kProgramNotFoundUnquoted =
    "The program was not found. Its path has a blank: if the line holds arguments after the "
    "program, put the program's path in quotes";

// The command line for a program line that names no existing file, with its program part in
// quotes so that the system cannot take a shorter part of it: the line as it stands when it
// starts with a quote or holds no blank; the first word quoted when it is a bare name that the
// system's program search finds, or a full path of a .exe or .com program; none when its
// first word is part of a path with blanks (C:\Program of "C:\Program Files\..."), which the
// system would try as a program of its own.
std::optional<std::string> unmistakableCommandLine(std::string_view programLine);

// What in a record keeps the launcher from ever starting it: a time line that is no time of
// day ("HH:MM", 00:00 to 23:59) or a run-style line that is none of the four stored words.
// The end of a sentence that names the record; none when both are sound.
std::optional<std::string> recordDamage(const Record& record);

}  // namespace schedule
