#include "editor/core/programs_in_use.hpp"

#include <algorithm>

namespace editor {

namespace {

// The program of `folder` that `image` is, if any.
std::string_view installedProgram(
    std::string_view folder, std::string_view image,
    const std::function<bool(std::string_view, std::string_view)>& samePath) {
    std::string prefix(folder);
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
    for (std::string_view program : kInstalledPrograms) {
        if (samePath(image, prefix + std::string(program))) return program;
    }
    return {};
}

}  // namespace

InUseStatus programsInUse(std::string_view folder, const ProgramUse& use, unsigned long self,
                          const std::function<bool(std::string_view, std::string_view)>& samePath,
                          std::vector<std::string>& inUse) {
    inUse.clear();
    std::vector<unsigned long> named;
    const auto add = [&](const RunningProcess& process, std::string_view what) {
        if (process.id == self ||
            std::find(named.begin(), named.end(), process.id) != named.end()) {
            return;
        }
        named.push_back(process.id);
        inUse.push_back(std::string(what) + " (process " + std::to_string(process.id) + ")");
    };
    for (const RunningProcess& process : use.processes) {
        const std::string_view program = installedProgram(folder, process.image, samePath);
        if (!program.empty()) add(process, program);
    }
    // The Restart Manager names a holder that is no program of the folder (an editor with one
    // open, a virus scanner) by its own name.
    for (const RunningProcess& process : use.holders) {
        const std::string_view program = installedProgram(folder, process.image, samePath);
        add(process, !program.empty()        ? program
                     : !process.name.empty() ? std::string_view(process.name)
                                             : std::string_view("a program"));
    }
    if (!inUse.empty()) return InUseStatus::Some;
    return use.restartManagerAnswered || use.processesListed ? InUseStatus::None
                                                             : InUseStatus::Unknown;
}

std::string inUseLine(const std::vector<std::string>& inUse) {
    std::string line;
    for (const std::string& one : inUse) {
        if (!line.empty()) line += ", ";
        line += one;
    }
    return line;
}

}  // namespace editor
