#include "win32/security.hpp"

#include <aclapi.h>
#include <sddl.h>

#include <cstddef>
#include <memory>

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
        security.entries.push_back(std::move(entry));
    }
    return schedule::Outcome::success();
}

schedule::Outcome currentUserSid(std::wstring& sid) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return lastErrorFailure();
    const UniqueHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return lastErrorFailure();
    // From new[], aligned for the structure and the SID it holds.
    const std::unique_ptr<std::byte[]> buffer(new std::byte[size]);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size)) {
        return lastErrorFailure();
    }
    sid = sidText(reinterpret_cast<const TOKEN_USER*>(buffer.get())->User.Sid);
    if (sid.empty()) return lastErrorFailure();
    return schedule::Outcome::success();
}

}  // namespace win32
