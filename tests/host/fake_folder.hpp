// An in-memory folder for the core's tests, with failures to order.
#pragma once

#include <map>
#include <set>
#include <string>

#include "schedule/folder.hpp"

namespace testing_support {

class FakeFolder final : public schedule::Folder {
  public:
    std::map<std::string, std::string> files;
    std::set<std::string> unwritable;   // names whose write fails
    std::set<std::string> unremovable;  // names whose removal fails
    int busyReplaces = 0;               // the next replaces that fail as "in use"
    bool unreadableFolder = false;
    int pauses = 0;

    schedule::Outcome fileNames(std::vector<std::string>& names) override {
        if (unreadableFolder) return schedule::Outcome::failure("folder gone");
        for (const auto& [name, bytes] : files) names.push_back(name);
        return {};
    }
    schedule::Outcome readFile(std::string_view name, std::string& bytes) override {
        auto it = files.find(std::string(name));
        if (it == files.end()) return schedule::Outcome::failure("not found");
        bytes = it->second;
        return {};
    }
    schedule::Outcome writeFile(std::string_view name, std::string_view bytes) override {
        if (unwritable.count(std::string(name))) {
            files[std::string(name)] = "half";  // what a full disk leaves behind
            return schedule::Outcome::failure("disk full");
        }
        files[std::string(name)] = std::string(bytes);
        return {};
    }
    schedule::Outcome replaceFile(std::string_view from, std::string_view to) override {
        if (busyReplaces > 0) {
            --busyReplaces;
            return schedule::Outcome{.error = "in use", .busy = true};
        }
        auto it = files.find(std::string(from));
        if (it == files.end()) return schedule::Outcome::failure("not found");
        files[std::string(to)] = it->second;
        files.erase(it);
        return {};
    }
    schedule::Outcome removeFile(std::string_view name) override {
        if (unremovable.count(std::string(name))) return schedule::Outcome::failure("denied");
        files.erase(std::string(name));
        return {};
    }
    void pause(std::chrono::milliseconds) override { ++pauses; }
};

}  // namespace testing_support
