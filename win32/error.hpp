// The system's own wording of an error, for messages that name what went wrong, and the
// failed Outcome that carries it.
#pragma once

#include <windows.h>

#include <string>

#include "schedule/outcome.hpp"

namespace win32 {

// FormatMessage's text of a Win32 error code, in UTF-8, without the trailing line end;
// the number itself where the system has no text for it.
std::string systemReason(unsigned long error);

// systemReason of GetLastError(), taken at once.
std::string lastErrorReason();

// A failure with a Win32 error code and the system's text for it.
schedule::Outcome systemFailure(unsigned long error);

// systemFailure of GetLastError(), taken at once.
schedule::Outcome lastErrorFailure();

// A failure with a COM result. One that wraps a Win32 error carries that error's code, so
// callers compare every Outcome's code with the ERROR_ constants alone.
schedule::Outcome comFailure(HRESULT result);

}  // namespace win32
