#include "win32/folder.hpp"

#include <windows.h>

#include <algorithm>

#include "win32/error.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace win32 {

using schedule::Outcome;

namespace {
// Whether a Win32 error means another process holds the file for a moment.
bool isPassingConflict(unsigned long error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

Outcome lastError() {
    Outcome failed = lastErrorFailure();
    failed.busy = isPassingConflict(failed.code);
    return failed;
}
}  // namespace

Outcome refusal(unsigned long error, unsigned long attributes) {
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        return Outcome::systemFailure(error, "the file is read-only");
    }
    Outcome failed = systemFailure(error);
    failed.busy = isPassingConflict(error);
    return failed;
}

std::wstring WorkingFolder::path(std::string_view name) const {
    return prefix_ + widen(name);
}

Outcome WorkingFolder::fileNames(std::vector<std::string>& names) {
    return entryNames(false, names);
}

Outcome WorkingFolder::folderNames(std::vector<std::string>& names) {
    return entryNames(true, names);
}

Outcome WorkingFolder::entryNames(bool folders, std::vector<std::string>& names) {
    WIN32_FIND_DATAW found;
    const std::wstring pattern = prefix_ + L"*";
    UniqueFindHandle find =
        ownFindHandle(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        // An empty folder has no entries at all only at a drive root; a subfolder not made
        // yet has none either.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return Outcome::success();
        }
        return lastError();
    }
    do {
        const std::wstring_view name = found.cFileName;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder == folders && name != L"." && name != L"..") names.push_back(narrow(name));
    } while (FindNextFileW(find.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) return lastError();
    return Outcome::success();
}

// Open to read while anyone else reads, writes or replaces the file.
UniqueHandle WorkingFolder::openToRead(std::string_view name, DWORD flags) const {
    return ownHandle(CreateFileW(path(name).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | flags, nullptr));
}

Outcome WorkingFolder::readFile(std::string_view name, std::string& bytes) {
    // The link itself is opened, never what it leads to, and judged on the handle that is
    // then read: nothing can be put in its place between the look and the reading.
    UniqueHandle file = openToRead(name, refuseLinks_ ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    if (!file) return lastError();
    if (refuseLinks_) {
        BY_HANDLE_FILE_INFORMATION information;
        if (!GetFileInformationByHandle(file.get(), &information)) return lastError();
        if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return Outcome::failure(
                "it is a symbolic link or another reparse point, which leads elsewhere");
        }
    }
    return readOpenFile(file.get(), bytes);
}

Outcome WorkingFolder::readFileInParts(std::string_view name,
                                       const std::function<void(std::string_view)>& take) {
    UniqueHandle file = openToRead(name, FILE_FLAG_SEQUENTIAL_SCAN);
    if (!file) return lastError();
    // One buffer for every part, and no more of it touched than the file fills: memory a
    // process touches for the first time costs a page fault per page, which for a day file
    // read whole came to more than the reading itself.
    constexpr std::size_t kPart = std::size_t{64} * 1024;
    const auto part = std::make_unique_for_overwrite<char[]>(kPart);
    return readOpenFileInParts(file.get(), std::span<char>(part.get(), kPart), take);
}

Outcome WorkingFolder::writeFile(std::string_view name, std::string_view bytes) {
    UniqueHandle file = ownHandle(CreateFileW(path(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lastError();
    if (Outcome written = writeOpenFile(file.get(), bytes); !written) return written;
    // A full disk may only show when the data is flushed; the rename must not happen then.
    if (!FlushFileBuffers(file.get())) return lastError();
    return Outcome::success();
}

Outcome WorkingFolder::replaceFile(std::string_view from, std::string_view to) {
    const std::wstring target = path(to);
    if (!MoveFileExW(path(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        return refusal(error, GetFileAttributesW(target.c_str()));
    }
    return Outcome::success();
}

Outcome WorkingFolder::renameIfFree(std::string_view from, std::string_view to) {
    const std::wstring target = path(to);
    // Without MOVEFILE_REPLACE_EXISTING the file system itself refuses a name that a file or
    // folder has, in the same step as the rename: no other process can take the name between.
    if (!MoveFileExW(path(from).c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            Outcome taken = systemFailure(error);
            taken.taken = true;
            return taken;
        }
        return refusal(error, GetFileAttributesW(target.c_str()));
    }
    return Outcome::success();
}

Outcome WorkingFolder::removeFile(std::string_view name) {
    const std::wstring file = path(name);
    if (!DeleteFileW(file.c_str())) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            return refusal(error, GetFileAttributesW(file.c_str()));
        }
    }
    return Outcome::success();
}

schedule::Folder& WorkingFolder::subfolder(std::string_view name) {
    auto found = subfolders_.find(name);
    if (found == subfolders_.end()) {
        found = subfolders_
                    .emplace(std::string(name), std::make_unique<WorkingFolder>(path(name) + L"\\"))
                    .first;
    }
    return *found->second;
}

Outcome WorkingFolder::createSubfolder(std::string_view name) {
    const std::wstring folder = path(name);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return Outcome::success();
    if (GetLastError() != ERROR_ALREADY_EXISTS) return lastError();
    // A file of that name is in the way: it says "already exists" too.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return systemFailure(ERROR_ALREADY_EXISTS);
    return Outcome::success();
}

Outcome WorkingFolder::removeSubfolder(std::string_view name) {
    if (!RemoveDirectoryW(path(name).c_str())) return lastError();
    return Outcome::success();
}

Outcome WorkingFolder::moveToSubfolder(std::string_view from, std::string_view folder,
                                       std::string_view to) {
    const std::wstring target = path(folder) + L"\\" + widen(to);
    if (!MoveFileExW(path(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        return refusal(error, GetFileAttributesW(target.c_str()));
    }
    return Outcome::success();
}

void WorkingFolder::pause(std::chrono::milliseconds duration) {
    Sleep(static_cast<DWORD>(duration.count()));
}

Outcome readOpenFile(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return lastError();
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        if (!ReadFile(file, bytes.data() + done, chunk, &read, nullptr)) return lastError();
        if (read == 0) break;  // the file shrank while it was read
        done += read;
    }
    bytes.resize(done);
    return Outcome::success();
}

Outcome readOpenFileInParts(HANDLE file, std::span<char> buffer,
                            const std::function<void(std::string_view)>& take) {
    const auto most = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1 << 30));
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), most, &read, nullptr)) return lastError();
        if (read == 0) return Outcome::success();
        take(std::string_view(buffer.data(), read));
    }
}

Outcome writeOpenFile(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return lastError();
        done += written;
    }
    return Outcome::success();
}

}  // namespace win32
