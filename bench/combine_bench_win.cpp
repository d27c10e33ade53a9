// Combining 10,000 pick files under Windows (or Wine), against the input/output floor:
// reading the same files and writing their bytes once, with no parsing, sorting or renaming.
// Runs both alternately and prints the median times and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "pick_folder.hpp"
#include "schedule/helpers.hpp"
#include "win32/folder.hpp"
#include "win32/owners.hpp"

namespace {

double seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string readAll(const std::wstring& path) {
    win32::UniqueHandle file = win32::ownHandle(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    // One call for the whole file, the fewest a reader can make.
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return {};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

void writeAll(const std::wstring& path, const std::string& bytes) {
    win32::UniqueHandle file = win32::ownHandle(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void ioFloor(const std::wstring& folder) {
    std::string days[7];
    WIN32_FIND_DATAW found;
    win32::UniqueFindHandle find = win32::ownFindHandle(
        FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
    int index = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY || found.cFileName[0] == L'd')
            continue;
        days[index++ % 7] += readAll(folder + found.cFileName);
    } while (find && FindNextFileW(find.get(), &found));
    // Beside the pick folder, so the next round does not read them as input.
    const std::wstring out = folder.substr(0, folder.size() - 1) + L"-floor";
    for (int day = 0; day < 7; ++day) writeAll(out + std::to_wstring(day), days[day]);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"norvell-combine-bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const auto& [name, bytes] : bench::pickFiles()) {
        writeAll(folder + std::wstring(name.begin(), name.end()), bytes);
    }
    win32::WorkingFolder pickFolder(folder);
    std::vector<double> combine, floor;
    for (int round = 0; round < 7; ++round) {
        double start = seconds();
        if (schedule::combinePickFiles(pickFolder).status != schedule::kHelperDone) {
            std::puts("combining failed");
            return 1;
        }
        combine.push_back(seconds() - start);
        start = seconds();
        ioFloor(folder);
        floor.push_back(seconds() - start);
    }
    std::printf("combine %.1f ms, input/output floor %.1f ms (medians of 7)\n",
                median(combine) * 1e3, median(floor) * 1e3);
    std::printf("combine / input-output floor = %.2f (target: at most 1.1)\n",
                median(combine) / median(floor));
    std::printf(
        "@figure|Combining 10,000 pick files / input-output floor, Wine, median of 7|%.3f|"
        "1.10|%.1f / %.1f ms\n",
        median(combine) / median(floor), median(combine) * 1e3, median(floor) * 1e3);
    std::vector<std::string> names;
    pickFolder.fileNames(names);
    for (const std::string& name : names) pickFolder.removeFile(name);
    RemoveDirectoryW(folder.c_str());
    for (int day = 0; day < 7; ++day) {
        DeleteFileW(
            (folder.substr(0, folder.size() - 1) + L"-floor" + std::to_wstring(day)).c_str());
    }
    return 0;
}
