// What a run of copyfle.com or clrfle.com means for the user.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/core/services.hpp"
#include "schedule/folder.hpp"

namespace editor {

inline constexpr std::string_view kCombineHelper = "copyfle.com";
inline constexpr std::string_view kClearHelper = "clrfle.com";

// A sentence naming what went wrong with the helper's run, or none when it did its whole job.
std::optional<std::string> helperFailure(std::string_view helper, const HelperRun& run);

// The message for such a run: that sentence, what it means for the user (`consequence`), and
// then the files the helper named with its own reasons, one a line.
std::optional<std::string> helperMessage(std::string_view helper, const HelperRun& run,
                                         std::string_view consequence);

// Whether copyfle.com finished its job but left pick files out: the rest of the schedule was
// combined, so the editor goes on after it has named them.
bool leftPicksOut(const HelperRun& run);

// The message after such a run: the pick files copyfle.com left out of `folder`, found by the
// reading it combines by, each with what is wrong with it, and that their programs will not
// start.
std::string leftOutPicksMessage(schedule::Folder& folder);

// The pick files whose record copyfle.com combined but the launcher never starts: a time that is
// no time of day, or a run style none of the four words. Each named with what is wrong, then
// what to do; none when there is no such file.
std::optional<std::string> damagedPicksMessage(schedule::Folder& folder);

}  // namespace editor
