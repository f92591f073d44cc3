// The operations of System/File/OsPath/Internal.h over the platform's own path type (`PosixPath`,
// the same bytes): each forwards to its namesake with the path unchanged, so behaviour, error
// locations and call stacks are the same. No temporary files or finalizer building blocks here.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace System::File::PlatformPath::Internal {

using rts::Value;

Value openFile(Value path, Value mode);
Value openBinaryFile(Value path, Value mode);
Value openExistingFile(Value path, Value mode);
Value openFileWithCloseOnExec(Value path, Value mode);
Value openExistingFileWithCloseOnExec(Value path, Value mode);
Value withFile(Value path, Value mode, Value act);
Value withBinaryFile(Value path, Value mode, Value act);
Value withFile_prime(Value path, Value mode, Value act);
Value withBinaryFile_prime(Value path, Value mode, Value act);
Value readFile(Value path);
Value readFile_prime(Value path);
Value writeFile(Value path, Value lazyBytes);
Value writeFile_prime(Value path, Value bytes);
Value appendFile(Value path, Value lazyBytes);
Value appendFile_prime(Value path, Value bytes);
Value withOpenFile_prime(Value path, Value mode, bool binary, bool existing, bool cloexec, Value action,
                         bool closeFinally);
Value augmentError(Value location, Value path, Value action);
Value addFilePathToIOError(Value location, Value path, Value e);

}  // namespace System::File::PlatformPath::Internal
