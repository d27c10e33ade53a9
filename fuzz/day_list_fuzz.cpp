// The viewer's reading of any day file: every line but a day name shown, in file order, a time
// line with "Time: " before it, a stored run-style word spelt out, the rest as it stands; and
// a day button shows exactly that, with its own button bold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/host/fake_folder.hpp"
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
    void setLines(std::vector<std::string> shownLines) override { lines = std::move(shownLines); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int day = data[0] % 7;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    std::vector<std::string> expected;
    for (const std::string& line : reference::lines(bytes)) {
        if (!isDayName(line)) expected.push_back(shown(line));
    }
    schedule::LineReader reader(bytes);
    FUZZ_CHECK(editor::ReadDayList(reader) == expected);

    testing_support::FakeFolder folder;
    folder.files[reference::kDayFiles[day]] = bytes;
    Viewer viewer;
    editor::OnDayButton(day, viewer, folder,
                        [](std::string_view text) { return std::string(text); });
    FUZZ_CHECK(viewer.lines == expected);
    for (int other = 0; other < 7; ++other) {
        FUZZ_CHECK(viewer.bold[static_cast<std::size_t>(other)] == (other == day));
    }
    return 0;
}
