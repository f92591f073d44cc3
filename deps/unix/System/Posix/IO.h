// Opening and closing file descriptors.
//
//   data OpenMode = ReadOnly | WriteOnly | ReadWrite
//   data OpenFileFlags = OpenFileFlags { append, exclusive, noctty, nonBlock, trunc, nofollow :: Bool,
//                                        creat :: Maybe FileMode, cloexec, directory, sync :: Bool }
//   newtype Fd = Fd CInt
//
// `Fd` is a boxed signed 32-bit descriptor; `FileMode` a boxed unsigned 32-bit mode. Paths are
// native byte strings (`OsPath` / `PosixPath`, or strict byte strings), passed to the system as
// they are. Effects happen when these functions are called; the file layers wrap them in actions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VUX/Internal/Int.h"
#include "VUX/Internal/Word.h"
#include "rts/rts.h"

namespace System::Posix::IO {

using rts::Value;

// OpenMode
inline constexpr uint8_t ReadOnly_tag = 0;
inline constexpr uint8_t WriteOnly_tag = 1;
inline constexpr uint8_t ReadWrite_tag = 2;
extern rts::Object* const OpenMode_closure_tbl[3];
inline Value ReadOnly() { return Value::adopt(OpenMode_closure_tbl[ReadOnly_tag]); }
inline Value WriteOnly() { return Value::adopt(OpenMode_closure_tbl[WriteOnly_tag]); }
inline Value ReadWrite() { return Value::adopt(OpenMode_closure_tbl[ReadWrite_tag]); }

// Fd and FileMode boxes.
inline Value Fd(int32_t fd) { return VUX::Internal::Int::I32_hash(fd); }
inline int32_t fdOf(const Value& fd) { return static_cast<int32_t>(rts::int_word(rts::force(fd), 0)); }
inline Value FileMode(uint32_t mode) { return VUX::Internal::Word::W32_hash(mode); }
inline uint32_t fileModeOf(const Value& mode) {
    return static_cast<uint32_t>(rts::word(rts::force(mode), 0));
}

// OpenFileFlags: field indexes in declaration order, the constructor and the selectors (each
// evaluates the record and returns the field).
enum OpenFileFlagsField : size_t {
    append = 0,
    exclusive,
    noctty,
    nonBlock,
    trunc,
    nofollow,
    creat,
    cloexec,
    directory,
    sync
};
inline constexpr uint8_t OpenFileFlags_tag = 0;
Value OpenFileFlags(Value append, Value exclusive, Value noctty, Value nonBlock, Value trunc, Value nofollow,
                    Value creat, Value cloexec, Value directory, Value sync);
inline const Value& flagsField(const Value& flags, OpenFileFlagsField f) {
    return rts::field(rts::force(flags), f);
}
// A copy of `flags` with one field replaced.
Value withFlag(const Value& flags, OpenFileFlagsField f, Value v);
// `defaultFileFlags`: every flag False, creat Nothing.
extern const rts::StaticCon<10> defaultFileFlags_closure;
inline Value defaultFileFlags() { return defaultFileFlags_closure.value(); }

// The open(2) flag word of a mode and flag record, and the creation mode (0 without creat).
struct OpenBits {
    int flags;
    uint32_t mode;
};
OpenBits openBits(const Value& openMode, const Value& flags);

// `withFilePath path f`: f on the path's bytes with a NUL after them. A path holding a NUL byte
// would name a different file, so it is refused with an "invalid argument" error instead.
void checkPath(std::string_view location, std::string_view path);
template <class F>
auto withFilePath(std::string_view location, std::string_view path, F&& f) {
    checkPath(location, path);
    std::string copy(path);
    return f(copy.c_str());
}

// `openat_ dirFd path mode flags`: the raw call: the descriptor, or -1 with errno set. `dirFd` is
// `Maybe Fd`; Nothing resolves a relative path against the current directory.
int openat_(const Value& dirFd, const char* path, const Value& openMode, const Value& flags);
// `openat dirFd path mode flags`: the descriptor (a boxed Fd); retried on EINTR, other failures
// raise the I/O error naming "openAt" and the path. `path` is a native string (OsPath).
Value openat(const Value& dirFd, const Value& path, const Value& openMode, const Value& flags);
Value openFd(const Value& path, const Value& openMode, const Value& flags);  // openat Nothing
// The same over C++ bytes.
int32_t openatBytes(const Value& dirFd, std::string_view path, const Value& openMode, const Value& flags);
// `closeFd fd`: closes the descriptor; a failure raises the I/O error naming "closeFd". Not
// retried on EINTR: the descriptor is released by then.
void closeFd(const Value& fd);

}  // namespace System::Posix::IO
