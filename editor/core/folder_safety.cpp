#include "editor/core/folder_safety.hpp"

#include <algorithm>
#include <array>

#include "editor/core/deploy.hpp"

namespace editor {

namespace {

constexpr std::string_view kEveryone = "S-1-1-0";
// An ordinary user's logon holds these groups, besides groups of its own.
constexpr std::array<std::string_view, 4> kOrdinaryUser = {
    kEveryone,
    "S-1-5-11",      // Authenticated Users
    "S-1-5-32-545",  // Users
    "S-1-5-4",       // Interactive
};
// Those who may change what Brightwick runs anyway, besides the deploying user.
constexpr std::array<std::string_view, 5> kTrusted = {
    "S-1-5-32-544",                                                    // Administrators
    "S-1-5-18",                                                        // SYSTEM
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
    "S-1-3-0",  // CREATOR OWNER: whoever creates a file inside, who needs the right to first
    "S-1-3-4",  // OWNER RIGHTS: the owner, judged on its own
};

bool trusted(std::string_view sid, std::string_view deployingUser) {
    return sid == deployingUser ||
           std::find(kTrusted.begin(), kTrusted.end(), sid) != kTrusted.end();
}

bool ordinaryUserHolds(std::string_view sid) {
    return std::find(kOrdinaryUser.begin(), kOrdinaryUser.end(), sid) != kOrdinaryUser.end();
}

// The entry matters for the object itself or for the files created inside it.
bool reaches(const AccessEntry& entry) {
    return !entry.inheritOnly || entry.toNewFiles;
}

std::string nameOf(const AccessEntry& entry) {
    return entry.name.empty() ? entry.sid : entry.name;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
        text += parts[i];
    }
    return text;
}

std::string withoutTrailingBackslash(std::string folder) {
    // A drive's root keeps it: "C:" alone is a drive's current folder, not its root.
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

// Each problem of the place at `path` as a sentence of its own.
void addProblems(std::vector<std::string>& problems, const Services& services,
                 const std::string& path, bool isFolder) {
    Security security;
    if (const schedule::Outcome read = services.security(path, security); !read) {
        std::string reason = read.error;
        if (!reason.empty() && reason.back() != '.') reason += '.';
        problems.push_back(path + ": who may change it could not be checked: " + reason);
        return;
    }
    const AccessVerdict verdict = judgeAccess(security, services.userSid());
    if (!verdict.mayChange.empty()) {
        problems.push_back(
            path + ": " + joined(verdict.mayChange) +
            (isFolder ? " may create or change files there" : " may change or replace it") +
            ", so any of them could put a program of their own into the logon "
            "of every user, administrators included.");
    }
    if (!verdict.foreignOwner.empty()) {
        problems.push_back(path + ": it belongs to " + verdict.foreignOwner +
                           ", who could let anyone change it.");
    }
    if (!verdict.usersMayRead) {
        problems.push_back(path + ": the other users of this computer may not read " +
                           (isFolder ? "what is there" : "it") +
                           ", so at their logon Brightwick would not start or would find no "
                           "schedule.");
    }
}

}  // namespace

unsigned long rights::forFiles(unsigned long mask) {
    // The file system's generic mapping (FILE_GENERIC_READ, _WRITE, _EXECUTE, FILE_ALL_ACCESS).
    if (mask & kGenericRead) mask |= 0x120089;
    if (mask & kGenericWrite) mask |= 0x120116;
    if (mask & kGenericExecute) mask |= 0x1200A0;
    if (mask & kGenericAll) mask |= 0x1F01FF;
    return mask & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
}

AccessVerdict judgeAccess(const Security& security, std::string_view deployingUser) {
    AccessVerdict verdict;
    if (!trusted(security.ownerSid, deployingUser)) {
        verdict.foreignOwner = security.ownerName.empty() ? security.ownerSid : security.ownerName;
    }
    if (!security.hasAccessList) {
        verdict.mayChange.push_back("Everyone");
        return verdict;
    }
    // The system checks the entries in order, and a right denied before cannot be allowed
    // after. Deny entries count for the group they name and for Everyone; any other group's
    // entry might not reach everyone it names, so it is not relied on.
    unsigned long userDenied = 0;
    unsigned long userGranted = 0;
    for (std::size_t i = 0; i < security.entries.size(); ++i) {
        const AccessEntry& entry = security.entries[i];
        const unsigned long mask = rights::forFiles(entry.rights);
        if (!entry.inheritOnly && ordinaryUserHolds(entry.sid)) {
            if (entry.allows) {
                userGranted |= mask & ~userDenied;
            } else {
                userDenied |= mask;
            }
        }
        if (!entry.allows || !reaches(entry) || trusted(entry.sid, deployingUser)) continue;
        unsigned long denied = 0;
        for (std::size_t k = 0; k < i; ++k) {
            const AccessEntry& before = security.entries[k];
            if (!before.allows && reaches(before) &&
                (before.sid == entry.sid || before.sid == kEveryone)) {
                denied |= rights::forFiles(before.rights);
            }
        }
        const std::string name = nameOf(entry);
        if ((mask & ~denied & rights::kChange) != 0 &&
            std::find(verdict.mayChange.begin(), verdict.mayChange.end(), name) ==
                verdict.mayChange.end()) {
            verdict.mayChange.push_back(name);
        }
    }
    verdict.usersMayRead = (userGranted & rights::kReadAndRun) == rights::kReadAndRun;
    return verdict;
}

std::optional<std::string> allUsersRefusal(const Services& services,
                                           const std::string& applicationFolder) {
    const std::string programs = withoutTrailingBackslash(applicationFolder);
    const std::string working = withoutTrailingBackslash(services.workingFolder());
    std::vector<std::string> problems;
    addProblems(problems, services, programs, true);
    addProblems(problems, services, applicationFolder + std::string(kLauncherFile), false);
    if (!services.samePath(working, programs)) addProblems(problems, services, working, true);
    if (problems.empty()) return std::nullopt;

    const std::optional<std::string> programFiles = services.programFilesFolder();
    const std::string example = programFiles ? withoutTrailingBackslash(*programFiles) + "\\Norvell"
                                             : "a folder under Program Files";
    std::string text =
        "Brightwick was not deployed for all users. Whatever it starts at logon would start "
        "for every user of this computer, administrators too, but:\n";
    for (const std::string& problem : problems) text += "\n- " + problem;
    text +=
        "\n\nPut Norvell's programs and its schedule into a folder that only administrators "
        "can change and every user can read, such as " +
        example +
        ", which administrators own. Start Norvell there as administrator to change the "
        "schedule, and deploy for all users again. To deploy for your account only, answer "
        "Yes instead.";
    return text;
}

}  // namespace editor
