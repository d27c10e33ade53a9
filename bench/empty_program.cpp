// The baseline of the launcher's benchmark: a Windows program that starts and ends at once,
// built as Brightwick is, so the two differ only in what they do.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
