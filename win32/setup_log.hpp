// The installer's log: a text file in UTF-16 with its byte order mark, which the installer and
// the programs it runs add lines to in turn.
#pragma once

#include <string>
#include <vector>

#include "schedule/outcome.hpp"

namespace win32 {

// Adds `lines` at the end of the log at `path`, each with CR LF, making the log when it is not
// there yet.
schedule::Outcome appendLogLines(const std::wstring& path, const std::vector<std::wstring>& lines);

}  // namespace win32
