// A DLL that nothing asks for by right: planted in a working folder, it shows whether the
// search for DLLs still looks there.
#include <windows.h>

extern "C" __declspec(dllexport) int plantedMark() {
    return 4711;
}
