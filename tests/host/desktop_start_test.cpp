// The installer's last page starts Norvell or the read-me through Norvell.exe: an elevated
// process only ever asks the desktop's shell, never starts the program itself.
#include <gtest/gtest.h>

#include "editor/core/desktop_start.hpp"

namespace {

struct FakeStarts : editor::DesktopStarts {
    std::optional<bool> elevated;
    schedule::Outcome outcome;
    std::vector<std::string> calls;  // "direct FILE|PARAMETERS|FOLDER", "shell ...", "message"
    std::string shown;

    std::optional<bool> runsElevated() override { return elevated; }
    schedule::Outcome startDirect(const editor::DesktopProgram& p) override {
        calls.push_back("direct " + p.file + "|" + p.parameters + "|" + p.folder);
        return outcome;
    }
    schedule::Outcome startThroughDesktopShell(const editor::DesktopProgram& p) override {
        calls.push_back("shell " + p.file + "|" + p.parameters + "|" + p.folder);
        return outcome;
    }
    void message(std::string_view text) override {
        calls.push_back("message");
        shown = text;
    }
};

}  // namespace

TEST(DesktopStart, ElevatedOnlyThroughTheShellRefusedOrFailedWithAMessage) {
    const editor::DesktopPlaces places{"C:\\Apps\\Norvell", "C:\\Windows\\system32", "C:\\Data"};
    const std::string norvell = "C:\\Apps\\Norvell\\Norvell.exe||C:\\Data";
    const std::string notepad =
        "C:\\Windows\\system32\\notepad.exe|\"C:\\Apps\\Norvell\\readme.1st\"|C:\\Apps\\Norvell";
    const auto failed = schedule::Outcome::systemFailure(0x80004005, "Unspecified error");
    struct Case {
        std::vector<std::string> words;  // after the program's name
        std::optional<bool> elevated;
        schedule::Outcome outcome;
        std::vector<std::string> calls;
        unsigned long status;
        std::string shows;  // part of the message
    } const cases[] = {
        {{"/start-for-desktop-user", "norvell"}, false, {}, {"direct " + norvell}, 0, ""},
        {{"/start-for-desktop-user", "readme"}, false, {}, {"direct " + notepad}, 0, ""},
        {{"/start-for-desktop-user", "norvell"}, true, {}, {"shell " + norvell}, 0, ""},
        {{"/start-for-desktop-user", "readme"}, std::nullopt, {}, {"shell " + notepad}, 0, ""},
        {{"/start-for-desktop-user", "norvell"},
         true,
         failed,
         {"shell " + norvell, "message"},
         0x80004005,
         "Unspecified error.\n\nStart it from the Start menu (Norvell), or start "
         "C:\\Apps\\Norvell\\Norvell.exe."},
        {{"/start-for-desktop-user", "readme"},
         true,
         schedule::Outcome::failure("No shell"),
         {"shell " + notepad, "message"},
         1003,
         "for you. No shell.\n\nIt is C:\\Apps\\Norvell\\readme.1st: open it in Notepad."},
        {{"/start-for-desktop-user", "norvell"},
         false,
         schedule::Outcome::systemFailure(2, "Gone."),
         {"direct " + norvell, "message"},
         2,
         "Norvell could not be started: Gone."},
        {{"/start-for-desktop-user"}, false, {}, {"message"}, 87, "Nothing was started."},
        {{"/start-for-desktop-user", "NORVELL"}, false, {}, {"message"}, 87, "takes one word"},
        {{"/start-for-desktop-user", "C:\\x.exe"}, true, {}, {"message"}, 87, "norvell"},
        {{"/start-for-desktop-user", "readme", "C:\\x.txt"}, false, {}, {"message"}, 87, ""},
        {{"/programs-in-use", "norvell"}, false, {}, {"message"}, 87, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.back());
        FakeStarts starts;
        starts.elevated = c.elevated;
        starts.outcome = c.outcome;
        std::vector<std::string> arguments{"Norvell.exe"};
        arguments.insert(arguments.end(), c.words.begin(), c.words.end());
        EXPECT_EQ(editor::startForDesktopUser(arguments, places, starts), c.status);
        EXPECT_EQ(starts.calls, c.calls);
        EXPECT_NE(starts.shown.find(c.shows), std::string::npos) << starts.shown;
    }
}
