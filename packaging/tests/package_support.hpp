// What the package tests share: the folders an installation uses, its entry in a list of apps,
// its logs and shortcuts, and paths compared as Windows compares them.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "driver.hpp"
#include "win32/owners.hpp"
#include "win32/shell.hpp"
#include "win32/text.hpp"

namespace package {

using driver::removeTree;

inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvell";

// A known folder; the tests cannot go on without one.
inline std::wstring folderOrFail(const KNOWNFOLDERID& id) {
    std::wstring folder;
    if (const schedule::Outcome found = win32::knownFolder(id, folder); !found) {
        throw std::runtime_error("a known folder is missing: " + found.error);
    }
    return folder;
}

// Where an installation puts its programs and its Start-menu entry, and where Deploy puts the
// launcher's shortcut: for the user who installs, or for all users, who also share a schedule.
struct Places {
    std::wstring programs;
    std::wstring startMenuEntry;
    std::wstring launcherShortcut;
    std::wstring sharedSchedule;  // for all users only
};
inline const Places& forTheUser() {
    static const Places places{folderOrFail(FOLDERID_LocalAppData) + L"\\Programs\\Norvell",
                               folderOrFail(FOLDERID_Programs) + L"\\Norvell.lnk",
                               folderOrFail(FOLDERID_Startup) + L"\\Brightwick.lnk", L""};
    return places;
}
inline const Places& forAllUsers() {
    static const Places places{folderOrFail(FOLDERID_ProgramFiles) + L"\\Norvell",
                               folderOrFail(FOLDERID_CommonPrograms) + L"\\Norvell.lnk",
                               folderOrFail(FOLDERID_CommonStartup) + L"\\Brightwick.lnk",
                               folderOrFail(FOLDERID_ProgramData) + L"\\Norvell"};
    return places;
}

inline bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Paths as Windows compares them: without regard to case.
inline bool samePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The installation's entry in the list of apps of the user (HKEY_CURRENT_USER) or of the
// computer (HKEY_LOCAL_MACHINE), and one of its values.
inline bool uninstallKeyExists(HKEY root) {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(root, kUninstallKey, 0, KEY_READ, &key);
    const win32::UniqueKey owned(opened == ERROR_SUCCESS ? key : nullptr);
    return opened == ERROR_SUCCESS;
}
inline std::optional<std::wstring> uninstallValue(HKEY root, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(root, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

// A log as the installer's steps write it (UTF-16 with its byte order mark) or msiexec's
// (either that or single bytes); empty when there is none.
inline std::wstring logText(const std::wstring& path) {
    const std::string bytes = driver::fileBytes(path).value_or("");
    if (!bytes.starts_with("\xFF\xFE")) return win32::widen(bytes);
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::copy_n(bytes.data() + 2, text.size() * 2, reinterpret_cast<char*>(text.data()));
    return text;
}

// Whether the shortcut at `path` starts `target` in `folder`; what it does instead.
inline testing::AssertionResult startsIn(const std::wstring& path, const std::wstring& target,
                                         const std::wstring& folder) {
    const std::optional<win32::Link> link = driver::loadLink(path);
    if (!link) return testing::AssertionFailure() << "no shortcut " << win32::narrow(path);
    if (samePath(link->target, target) && samePath(link->workingFolder, folder)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << win32::narrow(path) << " starts " << win32::narrow(link->target) << " in "
           << win32::narrow(link->workingFolder);
}

}  // namespace package
