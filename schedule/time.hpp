// Times of day as records hold them: "HH:MM" on the 24-hour clock.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace schedule {

// The number at the start of `text`: blanks are skipped, an optional sign may come first,
// and reading stops at the first character that cannot continue the number. 0 when no digit
// comes first. Very long digit runs saturate instead of overflowing.
long long leadingNumber(std::string_view text);

// leadingNumber of characters first .. first+count-1 of `line` (1-based), fewer when the
// line is shorter.
long long numberInCharacters(std::string_view line, std::size_t first, std::size_t count);

// The editor's conversion of a 12-hour list item to the hour written into a record:
// "12" AM gives "00", PM adds 12 except to "12", AM hours 01 to 11 stay as they are.
std::string hour24(std::string_view hourItem, std::string_view half);

// The time line: the 24-hour hour, ":", the minute item.
std::string timeLine(std::string_view hour, std::string_view minute);

// Whether a record with this time line is due at a logon during `hourNow` (0 to 23): on the
// full hour from that hour on, with minutes from the next full hour on, for the rest of the
// day. The hour is characters 1-2 and the minute characters 4-5 of the line.
bool isDue(std::string_view timeLine, int hourNow);

}  // namespace schedule
