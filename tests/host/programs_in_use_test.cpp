#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "editor/core/programs_in_use.hpp"

TEST(ProgramsInUse, ARunningImageOrAHolderOfTheFolderIsInUseAndTheCheckItselfIsNot) {
    using editor::InUseStatus;
    const auto samePath = [](std::string_view first, std::string_view second) {
        return std::ranges::equal(
            first, second, [](char a, char b) { return std::tolower(a) == std::tolower(b); });
    };
    constexpr unsigned long self = 50;
    const editor::RunningProcess brightwick{7, "B", "C:\\PROGRAM FILES\\Norvell\\brightwick.exe"},
        elsewhere{8, "N", "D:\\Other\\Norvell.exe"},
        checker{self, "N", "C:\\Program Files\\Norvell\\Norvell.exe"},
        notepad{9, "Notepad", "C:\\Windows\\notepad.exe"};
    const struct {
        editor::ProgramUse use;
        InUseStatus status;
        std::string line;
    } cases[] = {
        {{true, {}, true, {elsewhere, checker, notepad}}, InUseStatus::None, ""},
        // Wine: no Restart Manager, and the running image found by its path.
        {{false, {}, true, {notepad, brightwick}}, InUseStatus::Some, "Brightwick.exe (process 7)"},
        // The Restart Manager's holders, each process once, by their names where not ours.
        {{true, {brightwick, notepad, checker}, true, {brightwick}},
         InUseStatus::Some,
         "Brightwick.exe (process 7), Notepad (process 9)"},
        {{false, {}, false, {}}, InUseStatus::Unknown, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> inUse{"stale"};
        EXPECT_EQ(
            editor::programsInUse("C:\\Program Files\\Norvell\\", c.use, self, samePath, inUse),
            c.status);
        EXPECT_EQ(editor::inUseLine(inUse), c.line);
    }
}
