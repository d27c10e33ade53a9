// Clearing any folder, cut off after any change, then cleared again and restored: no pick
// is ever lost. After the clears every pick file is in the Cleared folder byte for byte (or,
// without picks, the earlier set is kept), the day files are empty and other files stay;
// the restore brings every cleared pick back under new numbers after the counter, day codes
// and bytes kept, and empties the Cleared folder of picks.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "../tests/host/fake_editor.hpp"
#include "check.hpp"
#include "editor/core/restore.hpp"
#include "folder_input.hpp"
#include "schedule/helpers.hpp"

namespace {
using Files = std::map<std::string, std::string>;

bool isPick(const std::string& name) {
    reference::PickName pick;
    return reference::pickName(name, pick) && !pick.aboveLimit;
}

// A pick file moved aside by a clear that was cut off before it took the mark off.
bool isStaged(const std::string& name) {
    return name.size() > 4 && name.substr(name.size() - 4) == ".new" &&
           isPick(name.substr(0, name.size() - 4));
}

Files picksOf(const Files& files) {
    Files picks;
    for (const auto& [name, bytes] : files) {
        if (isPick(name)) picks[name] = bytes;
    }
    return picks;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    testing_support::FakeServices services;
    testing_support::FakeFolder& folder = services.folder;
    folder.files = fuzzing::files(input, 12);
    const Files earlier = fuzzing::files(input, 6);  // a finished earlier clear's picks
    folder.sub("Cleared").files = earlier;
    const int cutAfter = input.ConsumeIntegralInRange(-1, 40);
    const Files before = folder.files;
    const Files picks = picksOf(before);
    bool earlierCutOff = false;
    for (const auto& [name, bytes] : earlier) earlierCutOff = earlierCutOff || isStaged(name);

    *folder.changesLeft = cutAfter;
    try {
        schedule::clearScheduleFiles(folder);
    } catch (const testing_support::Interrupted&) {
    }
    *folder.changesLeft = -1;
    FUZZ_CHECK(schedule::clearScheduleFiles(folder).status == schedule::kHelperDone);

    Files& cleared = folder.sub("Cleared").files;
    if (picks.empty() && !earlierCutOff) {
        FUZZ_CHECK(cleared == earlier);
    } else {
        for (const auto& [name, bytes] : picks) {
            FUZZ_CHECK(cleared.count(name) && cleared.at(name) == bytes);
        }
        for (const auto& [name, bytes] : cleared) {
            FUZZ_CHECK(!isStaged(name));
            // After a whole run only this clear's picks are left; a cut-off one may leave more.
            if (cutAfter < 0 && !earlierCutOff && isPick(name)) FUZZ_CHECK(picks.count(name));
            if (!isPick(name)) FUZZ_CHECK(earlier.count(name) && earlier.at(name) == bytes);
        }
    }
    for (const auto& [name, bytes] : before) {
        if (isPick(name)) {
            FUZZ_CHECK(!folder.files.count(name));
            continue;
        }
        if (!reference::isDayFileOrItsTemporary(name)) FUZZ_CHECK(folder.files.at(name) == bytes);
    }
    for (const char* day : reference::kDayFiles) FUZZ_CHECK(folder.files.at(day).empty());

    // Restore: each cleared pick back once, under a number after the counter.
    const Files toRestore = picksOf(cleared);
    const unsigned long long counter = input.ConsumeIntegralInRange<unsigned long long>(1, 1000);
    testing_support::FakeControls controls;
    controls.fields[editor::Field::Text4] = std::to_string(counter);
    const Files working = folder.files;
    editor::restoreClearedPicks(controls, services);
    // One message, after copyfle.com has built the day files again when any pick came back.
    FUZZ_CHECK(!services.log.empty() && services.log.size() <= 2 &&
               services.log.back().rfind("message: ", 0) == 0 && services.log.back().back() == '.');
    FUZZ_CHECK(picksOf(cleared).empty());
    const unsigned long long after = std::stoull(controls.fields[editor::Field::Text4]);
    FUZZ_CHECK(after >= counter && after - counter <= toRestore.size());
    std::multiset<std::string> restoredBytes;
    std::size_t added = 0;
    for (const auto& [name, bytes] : folder.files) {
        if (working.count(name)) {
            FUZZ_CHECK(working.at(name) == bytes);
            continue;
        }
        reference::PickName pick;
        FUZZ_CHECK(reference::pickName(name, pick));
        const unsigned long long number = std::stoull(pick.digits);
        FUZZ_CHECK(number > counter && number <= after);
        restoredBytes.insert(bytes);
        ++added;
    }
    std::multiset<std::string> clearedBytes;
    for (const auto& [name, bytes] : toRestore) clearedBytes.insert(bytes);
    FUZZ_CHECK(added == toRestore.size());
    FUZZ_CHECK(services.log.size() == (added > 0 ? 2u : 1u));
    if (added > 0) FUZZ_CHECK(services.log.front() == "helper: copyfle.com");
    FUZZ_CHECK(restoredBytes == clearedBytes);
    return 0;
}
