// The C++ runtime's failure paths for the small programs built without exceptions (Brightwick,
// copyfle.com, clrfle.com): allocation and the standard library's throw helpers end the
// process, which is what an exception that nobody catches did in them before.
//
// Defined here, these keep the linker from taking the runtime's own versions, each of which
// throws and so brings in the unwinder, the exception classes, their strings, thread support
// for the exception globals and a demangler for the message of std::terminate: four fifths of
// such a program's size, and loaded and relocated at every logon.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    // malloc(0) may give null; new must give a distinct pointer even then.
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    std::abort();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

#if defined(__GLIBCXX__)
// libstdc++ reports a broken precondition (a length beyond max_size, an index out of range)
// and a failed allocation through these; the library's own versions throw. Every one of them
// is defined, so that the library's object that holds them is never needed for any. They are
// the library's own names in its own namespace, which the checks of user code refuse.
// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl58-cpp,cert-dcl50-cpp)
namespace std {
[[noreturn]] void __throw_bad_exception() {
    abort();
}
[[noreturn]] void __throw_bad_alloc() {
    abort();
}
[[noreturn]] void __throw_bad_array_new_length() {
    abort();
}
[[noreturn]] void __throw_bad_cast() {
    abort();
}
[[noreturn]] void __throw_bad_typeid() {
    abort();
}
[[noreturn]] void __throw_logic_error(const char*) {
    abort();
}
[[noreturn]] void __throw_domain_error(const char*) {
    abort();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    abort();
}
[[noreturn]] void __throw_length_error(const char*) {
    abort();
}
[[noreturn]] void __throw_out_of_range(const char*) {
    abort();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}
[[noreturn]] void __throw_runtime_error(const char*) {
    abort();
}
[[noreturn]] void __throw_range_error(const char*) {
    abort();
}
[[noreturn]] void __throw_overflow_error(const char*) {
    abort();
}
[[noreturn]] void __throw_underflow_error(const char*) {
    abort();
}
// Calling an empty std::function; kept apart from the others in the library.
[[noreturn]] void __throw_bad_function_call() {
    abort();
}
}  // namespace std
// NOLINTEND(bugprone-reserved-identifier,cert-dcl58-cpp,cert-dcl50-cpp)
#endif
