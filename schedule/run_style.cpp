#include "schedule/run_style.hpp"

namespace schedule {

std::optional<RunStyle> runStyleByListWord(std::string_view word) {
    for (const RunStyle& style : kRunStyles) {
        if (style.listWord == word) return style;
    }
    return std::nullopt;
}

std::optional<RunStyle> runStyleByStoredWord(std::string_view word) {
    for (const RunStyle& style : kRunStyles) {
        if (style.storedWord == word) return style;
    }
    return std::nullopt;
}

}  // namespace schedule
