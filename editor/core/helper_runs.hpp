// What a run of copyfle.com or clrfle.com means for the user.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/core/services.hpp"

namespace editor {

inline constexpr std::string_view kCombineHelper = "copyfle.com";
inline constexpr std::string_view kClearHelper = "clrfle.com";

// A sentence naming what went wrong with the helper's run, or none when it did its whole job.
std::optional<std::string> helperFailure(std::string_view helper, const HelperRun& run);

}  // namespace editor
