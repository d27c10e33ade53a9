// Who owns a file or folder and what its access list allows, read with GetNamedSecurityInfoW,
// whether it is a reparse point, and the account a process runs as. Accounts and groups are given
// by their SID in text form
// ("S-1-5-32-545") and by the name the system gives them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "schedule/outcome.hpp"

namespace win32 {

struct AccessControlEntry {
    bool allows = true;  // false: it denies
    std::wstring sid;
    std::wstring name;       // "Users", "Everyone", "PC\\bob"; the SID when the system has no name
    ACCESS_MASK rights = 0;  // as the entry holds it, generic rights included
    bool inheritOnly = false;   // INHERIT_ONLY_ACE: only for what is created inside
    bool toNewFiles = false;    // OBJECT_INHERIT_ACE: files created inside inherit it
    bool toNewFolders = false;  // CONTAINER_INHERIT_ACE: folders created inside inherit it
    bool conditional = false;   // a callback entry, which applies only while its condition holds
};

struct FileSecurity {
    std::wstring ownerSid;
    std::wstring ownerName;
    bool hasAccessList = true;  // false: a null DACL, which lets everyone do everything
    // The allow and deny entries in the order the system checks them; entries of other kinds
    // (object and audit entries) are left out.
    std::vector<AccessControlEntry> entries;
    // FILE_ATTRIBUTE_REPARSE_POINT: a junction, symbolic link or mount point.
    bool reparsePoint = false;
};

// The owner and access list of the file or folder at `path`.
schedule::Outcome readFileSecurity(const std::wstring& path, FileSecurity& security);

// Makes the folder at `path` with an access list of exactly `entries`, in their order, taking
// nothing from the folder above; `existed` tells whether a file or folder of that name was
// there already, which is then left as it was.
schedule::Outcome createFolderWithAccess(const std::wstring& path,
                                         const std::vector<AccessControlEntry>& entries,
                                         bool& existed);

// Gives the folder at `path` an access list of exactly `entries`, taking nothing from the folder
// above; what the folder holds inherits the entries meant for it anew.
schedule::Outcome setFolderAccess(const std::wstring& path,
                                  const std::vector<AccessControlEntry>& entries);

// What a folder holds, each with its attributes as the listing gives them: a link is listed,
// not followed. Without "." and "..".
struct FolderEntry {
    std::wstring name;
    DWORD attributes = 0;
};
schedule::Outcome listFolder(const std::wstring& folder, std::vector<FolderEntry>& entries);

// Gives the file or folder at `path` only the entries it inherits from the folder above, then
// makes Administrators its owner: its owner may change its list, and the list then lets
// Administrators take it over.
schedule::Outcome takeOverForAdministrators(const std::wstring& path);

// The SID of the account this process runs as.
schedule::Outcome currentUserSid(std::wstring& sid);

// Whether the account of the token (opened for TOKEN_QUERY) is a member of Administrators: the
// group is in the token, enabled or, in the filtered token User Account Control gives an
// administrator's programs, for deny only.
schedule::Outcome holdsAdministrators(HANDLE token, bool& administrator);

// The same for the account this process runs as.
schedule::Outcome currentUserIsAdministrator(bool& administrator);

}  // namespace win32
