#include "win32/listing.hpp"

#include <windows.h>

#include <algorithm>

#include "win32/owners.hpp"

namespace win32 {

std::vector<DriveInfo> drives() {
    std::vector<DriveInfo> found;
    const DWORD mask = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(mask & (1u << bit))) continue;
        DriveInfo drive{static_cast<wchar_t>(L'A' + bit), {}};
        const wchar_t root[] = {drive.letter, L':', L'\\', L'\0'};
        wchar_t label[MAX_PATH + 1] = {};
        // An empty removable drive must not ask the user to insert a disc.
        const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
        if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                                  0)) {
            drive.label = label;
        }
        SetErrorMode(previous);
        found.push_back(std::move(drive));
    }
    return found;
}

std::wstring driveCurrentFolder(wchar_t letter) {
    // "X:" alone names the drive's current folder; the system resolves it without touching
    // the disc, so a drive that is not ready still gets an answer here.
    const wchar_t relative[] = {letter, L':', L'\0'};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(relative, static_cast<DWORD>(path.size()), path.data(), nullptr);
        if (length == 0) return std::wstring{letter, L':', L'\\'};
        if (length < path.size()) {
            path.resize(length);
            // Some systems end the answer in a backslash; a folder path here never does,
            // except at the root.
            if (path.size() > 3 && path.back() == L'\\') path.pop_back();
            return path;
        }
        path.resize(length);
    }
}

bool lessIgnoringCase(std::wstring_view a, std::wstring_view b) {
    const int order = CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                           static_cast<int>(b.size()), TRUE);
    if (order != CSTR_EQUAL) return order == CSTR_LESS_THAN;
    return a < b;
}

FolderContents listFolder(std::wstring_view folder) {
    FolderContents contents;
    std::wstring pattern(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    UniqueFindHandle find =
        ownFindHandle(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    const DWORD firstError = find ? ERROR_SUCCESS : GetLastError();
    SetErrorMode(previous);
    if (!find) {
        // Only an empty drive root has no entries at all, not even "." and "..".
        if (firstError != ERROR_FILE_NOT_FOUND) contents.error = firstError;
        return contents;
    }
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        const std::wstring_view name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L"..") contents.folders.emplace_back(name);
        } else {
            contents.files.emplace_back(name);
        }
    } while (FindNextFileW(find.get(), &found));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        contents.error = error;
        contents.folders.clear();
        contents.files.clear();
        return contents;
    }
    const auto less = [](const std::wstring& a, const std::wstring& b) {
        return lessIgnoringCase(a, b);
    };
    std::sort(contents.folders.begin(), contents.folders.end(), less);
    std::sort(contents.files.begin(), contents.files.end(), less);
    return contents;
}

}  // namespace win32
