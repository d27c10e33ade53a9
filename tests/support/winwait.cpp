// winwait TITLE [SECONDS]: waits until a visible top-level window with this title exists,
// for the screenshot script. Exit status 0 when it came, 1 when the time ran out.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 20;
    for (int waited = 0; waited < seconds * 50; ++waited) {
        HWND window = FindWindowW(nullptr, argv[1]);
        if (window && IsWindowVisible(window)) return 0;
        Sleep(20);
    }
    return 1;
}
