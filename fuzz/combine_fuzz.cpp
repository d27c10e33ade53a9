// Combining any folder: every whole record of every valid pick file reaches its day file in
// numeric order, byte for byte with CR LF line ends; every other file meant as a pick is named
// as left out; no day file or other file is taken as a pick; pick files and other files stay.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "../tests/host/fake_folder.hpp"
#include "check.hpp"
#include "folder_input.hpp"
#include "schedule/helpers.hpp"

namespace {

struct Valid {
    std::string digits;
    std::string name;
    std::string record;
};

// The record of a pick file's bytes by the files' rules: four lines, then only empty lines.
bool record(const std::string& bytes, std::string& formatted) {
    std::vector<std::string> lines = reference::lines(bytes);
    if (lines.size() < 4) return false;
    for (std::size_t i = 4; i < lines.size(); ++i) {
        if (!lines[i].empty()) return false;
    }
    formatted.clear();
    for (std::size_t i = 0; i < 4; ++i) formatted += lines[i] + "\r\n";
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    testing_support::FakeFolder folder;
    folder.files = fuzzing::files(input, 24);
    const auto before = folder.files;

    std::vector<Valid> byDay[7];
    std::set<std::string> leftOut;
    for (const auto& [name, bytes] : before) {
        reference::PickName pick;
        if (!reference::pickName(name, pick)) continue;
        std::string formatted;
        if (pick.aboveLimit || !record(bytes, formatted)) {
            leftOut.insert(name);
            continue;
        }
        byDay[pick.day].push_back({pick.digits, name, formatted});
    }

    const schedule::HelperReport report = schedule::combinePickFiles(folder);

    FUZZ_CHECK(report.status ==
               (leftOut.empty() ? schedule::kHelperDone : schedule::kHelperPicksLeftOut));
    std::set<std::string> named;
    for (const std::string& problem : report.problems) {
        named.insert(problem.substr(0, problem.find(": ")));
    }
    FUZZ_CHECK(named == leftOut);
    FUZZ_CHECK(report.problems.size() == leftOut.size());

    for (int day = 0; day < 7; ++day) {
        auto& picks = byDay[day];
        std::sort(picks.begin(), picks.end(), [](const Valid& a, const Valid& b) {
            if (a.digits != b.digits) return reference::lessNumber(a.digits, b.digits);
            return a.name < b.name;
        });
        std::string expected;
        for (const Valid& pick : picks) expected += pick.record;
        FUZZ_CHECK(folder.files.at(reference::kDayFiles[day]) == expected);
    }
    for (const auto& [name, bytes] : before) {
        if (!reference::isDayFileOrItsTemporary(name)) FUZZ_CHECK(folder.files.at(name) == bytes);
    }
    for (const auto& [name, bytes] : folder.files) {
        FUZZ_CHECK(before.count(name) || reference::isDayFileOrItsTemporary(name));
        FUZZ_CHECK(name.size() < 4 || name.substr(name.size() - 4) != ".tmp" || before.count(name));
    }

    // The editor names the same files by the same reading.
    schedule::CombinedPicks combined;
    FUZZ_CHECK(schedule::readPickFiles(folder, combined));
    std::set<std::string> editorNamed;
    for (const schedule::LeftOutPick& left : combined.leftOut) editorNamed.insert(left.name);
    FUZZ_CHECK(editorNamed == leftOut);
    return 0;
}
