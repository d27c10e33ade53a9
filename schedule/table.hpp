// Looking a row up in one of the core's fact tables (weekdays, run styles).
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace schedule {

// The first row of `table` whose `field` equals `value` exactly; none when no row does.
template <class Row, std::size_t size, class Field, class Value>
constexpr std::optional<Row> rowWhere(const std::array<Row, size>& table, Field Row::*field,
                                      const Value& value) {
    for (const Row& row : table) {
        if (row.*field == value) return row;
    }
    return std::nullopt;
}

}  // namespace schedule
