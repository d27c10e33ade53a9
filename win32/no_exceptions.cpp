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
// NOLINTBEGIN(clang-diagnostic-reserved-identifier,cert-dcl58-cpp,cert-dcl50-cpp)
// Each ends the process where the library's own would throw.
#define NORVELL_ENDS_INSTEAD(name, ...)   \
    [[noreturn]] void name(__VA_ARGS__) { \
        abort();                          \
    }
namespace std {
// clang-format off
// Thrown without a message: allocation, casts, exception_ptr's empty exception.
NORVELL_ENDS_INSTEAD(__throw_bad_exception) NORVELL_ENDS_INSTEAD(__throw_bad_alloc)
NORVELL_ENDS_INSTEAD(__throw_bad_array_new_length) NORVELL_ENDS_INSTEAD(__throw_bad_cast)
NORVELL_ENDS_INSTEAD(__throw_bad_typeid)
// Calling an empty std::function; kept apart from the others in the library.
NORVELL_ENDS_INSTEAD(__throw_bad_function_call)
// Thrown with the library's message: logic and run-time errors.
NORVELL_ENDS_INSTEAD(__throw_logic_error, const char*)
NORVELL_ENDS_INSTEAD(__throw_domain_error, const char*)
NORVELL_ENDS_INSTEAD(__throw_invalid_argument, const char*)
NORVELL_ENDS_INSTEAD(__throw_length_error, const char*)
NORVELL_ENDS_INSTEAD(__throw_out_of_range, const char*)
NORVELL_ENDS_INSTEAD(__throw_out_of_range_fmt, const char*, ...)
NORVELL_ENDS_INSTEAD(__throw_runtime_error, const char*)
NORVELL_ENDS_INSTEAD(__throw_range_error, const char*)
NORVELL_ENDS_INSTEAD(__throw_overflow_error, const char*)
NORVELL_ENDS_INSTEAD(__throw_underflow_error, const char*)
// clang-format on
}  // namespace std
#undef NORVELL_ENDS_INSTEAD
// NOLINTEND(clang-diagnostic-reserved-identifier,cert-dcl58-cpp,cert-dcl50-cpp)
#endif
