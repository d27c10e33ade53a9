#include "win32/security.hpp"

#include <aclapi.h>
#include <sddl.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "win32/error.hpp"
#include "win32/owners.hpp"

namespace win32 {

namespace {

std::wstring sidText(PSID sid) {
    wchar_t* raw = nullptr;
    if (!ConvertSidToStringSidW(sid, &raw)) return {};
    const UniqueLocalMemory<wchar_t> owned(raw);
    return owned.get();
}

// Built-in and well-known groups by their name alone ("Users", "Everyone"), since their
// domain ("BUILTIN", "NT AUTHORITY") adds nothing a user reads; accounts with their domain.
std::wstring accountName(PSID sid, const std::wstring& text) {
    DWORD nameSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use{};
    LookupAccountSidW(nullptr, sid, nullptr, &nameSize, nullptr, &domainSize, &use);
    if (nameSize == 0) return text;
    std::wstring name(nameSize, L'\0');
    std::wstring domain(domainSize, L'\0');
    if (!LookupAccountSidW(nullptr, sid, name.data(), &nameSize, domain.data(), &domainSize,
                           &use)) {
        return text;
    }
    name.resize(nameSize);
    domain.resize(domainSize);
    const bool builtIn = text.rfind(L"S-1-5-32-", 0) == 0;
    if (domain.empty() || builtIn || use == SidTypeWellKnownGroup) return name;
    return domain + L"\\" + name;
}

}  // namespace

schedule::Outcome readFileSecurity(const std::wstring& path, FileSecurity& security) {
    security = {};
    // Of the link itself, not of what it leads to.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastErrorFailure();
    security.reparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetNamedSecurityInfoW(
        path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        &owner, nullptr, &list, nullptr, &descriptor);
    // The owner and the list point into the descriptor, which goes last.
    const UniqueLocalMemory<void> owned(descriptor);
    if (status != ERROR_SUCCESS) return systemFailure(status);
    if (owner) {
        security.ownerSid = sidText(owner);
        security.ownerName = accountName(owner, security.ownerSid);
    }
    if (!list) {
        security.hasAccessList = false;
        return schedule::Outcome::success();
    }
    ACL_SIZE_INFORMATION size{};
    if (!GetAclInformation(list, &size, sizeof size, AclSizeInformation)) {
        return lastErrorFailure();
    }
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* raw = nullptr;
        if (!GetAce(list, i, &raw)) return lastErrorFailure();
        const auto* header = static_cast<const ACE_HEADER*>(raw);
        const BYTE type = header->AceType;
        // The callback forms begin as the plain ones do: header, mask, SID.
        const bool allows =
            type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        const bool denies =
            type == ACCESS_DENIED_ACE_TYPE || type == ACCESS_DENIED_CALLBACK_ACE_TYPE;
        if (!allows && !denies) continue;
        auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        const PSID sid = &ace->SidStart;
        AccessControlEntry entry;
        entry.allows = allows;
        entry.sid = sidText(sid);
        entry.name = accountName(sid, entry.sid);
        entry.rights = ace->Mask;
        entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
        entry.toNewFiles = (header->AceFlags & OBJECT_INHERIT_ACE) != 0;
        entry.toNewFolders = (header->AceFlags & CONTAINER_INHERIT_ACE) != 0;
        entry.conditional =
            type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE || type == ACCESS_DENIED_CALLBACK_ACE_TYPE;
        security.entries.push_back(std::move(entry));
    }
    return schedule::Outcome::success();
}

namespace {

// The token information of class `kind`, in a buffer from new[], which is aligned for the
// structure and the SIDs it holds.
schedule::Outcome tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind,
                                   std::unique_ptr<std::byte[]>& buffer) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0) return lastErrorFailure();
    buffer.reset(new std::byte[size]);
    if (!GetTokenInformation(token, kind, buffer.get(), size, &size)) return lastErrorFailure();
    return schedule::Outcome::success();
}

schedule::Outcome processToken(UniqueHandle& token) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return lastErrorFailure();
    token.reset(raw);
    return schedule::Outcome::success();
}

}  // namespace

namespace {

// `entries` as an access list in `buffer`, from new[], which is aligned for it.
schedule::Outcome buildAccessList(const std::vector<AccessControlEntry>& entries,
                                  std::unique_ptr<std::byte[]>& buffer) {
    std::vector<UniqueLocalMemory<void>> sids;
    DWORD size = sizeof(ACL);
    for (const AccessControlEntry& entry : entries) {
        PSID raw = nullptr;
        if (!ConvertStringSidToSidW(entry.sid.c_str(), &raw)) return lastErrorFailure();
        sids.emplace_back(raw);
        // An entry's size counts its SID in place of the SidStart member it begins at.
        size += static_cast<DWORD>(sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD)) + GetLengthSid(raw);
    }
    buffer.reset(new std::byte[size]);
    auto* list = reinterpret_cast<PACL>(buffer.get());
    if (!InitializeAcl(list, size, ACL_REVISION)) return lastErrorFailure();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const AccessControlEntry& entry = entries[i];
        const DWORD flags = (entry.toNewFiles ? OBJECT_INHERIT_ACE : 0) |
                            (entry.toNewFolders ? CONTAINER_INHERIT_ACE : 0) |
                            (entry.inheritOnly ? INHERIT_ONLY_ACE : 0);
        const BOOL added =
            entry.allows
                ? AddAccessAllowedAceEx(list, ACL_REVISION, flags, entry.rights, sids[i].get())
                : AddAccessDeniedAceEx(list, ACL_REVISION, flags, entry.rights, sids[i].get());
        if (!added) return lastErrorFailure();
    }
    return schedule::Outcome::success();
}

}  // namespace

schedule::Outcome createFolderWithAccess(const std::wstring& path,
                                         const std::vector<AccessControlEntry>& entries,
                                         bool& existed) {
    existed = false;
    std::unique_ptr<std::byte[]> list;
    if (schedule::Outcome built = buildAccessList(entries, list); !built) return built;
    SECURITY_DESCRIPTOR descriptor{};
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(list.get()), FALSE) ||
        !SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
        return lastErrorFailure();
    }
    // Made with its list at once: no one else gets a moment in which to put a file inside.
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    if (CreateDirectoryW(path.c_str(), &attributes)) return schedule::Outcome::success();
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return systemFailure(error);
    existed = true;
    return schedule::Outcome::success();
}

schedule::Outcome setFolderAccess(const std::wstring& path,
                                  const std::vector<AccessControlEntry>& entries) {
    std::unique_ptr<std::byte[]> list;
    if (schedule::Outcome built = buildAccessList(entries, list); !built) return built;
    // SetNamedSecurityInfoW takes a writable path.
    std::wstring name = path;
    const DWORD status =
        SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, reinterpret_cast<PACL>(list.get()), nullptr);
    if (status != ERROR_SUCCESS) return systemFailure(status);
    return schedule::Outcome::success();
}

schedule::Outcome listFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring pattern = folder;
    if (!pattern.ends_with(L'\\')) pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const UniqueFindHandle find =
        ownFindHandle(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return lastErrorFailure();
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back({found.cFileName, found.dwFileAttributes});
    } while (FindNextFileW(find.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) return lastErrorFailure();
    return schedule::Outcome::success();
}

schedule::Outcome takeOverForAdministrators(const std::wstring& path) {
    std::wstring name = path;  // SetNamedSecurityInfoW takes a writable path
    ACL empty{};
    if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION)) return lastErrorFailure();
    DWORD status =
        SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &empty, nullptr);
    if (status != ERROR_SUCCESS) return systemFailure(status);
    alignas(SID) std::byte administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) {
        return lastErrorFailure();
    }
    status = SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                   administrators, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return systemFailure(status);
    return schedule::Outcome::success();
}

schedule::Outcome currentUserSid(std::wstring& sid) {
    UniqueHandle token;
    std::unique_ptr<std::byte[]> buffer;
    if (schedule::Outcome read = processToken(token); !read) return read;
    if (schedule::Outcome read = tokenInformation(token.get(), TokenUser, buffer); !read) {
        return read;
    }
    sid = sidText(reinterpret_cast<const TOKEN_USER*>(buffer.get())->User.Sid);
    if (sid.empty()) return lastErrorFailure();
    return schedule::Outcome::success();
}

schedule::Outcome holdsAdministrators(HANDLE token, bool& administrator) {
    administrator = false;
    // CheckTokenMembership counts only enabled groups, and an administrator's filtered token
    // holds Administrators for deny only: the token's list of groups holds it either way.
    alignas(SID) std::byte administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) {
        return lastErrorFailure();
    }
    std::unique_ptr<std::byte[]> buffer;
    if (schedule::Outcome read = tokenInformation(token, TokenGroups, buffer); !read) return read;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.get());
    for (DWORD i = 0; i < groups->GroupCount && !administrator; ++i) {
        administrator = EqualSid(groups->Groups[i].Sid, administrators) != FALSE;
    }
    return schedule::Outcome::success();
}

schedule::Outcome currentUserIsAdministrator(bool& administrator) {
    administrator = false;
    UniqueHandle token;
    if (schedule::Outcome opened = processToken(token); !opened) return opened;
    return holdsAdministrators(token.get(), administrator);
}

}  // namespace win32
