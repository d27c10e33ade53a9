// How an operation that can fail for a reason the system gives says so: one result type for
// file operations, program starts, shortcuts and windows alike, so every caller reads a
// failure the same way.
#pragma once

#include <string>
#include <utility>

namespace schedule {

// Success, or a failure with the system's reason. An operation that also produces a value
// returns an Outcome and hands the value out through a parameter.
struct Outcome {
    std::string error;  // the system's reason, worded for the user; empty on success
    // The Windows error code (a Win32 error or an HRESULT) behind the failure, for callers
    // that act on one cause in particular; 0 when the failure came without one.
    unsigned long code = 0;
    bool busy = false;   // another process holds the file for a moment: worth trying again
    bool taken = false;  // a file or folder has the name asked for, and keeps it

    explicit operator bool() const { return error.empty(); }

    static Outcome success() { return {}; }
    // A failure known only by its wording: portable code and stand-ins in tests.
    static Outcome failure(std::string reason) { return {.error = std::move(reason)}; }
    // A failure the system reported with a code, and its wording of that code.
    static Outcome systemFailure(unsigned long code, std::string reason) {
        return {.error = std::move(reason), .code = code};
    }
};

}  // namespace schedule
