// The system's own libraries, loaded at run time by programs that must not load them at start
// because only a rare path needs them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <tuple>

#include "win32/owners.hpp"

namespace win32 {

// `name` from the system folder only, never from the program's or the working folder, which
// may hold files that users write.
inline UniqueModule loadSystemLibrary(const wchar_t* name) {
    return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

// A function of a loaded module as its own type; null when the module has none by that name.
template <class Function>
Function procedureOf(HMODULE module, const char* name) {
    // Through the generic function pointer type, the one cast that no compiler warns about.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A system library with the procedures a part of the program uses of it, each of its own
// type, held until the owner goes: kept in a function's static, it is loaded at the first
// call that needs it and stays for the process. Every procedure is null when the library is
// missing, and each one the library lacks.
template <class... Functions>
class SystemLibrary {
  public:
    template <class... Names>
    explicit SystemLibrary(const wchar_t* name, Names... procedures)
        : module_(loadSystemLibrary(name)) {
        static_assert(sizeof...(Names) == sizeof...(Functions), "one name a procedure");
        if (module_) procedures_ = {procedureOf<Functions>(module_.get(), procedures)...};
    }

    // The procedure in place `N` of the list, null when missing.
    template <std::size_t N>
    auto get() const {
        return std::get<N>(procedures_);
    }
    // Whether the library has every procedure.
    bool complete() const {
        return std::apply([](auto... procedure) { return (... && (procedure != nullptr)); },
                          procedures_);
    }

  private:
    UniqueModule module_;
    std::tuple<Functions...> procedures_{};
};

}  // namespace win32
