// How a program line is started: which way each kind of line goes to the system, with which
// command line, and the second try through the shell when a program needs administrator
// rights. The system is a fake that knows a set of files and answers with chosen errors.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launcher/start.hpp"
#include "schedule/command_line.hpp"

using launcher::StartWay;

namespace {

constexpr char kInterpreter[] = "C:\\Windows\\system32\\cmd.exe";
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kCancelled = 1223;  // the user said no to the consent prompt

// What the start asked of the system, one text per call.
class FakeSystem final : public launcher::StartSystem {
  public:
    std::set<std::string> files;
    unsigned long createError = 0;  // what every createProcess answers, 0 for success
    unsigned long shellError = 0;   // what every shellExecute answers
    std::vector<std::string> calls;

    bool isFile(std::string_view path) override { return files.count(std::string(path)) != 0; }
    schedule::Outcome createProcess(std::string_view application, std::string_view commandLine,
                                    int showWindow) override {
        calls.push_back("create [" + std::string(application) + "] [" + std::string(commandLine) +
                        "] " + std::to_string(showWindow));
        return answer(createError);
    }
    schedule::Outcome shellExecute(std::string_view verb, std::string_view file,
                                   std::string_view parameters, int showWindow) override {
        calls.push_back("shell [" + std::string(verb) + "] [" + std::string(file) + "] [" +
                        std::string(parameters) + "] " + std::to_string(showWindow));
        return answer(shellError);
    }
    std::string commandInterpreter() override { return kInterpreter; }

  private:
    static schedule::Outcome answer(unsigned long error) {
        if (error == 0) return schedule::Outcome::success();
        return schedule::Outcome::systemFailure(error, "error " + std::to_string(error));
    }
};

struct Case {
    const char* name;
    std::string line;
    std::set<std::string> files;
    std::vector<std::string> calls;
    StartWay way;
};

void expectStarts(const Case& c, unsigned long createError, unsigned long shellError,
                  int showWindow, bool succeeds) {
    FakeSystem system;
    system.files = c.files;
    system.createError = createError;
    system.shellError = shellError;
    const launcher::StartResult result = launcher::startProgramLine(c.line, showWindow, system);
    EXPECT_EQ(system.calls, c.calls) << c.name;
    EXPECT_EQ(result.way, c.way) << c.name;
    EXPECT_EQ(static_cast<bool>(result.outcome), succeeds) << c.name;
}

}  // namespace

TEST(StartProgramLine, EachKindOfLineGoesItsOwnWay) {
    const std::string app = "C:\\Program Files\\App\\app.exe";
    const std::string notes = "C:\\Users\\ann\\notes.txt";
    const Case cases[] = {
        {"a program with blanks, quoted and named as the application",
         app,
         {app},
         {"create [" + app + "] [\"" + app + "\"] 3"},
         StartWay::program},
        {"an extension in capitals",
         "C:\\Tools\\APP.EXE",
         {"C:\\Tools\\APP.EXE"},
         {"create [C:\\Tools\\APP.EXE] [\"C:\\Tools\\APP.EXE\"] 3"},
         StartWay::program},
        {"a .com program",
         "C:\\Tools\\tool.com",
         {"C:\\Tools\\tool.com"},
         {"create [C:\\Tools\\tool.com] [\"C:\\Tools\\tool.com\"] 3"},
         StartWay::program},
        {"blanks at the end, which the system drops from a name",
         "C:\\app.exe ",
         {"C:\\app.exe "},
         {"create [C:\\app.exe ] [\"C:\\app.exe \"] 3"},
         StartWay::program},
        {"a batch file, run by the interpreter that takes the quoted path whole",
         "C:\\Tom & Jerry\\x (86)\\run.bat",
         {"C:\\Tom & Jerry\\x (86)\\run.bat"},
         {std::string("create [") + kInterpreter + "] [\"" + kInterpreter +
          "\" /d /s /c \"\"C:\\Tom & Jerry\\x (86)\\run.bat\"\"] 3"},
         StartWay::batchFile},
        {"a .cmd file in capitals",
         "C:\\a b\\RUN.CMD",
         {"C:\\a b\\RUN.CMD"},
         {std::string("create [") + kInterpreter + "] [\"" + kInterpreter +
          "\" /d /s /c \"\"C:\\a b\\RUN.CMD\"\"] 3"},
         StartWay::batchFile},
        {"a document", notes, {notes}, {"shell [] [" + notes + "] [] 3"}, StartWay::document},
        {"a shortcut",
         "C:\\Users\\ann\\App.lnk",
         {"C:\\Users\\ann\\App.lnk"},
         {"shell [] [C:\\Users\\ann\\App.lnk] [] 3"},
         StartWay::document},
        {"an internet shortcut",
         "C:\\Users\\ann\\Site.url",
         {"C:\\Users\\ann\\Site.url"},
         {"shell [] [C:\\Users\\ann\\Site.url] [] 3"},
         StartWay::document},
        {"a program's name before another extension",
         "C:\\Users\\ann\\app.exe.txt",
         {"C:\\Users\\ann\\app.exe.txt"},
         {"shell [] [C:\\Users\\ann\\app.exe.txt] [] 3"},
         StartWay::document},
        {"no extension, a dot in a folder's name",
         "C:\\tools.v2\\tool",
         {"C:\\tools.v2\\tool"},
         {"shell [] [C:\\tools.v2\\tool] [] 3"},
         StartWay::document},
        {"a program that is not there",
         "C:\\Tools\\gone.exe",
         {},
         {"create [] [C:\\Tools\\gone.exe] 3"},
         StartWay::commandLine},
        {"a document that is not there",
         "C:\\Users\\ann\\gone.txt",
         {},
         {"create [] [C:\\Users\\ann\\gone.txt] 3"},
         StartWay::commandLine},
        {"a command line with arguments",
         "notepad.exe C:\\readme.txt",
         {"notepad.exe"},
         {"create [] [\"notepad.exe\" C:\\readme.txt] 3"},
         StartWay::commandLine},
        {"a quoted command line",
         "\"" + app + "\" /quiet",
         {app},
         {"create [] [\"" + app + "\" /quiet] 3"},
         StartWay::commandLine},
        {"an empty line", "", {}, {"create [] [] 3"}, StartWay::commandLine},
    };
    for (const Case& c : cases) {
        expectStarts(c, 0, 0, 3, true);
        // A failure keeps the way, and no other is tried.
        expectStarts(c, kFileNotFound, kFileNotFound, 3, false);
        expectStarts(c, kAccessDenied, kAccessDenied, 3, false);
    }
}

TEST(StartProgramLine, AProgramThatNeedsAdministratorRightsIsStartedThroughTheShell) {
    const std::string setup = "C:\\Program Files\\Setup\\setup.exe";
    const std::string first = "create [] [";
    const Case cases[] = {
        {"an existing program file",
         setup,
         {setup},
         {"create [" + setup + "] [\"" + setup + "\"] 6", "shell [runas] [" + setup + "] [] 6"},
         StartWay::elevated},
        {"a quoted program and its arguments",
         "\"" + setup + "\"  /S /D=C:\\x",
         {setup},
         {first + "\"" + setup + "\"  /S /D=C:\\x] 6",
          "shell [runas] [" + setup + "] [/S /D=C:\\x] 6"},
         StartWay::elevated},
        {"a quote left open",
         "\"" + setup + " /S",
         {},
         {first + "\"" + setup + " /S] 6", "shell [runas] [" + setup + " /S] [] 6"},
         StartWay::elevated},
        {"a program the shell finds on its own",
         "regedit",
         {},
         {first + "regedit] 6", "shell [runas] [regedit] [] 6"},
         StartWay::elevated},
        {"a program the shell finds, with arguments",
         "regedit.exe /s C:\\my settings.reg",
         {},
         {first + "\"regedit.exe\" /s C:\\my settings.reg] 6",
          "shell [runas] [regedit.exe] [/s C:\\my settings.reg] 6"},
         StartWay::elevated},
    };
    for (const Case& c : cases) {
        expectStarts(c, launcher::kElevationRequired, 0, 6, true);
        // A user who says no to the consent prompt: the history names the shell's reason.
        expectStarts(c, launcher::kElevationRequired, kCancelled, 6, false);
    }
}

TEST(StartProgramLine, OnlyAProgramStartIsTriedAgain) {
    // The interpreter and the shell never answer with the error themselves; were they to,
    // nothing would loop.
    const Case cases[] = {
        {"a batch file",
         "C:\\run.bat",
         {"C:\\run.bat"},
         {std::string("create [") + kInterpreter + "] [\"" + kInterpreter +
          "\" /d /s /c \"\"C:\\run.bat\"\"] 0"},
         StartWay::batchFile},
        {"a document",
         "C:\\notes.txt",
         {"C:\\notes.txt"},
         {"shell [] [C:\\notes.txt] [] 0"},
         StartWay::document},
    };
    for (const Case& c : cases) {
        expectStarts(c, launcher::kElevationRequired, launcher::kElevationRequired, 0, false);
    }
}

TEST(StartProgramLine, AFileByAPathWindowsCannotStartIsRefusedWithThatReasonUntried) {
    const std::string folder = "C:\\Tools\\";
    const std::string at259 = folder + std::string(259 - folder.size() - 4, 'a') + ".exe";
    const std::string at260 = folder + std::string(260 - folder.size() - 4, 'a') + ".exe";
    const std::string document = folder + std::string(270 - folder.size() - 4, 'd') + ".txt";
    const std::string arguments = "C:\\Tools\\app.exe " + std::string(300, 'x');
    struct LongCase {
        std::string line;
        bool exists;
        bool tried;
    };
    const LongCase cases[] = {
        {at259, true, true},
        {at260, true, false},
        {document, true, false},
        // Not a file as a whole: a command line, which may start a shorter program.
        {at260, false, true},
        {arguments, false, true},
    };
    for (const LongCase& c : cases) {
        FakeSystem system;
        if (c.exists) system.files = {c.line};
        const launcher::StartResult result = launcher::startProgramLine(c.line, 1, system);
        EXPECT_EQ(!system.calls.empty(), c.tried) << c.line.size();
        if (c.tried) continue;
        EXPECT_EQ(result.outcome.error,
                  "Its path is " + std::to_string(c.line.size()) +
                      " characters long; Windows starts no program by a path of 260 characters "
                      "or more");
    }
}

TEST(StartProgramLine, ALineThatNamesNoFileStartsOnlyWhenItsProgramCannotBeMistaken) {
    struct RuleCase {
        std::string line;
        std::set<std::string> files;
        std::optional<std::string> commandLine;  // none: not started, said to be not found
    };
    const RuleCase cases[] = {
        // The program at the first blank is never taken for the line's.
        {"C:\\Tools\\my prog (1).exe", {"C:\\Tools\\my.exe"}, std::nullopt},
        {"C:\\Program Files\\Vendor\\app.exe", {"C:\\Program.exe"}, std::nullopt},
        {"C:\\Program Files\\Setup\\setup.exe /S",
         {"C:\\Program Files\\Setup\\setup.exe"},
         std::nullopt},
        {"C:\\Tools\\setup /S", {"C:\\Tools\\setup.exe"}, std::nullopt},
        {"C:\\ann\\Some.Name Folder\\app.exe", {"C:\\ann\\Some.Name"}, std::nullopt},
        {"C:\\Tools\\app.exe /quiet", {}, "\"C:\\Tools\\app.exe\" /quiet"},
        {"notepad.exe readme.1st", {}, "\"notepad.exe\" readme.1st"},
        {"notepad readme.1st", {}, "\"notepad\" readme.1st"},
    };
    for (const RuleCase& c : cases) {
        FakeSystem system;
        system.files = c.files;
        const launcher::StartResult result = launcher::startProgramLine(c.line, 1, system);
        if (c.commandLine) {
            EXPECT_EQ(system.calls,
                      std::vector<std::string>{"create [] [" + *c.commandLine + "] 1"})
                << c.line;
            continue;
        }
        EXPECT_TRUE(system.calls.empty()) << c.line;
        EXPECT_EQ(result.outcome.error, schedule::kProgramNotFoundUnquoted) << c.line;
    }
}
