// What ends the editor when an exception escapes everything: the process ends at once, as the
// runtime's own handler ends it after a message to the error output, which a windowed program
// does not have. The runtime's handler brings in a demangler for that message, a tenth of the
// editor's size; defined here, it is never taken from the library.
#include <cstdlib>

#if defined(__GLIBCXX__)
// The library's own name in its own namespace, which the checks of user code refuse.
// NOLINTBEGIN(clang-diagnostic-reserved-identifier,cert-dcl58-cpp,cert-dcl50-cpp)
namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
// NOLINTEND(clang-diagnostic-reserved-identifier,cert-dcl58-cpp,cert-dcl50-cpp)
#endif
