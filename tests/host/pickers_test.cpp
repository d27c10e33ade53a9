// The chain of Drive1, Dir1 and File1 against a file system in memory.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>

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
        ++fileShows;
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
