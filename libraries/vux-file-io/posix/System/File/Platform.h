// The platform layer of file opening (POSIX): a native path opened with an explicit flag record,
// the access mode and flags chosen from the caller's IOMode, and the descriptor turned into a
// handle; also the create loop and name generator of temporary files.
//
// Every handle made here is in binary mode (no encoding, no newline translation). Descriptors are
// opened non-blocking (O_NONBLOCK, O_NOCTTY from the base records). Errors are the unix layer's
// I/O errors; the public operations (System/File/OsPath/Internal.h) annotate them.
//
// Every function that returns a Value builds an IO action; nothing happens until it runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "rts/rts.h"

namespace System::File::Platform {

using rts::Value;

// The base flag records: `defaultFileFlags'` (noctty, nonBlock; creat Nothing; the rest False),
// `defaultExistingFileFlags` (the same values) and the close-on-exec record (the same with cloexec).
Value defaultFileFlags_prime();
Value defaultExistingFileFlags();
Value closeOnExecFileFlags();

// `openFile_ flags path mode`: opens the native path, creating a missing file (mode 0666 less the
// creation mask) in every mode but ReadMode; `openExistingFile_` never creates. WriteMode
// truncates, AppendMode appends. Interrupted opens are retried. A path holding a NUL byte is an
// invalid-argument error naming the path.
Value openFile_(Value flags, Value path, Value mode);
Value openExistingFile_(Value flags, Value path, Value mode);
// The flag record and open mode that `openFile_` (or, with `existing`, `openExistingFile_`) passes
// to openat for an IOMode: the pair (OpenMode, OpenFileFlags).
Value openFlagsFor(bool existing, const Value& flags, const Value& mode);

// `fdToHandle_ mode path fd`: a binary handle owning the descriptor (a boxed Fd), named by the
// path decoded with the file-system encoding (one character per byte where that fails). If making
// the handle fails for any reason the descriptor is closed and the failure raised again.
Value fdToHandle_(Value mode, Value path, Value fd);

// The four entry points: openFile_ / openExistingFile_ with the default or close-on-exec record.
Value openFile(Value path, Value mode);
Value openFileWithCloseOnExec(Value path, Value mode);
Value openExistingFile(Value path, Value mode);
Value openExistingFileWithCloseOnExec(Value path, Value mode);

// ---------------------------------------------------------------------------------------------
// Temporary files

// The process-wide counter of generated names: starts at 0, only grows, one step per name.
std::atomic<int64_t>& tempCounter();
// `rand_string`: the text "<pid>-<counter>-<cpu time / precision>" in lowercase hexadecimal, as a
// native string; the counter is advanced at once, the text formatted when demanded.
Value rand_string();
// `findTempName (namePart, extension) location dir mode`: creates dir/<namePart><rand><extension>
// exclusively (O_RDWR, O_CREAT, O_EXCL, O_NOCTTY, O_NONBLOCK, `mode` for the new file), drawing a
// new name while the name is taken; answers (path, handle in ReadWriteMode). Another failure is
// the I/O error of `location` naming the directory.
Value findTempName(Value nameAndExtension, Value location, Value dir, uint32_t mode);
// `lenientDecode os`: the bytes decoded as UTF-8, else as Latin-1; a string, built when demanded.
Value lenientDecode(Value os);

}  // namespace System::File::Platform
