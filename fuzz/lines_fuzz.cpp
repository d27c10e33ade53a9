// The line reader on any bytes: the lines the files' rules give, none holding a line end, and
// read back the same once written with CR LF.
#include <cstddef>
#include <cstdint>

#include "check.hpp"
#include "reference.hpp"
#include "schedule/lines.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    schedule::LineReader reader(bytes);
    std::vector<std::string> read;
    while (auto line = reader.next()) {
        FUZZ_CHECK(line->find_first_of("\r\n") == std::string::npos);
        read.push_back(std::move(*line));
    }
    FUZZ_CHECK(reader.atEnd());
    FUZZ_CHECK(!reader.next());
    FUZZ_CHECK(read == reference::lines(bytes));
    FUZZ_CHECK(read == schedule::splitLines(bytes));

    std::string written;
    for (const std::string& line : read) written += line + "\r\n";
    FUZZ_CHECK(schedule::splitLines(written) == read);
    return 0;
}
