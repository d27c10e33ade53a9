// The words and shapes of the logon history that its writer and its reader share, so that
// the reader finds what the writer wrote. Not for other users: history.hpp and last_run.hpp
// are the interfaces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace launcher::history_format {

// How an entry's lines are laid out.
inline constexpr std::string_view kLineEnd = "\r\n", kIndent = "  ", kReasonIndent = "    ";
// The lines after the time: the run's folder and day file.
inline constexpr std::string_view kWorkingFolder = "Working folder: ", kDayFile = "Day file: ",
                                  kNotRead = "Day file not read: ";
// A record's line: whether and how it started.
inline constexpr std::string_view kStarted = "Started ", kNotStarted = "Not started ",
                                  kShowValue = " (show value ";
// The records that did not start.
inline constexpr std::string_view kUnknownStyle = "Passed over for its unknown run style ",
                                  kIncomplete = "Passed over: an incomplete last record",
                                  kNotYetDue = "Not yet due: ";

// The text without the byte order mark at its start, if it has one.
std::string_view withoutByteOrderMark(std::string_view text);

// Where the `count`th entry from the end starts, found by going back only as far as that; the
// first entry's start when there are fewer, and the end of the text when there is none. An
// entry starts at a line that is exactly "YYYY-MM-DD HH:MM:SS".
std::size_t startOfNewestEntries(std::string_view text, int count);

// Whether the text ends a line, or is empty: the next entry starts on a line of its own.
bool endsLine(std::string_view text);

// A reason as a sentence: with a full stop at its end.
std::string withFullStop(std::string_view reason);

// "1 record", "2 records".
std::string counted(int count, std::string_view one, std::string_view many);

}  // namespace launcher::history_format
