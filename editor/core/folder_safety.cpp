#include "editor/core/folder_safety.hpp"

#include <algorithm>
#include <array>

#include "editor/core/launcher_shortcut.hpp"
#include "editor/core/wording.hpp"

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
// Those who may change what Brightwick runs anyway, besides an administrator who deploys.
constexpr std::array<std::string_view, 5> kTrusted = {
    "S-1-5-32-544",                                                    // Administrators
    "S-1-5-18",                                                        // SYSTEM
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
    "S-1-3-0",  // CREATOR OWNER: whoever creates a file inside, who needs the right to first
    "S-1-3-4",  // OWNER RIGHTS: the owner, judged on its own
};

bool trusted(std::string_view sid, const Account& deployer) {
    // A standard user who deploys would decide what runs in administrators' logons.
    if (deployer.administrator && !deployer.sid.empty() && sid == deployer.sid) return true;
    return std::find(kTrusted.begin(), kTrusted.end(), sid) != kTrusted.end();
}

bool ordinaryUserHolds(std::string_view sid) {
    return std::find(kOrdinaryUser.begin(), kOrdinaryUser.end(), sid) != kOrdinaryUser.end();
}

// An access list answers two questions apart: what may be done with the place itself, and what
// with the files created inside it, which inherit the entries marked for them. An entry only
// for what is created inside does not control access to the place it is attached to.
enum class Reach { Itself, NewFiles };

bool reaches(const AccessEntry& entry, Reach reach) {
    return reach == Reach::Itself ? !entry.inheritOnly : entry.toNewFiles;
}

// The rights the allow entry at `index` gives its account, short of what a deny entry before it
// in the same list took from that account or from Everyone: the system checks the entries in
// order, so a deny after an allow takes nothing back. A deny for another group is not relied
// on, since it might not reach every member of the allowed one, nor a conditional one, whose
// condition might not hold; a conditional allow counts, as its condition might.
unsigned long granted(const std::vector<AccessEntry>& entries, std::size_t index, Reach reach,
                      unsigned long ignored) {
    const AccessEntry& entry = entries[index];
    unsigned long denied = 0;
    for (std::size_t k = 0; k < index; ++k) {
        const AccessEntry& before = entries[k];
        if (!before.allows && !before.conditional && reaches(before, reach) &&
            (before.sid == entry.sid || before.sid == kEveryone)) {
            denied |= rights::forFiles(before.rights);
        }
    }
    return rights::forFiles(entry.rights) & ~denied & ~ignored;
}

// The rights every user holds in one list: those given to a group that every user's logon
// holds, short of what such a group was denied before. Here a conditional deny counts and a
// conditional allow does not: either condition might hold or not at a user's logon.
unsigned long everyUserHolds(const std::vector<AccessEntry>& entries, Reach reach) {
    unsigned long denied = 0;
    unsigned long held = 0;
    for (const AccessEntry& entry : entries) {
        if (!reaches(entry, reach) || !ordinaryUserHolds(entry.sid)) continue;
        const unsigned long mask = rights::forFiles(entry.rights);
        if (entry.allows) {
            if (entry.conditional) continue;
            held |= mask & ~denied;
        } else {
            denied |= mask;
        }
    }
    return held;
}

void addOnce(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

std::string nameOf(const AccessEntry& entry) {
    return entry.name.empty() ? entry.sid : entry.name;
}

bool readable(unsigned long held) {
    return (held & rights::kReadAndRun) == rights::kReadAndRun;
}

std::string withoutTrailingBackslash(std::string folder) {
    // A drive's root keeps it: "C:" alone is a drive's current folder, not its root.
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool onDriveLetter(std::string_view path) {
    return path.size() >= 3 &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':' && path[2] == '\\';
}

// The folder that holds `folder` ("C:\A" for "C:\A\B", "C:\" for "C:\A"); none for a root.
std::optional<std::string> parentOf(const std::string& folder) {
    const std::size_t slash = folder.find_last_of('\\');
    if (folder.size() <= 3 || slash == std::string::npos || slash < 2) return std::nullopt;
    return folder.substr(0, slash == 2 ? 3 : slash);
}

constexpr std::string_view kIntoEveryLogon =
    "into the logon of every user, administrators included.";

// Why nothing on the folder at `path` can be relied on from this computer; none when it is on
// one of the computer's own disks.
std::optional<std::string> whereProblem(Uses<const Files> services, const std::string& path) {
    constexpr std::string_view decided =
        ", where the computer that shares it, not this computer's administrators, decides who "
        "may change it.";
    if (!onDriveLetter(path)) {
        if (path.starts_with("\\\\") && !path.starts_with("\\\\?\\") &&
            !path.starts_with("\\\\.\\")) {
            return path + ": it is on a network share" + std::string(decided);
        }
        return path +
               ": it is not given as a folder on a drive letter of this computer, so who may "
               "change the folders above it cannot be checked.";
    }
    const DriveLetter drive = services.files().driveLetter(path);
    const std::string letter = capitalized(path.substr(0, 1)) + ":";
    switch (drive.kind) {
        case DriveLetter::Kind::Local:
            return std::nullopt;
        case DriveLetter::Kind::Network:
            return path + ": it is on drive " + letter + ", a network drive" + std::string(decided);
        case DriveLetter::Kind::Substitute:
            return path + ": it is on drive " + letter +
                   ", which the subst command made for your logon only; other users' logons and "
                   "programs run with administrator rights do not have it. Start Norvell from " +
                   drive.path + " instead.";
    }
    return std::nullopt;
}

// One place a deployment for all users relies on.
struct Place {
    enum class Role {
        Folder,    // the programs' or the schedule's folder
        Launcher,  // Brightwick.exe
        Above,     // a folder that holds one of those further down
    };
    std::string path;
    Role role;
    std::vector<std::string> holds;     // Above: the programs' or schedule's folders below it
    std::vector<std::string> children;  // Above: its own folders on the way to them
};

class Places {
  public:
    explicit Places(const Files& files) : files_(files) {}

    // `folder` in the role Folder, the launcher in it when given, and every folder above it.
    void addFolder(const std::string& folder, const std::string* launcher) {
        const std::size_t leaf = indexOf(folder, Place::Role::Folder);
        // A folder that holds the other one is judged as one of them: the stricter reading.
        places_[leaf].role = Place::Role::Folder;
        if (launcher) indexOf(*launcher, Place::Role::Launcher);
        std::string child = folder;
        for (std::optional<std::string> parent = parentOf(folder); parent;
             child = *parent, parent = parentOf(*parent)) {
            Place& above = places_[indexOf(*parent, Place::Role::Above)];
            addOnce(above.holds, folder);
            addOnce(above.children, child);
        }
    }
    const std::vector<Place>& all() const { return places_; }

  private:
    std::size_t indexOf(const std::string& path, Place::Role role) {
        for (std::size_t i = 0; i < places_.size(); ++i) {
            if (files_.samePath(places_[i].path, path)) return i;
        }
        places_.push_back({path, role, {}, {}});
        return places_.size() - 1;
    }

    const Files& files_;
    std::vector<Place> places_;
};

// That `who` may rename or replace `what` (this folder or what it holds), which holds `which`:
// a folder of their own put `where`, with a program of their own in it, starts at every logon.
void addReplaceProblem(std::vector<std::string>& problems, const std::string& path,
                       const std::vector<std::string>& who, std::string_view what,
                       const std::vector<std::string>& which, std::string_view where) {
    if (who.empty()) return;
    problems.push_back(path + ": " + joined(who) + " may rename or replace " + std::string(what) +
                       joined(which) + ", so any of them could put a folder of their own " +
                       std::string(where) + ", and a program of their own " +
                       std::string(kIntoEveryLogon));
}

// Each problem of one place as a sentence of its own.
// `mustRead`: every user must be able to read the place, as Brightwick and its schedule must.
void addProblems(std::vector<std::string>& problems, Uses<const Access> services,
                 const Account& deployer, const Place& place, bool mustRead = true) {
    const std::string& path = place.path;
    Security security;
    if (const schedule::Outcome read = services.access().security(path, security); !read) {
        problems.push_back(path +
                           ": who may change it could not be checked: " + withFullStop(read.error));
        return;
    }
    if (security.reparsePoint) {
        problems.push_back(path +
                           ": it is a junction, symbolic link or mount point, which leads to "
                           "another place, so who may change what is there cannot be checked "
                           "here.");
    }
    const bool above = place.role == Place::Role::Above;
    const bool volumeRoot = onDriveLetter(path) && path.size() == 3;
    const AccessVerdict verdict =
        judgeAccess(security, deployer, place.role != Place::Role::Launcher, volumeRoot);
    if (above) {
        addReplaceProblem(problems, path, verdict.mayReplace, "this folder, which holds ",
                          place.holds, "in its place");
        addReplaceProblem(problems, path, verdict.mayReplaceInside,
                          "what this folder holds, which includes ", place.children, "there");
    } else if (!verdict.mayChange.empty()) {
        const bool folder = place.role == Place::Role::Folder;
        problems.push_back(
            path + ": " + joined(verdict.mayChange) +
            (folder ? " may create or change files there" : " may change or replace it") +
            ", so any of them could put a program of their own " + std::string(kIntoEveryLogon));
    }
    if (!verdict.foreignOwner.empty()) {
        problems.push_back(
            path + ": " +
            (above ? "this folder, which holds " + joined(place.holds) + ", " : "it ") +
            "belongs to " + verdict.foreignOwner + ", who could let anyone change it.");
    }
    if (mustRead && !above && !verdict.usersMayRead) {
        problems.push_back(path + ": the other users of this computer may not read " +
                           (place.role == Place::Role::Folder ? "what is there" : "it") +
                           ", so at their logon Brightwick would not start or would find no "
                           "schedule.");
    }
}

// A folder's own problems and its place among those to judge: the folder in the role Folder
// (with `launcher` in it, when given) and every folder above it.
void addFolder(std::vector<std::string>& problems, Places& places, Uses<const Files> services,
               const std::string& folder, const std::string* launcher) {
    if (auto where = whereProblem(services, folder)) {
        problems.push_back(std::move(*where));
    } else {
        places.addFolder(folder, launcher);
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

AccessVerdict judgeAccess(const Security& security, const Account& deployer, bool isFolder,
                          bool volumeRoot) {
    // A volume's root cannot be renamed or deleted, whatever its list says: DELETE on it lets
    // no one put another in its place. Windows gives Authenticated Users Modify on the root of
    // a data volume it formats.
    const unsigned long ignored = volumeRoot ? rights::kDelete : 0;
    AccessVerdict verdict;
    if (!trusted(security.ownerSid, deployer)) {
        verdict.foreignOwner = security.ownerName.empty() ? security.ownerSid : security.ownerName;
        if (!deployer.sid.empty() && security.ownerSid == deployer.sid) {
            verdict.foreignOwner += " (your account, which is not an administrator's)";
        }
    }
    if (!security.hasAccessList) {
        verdict.mayChange.emplace_back("Everyone");
        verdict.mayReplace.emplace_back("Everyone");
        return verdict;
    }
    const std::vector<AccessEntry>& entries = security.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const AccessEntry& entry = entries[i];
        if (!entry.allows || trusted(entry.sid, deployer)) continue;
        const unsigned long itself =
            reaches(entry, Reach::Itself) ? granted(entries, i, Reach::Itself, ignored) : 0;
        const unsigned long inside = isFolder && reaches(entry, Reach::NewFiles)
                                         ? granted(entries, i, Reach::NewFiles, 0)
                                         : 0;
        const std::string name = nameOf(entry);
        if (((itself | inside) & rights::kChange) != 0) addOnce(verdict.mayChange, name);
        if ((itself & rights::kReplace) != 0) addOnce(verdict.mayReplace, name);
        if (isFolder && (itself & rights::kDeleteChild) != 0) {
            addOnce(verdict.mayReplaceInside, name);
        }
    }
    std::erase_if(verdict.mayReplaceInside, [&](const std::string& name) {
        return std::find(verdict.mayReplace.begin(), verdict.mayReplace.end(), name) !=
               verdict.mayReplace.end();
    });
    verdict.usersMayRead = readable(everyUserHolds(entries, Reach::Itself)) &&
                           (!isFolder || readable(everyUserHolds(entries, Reach::NewFiles)));
    return verdict;
}

std::optional<std::string> allUsersRefusal(Uses<const Folders, const Files, const Access> services,
                                           const std::string& applicationFolder) {
    const std::string programs = withoutTrailingBackslash(applicationFolder);
    const std::string working = withoutTrailingBackslash(services.folders().workingFolder());
    const std::string launcher = applicationFolder + std::string(kLauncherFile);
    std::vector<std::string> problems;
    Places places(services.files());
    addFolder(problems, places, services, programs, &launcher);
    if (!services.files().samePath(working, programs)) {
        addFolder(problems, places, services, working, nullptr);
    }
    const Account deployer = services.access().account();
    for (const Place& place : places.all()) addProblems(problems, services, deployer, place);
    if (problems.empty()) return std::nullopt;

    const std::optional<std::string> programFiles = services.folders().programFilesFolder();
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

std::vector<std::string> programFileProblems(Uses<const Files, const Access> services,
                                             const std::string& program) {
    std::vector<std::string> problems;
    const std::optional<std::string> folder = parentOf(program);
    if (!folder) {
        problems.push_back(program +
                           ": it is not a full path, so who may change it cannot be checked.");
        return problems;
    }
    const bool there = services.files().isFile(program);
    std::string nearest = *folder;
    // A program that is not there is judged by the nearest folder on its way that is: who
    // may create it there.
    constexpr unsigned long kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
    constexpr unsigned long kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
    for (Security ignored; !there;) {
        const schedule::Outcome read = services.access().security(nearest, ignored);
        if (read || (read.code != kFileNotFound && read.code != kPathNotFound)) break;
        const std::optional<std::string> up = parentOf(nearest);
        if (!up) break;
        nearest = *up;
    }
    Places places(services.files());
    addFolder(problems, places, services, nearest, there ? &program : nullptr);
    const Account account = services.access().account();
    // A program that some users may not run harms no one else's logon.
    for (const Place& place : places.all()) {
        addProblems(problems, services, account, place, false);
    }
    return problems;
}

bool safeForAllUsers(Uses<const Files, const Access> services, const std::string& folder) {
    return allUsersProblems(services, folder).empty();
}

std::vector<std::string> allUsersProblems(Uses<const Files, const Access> services,
                                          const std::string& folder) {
    std::vector<std::string> problems;
    Places places(services.files());
    addFolder(problems, places, services, withoutTrailingBackslash(folder), nullptr);
    const Account account = services.access().account();
    for (const Place& place : places.all()) addProblems(problems, services, account, place);
    return problems;
}

}  // namespace editor
