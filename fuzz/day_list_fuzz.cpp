// The viewer's reading of any day file: every line but a day name shown, in file order, a time
// line with "Time: " before it, a stored run-style word spelt out, the rest as it stands; the
// lines grouped four by four into entries as the launcher groups records, a whole group being
// that record; and a day button shows exactly that, with its own button bold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/host/fake_editor.hpp"
#include "check.hpp"
#include "editor/core/day_list.hpp"
#include "reference.hpp"

namespace {

// Whether the third character is ':', counting UTF-8 characters by their lead bytes.
bool colonThird(const std::string& line) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) starts.push_back(i);
    }
    return starts.size() >= 3 && line[starts[2]] == ':';
}

std::string shown(const std::string& line) {
    if (line == "Normal") return "Run Style - Normal";
    if (line == "Hide") return "Run Style - Hide";
    if (line == "Min") return "Run Style - Minimize";
    if (line == "Max") return "Run Style - Maximize";
    return colonThird(line) ? "Time: " + line : line;
}

bool isDayName(const std::string& line) {
    for (const char* day : reference::kDayLines) {
        if (line == day) return true;
    }
    return false;
}

class Viewer final : public editor::ViewerControls {
  public:
    std::vector<bool> bold = std::vector<bool>(7, false);
    std::vector<std::string> lines{"stale"};
    void setDayBold(int index, bool isBold) override {
        bold.at(static_cast<std::size_t>(index)) = isBold;
    }
    void setEntries(std::vector<editor::DayEntry> entries) override {
        lines = editor::shownLines(entries);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int day = data[0] % 7;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::vector<std::string> all = reference::lines(bytes);
    std::vector<std::string> expected;
    for (const std::string& line : all) {
        if (!isDayName(line)) expected.push_back(shown(line));
    }
    schedule::LineReader reader(bytes);
    const std::vector<editor::DayEntry> entries = editor::ReadDayList(reader);
    FUZZ_CHECK(editor::shownLines(entries) == expected);
    int records = 0;
    for (const editor::DayEntry& entry : entries) {
        FUZZ_CHECK(!entry.lines.empty());
        if (!entry.record) continue;
        // A whole record is lines 4k+1 to 4k+4 of the file, k being its place among them.
        FUZZ_CHECK(entry.recordIndex >= records);
        records = entry.recordIndex + 1;
        const auto first = static_cast<std::size_t>(entry.recordIndex) * 4;
        FUZZ_CHECK(first + 3 < all.size());
        FUZZ_CHECK(entry.record->time == all[first] && entry.record->program == all[first + 1] &&
                   entry.record->style == all[first + 2] && entry.record->day == all[first + 3]);
    }

    testing_support::FakeServices services;
    services.folder.files[reference::kDayFiles[day]] = bytes;
    Viewer viewer;
    editor::OnDayButton(day, viewer, services);
    FUZZ_CHECK(viewer.lines == expected);
    for (int other = 0; other < 7; ++other) {
        FUZZ_CHECK(viewer.bold[static_cast<std::size_t>(other)] == (other == day));
    }
    return 0;
}
