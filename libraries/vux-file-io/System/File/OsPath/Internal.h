// Opening files by native path (`OsPath`, bytes passed to the system unchanged) with explicit
// flags, bracketed use of the handles, whole files as byte strings, and temporary files.
//
// Every handle that the openers and brackets make is in binary mode and carries a finalizer that
// closes it should it become unreachable while open. Errors of the open (and of the final close
// of withFile and withBinaryFile) are annotated: their location becomes the operation's name and
// their file name the path ("dir/x: openFile: does not exist (No such file or directory)"). I/O
// errors of the caller's action pass unannotated.
//
//   operation                 creates  binary  close-on-exec  the handle is closed
//   openFile                  yes      no      no             never (returned open)
//   openBinaryFile            yes      yes     no             never
//   openExistingFile          no       no      no             never
//   openFileWithCloseOnExec   yes      no      yes            never
//   openExistingFileWith...   no       no      yes            never
//   withFile, withBinaryFile  yes      -/yes   no             always
//   withFile', withBinaryFile' yes     -/yes   no             unless the action raises an I/O error
// ("creates": a missing file is created in every mode but ReadMode.)
//
// The action of a bracket runs in the caller's masking state; everything else runs masked
// (interruptibly).
//
// Every function that returns a Value builds an IO action; nothing happens until it runs.
#pragma once

#include <cstdint>

#include "System/OsString.h"
#include "rts/rts.h"

namespace System::File::OsPath::Internal {

using rts::Value;

// Openers: `openFile path mode` and the others of the table, answering the handle.
Value openFile(Value path, Value mode);
Value openBinaryFile(Value path, Value mode);
Value openExistingFile(Value path, Value mode);
Value openFileWithCloseOnExec(Value path, Value mode);
Value openExistingFileWithCloseOnExec(Value path, Value mode);

// Brackets: `withFile path mode act` answers act's result. An I/O error of act reaches the caller
// as act raised it; the primed forms then leave the handle open.
Value withFile(Value path, Value mode, Value act);
Value withBinaryFile(Value path, Value mode, Value act);
Value withFile_prime(Value path, Value mode, Value act);
Value withBinaryFile_prime(Value path, Value mode, Value act);

// Whole files: `readFile` (lazy byte string, read as demanded, through withFile'), `readFile'`
// (strict), `writeFile`/`writeFile'` (create or truncate), `appendFile`/`appendFile'` (create or
// append); the primed forms take strict byte strings.
Value readFile(Value path);
Value readFile_prime(Value path);
Value writeFile(Value path, Value lazyBytes);
Value writeFile_prime(Value path, Value bytes);
Value appendFile(Value path, Value lazyBytes);
Value appendFile_prime(Value path, Value bytes);

// The core bracket: opens (only an existing file with `existing`, close-on-exec with `cloexec`),
// attaches the finalizer, switches to binary mode when asked, runs `action h` in the caller's
// masking state and closes the handle if anything of this raises; closes it after a normal return
// when `closeFinally`.
Value withOpenFile_prime(Value path, Value mode, bool binary, bool existing, bool cloexec, Value action,
                         bool closeFinally);
// `augmentError location path act`: act, its I/O errors raised again annotated.
Value augmentError(Value location, Value path, Value action);
// `addFilePathToIOError location path e`: e with that location and the decoded path as file name.
Value addFilePathToIOError(Value location, Value path, Value e);
// `addHandleFinalizer h finalizer`: runs `finalizer path cell` once h's (write) cell is unreachable.
Value addHandleFinalizer(Value h, Value finalizer);
// `handleFinalizer path cell`: closes the state in the cell (errors ignored).
Value handleFinalizer(Value path, Value cell);
// `any_ p os`: whether some byte satisfies p.
using System::OsString::any_;

// Temporary files: `openTempFile dir template` creates dir/<name><generated><ext> (template
// "name.ext") exclusively with mode 0600 (0666 for the WithDefaultPermissions forms) less the
// creation mask, and answers (path, handle open for reading and writing). A template holding '/'
// is a user error; a directory or template holding a NUL byte an invalid-argument error. Errors are
// not annotated and the handle gets no finalizer of this module.
Value openTempFile(Value dir, Value tmpl);
Value openBinaryTempFile(Value dir, Value tmpl);
Value openTempFileWithDefaultPermissions(Value dir, Value tmpl);
Value openBinaryTempFileWithDefaultPermissions(Value dir, Value tmpl);
// The common worker, with the location string of the errors and the creation mode.
Value openTempFile_prime(Value location, Value dir, Value tmpl, bool binary, uint32_t mode);

}  // namespace System::File::OsPath::Internal
