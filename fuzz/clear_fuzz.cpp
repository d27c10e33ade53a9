// Clearing any folder, cut off after any change, then cleared again, then restored until
// nothing is left: no pick is ever lost. After the clears every pick file is in one clear's
// folder in Cleared byte for byte, what an earlier version kept right in Cleared is untouched,
// the day files are empty and other files stay; the restores bring every cleared pick back
// once, under new numbers after the counter, day codes and bytes kept.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

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
    const Files earlier = fuzzing::files(input, 6);  // an earlier version's clear
    folder.sub("Cleared").files = earlier;
    const int cutAfter = input.ConsumeIntegralInRange(-1, 40);
    const Files before = folder.files;
    const Files picks = picksOf(before);
    const schedule::ClearTime time{2026, 12, 8, 19, 58, 3};

    *folder.changesLeft = cutAfter;
    try {
        schedule::clearScheduleFiles(folder, time);
    } catch (const testing_support::Interrupted&) {
    }
    *folder.changesLeft = -1;
    FUZZ_CHECK(schedule::clearScheduleFiles(folder, time).status == schedule::kHelperDone);

    testing_support::FakeFolder& cleared = folder.sub("Cleared", false);
    FUZZ_CHECK(cleared.files == earlier);
    std::vector<std::string> clears;
    FUZZ_CHECK(static_cast<bool>(cleared.folderNames(clears)));
    Files kept;
    for (const std::string& clear : clears) {
        FUZZ_CHECK(clear == schedule::clearFolderName(time) ||
                   clear == schedule::clearFolderName(time, 2));
        for (const auto& [name, bytes] : cleared.sub(clear, false).files) {
            FUZZ_CHECK(!kept.count(name));
            kept[name] = bytes;
        }
    }
    FUZZ_CHECK(kept == picks);
    for (const auto& [name, bytes] : before) {
        if (isPick(name)) {
            FUZZ_CHECK(!folder.files.count(name));
            continue;
        }
        if (!reference::isDayFileOrItsTemporary(name)) FUZZ_CHECK(folder.files.at(name) == bytes);
    }
    for (const char* day : reference::kDayFiles) FUZZ_CHECK(folder.files.at(day).empty());

    // Restores, newest clear first: each cleared pick back once, after the counter.
    std::multiset<std::string> clearedBytes;
    for (const auto& [name, bytes] : picks) clearedBytes.insert(bytes);
    for (const auto& [name, bytes] : earlier) {
        if (isPick(name) || isStaged(name)) clearedBytes.insert(bytes);
    }
    const unsigned long long counter = input.ConsumeIntegralInRange<unsigned long long>(1, 1000);
    testing_support::FakeControls controls;
    controls.fields[editor::Field::Text4] = std::to_string(counter);
    const Files working = folder.files;
    const std::string nothing = "message: " + std::string(editor::kNothingToRestore);
    for (std::size_t restores = 0; services.log.empty() || services.log.back() != nothing;
         ++restores) {
        FUZZ_CHECK(restores <= clears.size() + 1);
        services.log.clear();
        editor::restoreClearedPicks(controls, services);
        FUZZ_CHECK(!services.log.empty() && services.log.size() <= 2 &&
                   services.log.back().rfind("message: ", 0) == 0 &&
                   services.log.back().back() == '.');
    }
    const unsigned long long after = std::stoull(controls.fields[editor::Field::Text4]);
    std::multiset<std::string> restoredBytes;
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
    }
    FUZZ_CHECK(restoredBytes == clearedBytes);
    return 0;
}
