// copyfle.com: combines the pick files of the working folder into the seven day files.
// No window and no console; the exit status says how it went (schedule/helpers.hpp).
#include <windows.h>

#include "helpers/report.hpp"
#include "schedule/helpers.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return helpers::run(schedule::combinePickFiles);
}
