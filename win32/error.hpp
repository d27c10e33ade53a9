// The system's own wording of an error, for messages that name what went wrong.
#pragma once

#include <string>

namespace win32 {

// FormatMessage's text of a Win32 error code, in UTF-8, without the trailing line end;
// the number itself where the system has no text for it.
std::string systemReason(unsigned long error);

// systemReason of GetLastError(), taken at once.
std::string lastErrorReason();

}  // namespace win32
