// An in-memory folder for the core's tests, with subfolders and failures to order.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "schedule/ascii.hpp"
#include "schedule/folder.hpp"

namespace testing_support {

// Thrown by a folder whose operations ran out: the process was ended half-way.
struct Interrupted {};

class FakeFolder final : public schedule::Folder {
  public:
    std::map<std::string, std::string> files;
    std::set<std::string> unwritable;   // names whose write fails
    std::set<std::string> unremovable;  // names whose removal fails
    std::set<std::string> unmovable;    // names whose move into a subfolder fails
    int busyReplaces = 0;               // the next replaces that fail as "in use"
    std::set<std::string> readOnly;     // names that a replace may not overwrite
    bool unreadableFolder = false;
    // Runs after each read, as another process might change the file then.
    std::function<void(const std::string&)> afterRead;
    bool readOnlyFolder = false;  // takes no new file: access denied
    bool exists = true;           // a subfolder not made yet lists no files and takes none
    int pauses = 0;
    // Changes left before the process ends half-way (Interrupted), shared with subfolders;
    // negative: never.
    std::shared_ptr<int> changesLeft = std::make_shared<int>(-1);

    // The subfolder, made on the spot (as createSubfolder would) unless `made` is false.
    FakeFolder& sub(const std::string& name, bool made = true) {
        if (const std::size_t separator = name.find('\\'); separator != std::string::npos) {
            return sub(name.substr(0, separator), made).sub(name.substr(separator + 1), made);
        }
        auto& folder = folders[name];
        if (!folder) {
            folder = std::make_unique<FakeFolder>();
            folder->exists = false;
            folder->changesLeft = changesLeft;
        }
        if (made) folder->exists = true;
        return *folder;
    }
    bool hasSubfolder(const std::string& name) const {
        auto it = folders.find(name);
        return it != folders.end() && it->second->exists;
    }

    schedule::Outcome fileNames(std::vector<std::string>& names) override {
        if (unreadableFolder) return schedule::Outcome::failure("folder gone");
        for (const auto& [name, bytes] : files) names.push_back(name);
        return {};
    }
    schedule::Outcome folderNames(std::vector<std::string>& names) override {
        if (unreadableFolder) return schedule::Outcome::failure("folder gone");
        for (const auto& [name, folder] : folders) {
            if (folder->exists) names.push_back(name);
        }
        return {};
    }
    schedule::Outcome removeSubfolder(std::string_view name) override {
        change();
        FakeFolder& folder = sub(std::string(name), false);
        std::vector<std::string> inside;
        folder.folderNames(inside);
        if (!folder.files.empty() || !inside.empty())
            return schedule::Outcome::failure("not empty");
        folder.exists = false;
        return {};
    }
    schedule::Outcome readFile(std::string_view name, std::string& bytes) override {
        auto it = files.find(std::string(name));
        if (it == files.end()) return schedule::Outcome::failure("not found");
        bytes = it->second;
        if (afterRead) afterRead(it->first);
        return {};
    }
    schedule::Outcome writeFile(std::string_view name, std::string_view bytes) override {
        change();
        if (!exists) return schedule::Outcome::failure("path not found");
        if (readOnlyFolder) return schedule::Outcome::systemFailure(5, "Access is denied");
        if (unwritable.count(std::string(name))) {
            files[std::string(name)] = "half";  // what a full disk leaves behind
            return schedule::Outcome::failure("disk full");
        }
        files[std::string(name)] = std::string(bytes);
        return {};
    }
    schedule::Outcome replaceFile(std::string_view from, std::string_view to) override {
        change();
        if (busyReplaces > 0) {
            --busyReplaces;
            return schedule::Outcome{.error = "in use", .busy = true};
        }
        if (readOnly.count(std::string(to))) {
            return schedule::Outcome::failure("the file is read-only");
        }
        auto it = files.find(std::string(from));
        if (it == files.end()) return schedule::Outcome::failure("not found");
        files[std::string(to)] = it->second;
        files.erase(it);
        return {};
    }
    schedule::Outcome renameIfFree(std::string_view from, std::string_view to) override {
        change();
        if (busyReplaces > 0) {
            --busyReplaces;
            return schedule::Outcome{.error = "in use", .busy = true};
        }
        if (has(to)) return schedule::Outcome{.error = "the file exists", .taken = true};
        auto it = files.find(std::string(from));
        if (it == files.end()) return schedule::Outcome::failure("not found");
        files[std::string(to)] = it->second;
        files.erase(it);
        return {};
    }
    // Whether a file or a made subfolder has the name, letter case aside, as Windows names are.
    bool has(std::string_view name) const {
        const auto same = [&](const std::string& other) {
            return std::equal(
                other.begin(), other.end(), name.begin(), name.end(),
                [](char a, char b) { return schedule::lowerAscii(a) == schedule::lowerAscii(b); });
        };
        for (const auto& [file, bytes] : files) {
            if (same(file)) return true;
        }
        for (const auto& [folder, made] : folders) {
            if (made->exists && same(folder)) return true;
        }
        return false;
    }
    schedule::Outcome removeFile(std::string_view name) override {
        change();
        if (unremovable.count(std::string(name))) return schedule::Outcome::failure("denied");
        files.erase(std::string(name));
        return {};
    }
    schedule::Folder& subfolder(std::string_view name) override {
        return sub(std::string(name), false);
    }
    schedule::Outcome createSubfolder(std::string_view name) override {
        change();
        sub(std::string(name));
        return {};
    }
    schedule::Outcome moveToSubfolder(std::string_view from, std::string_view folder,
                                      std::string_view to) override {
        change();
        FakeFolder& destination = sub(std::string(folder), false);
        if (!destination.exists) return schedule::Outcome::failure("path not found");
        if (unmovable.count(std::string(from))) return schedule::Outcome::failure("locked");
        const std::size_t separator = std::string_view(from).rfind('\\');
        FakeFolder& source = separator == std::string_view::npos
                                 ? *this
                                 : sub(std::string(from.substr(0, separator)), false);
        const std::string name(separator == std::string_view::npos ? from
                                                                   : from.substr(separator + 1));
        auto it = source.files.find(name);
        if (it == source.files.end()) return schedule::Outcome::failure("not found");
        destination.files[std::string(to)] = it->second;
        source.files.erase(it);
        return {};
    }
    void pause(std::chrono::milliseconds) override { ++pauses; }

  private:
    void change() {
        if (*changesLeft == 0) throw Interrupted{};
        if (*changesLeft > 0) --*changesLeft;
    }
    std::map<std::string, std::unique_ptr<FakeFolder>> folders;
};

}  // namespace testing_support
