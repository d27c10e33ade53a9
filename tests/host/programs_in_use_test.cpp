#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "editor/core/programs_in_use.hpp"

namespace {

using editor::InUseStatus;
using editor::ProgramUse;
using editor::RunningProcess;

bool samePath(std::string_view first, std::string_view second) {
    return std::equal(first.begin(), first.end(), second.begin(), second.end(),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

}  // namespace

TEST(ProgramsInUse, ARunningImageOrAHolderOfTheFolderIsInUseAndTheCheckItselfIsNot) {
    constexpr unsigned long self = 50;
    const RunningProcess brightwick{7, "Brightwick.exe",
                                    "C:\\PROGRAM FILES\\Norvell\\brightwick.exe"};
    const RunningProcess elsewhere{8, "Norvell.exe", "D:\\Other\\Norvell.exe"};
    const RunningProcess checker{self, "Norvell.exe", "C:\\Program Files\\Norvell\\Norvell.exe"};
    const RunningProcess notepad{9, "Notepad", "C:\\Windows\\notepad.exe"};
    struct Case {
        const char* name;
        ProgramUse use;
        InUseStatus status;
        std::string line;
    };
    const Case cases[] = {
        {"nothing runs from the folder",
         {true, {}, true, {elsewhere, checker, notepad}},
         InUseStatus::None,
         ""},
        // Wine: no Restart Manager, and the running image found by its path.
        {"a running image without the Restart Manager",
         {false, {}, true, {notepad, brightwick}},
         InUseStatus::Some,
         "Brightwick.exe (process 7)"},
        {"the Restart Manager's holders, each process once",
         {true, {brightwick, notepad, checker}, true, {brightwick}},
         InUseStatus::Some,
         "Brightwick.exe (process 7), Notepad (process 9)"},
        {"neither could tell", {false, {}, false, {}}, InUseStatus::Unknown, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> inUse{"stale"};
        EXPECT_EQ(
            editor::programsInUse("C:\\Program Files\\Norvell\\", c.use, self, samePath, inUse),
            c.status);
        EXPECT_EQ(editor::inUseLine(inUse), c.line);
    }
}
