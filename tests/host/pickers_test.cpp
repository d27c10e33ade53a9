// The chain of Drive1, Dir1 and File1 against a file system in memory, and the places that
// the Open dialog and a drop bring it to.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>

#include "editor/core/browse.hpp"
#include "editor/core/pickers.hpp"
#include "fake_editor.hpp"

using editor::FolderEntry;
using testing_support::FakeServices;
using namespace std::chrono_literals;
using Limit = std::optional<std::chrono::milliseconds>;

namespace {
class FakeFileSystem final : public editor::FileSystem {
  public:
    std::vector<editor::DriveEntry> driveList{{'A', ""}, {'C', "System"}, {'D', "Data"}};
    std::map<char, std::string> currentFolders;  // none: the drive's root
    std::map<std::string, editor::FolderContents> folders;
    std::vector<std::string> asked;  // every folder read, in order
    std::vector<Limit> limits;       // the limit of every read, in order
    // How long a folder takes to answer; none here: at once.
    std::map<std::string, std::chrono::milliseconds> answerTimes;
    // The time the window has spent waiting for answers, on a clock of the fake's own.
    std::chrono::milliseconds waited{0};

    // What entry() answers where the folders above do not say: hidden and system entries,
    // names spelt otherwise, failures.
    std::map<std::string, editor::PathEntry> entries;

    std::vector<editor::DriveEntry> drives() override { return driveList; }
    std::string driveCurrentFolder(char letter) override {
        auto found = currentFolders.find(letter);
        return found != currentFolders.end() ? found->second : std::string{letter, ':', '\\'};
    }
    std::optional<editor::FolderContents> contents(std::string_view folder, Limit limit) override {
        asked.emplace_back(folder);
        limits.push_back(limit);
        const auto time = answerTimes.find(std::string(folder));
        const std::chrono::milliseconds answerTime = time != answerTimes.end() ? time->second : 0ms;
        if (limit && answerTime > *limit) {
            waited += *limit;
            return std::nullopt;
        }
        waited += answerTime;
        auto found = folders.find(std::string(folder));
        if (found == folders.end())
            return editor::FolderContents{{}, {}, "The device is not ready"};
        return found->second;
    }
    editor::PathEntry entry(std::string_view path) override {
        asked.push_back("entry " + std::string(path));
        using Kind = editor::PathEntry::Kind;
        if (const auto given = entries.find(std::string(path)); given != entries.end())
            return given->second;
        const std::size_t separator = path.find_last_of('\\');
        const std::string name(path.substr(separator + 1));
        if (folders.contains(std::string(path))) return {Kind::Folder, false, name, ""};
        const auto parent = folders.find(editor::normalFolderPath(path.substr(0, separator)));
        if (parent != folders.end() &&
            std::find(parent->second.files.begin(), parent->second.files.end(), name) !=
                parent->second.files.end())
            return {Kind::File, false, name, ""};
        return {};
    }
};

// What the pickers show, as a user would see it.
class ShownPickers final : public editor::PickerView {
  public:
    std::vector<std::string> driveCaptions;
    int drive = -2;  // never selected
    std::string dirPath, filePath;
    std::vector<FolderEntry> entries;
    int current = -1;
    std::vector<std::string> files;
    int selectedFile = -1;
    int folderShows = 0, fileShows = 0;

    void showDrives(const std::vector<std::string>& captions) override { driveCaptions = captions; }
    void selectDrive(int index) override { drive = index; }
    void showFolder(std::string_view path, const std::vector<FolderEntry>& shown,
                    int currentIndex) override {
        dirPath = path;
        entries = shown;
        current = currentIndex;
        ++folderShows;
    }
    void showFiles(std::string_view path, const std::vector<std::string>& names) override {
        filePath = path;
        files = names;
        selectedFile = -1;
        ++fileShows;
    }
    void selectFile(int index) override { selectedFile = index; }
    // The name File1 has selected; empty when none.
    std::string selected() const {
        return selectedFile >= 0 && selectedFile < static_cast<int>(files.size())
                   ? files[static_cast<std::size_t>(selectedFile)]
                   : std::string();
    }
};

struct Chain {
    FakeFileSystem fileSystem;
    ShownPickers view;
    FakeServices services;
    editor::Pickers pickers{fileSystem, view, services};

    Chain() {
        fileSystem.folders["C:\\"] = {{"PROGRAM FILES", "Users"}, {"boot.ini"}, ""};
        fileSystem.folders["C:\\PROGRAM FILES"] = {
            {"Common Files", "Tools"}, {"a.exe", "B.txt"}, ""};
        fileSystem.folders["C:\\PROGRAM FILES\\Tools"] = {{}, {"tool.exe"}, ""};
        fileSystem.folders["C:\\Sched"] = {{"old"}, {"2Mon.dat"}, ""};
        fileSystem.folders["D:\\"] = {{"Music"}, {"d.txt"}, ""};
        fileSystem.folders["D:\\Work"] = {{}, {"w.doc"}, ""};
        fileSystem.folders["N:\\"] = {{"Team"}, {}, ""};
        fileSystem.folders["N:\\Team"] = {{}, {"plan.xls"}, ""};
    }

    // A drive mapped to a share of the office's server, whose recorded folder is N:\Team.
    void mapNetworkDrive() {
        fileSystem.driveList.push_back({'N', "\\\\office\\team", true});
        fileSystem.currentFolders['N'] = "N:\\Team";
    }
};
}  // namespace

TEST(Pickers, DriveCaptionsAndTheWorkingFoldersDrive) {
    Chain chain;
    chain.pickers.start("D:\\Work");
    EXPECT_EQ(chain.view.driveCaptions,
              (std::vector<std::string>{"a:", "c: [System]", "d: [Data]"}));
    EXPECT_EQ(chain.view.drive, 2);
    EXPECT_EQ(chain.view.folderShows, 0) << "Drive1 alone does not move Dir1 at start";
    EXPECT_TRUE(chain.fileSystem.asked.empty()) << "no drive is read before a folder is shown";

    Chain network;
    network.pickers.start("\\\\server\\share\\work");
    EXPECT_EQ(network.view.drive, -1);
}

TEST(Pickers, Drive1FollowsDrivesThatComeAndGo) {
    Chain chain;
    chain.pickers.start("C:\\Sched");
    auto& drives = chain.fileSystem.driveList;
    drives.insert(drives.begin() + 1, {'B', "", false});
    chain.pickers.refreshDrives();
    EXPECT_EQ(chain.view.driveCaptions,
              (std::vector<std::string>{"a:", "b:", "c: [System]", "d: [Data]"}));
    EXPECT_EQ(chain.view.drive, 2) << "the drive shown stays chosen";
    drives.erase(drives.begin() + 2);
    chain.pickers.refreshDrives();
    EXPECT_EQ(chain.view.drive, -1) << "its drive went";

    // A path on a drive that came unheard of is looked for again before it is refused.
    chain.mapNetworkDrive();
    EXPECT_TRUE(chain.pickers.goTo("N:\\Team"));
    EXPECT_EQ(chain.view.dirPath, "N:\\Team");
}

TEST(Pickers, MovingDir1RefreshesFile1AndLeavesDrive1) {
    Chain chain;
    chain.pickers.start("D:\\Work");
    EXPECT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    EXPECT_EQ(chain.view.dirPath, "C:\\PROGRAM FILES");
    EXPECT_EQ(chain.view.filePath, "C:\\PROGRAM FILES");
    EXPECT_EQ(chain.view.files, (std::vector<std::string>{"a.exe", "B.txt"}));
    const std::vector<FolderEntry> expected{
        {"C:\\", "C:\\", 0, true},
        {"PROGRAM FILES", "C:\\PROGRAM FILES", 1, true},
        {"Common Files", "C:\\PROGRAM FILES\\Common Files", 2, false},
        {"Tools", "C:\\PROGRAM FILES\\Tools", 2, false},
    };
    EXPECT_EQ(chain.view.entries, expected);
    EXPECT_EQ(chain.view.current, 1);
    EXPECT_EQ(chain.view.drive, 2) << "nothing flows back up the chain";
    EXPECT_EQ(chain.fileSystem.asked, (std::vector<std::string>{"C:\\PROGRAM FILES"}))
        << "one read of the folder serves both lists";
}

TEST(Pickers, OpeningAFolderMovesDownAndUp) {
    Chain chain;
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    chain.pickers.openFolder(3);  // Tools
    EXPECT_EQ(chain.pickers.folder(), "C:\\PROGRAM FILES\\Tools");
    EXPECT_EQ(chain.view.filePath, "C:\\PROGRAM FILES\\Tools");
    EXPECT_EQ(chain.view.files, (std::vector<std::string>{"tool.exe"}));
    EXPECT_EQ(chain.view.current, 2);
    chain.pickers.openFolder(0);  // the root
    EXPECT_EQ(chain.pickers.folder(), "C:\\");
    EXPECT_EQ(chain.view.entries.front(), (FolderEntry{"C:\\", "C:\\", 0, true}));
    EXPECT_EQ(chain.view.entries.back(), (FolderEntry{"Users", "C:\\Users", 1, false}));
    EXPECT_EQ(chain.view.current, 0);
    EXPECT_EQ(chain.view.drive, 1);
    EXPECT_TRUE(chain.services.log.empty());

    const int shows = chain.view.fileShows;
    chain.pickers.openFolder(0);  // the folder already shown
    chain.pickers.openFolder(99);
    EXPECT_EQ(chain.view.fileShows, shows) << "File1 keeps its selection";
}

TEST(Pickers, FolderThatCannotBeReadIsReportedAndNothingMoves) {
    Chain chain;
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    chain.pickers.openFolder(2);  // Common Files: not in the fake, so unreadable
    ASSERT_EQ(chain.services.log.size(), 1u);
    EXPECT_EQ(chain.services.log[0],
              "message: The folder C:\\PROGRAM FILES\\Common Files cannot be opened: The device "
              "is not ready.");
    EXPECT_EQ(chain.pickers.folder(), "C:\\PROGRAM FILES");
    EXPECT_EQ(chain.view.dirPath, "C:\\PROGRAM FILES");
    EXPECT_EQ(chain.view.folderShows, 1);
    EXPECT_EQ(chain.pickers.moveTo("Q:\\nowhere").error, "The device is not ready");
    EXPECT_EQ(chain.pickers.folder(), "C:\\PROGRAM FILES");
}

TEST(Pickers, ChoosingADriveGoesToItsCurrentFolder) {
    Chain chain;
    chain.fileSystem.currentFolders['D'] = "D:\\Work";
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    chain.pickers.chooseDrive(2);
    EXPECT_EQ(chain.pickers.folder(), "D:\\Work");
    EXPECT_EQ(chain.view.filePath, "D:\\Work");
    EXPECT_EQ(chain.pickers.shownDrive(), 2);
    chain.pickers.chooseDrive(1);  // C's current folder: its root, none being recorded
    EXPECT_EQ(chain.pickers.folder(), "C:\\");
    EXPECT_EQ(chain.view.files, (std::vector<std::string>{"boot.ini"}));
    EXPECT_TRUE(chain.services.log.empty());
}

TEST(Pickers, RecordedFolderGoneFallsBackToTheRoot) {
    Chain chain;
    chain.fileSystem.currentFolders['D'] = "D:\\Deleted since";
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\Sched"));
    chain.pickers.chooseDrive(2);
    EXPECT_EQ(chain.pickers.folder(), "D:\\");
    EXPECT_TRUE(chain.services.log.empty());
}

TEST(Pickers, DriveNotReadyIsNamedAndDrive1ReturnsToDir1sDrive) {
    Chain chain;
    chain.pickers.start("D:\\Work");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    chain.view.drive = 0;  // the user chose A:, which has no disc
    chain.pickers.chooseDrive(0);
    ASSERT_EQ(chain.services.log.size(), 1u);
    EXPECT_EQ(chain.services.log[0], "message: Drive A: cannot be shown: The device is not ready.");
    EXPECT_EQ(chain.view.drive, 1) << "the drive Dir1 shows, not the working folder's";
    EXPECT_EQ(chain.pickers.shownDrive(), 1);
    EXPECT_EQ(chain.pickers.folder(), "C:\\PROGRAM FILES");
    EXPECT_EQ(chain.view.folderShows, 1);
    EXPECT_EQ(chain.fileSystem.asked.back(), "A:\\");
}

TEST(Pickers, FolderPathsAreNormalised) {
    struct Case {
        const char* given;
        const char* normal;
    };
    const Case cases[] = {
        {"C:\\PROGRAM FILES", "C:\\PROGRAM FILES"},
        {"C:\\PROGRAM FILES\\", "C:\\PROGRAM FILES"},
        {"C:/Users/me/", "C:\\Users\\me"},
        {"C:\\", "C:\\"},
        {"c:", "c:\\"},
        {"C:\\\\", "C:\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server\\share\\dir\\", "\\\\server\\share\\dir"},
    };
    for (const Case& c : cases) EXPECT_EQ(editor::normalFolderPath(c.given), c.normal) << c.given;
    EXPECT_EQ(editor::driveLetterOf("d:\\x"), 'D');
    EXPECT_EQ(editor::driveLetterOf("\\\\server\\share"), 0);
    EXPECT_EQ(editor::driveLetterOf("1:\\"), 0);
}

TEST(Pickers, Dir1LinesOfARootAndOfANetworkFolder) {
    EXPECT_EQ(
        editor::folderEntries("D:\\", {"Music"}),
        (std::vector<FolderEntry>{{"D:\\", "D:\\", 0, true}, {"Music", "D:\\Music", 1, false}}));
    EXPECT_EQ(editor::folderEntries("\\\\srv\\share\\dir", {"sub"}),
              (std::vector<FolderEntry>{{"\\\\srv\\share\\", "\\\\srv\\share\\", 0, true},
                                        {"dir", "\\\\srv\\share\\dir", 1, true},
                                        {"sub", "\\\\srv\\share\\dir\\sub", 2, false}}));
}

TEST(Pickers, ANetworkDriveShowsItsShare) {
    Chain chain;
    chain.mapNetworkDrive();
    chain.pickers.start("C:\\Sched");
    EXPECT_EQ(chain.view.driveCaptions.back(), "n: [\\\\office\\team]");
}

TEST(Pickers, NetworkDriveThatDoesNotAnswerIsReportedWithinASecond) {
    Chain chain;
    chain.mapNetworkDrive();
    // The server cannot be reached: the redirector gives up only after half a minute.
    chain.fileSystem.answerTimes["N:\\Team"] = 30s;
    chain.fileSystem.answerTimes["N:\\"] = 30s;
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    chain.view.drive = 3;  // the user chose N:
    chain.pickers.chooseDrive(3);
    EXPECT_LE(chain.fileSystem.waited, 1s) << "the window waited for the network";
    EXPECT_EQ(chain.fileSystem.asked.back(), "N:\\Team") << "the root is not asked as well";
    ASSERT_EQ(chain.services.log.size(), 1u);
    EXPECT_EQ(chain.services.log[0],
              "message: Drive N: cannot be shown: the network did not answer within a second.");
    EXPECT_EQ(chain.view.drive, 1);
    EXPECT_EQ(chain.pickers.folder(), "C:\\PROGRAM FILES");
    EXPECT_EQ(chain.view.folderShows, 1);
}

TEST(Pickers, NetworkDriveThatAnswersInTimeIsShown) {
    Chain chain;
    chain.mapNetworkDrive();
    chain.fileSystem.answerTimes["N:\\Team"] = 300ms;
    chain.pickers.start("C:\\Sched");
    chain.pickers.chooseDrive(3);
    EXPECT_EQ(chain.pickers.folder(), "N:\\Team");
    EXPECT_EQ(chain.view.files, (std::vector<std::string>{"plan.xls"}));
    EXPECT_EQ(chain.pickers.shownDrive(), 3);
    EXPECT_EQ(chain.fileSystem.limits, (std::vector<Limit>{editor::kNetworkAnswerLimit}));
    EXPECT_TRUE(chain.services.log.empty());
}

TEST(Pickers, LocalDiscThatSpinsUpIsWaitedFor) {
    Chain chain;
    chain.fileSystem.answerTimes["D:\\"] = 8s;  // a disc that sleeps between uses
    chain.pickers.start("C:\\Sched");
    chain.pickers.chooseDrive(2);
    EXPECT_EQ(chain.pickers.folder(), "D:\\");
    EXPECT_EQ(chain.fileSystem.limits, (std::vector<Limit>{std::nullopt}));
    EXPECT_TRUE(chain.services.log.empty());
}

TEST(Pickers, NetworkFolderInDir1ThatDoesNotAnswerIsReported) {
    Chain chain;
    chain.fileSystem.folders["\\\\office\\team\\"] = {{"Plans"}, {}, ""};
    chain.fileSystem.answerTimes["\\\\office\\team\\Plans"] = 30s;
    chain.pickers.start("\\\\office\\team");
    ASSERT_TRUE(chain.pickers.moveTo("\\\\office\\team"));
    chain.pickers.openFolder(1);  // Plans
    EXPECT_LE(chain.fileSystem.waited, 1s);
    ASSERT_EQ(chain.services.log.size(), 1u);
    EXPECT_EQ(chain.services.log[0],
              "message: The folder \\\\office\\team\\Plans cannot be opened: the network did not "
              "answer within a second.");
    EXPECT_EQ(chain.pickers.folder(), "\\\\office\\team\\");
}

TEST(Pickers, OnlyNetworkFoldersHaveAnAnswerLimit) {
    const std::vector<editor::DriveEntry> drives{
        {'C', "System", false}, {'N', "\\\\office\\team", true}, {'Q', "", false}};
    struct Case {
        const char* folder;
        Limit limit;
    };
    const Case cases[] = {
        {"C:\\PROGRAM FILES", std::nullopt},
        {"N:\\", editor::kNetworkAnswerLimit},
        {"n:\\team\\plans", editor::kNetworkAnswerLimit},
        {"Q:\\", std::nullopt},
        {"R:\\", std::nullopt},  // not among the drives
        {"\\\\office\\team\\", editor::kNetworkAnswerLimit},
        {"//office/team", editor::kNetworkAnswerLimit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(editor::answerLimit(c.folder, drives), c.limit) << c.folder;
}

TEST(Pickers, OnlyFullPathsOnDrivesOfTheDriveListCanBeShown) {
    const std::vector<editor::DriveEntry> drives{{'C', "System"}, {'N', "\\\\office\\team", true}};
    struct Case {
        const char* path;
        const char* reason;  // the start of the reason; null: the pickers can show it
    };
    const Case cases[] = {
        {"C:\\", nullptr},
        {"C:\\Tools\\tool.exe", nullptr},
        {"c:\\tools", nullptr},
        {"N:\\Team\\plan.exe", nullptr},
        {"\\\\office\\team\\plan.exe", "it is on a network share"},
        {"\\\\?\\C:\\Tools\\tool.exe", "it is not a full path"},
        {"\\\\.\\C:\\Tools", "it is not a full path"},
        {"C:Tools\\tool.exe", "it is not a full path"},
        {"Tools\\tool.exe", "it is not a full path"},
        {"C:\\Tools\\..\\Windows\\evil.exe", "it is not a full path"},
        {"C:\\.\\Tools", "it is not a full path"},
        {"C:\\Tools\\\\tool.exe", "it is not a full path"},
        {"1:\\Tools", "it is not a full path"},
        {"Q:\\Tools\\tool.exe", "drive Q: is not in the drive list"},
        {"q:\\", "drive Q: is not in the drive list"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> reason = editor::outsideDriveList(c.path, drives);
        if (!c.reason) {
            EXPECT_FALSE(reason) << c.path << ": " << *reason;
        } else {
            ASSERT_TRUE(reason) << c.path;
            EXPECT_TRUE(reason->starts_with(c.reason)) << c.path << ": " << *reason;
        }
    }
}

TEST(Pickers, PathsAreMeasuredInUtf16UnitsAgainstTheLongestPath) {
    using Kind = editor::PathEntry::Kind;
    const auto path = [](std::size_t length, std::string_view folder = "C:\\") {
        std::string made(folder);
        while (made.size() < length) made += 'a';
        return made;
    };
    // "é" is two bytes and one unit; "😀" four bytes and a surrogate pair.
    const std::string e = "\xC3\xA9", smiley = "\xF0\x9F\x98\x80";
    EXPECT_EQ(schedule::utf16Length("C:\\" + e + smiley), 6u);
    EXPECT_EQ(schedule::utf16Length(""), 0u);
    struct Case {
        std::string path;
        Kind kind;
        bool tooLong;
    };
    const Case cases[] = {
        // A folder is listed through "folder\*".
        {path(257, "C:\\Tools\\"), Kind::Folder, false},
        {path(258, "C:\\Tools\\"), Kind::Folder, true},
        {"C:\\", Kind::Folder, false},
        // A file is written as the folder, one backslash and the name.
        {path(259, "C:\\Tools\\"), Kind::File, false},
        {path(260, "C:\\Tools\\"), Kind::File, true},
        {path(258), Kind::File, false},  // in a root: C:\\name
        {path(259), Kind::File, true},
        // Measured in units, not bytes.
        {path(257, "C:\\Tools\\") + e + e, Kind::File, false},
        {path(255, "C:\\Tools\\") + smiley + smiley, Kind::File, false},
        {path(256, "C:\\Tools\\") + smiley + smiley, Kind::File, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editor::tooLongToShow(c.path, c.kind), c.tooLong)
            << c.path.size() << " bytes, " << (c.kind == Kind::File ? "file" : "folder");
    }
}

TEST(Pickers, GoingToAFileShowsItsFolderWithTheFileSelectedAndItsDrive) {
    Chain chain;
    chain.fileSystem.folders["D:\\Work"] = {{}, {"a.exe", "w.doc"}, ""};
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    ASSERT_EQ(chain.view.drive, 1);
    chain.fileSystem.asked.clear();

    EXPECT_TRUE(chain.pickers.goTo("D:\\Work\\w.doc"));
    EXPECT_EQ(chain.pickers.folder(), "D:\\Work");
    EXPECT_EQ(chain.view.dirPath, "D:\\Work");
    EXPECT_EQ(chain.view.filePath, "D:\\Work");
    EXPECT_EQ(chain.view.selected(), "w.doc");
    EXPECT_EQ(chain.view.drive, 2) << "Drive1 comes along";
    EXPECT_EQ(chain.pickers.shownDrive(), 2);
    EXPECT_EQ(chain.fileSystem.asked,
              (std::vector<std::string>{"entry D:\\Work\\w.doc", "D:\\Work"}))
        << "one read of the folder";

    // The name as the file system spells it, whatever the path's case; a root's file.
    chain.fileSystem.entries["C:\\PROGRAM FILES\\Tools\\TOOL.EXE"] = {editor::PathEntry::Kind::File,
                                                                      false, "tool.exe", ""};
    EXPECT_TRUE(chain.pickers.goTo("C:/PROGRAM FILES/Tools/TOOL.EXE"));
    EXPECT_EQ(chain.view.dirPath, "C:\\PROGRAM FILES\\Tools");
    EXPECT_EQ(chain.view.selected(), "tool.exe");
    EXPECT_EQ(chain.view.drive, 1);
    EXPECT_TRUE(chain.pickers.goTo("C:\\boot.ini"));
    EXPECT_EQ(chain.view.dirPath, "C:\\");
    EXPECT_EQ(chain.view.selected(), "boot.ini");

    // The Drive1 choice that follows starts from the drive shown, as after a walk.
    chain.pickers.chooseDrive(2);
    EXPECT_EQ(chain.pickers.folder(), "D:\\");
    EXPECT_TRUE(chain.services.log.empty());
}

TEST(Pickers, GoingToAFolderShowsItWithNoFileSelected) {
    Chain chain;
    // A hidden folder, as AppData is: Dir1 shows it once it is there, as it does any folder.
    chain.fileSystem.folders["C:\\Users"] = {{}, {}, ""};
    chain.fileSystem.folders["C:\\Users\\AppData"] = {{"Programs"}, {"x.exe"}, ""};
    chain.fileSystem.entries["C:\\Users\\AppData"] = {editor::PathEntry::Kind::Folder, true,
                                                      "AppData", ""};
    chain.pickers.start("D:\\Work");
    ASSERT_TRUE(chain.pickers.moveTo("D:\\Work"));
    EXPECT_TRUE(chain.pickers.goTo("C:\\Users\\AppData\\"));
    EXPECT_EQ(chain.view.dirPath, "C:\\Users\\AppData");
    EXPECT_EQ(chain.view.files, std::vector<std::string>{"x.exe"});
    EXPECT_EQ(chain.view.selectedFile, -1);
    EXPECT_EQ(chain.view.entries.back(),
              (FolderEntry{"Programs", "C:\\Users\\AppData\\Programs", 3, false}));
    EXPECT_EQ(chain.view.drive, 1);
    EXPECT_TRUE(chain.pickers.goTo("D:"));
    EXPECT_EQ(chain.view.dirPath, "D:\\");
    EXPECT_EQ(chain.view.drive, 2);
    EXPECT_TRUE(chain.services.log.empty());
}

TEST(Pickers, APlaceThePickersCannotShowIsRefusedByNameAndNothingMoves) {
    using Kind = editor::PathEntry::Kind;
    const std::string longName(250, 'a');
    struct Case {
        const char* given;
        editor::PathEntry entry;  // what the file system says of it, where it is asked
        std::string message;
        bool asksTheFileSystem;
    };
    const Case cases[] = {
        {"C:\\PROGRAM FILES\\Tools\\secret.exe",
         {Kind::File, true, "secret.exe", ""},
         "C:\\PROGRAM FILES\\Tools\\secret.exe cannot be shown in the pickers: it is a hidden or "
         "system file, which the file list does not show.",
         true},
        {"C:\\PROGRAM FILES\\gone.exe",
         {},
         "C:\\PROGRAM FILES\\gone.exe cannot be shown in the pickers: there is no file or folder "
         "of that name.",
         true},
        {"C:\\PROGRAM FILES\\locked.exe",
         {Kind::Missing, false, "", "Access is denied"},
         "C:\\PROGRAM FILES\\locked.exe cannot be shown in the pickers: Access is denied.",
         true},
        {"\\\\office\\team\\plan.exe",
         {},
         "\\\\office\\team\\plan.exe cannot be shown in the pickers: it is on a network share, "
         "and the drive list shows drives with a letter only; map the share to a drive letter "
         "(in Explorer: This PC, Map network drive) and choose it there.",
         false},
        {"Q:\\q.exe",
         {},
         "Q:\\q.exe cannot be shown in the pickers: drive Q: is not in the drive list, which "
         "holds the drives that are there now; if you connected it just now, wait until "
         "Windows shows it and look again.",
         false},
        {"C:\\Tools\\..\\x.exe",
         {},
         "C:\\Tools\\..\\x.exe cannot be shown in the pickers: it is not a full path that starts "
         "with a drive letter.",
         false},
        {"C:\\PROGRAM FILES\\Tools\\unlisted.exe",
         {Kind::File, false, "unlisted.exe", ""},
         "C:\\PROGRAM FILES\\Tools\\unlisted.exe cannot be shown in the pickers: the file list of "
         "its folder does not show it.",
         true},
        {"C:\\PROGRAM FILES\\Common Files\\c.exe",
         {Kind::File, false, "c.exe", ""},
         "The folder C:\\PROGRAM FILES\\Common Files cannot be opened: The device is not ready.",
         true},
    };
    for (const Case& c : cases) {
        Chain chain;
        chain.fileSystem.entries[editor::normalFolderPath(c.given)] = c.entry;
        chain.pickers.start("C:\\Sched");
        ASSERT_TRUE(chain.pickers.moveTo("D:\\Work"));
        chain.fileSystem.asked.clear();
        const schedule::Outcome went = chain.pickers.goTo(c.given);
        EXPECT_EQ(went.error, c.message) << c.given;
        EXPECT_EQ(chain.pickers.folder(), "D:\\Work") << c.given;
        EXPECT_EQ(chain.view.folderShows, 1) << c.given;
        EXPECT_EQ(chain.view.drive, 1) << c.given << ": Drive1 stays";
        EXPECT_EQ(chain.fileSystem.asked.empty(), !c.asksTheFileSystem) << c.given;
        EXPECT_TRUE(chain.services.log.empty()) << "the caller reports it";
    }

    // Too long: a folder whose list cannot be read, a file whose program line could not start.
    Chain chain;
    const std::string folder = "C:\\PROGRAM FILES\\" + std::string(240, 'f');
    chain.fileSystem.folders[folder] = {{}, {"abc.exe"}, ""};
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("D:\\Work"));
    ASSERT_EQ(folder.size(), 257u);
    EXPECT_TRUE(chain.pickers.goTo(folder));
    EXPECT_EQ(chain.pickers.goTo(folder + "\\abc.exe").error,
              folder +
                  "\\abc.exe cannot be shown in the pickers: its path is longer than 259 "
                  "characters, the most that Norvell and Brightwick can use.");
    EXPECT_EQ(chain.view.selectedFile, -1);
}

namespace {
class FakeChooser final : public editor::ProgramChooser {
  public:
    std::optional<std::string> answer;  // none: Cancel
    std::string failure;                // the dialog cannot be shown
    std::vector<std::string> openedIn;

    schedule::Outcome chooseProgram(std::string_view folder,
                                    std::optional<std::string>& chosen) override {
        openedIn.emplace_back(folder);
        if (!failure.empty()) return schedule::Outcome::failure(failure);
        chosen = answer;
        return schedule::Outcome::success();
    }
};
}  // namespace

TEST(Browse, TheChosenProgramIsSelectedWhereItIsAndCancelChangesNothing) {
    Chain chain;
    FakeChooser chooser;
    chain.pickers.start("C:\\Sched");
    ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
    const int shows = chain.view.folderShows;
    editor::browseForProgram(chain.pickers, chooser, chain.services);
    EXPECT_EQ(chooser.openedIn, std::vector<std::string>{"C:\\PROGRAM FILES"});
    EXPECT_EQ(chain.view.folderShows, shows) << "Cancel moves nothing";
    EXPECT_TRUE(chain.services.log.empty()) << "and says nothing";

    chooser.answer = "C:\\PROGRAM FILES\\Tools\\tool.exe";
    editor::browseForProgram(chain.pickers, chooser, chain.services);
    EXPECT_EQ(chain.view.dirPath, "C:\\PROGRAM FILES\\Tools");
    EXPECT_EQ(chain.view.selected(), "tool.exe");
    EXPECT_TRUE(chain.services.log.empty());
    editor::browseForProgram(chain.pickers, chooser, chain.services);
    EXPECT_EQ(chooser.openedIn.back(), "C:\\PROGRAM FILES\\Tools") << "the next opens there";
}

TEST(Browse, AFailureIsReported) {
    struct Case {
        std::optional<std::string> answer;
        std::string failure;
        std::string message;
    };
    const Case cases[] = {
        {std::nullopt, "Class not registered",
         "message: The Open dialog cannot be shown: Class not registered."},
        {"Q:\\q.exe", "",
         "message: Q:\\q.exe cannot be shown in the pickers: drive Q: is not in the drive list, "
         "which holds the drives that are there now; if you connected it just now, wait until "
         "Windows shows it and look again."},
    };
    for (const Case& c : cases) {
        Chain chain;
        FakeChooser chooser;
        chooser.answer = c.answer;
        chooser.failure = c.failure;
        chain.pickers.start("C:\\Sched");
        ASSERT_TRUE(chain.pickers.moveTo("C:\\PROGRAM FILES"));
        editor::browseForProgram(chain.pickers, chooser, chain.services);
        EXPECT_EQ(chain.services.log, std::vector<std::string>{c.message});
        EXPECT_EQ(chain.pickers.folder(), "C:\\PROGRAM FILES");
    }
}

TEST(Drop, TheFirstItemIsTakenAndAMessageSaysWhenOthersWereLeftOut) {
    struct Case {
        std::vector<std::string> dropped;
        std::string folder;    // where Dir1 is afterwards
        std::string selected;  // File1's selection afterwards
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {{}, "C:\\Sched", "", {}},
        {{"D:\\Work\\w.doc"}, "D:\\Work", "w.doc", {}},
        {{"C:\\PROGRAM FILES\\Tools"}, "C:\\PROGRAM FILES\\Tools", "", {}},
        {{"D:\\Work\\w.doc", "C:\\boot.ini"},
         "D:\\Work",
         "w.doc",
         {"message: 2 items were dropped on Norvell, which picks one program at a time: the "
          "pickers show the first, D:\\Work\\w.doc, and the other one was left out."}},
        {{"C:\\PROGRAM FILES\\Tools", "C:\\boot.ini", "D:\\Work\\w.doc"},
         "C:\\PROGRAM FILES\\Tools",
         "",
         {"message: 3 items were dropped on Norvell, which picks one program at a time: the "
          "pickers show the first, C:\\PROGRAM FILES\\Tools, and the other 2 were left out."}},
        {{"C:\\nothing.exe"},
         "C:\\Sched",
         "",
         {"message: C:\\nothing.exe cannot be shown in the pickers: there is no file or folder "
          "of that name."}},
        {{"C:\\nothing.exe", "D:\\Work\\w.doc"},
         "C:\\Sched",
         "",
         {"message: C:\\nothing.exe cannot be shown in the pickers: there is no file or folder "
          "of that name. It was the first of 2 items dropped on Norvell, and the other one was "
          "left out. Please drop one program at a time."}},
    };
    for (const Case& c : cases) {
        Chain chain;
        chain.pickers.start("C:\\Sched");
        ASSERT_TRUE(chain.pickers.moveTo("C:\\Sched"));
        editor::showDropped(chain.pickers, chain.services, c.dropped);
        const std::string first = c.dropped.empty() ? "nothing" : c.dropped.front();
        EXPECT_EQ(chain.pickers.folder(), c.folder) << first;
        EXPECT_EQ(chain.view.selected(), c.selected) << first;
        EXPECT_EQ(chain.services.log, c.log) << first;
    }
}
