// clrfle.com: moves the pick files of the working folder into a new folder of this clear in
// its Cleared folder, where the editor can restore them, and empties the seven day files.
// No window and no console; the exit status says how it went (schedule/helpers.hpp).
#include <windows.h>

#include "helpers/report.hpp"
#include "schedule/helpers.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return helpers::run([](schedule::Folder& folder) {
        SYSTEMTIME now;
        GetSystemTime(&now);
        return schedule::clearScheduleFiles(
            folder, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
    });
}
