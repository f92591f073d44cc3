// The everyday input/output operations over handles: opening with bracketing, whole files,
// standard input and output. (Handles themselves: VUX/Internal/Handle.h.)
//
// Every function builds an IO action; nothing happens until it runs.
#pragma once

#include "VUX/Internal/Handle.h"
#include "rts/rts.h"

namespace System::IO {

using rts::Value;
using namespace VUX::Internal::HandleTypes;
using VUX::Internal::Handle::hClose;
using VUX::Internal::Handle::hFlush;
using VUX::Internal::Handle::hGetContents;
using VUX::Internal::Handle::hGetContents_prime;
using VUX::Internal::Handle::hGetLine;
using VUX::Internal::Handle::hIsEOF;
using VUX::Internal::Handle::hPutStr;
using VUX::Internal::Handle::hPutStrLn;
using VUX::Internal::Handle::hSetBinaryMode;
using VUX::Internal::Handle::hSetEncoding;
using VUX::Internal::Handle::openBinaryFile;
using VUX::Internal::Handle::openFile;

// `withFile path mode act`, `withBinaryFile path mode act`: opens with asynchronous exceptions
// masked, runs `act h` in the caller's masking state and closes the handle however act ends.
// The open's errors name the path; the action's errors pass unchanged.
Value withFile(Value path, Value mode, Value act);
Value withBinaryFile(Value path, Value mode, Value act);

// `readFile path`: the contents, read lazily (hGetContents); `readFile' path`: read at once and
// the file closed before the result is returned.
Value readFile(Value path);
Value readFile_prime(Value path);
// `writeFile path s` (creates or truncates), `appendFile path s` (creates or appends).
Value writeFile(Value path, Value str);
Value appendFile(Value path, Value str);

// Standard input and output.
Value putStr(Value str);
Value putStrLn(Value str);
// `print dShow x`: `show x` and a newline on standard output.
Value print(Value dShow, Value x);
Value getLine();
Value getContents();

}  // namespace System::IO
