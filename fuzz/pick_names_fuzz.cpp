// Pick file names and numbers from any text: the one reading takes exactly the names of
// digits, day code and ".dat" whose number fits the limit, reads the number in full, and
// writes the name back; the counter's reading agrees with the names'.
#include <cstddef>
#include <cstdint>
#include <string>

#include "check.hpp"
#include "reference.hpp"
#include "schedule/pick_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    reference::PickName expected;
    const bool shaped = reference::pickName(text, expected);
    const auto pick = schedule::parsePickFileName(text);
    FUZZ_CHECK(pick.has_value() == (shaped && !expected.aboveLimit));
    FUZZ_CHECK(schedule::isPickNameAboveLimit(text) == (shaped && expected.aboveLimit));
    if (pick) {
        FUZZ_CHECK(std::to_string(pick->number) == expected.digits);
        FUZZ_CHECK(pick->number <= schedule::kPickNumberLimit);
        FUZZ_CHECK(pick->day.checkIndex == expected.day);
        const std::string written = schedule::pickFileName(expected.digits, pick->day);
        FUZZ_CHECK(reference::sameIgnoringCase(written.substr(written.size() - 7),
                                               text.substr(text.size() - 7)));
        const auto again = schedule::parsePickFileName(written);
        FUZZ_CHECK(again && again->number == pick->number && again->day.code == pick->day.code);
        FUZZ_CHECK(schedule::highestPickNumber({written, text}) == pick->number);
    }

    // The counter's text is read the same way as a name's digits.
    const auto number = schedule::readPickNumber(text);
    bool digitsOnly = !text.empty();
    for (const char c : text) digitsOnly = digitsOnly && c >= '0' && c <= '9';
    if (!digitsOnly) {
        FUZZ_CHECK(!number);
    } else {
        std::string_view stripped = text;
        while (stripped.size() > 1 && stripped[0] == '0') stripped.remove_prefix(1);
        FUZZ_CHECK(number.has_value() == (stripped.size() <= 18));
        if (number) FUZZ_CHECK(std::to_string(*number) == stripped);
        for (const char* code : reference::kCodes) {
            FUZZ_CHECK(schedule::parsePickFileName(text + code + ".dat").has_value() ==
                       number.has_value());
        }
    }
    return 0;
}
