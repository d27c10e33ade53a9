#include "schedule/run_style.hpp"

#include "schedule/table.hpp"

namespace schedule {

std::optional<RunStyle> runStyleByListWord(std::string_view word) {
    return rowWhere(kRunStyles, &RunStyle::listWord, word);
}

std::optional<RunStyle> runStyleByStoredWord(std::string_view word) {
    return rowWhere(kRunStyles, &RunStyle::storedWord, word);
}

}  // namespace schedule
