// Handles: buffered input and output over file descriptors.
//
// A handle owns its descriptor. Its state (descriptor, mode, open / semi-closed / closed, text or
// binary, encoding, buffering, the read and write buffers) lives in a one-slot mailbox: every
// operation takes the state out, works on it and puts it back, so operations on one handle from
// several threads never interleave, and an exception (asynchronous ones included) always leaves
// the state in the mailbox. A handle that becomes unreachable while open is flushed and closed by
// a finalizer.
//
// Descriptors may be non-blocking: a read or write that would block waits (interruptibly) until
// the descriptor is ready and tries again, so pipes, FIFOs and terminals work through a handle.
//
// Text is read and written through the handle's encoding (VUX.Internal.Encoding); a handle in
// binary mode reads one character per byte and writes each character's low 8 bits. Reading
// decodes whole buffers at a time into list cells. No newline translation takes place.
//
// Errors are IOExceptions naming the operation, the handle and its file:
//   "notes.txt: hGetLine: end of file"
//   "notes.txt: hPutStr: illegal operation (handle is closed)"
//   "data.bin: hGetContents: invalid argument (cannot decode byte sequence starting from byte 0xff)"
//
// Every function below that returns a Value builds an IO action; nothing happens until it runs.
// The byte functions hGetBuf, hGetBufSome and hPutBuf act at once (call them from inside an
// action).
#pragma once

#include <cstddef>
#include <cstdint>

#include "VUX/Internal/HandleTypes.h"
#include "rts/rts.h"

namespace VUX::Internal::Handle {

using rts::Value;
using namespace VUX::Internal::HandleTypes;

// ---------------------------------------------------------------------------------------------
// Making handles

// `fdToHandle' fd deviceType nonBlocking name mode binary`: a handle owning the open descriptor
// `fd` (the device type is ignored: it is read from the descriptor), named `name` (a string shown
// in messages), in text mode with the locale's encoding unless `binary`. A descriptor that is a
// directory is refused (kind inappropriate type) and left open for the caller to close. The handle
// gets a finalizer. `nonBlocking` only says whether the caller set O_NONBLOCK; both kinds work.
Value fdToHandle_prime(int fd, Value deviceType, bool nonBlocking, Value name, Value mode, bool binary);
// The same, performed now.
Value mkHandleFromFd(int fd, Value name, uint8_t mode, bool binary);

// `openFile path mode`, `openBinaryFile path mode`: opens the path (encoded with the file-system
// encoding) non-blocking: ReadMode never creates, WriteMode creates or truncates, AppendMode
// creates and appends, ReadWriteMode creates. New files get mode 0666 less the umask. A failure
// is an IOException with location "openFile" ("openBinaryFile") and the path as file name.
Value openFile(Value path, Value mode);
Value openBinaryFile(Value path, Value mode);

// The standard handles "<stdin>", "<stdout>", "<stderr>" on descriptors 0, 1, 2, in text mode
// with the locale's encoding; stdin and stdout are line-buffered on a terminal and block-buffered
// otherwise, stderr is unbuffered. Standard output and error are flushed when the program exits.
Value stdin_();
Value stdout_();
Value stderr_();

// ---------------------------------------------------------------------------------------------
// Closing, flushing, state

// `hClose h`: flushes, closes the descriptor and marks the handle closed; closing a closed
// handle does nothing. The descriptor is closed even when the flush fails; the flush's error is
// raised afterwards.
Value hClose(Value h);
// `hFlush h`: writes out the write buffer.
Value hFlush(Value h);
// `hIsEOF h`: True when no more input can be read (waits for input on a pipe or terminal).
Value hIsEOF(Value h);
// `hIsOpen`, `hIsClosed`, `hIsReadable`, `hIsWritable`: Bools.
Value hIsOpen(Value h);
Value hIsClosed(Value h);
Value hIsReadable(Value h);
Value hIsWritable(Value h);
// `hSetBinaryMode h b`: binary (char8, no encoding) or text with the locale's encoding.
Value hSetBinaryMode(Value h, Value b);
// `hSetEncoding h enc`, `hGetEncoding h` (Nothing for a binary handle).
Value hSetEncoding(Value h, Value encoding);
Value hGetEncoding(Value h);
// `hSetBuffering h mode`, `hGetBuffering h`. Changing it flushes the write buffer.
Value hSetBuffering(Value h, Value mode);
Value hGetBuffering(Value h);

// The finalizer of a handle's cell: takes the state, flushes and closes it (errors ignored), puts
// it back. `handleFinalizer path cell` as an action.
Value handleFinalizer(Value path, Value cell);
// `hClose_help state`: closes a state taken out of its cell; answers the pair (state, Maybe
// SomeException of the flush or close failure).
Value hClose_help(Value state);
// Attaches `finalizer path cell` (an action) to the handle's write cell: it runs once the cell is
// unreachable.
void addHandleFinalizer(const Value& h, const Value& finalizer);

// ---------------------------------------------------------------------------------------------
// Characters

// `hGetLine h`: the next line without its '\n'; the last line of a file may lack one. At end of
// input: the end-of-file error.
Value hGetLine(Value h);
// `hGetContents h`: the rest of the input as a lazy list, read and decoded a buffer at a time as
// the list is demanded. The handle is semi-closed at once (other operations fail, hClose works)
// and closed when the list reaches the end of input or a read fails. Demanding the list after an
// hClose raises "delayed read on closed handle".
Value hGetContents(Value h);
// `hGetContents' h`: the whole rest at once; the handle is closed afterwards.
Value hGetContents_prime(Value h);
// `hPutStr h s`, `hPutStrLn h s`: the characters are evaluated and encoded
// without holding the handle, then committed to it a buffer at a time (at each '\n' on a
// line-buffered handle, at the end on an unbuffered one). If evaluating the string fails, what was
// encoded before is still written; a character the encoding cannot represent is an error.
Value hPutStr(Value h, Value str);
Value hPutStrLn(Value h, Value str);
// hPutStr performed at once, consuming `str`: when the caller holds no other reference, the cells
// already written are freed as the walk goes, so a long lazy string is written in flat memory (an
// action holds its string for as long as the action lives).
void hPutChars(const Value& h, Value str);

// ---------------------------------------------------------------------------------------------
// Bytes (performed at once)

// `hGetBuf h p n`: reads up to n bytes, fewer only at end of input; answers the count.
size_t hGetBuf(const Value& h, void* p, size_t n);
// `hGetBufSome h p n`: reads what is buffered or, when nothing is, waits for some input; 0 only at
// end of input.
size_t hGetBufSome(const Value& h, void* p, size_t n);
// `hPutBuf h p n`: writes n bytes (buffered as the handle's buffering says).
void hPutBuf(const Value& h, const void* p, size_t n);

// The handle's descriptor, or -1 once closed (tests and diagnostics).
int handleFd(const Value& h);

}  // namespace VUX::Internal::Handle
