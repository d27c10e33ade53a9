// Plain-data stand-ins for the main window's controls and for each role of the platform's
// services, so the editor's handlers run on the host. The fakes record what the handlers do,
// in order, in one log they share.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"
#include "fake_folder.hpp"
#include "schedule/run_style.hpp"

namespace testing_support {

// Entries of Windows' startup list: a shortcut the user turned off (an odd first byte, then
// when) and one turned on again.
inline const std::string kDisabledEntry =
    std::string("\x03\0\0\0\x10\x20\x30\x40\x50\x60\x70\x01", 12);
inline const std::string kEnabledEntry = std::string(1, '\x02') + std::string(11, '\0');

// List4's items as the window fills it: the run-style table's list words.
inline std::vector<std::string> listWords() {
    std::vector<std::string> words;
    for (const schedule::RunStyle& style : schedule::kRunStyles) {
        words.emplace_back(style.listWord);
    }
    return words;
}

class FakeControls final : public editor::MainControls {
  public:
    std::array<bool, 7> days{};
    std::map<editor::List, std::vector<std::string>> items{
        {editor::List::List1, {"AM", "PM"}},
        {editor::List::List2,
         {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"}},
        {editor::List::List3, {"00", "15", "30", "45"}},
        {editor::List::List4, listWords()},
    };
    std::map<editor::List, std::string> current{{editor::List::List1, "AM"},
                                                {editor::List::List2, "01"},
                                                {editor::List::List3, "00"},
                                                {editor::List::List4, "Normal"}};
    std::string folder = "C:\\PROGRAM FILES";
    std::vector<std::string> listableFolders;  // empty: every folder can be listed
    std::string file;
    std::map<editor::Field, std::string> fields{
        {editor::Field::Text1, "Text1"}, {editor::Field::Text3, "0"}, {editor::Field::Text4, ""}};

    bool dayTicked(int index) const override { return days.at(static_cast<std::size_t>(index)); }
    void setDayTicked(int index, bool ticked) override {
        days.at(static_cast<std::size_t>(index)) = ticked;
    }
    std::string currentItem(editor::List list) const override { return current.at(list); }
    void selectItem(editor::List list, std::string_view text) override {
        for (const std::string& item : items.at(list)) {
            if (item == text) current[list] = item;  // like a list: only its own items
        }
    }
    std::string folderPath() const override { return folder; }
    int folderSets = 0;  // calls of setFolderPath
    bool setFolderPath(std::string_view path) override {
        ++folderSets;
        if (!listableFolders.empty() && std::find(listableFolders.begin(), listableFolders.end(),
                                                  path) == listableFolders.end()) {
            return false;
        }
        folder = std::string(path);
        return true;
    }
    std::string selectedFile() const override { return file; }
    std::string text(editor::Field field) const override { return fields.at(field); }
    void setText(editor::Field field, std::string_view value) override {
        fields[field] = std::string(value);
    }
};

// The log the role fakes of one combination share: "message: ...", "start: ...",
// "helper: ...", "shortcut: ...", in the order the handlers asked. Never copied, as it is one.
struct FakeLog {
    std::vector<std::string> log;

    FakeLog() = default;
    FakeLog(const FakeLog&) = delete;
    FakeLog& operator=(const FakeLog&) = delete;
};

struct FakeMessages : virtual FakeLog, editor::Messages {
    std::vector<editor::Answer> answers;  // given to the next YesNoCancel boxes, in order

    editor::Answer message(std::string_view text, editor::Buttons buttons) override {
        log.push_back("message: " + std::string(text));
        if (buttons == editor::Buttons::Ok) return editor::Answer::Ok;
        if (answers.empty()) return editor::Answer::Cancel;
        const editor::Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

struct FakePrograms : virtual FakeLog, editor::Programs {
    std::map<std::string, editor::HelperRun> helperRuns;  // by name; default: finished, 0
    // What a helper does to `helperFolder` while it runs, by name; default: nothing.
    std::map<std::string, std::function<void(FakeFolder&)>> helperEffects;
    FakeFolder* helperFolder = nullptr;
    std::map<std::string, std::string> startFailures;  // program -> reason
    std::set<std::string> missingPrograms;             // program lines that name nothing
    std::map<std::string, std::string> searchable;     // program name -> the file the search finds

    schedule::Outcome start(std::string_view program, std::string_view arguments,
                            int showWindow) override {
        log.push_back("start: " + std::string(program) + " " + std::string(arguments) + " show " +
                      std::to_string(showWindow));
        return startOutcome(program);
    }
    schedule::Outcome startRecord(std::string_view programLine, int showWindow) override {
        log.push_back("start record: " + std::string(programLine) + " show " +
                      std::to_string(showWindow));
        return startOutcome(programLine);
    }
    editor::HelperRun runHelper(std::string_view name, std::chrono::milliseconds) override {
        log.push_back("helper: " + std::string(name));
        if (auto effect = helperEffects.find(std::string(name)); effect != helperEffects.end()) {
            effect->second(*helperFolder);
        }
        auto run = helperRuns.find(std::string(name));
        return run == helperRuns.end() ? editor::HelperRun{} : run->second;
    }
    bool programFound(std::string_view programLine) const override {
        return missingPrograms.count(std::string(programLine)) == 0;
    }
    std::optional<std::string> searchProgram(std::string_view name) const override {
        auto found = searchable.find(std::string(name));
        if (found == searchable.end()) return std::nullopt;
        return found->second;
    }

  private:
    schedule::Outcome startOutcome(std::string_view started) const {
        auto failure = startFailures.find(std::string(started));
        if (failure == startFailures.end()) return schedule::Outcome::success();
        return schedule::Outcome::failure(failure->second);
    }
};

struct FakeFolders : editor::Folders {
    std::string workingFolderPath = "C:\\Sched";
    FakeFolder folder;
    unsigned long processIdValue = 4711;
    std::string programFolderPath = "C:\\Tools";
    std::string windowsFolderPath = "C:\\Windows";
    std::optional<std::string> programFiles = "C:\\Program Files";
    std::optional<std::string> programDataPath = "C:\\ProgramData";

    std::string workingFolder() const override { return workingFolderPath; }
    schedule::Folder& scheduleFolder() override { return folder; }
    unsigned long processId() const override { return processIdValue; }
    std::string programFolder() const override { return programFolderPath; }
    std::string windowsFolder() const override { return windowsFolderPath; }
    std::optional<std::string> programFilesFolder() const override { return programFiles; }
    std::optional<std::string> programDataFolder() const override { return programDataPath; }
};

struct FakeFiles : editor::Files {
    std::set<std::string> missingFiles;  // paths isFile denies; every other file is there
    // Drive letters that are not this computer's own disks, by capital letter: what the letter
    // stands for replaces it (\\srv\apps for Z:); a network drive without it has an error.
    struct Drive {
        editor::DriveLetter::Kind kind;
        std::string standsFor;
        std::string error;
    };
    std::map<char, Drive> drives;
    // What folders hold, by path (any other holds nothing).
    std::map<std::string, std::vector<editor::FolderItem>> folderContents;
    std::function<std::optional<std::string>(std::string_view)> ansi = [](std::string_view text) {
        for (unsigned char c : text) {
            if (c >= 0x80) return std::optional<std::string>();  // an ASCII-only code page
        }
        return std::optional<std::string>(text);
    };
    // The ANSI code page as the fake knows it: every byte as it is.
    std::function<std::string(std::string_view)> decode = [](std::string_view bytes) {
        return std::string(bytes);
    };

    bool isFile(std::string_view path) const override {
        return !missingFiles.count(std::string(path));
    }
    bool samePath(std::string_view first, std::string_view second) const override {
        // Letter case aside, as the file system compares names.
        if (first.size() != second.size()) return false;
        for (std::size_t i = 0; i < first.size(); ++i) {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
            if (lower(first[i]) != lower(second[i])) return false;
        }
        return true;
    }
    editor::DriveLetter driveLetter(std::string_view path) const override {
        if (path.size() < 2 || path[1] != ':') return {};
        const char letter = path[0] >= 'a' && path[0] <= 'z' ? char(path[0] - 32) : path[0];
        auto drive = drives.find(letter);
        if (drive == drives.end()) return {};
        const Drive& d = drive->second;
        return {d.kind, d.standsFor.empty() ? "" : d.standsFor + std::string(path.substr(2)),
                d.error};
    }
    schedule::Outcome folderItems(std::string_view path,
                                  std::vector<editor::FolderItem>& items) const override {
        auto known = folderContents.find(std::string(path));
        items = known == folderContents.end() ? std::vector<editor::FolderItem>{} : known->second;
        return schedule::Outcome::success();
    }
    std::optional<std::string> toAnsi(std::string_view text) const override { return ansi(text); }
    std::string fromAnsi(std::string_view bytes) const override { return decode(bytes); }
};

struct FakeStartup : virtual FakeLog, editor::Startup {
    // Where the Startup folders are; an empty path: the folder cannot be found.
    std::map<editor::StartupFolder, std::string> startupFolders{
        {editor::StartupFolder::CurrentUser, "C:\\Users\\me\\Startup"},
        {editor::StartupFolder::AllUsers, "C:\\ProgramData\\Startup"}};
    std::map<editor::StartupFolder, std::string> shortcutFailures;  // why a shortcut fails there
    std::map<editor::StartupFolder, unsigned long> shortcutFailureCodes;        // and its code
    std::vector<std::pair<editor::StartupFolder, editor::Shortcut>> shortcuts;  // created
    // The shortcut files there are, by full path; made by createShortcut too.
    std::map<std::string, editor::Shortcut> shortcutFiles;
    std::map<std::string, std::string> unreadableShortcuts;  // path -> why
    // Windows' startup list: the entry for Brightwick.lnk in each Startup folder.
    std::map<editor::StartupFolder, std::string> startupList;
    std::map<editor::StartupFolder, std::string> startupListReadFailures;
    std::map<editor::StartupFolder, std::string> startupListWriteFailures;
    std::optional<std::string> logonHistory;  // none: Brightwick has not run yet
    std::optional<launcher::LastRun> lastRun;
    std::string lastRunFailure;

    std::string linkPath(editor::StartupFolder where) const {
        return startupFolders.at(where) + "\\Brightwick.lnk";
    }

    schedule::Outcome createShortcut(editor::StartupFolder where, const editor::Shortcut& shortcut,
                                     std::string& startupFolder) override {
        log.push_back("shortcut: " + shortcut.target);
        shortcuts.emplace_back(where, shortcut);
        startupFolder = startupFolders.at(where);
        if (startupFolder.empty())
            return schedule::Outcome::failure("The system cannot find the path");
        auto failure = shortcutFailures.find(where);
        if (failure == shortcutFailures.end()) {
            shortcutFiles[linkPath(where)] = shortcut;
            return schedule::Outcome::success();
        }
        auto code = shortcutFailureCodes.find(where);
        return schedule::Outcome::systemFailure(
            code == shortcutFailureCodes.end() ? 0 : code->second, failure->second);
    }
    schedule::Outcome startupFolder(editor::StartupFolder where, std::string& path) const override {
        path = startupFolders.at(where);
        if (path.empty()) return schedule::Outcome::failure("The system cannot find the path");
        return schedule::Outcome::success();
    }
    schedule::Outcome readShortcut(std::string_view path,
                                   std::optional<editor::Shortcut>& shortcut) const override {
        shortcut.reset();
        if (auto failure = unreadableShortcuts.find(std::string(path));
            failure != unreadableShortcuts.end()) {
            return schedule::Outcome::failure(failure->second);
        }
        if (auto file = shortcutFiles.find(std::string(path)); file != shortcutFiles.end()) {
            shortcut = file->second;
            shortcut->name.clear();
        }
        return schedule::Outcome::success();
    }
    schedule::Outcome startupListEntry(editor::StartupFolder where, std::string_view fileName,
                                       std::optional<std::string>& bytes) const override {
        bytes.reset();
        if (fileName != "Brightwick.lnk") return schedule::Outcome::success();
        if (auto failure = startupListReadFailures.find(where);
            failure != startupListReadFailures.end()) {
            return schedule::Outcome::failure(failure->second);
        }
        if (auto entry = startupList.find(where); entry != startupList.end()) bytes = entry->second;
        return schedule::Outcome::success();
    }
    schedule::Outcome setStartupListEntry(editor::StartupFolder where, std::string_view fileName,
                                          std::string_view bytes) override {
        log.push_back("startup list: " + std::string(fileName) + " " +
                      std::to_string(bytes.size()) + " bytes, first " +
                      std::to_string(bytes.empty() ? -1 : static_cast<unsigned char>(bytes[0])));
        if (auto failure = startupListWriteFailures.find(where);
            failure != startupListWriteFailures.end()) {
            return schedule::Outcome::failure(failure->second);
        }
        startupList[where] = std::string(bytes);
        return schedule::Outcome::success();
    }
    std::optional<std::string> logonHistoryFile() const override { return logonHistory; }
    schedule::Outcome lastLogonRun(std::optional<launcher::LastRun>& last) const override {
        last = lastRun;
        if (!lastRunFailure.empty()) return schedule::Outcome::failure(lastRunFailure);
        return schedule::Outcome::success();
    }
};

struct FakeAccess : virtual FakeLog, editor::Access {
    // Owners and access lists by path; any other path is owned by the administrators, who
    // may change it, while Users may read and run what is there.
    std::map<std::string, editor::Security> securities;
    std::map<std::string, std::string> securityFailures;
    // The deploying account: an administrator unless a test says otherwise.
    editor::Account deployer{"S-1-5-21-1-2-3-1001", true};
    // How the instance started with administrator rights ends; what changes while it runs, as
    // another process might change it; and what it made when it ended with 0 or with
    // kMadeButTurnedOff.
    editor::AdministratorRun administratorRun;
    std::function<void()> whileAdministratorRuns;
    std::function<void()> administratorMade;
    // Folders made with their access lists, in order; those there already; failures by path.
    std::vector<std::pair<std::string, std::vector<editor::AccessEntry>>> madeFolders;
    std::set<std::string> existingFolders;
    std::map<std::string, std::string> createFailures;
    std::vector<std::pair<std::string, std::vector<editor::AccessEntry>>> accessSet;
    std::map<std::string, std::string> accessFailures;
    std::vector<std::string> takenOver;  // in order
    // Whether the editor runs elevated, and how starting it again so ends.
    bool elevated = false;
    schedule::Outcome administratorStart = schedule::Outcome::success();

    static editor::Security safeSecurity() {
        return {"S-1-5-32-544",
                "Administrators",
                true,
                {{true, "S-1-5-18", "SYSTEM", 0x1F01FF, false, true},
                 {true, "S-1-5-32-544", "Administrators", 0x1F01FF, false, true},
                 {true, "S-1-5-32-545", "Users", 0x1200A9, false, true}}};
    }

    schedule::Outcome security(std::string_view path, editor::Security& found) const override {
        if (auto failure = securityFailures.find(std::string(path));
            failure != securityFailures.end()) {
            return schedule::Outcome::failure(failure->second);
        }
        auto known = securities.find(std::string(path));
        found = known == securities.end() ? safeSecurity() : known->second;
        return schedule::Outcome::success();
    }
    editor::Account account() const override { return deployer; }
    schedule::Outcome createFolder(std::string_view path,
                                   const std::vector<editor::AccessEntry>& entries,
                                   bool& existed) override {
        existed = existingFolders.count(std::string(path)) != 0;
        if (auto failure = createFailures.find(std::string(path));
            failure != createFailures.end()) {
            return schedule::Outcome::failure(failure->second);
        }
        if (!existed) {
            madeFolders.emplace_back(path, entries);
            existingFolders.insert(std::string(path));
        }
        return schedule::Outcome::success();
    }
    schedule::Outcome setFolderAccess(std::string_view path,
                                      const std::vector<editor::AccessEntry>& entries) override {
        if (auto failure = accessFailures.find(std::string(path));
            failure != accessFailures.end()) {
            return schedule::Outcome::failure(failure->second);
        }
        accessSet.emplace_back(path, entries);
        return schedule::Outcome::success();
    }
    schedule::Outcome takeOver(std::string_view path) override {
        takenOver.emplace_back(path);
        return schedule::Outcome::success();
    }
    bool runsElevated() const override { return elevated; }
    editor::AdministratorRun runAsAdministrator(std::string_view arguments,
                                                std::chrono::milliseconds) override {
        log.push_back("as administrator: " + std::string(arguments));
        if (whileAdministratorRuns) whileAdministratorRuns();
        if (administratorMade &&
            administratorRun.ending == editor::AdministratorRun::Ending::Finished &&
            (administratorRun.exitCode == 0 ||
             administratorRun.exitCode == editor::kMadeButTurnedOff)) {
            administratorMade();
        }
        return administratorRun;
    }
    schedule::Outcome startAsAdministrator(std::string_view arguments) override {
        log.push_back("start as administrator: " + std::string(arguments));
        return administratorStart;
    }
};

// The Recycle Bin of `binFolder`'s working folder: it takes the files out of its fake folder.
struct FakeRecycleBin : virtual FakeLog, editor::RecycleBin {
    bool recycleBin = true;  // whether the Recycle Bin takes the folder's files
    FakeFolders* binFolder = nullptr;

    bool recycleBinTakes(std::string_view path) const override {
        return recycleBin && path == binFolder->workingFolderPath;
    }
    schedule::Outcome recycle(std::string_view path, bool forGoodAgreed) override {
        log.push_back("recycle: " + std::string(path) + (forGoodAgreed ? ", for good agreed" : ""));
        const std::string prefix = binFolder->workingFolderPath + "\\";
        if (path.substr(0, prefix.size()) != prefix) {
            return schedule::Outcome::failure("not in the working folder");
        }
        return binFolder->folder.removeFile(path.substr(prefix.size()));
    }
};

// Every role at once, around one working folder: the helpers and the Recycle Bin act on its
// files, and the instance with administrator rights makes the shortcut for all users to the
// launcher in the program folder.
class FakeServices final : public FakeMessages,
                           public FakePrograms,
                           public FakeFolders,
                           public FakeFiles,
                           public FakeStartup,
                           public FakeAccess,
                           public FakeRecycleBin {
  public:
    FakeServices() {
        helperFolder = &folder;
        binFolder = this;
        administratorMade = [this] {
            shortcutFiles[linkPath(editor::StartupFolder::AllUsers)] = {
                "Brightwick", programFolderPath + "\\Brightwick.exe", "", workingFolderPath};
        };
    }
};

}  // namespace testing_support
