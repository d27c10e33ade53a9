// The logon history on disk: %LOCALAPPDATA%\Norvell\logon-history.txt, one per user, written
// by the launcher after each pass and read by the editor.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/history.hpp"
#include "launcher/last_run.hpp"
#include "schedule/outcome.hpp"

namespace launcher {

// The history's folder (%LOCALAPPDATA%\Norvell) and its full path; none when the system
// cannot tell the user's local application data folder.
std::optional<std::wstring> logonHistoryFolder();
std::optional<std::wstring> logonHistoryPath();

// How long a run waits for another run at the same logon to finish adding its entry. The
// wait comes after every program was started, so it holds up nothing but the launcher's end.
inline constexpr std::chrono::milliseconds kHistoryWait{5'000};

// The name of the mutex under which runs change the history at `path`: in the namespace of the
// user's session, one for each history whatever the letter case its path is spelt in.
std::wstring historyMutexName(const std::wstring& path);

// Adds `entry` at the end of the history in one write; every so many runs the history is
// instead written anew with only its newest entries, atomically (historyAppendix,
// historyWithEntry), through a temporary file of this process's own. Reading, counting and
// writing happen under the history's mutex, one run at a time; a run that does not get the
// mutex within `wait` adds nothing. The history's folder is made when it is missing. A history
// that is there but cannot be read is left as it is.
schedule::Outcome addToLogonHistory(std::string_view entry,
                                    std::chrono::milliseconds wait = kHistoryWait);

// The newest run the history tells of, into `last`: none when there is no history yet or it
// holds no entry. Fails only when the history is there but cannot be read.
schedule::Outcome readLastLogonRun(std::optional<LastRun>& last);

}  // namespace launcher
