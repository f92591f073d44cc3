// Raising the I/O error of a failed system call, and the retry loops around calls that report
// failure by -1 and errno. Every error that the unix, directory and byte-string stand-ins raise
// for a failed call goes through `throwErrnoPath`, so its form is decided here once.
#pragma once

#include <cerrno>
#include <string_view>

namespace System::Posix::Error {

// Raises the IOException for errno value `err` (its kind, the system's text as description, the
// number kept) with the operation as location and, when not empty, the path as file name: the
// path's bytes decoded with the file-system encoding, or one character per byte where that
// fails. Its text reads "path: location: kind (description)".
[[noreturn]] void throwErrnoPath(std::string_view location, std::string_view path, int err);
[[noreturn]] inline void throwErrno(std::string_view location, int err) { throwErrnoPath(location, {}, err); }

// Runs `call` until it returns something other than -1 or fails with something other than EINTR;
// a failure raises the I/O error for `location` and `path`.
template <class F>
auto throwErrnoPathIfMinus1Retry(std::string_view location, std::string_view path, F&& call) {
    for (;;) {
        auto r = call();
        if (r != -1) return r;
        if (errno != EINTR) throwErrnoPath(location, path, errno);
    }
}
template <class F>
auto throwErrnoIfMinus1Retry(std::string_view location, F&& call) {
    return throwErrnoPathIfMinus1Retry(location, {}, static_cast<F&&>(call));
}

}  // namespace System::Posix::Error
