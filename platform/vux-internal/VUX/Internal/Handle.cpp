#include "VUX/Internal/Handle.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "rts/MVar.h"
#include "rts/Weak.h"

namespace VUX::Internal::Handle {

using namespace VUX::Types;
using Encoding::Codec;
using rts::force;

namespace {

// ---------------------------------------------------------------------------------------------
// The state in a handle's cell

enum class Status : uint8_t { Open, SemiClosed, Closed };
enum class Buffering : uint8_t { None, Line, Block };
constexpr size_t kBufferSize = 32 * 1024;

struct State {
    rts::OpaqueObject head;
    int fd;
    uint8_t mode;  // IOMode tag
    Status status = Status::Open;
    Buffering buffering;
    bool regular;  // a regular file: reads and writes never wait, and it can seek
    Codec codec;
    size_t blockSize = kBufferSize;
    Value encoding;             // the TextEncoding, or null in binary mode
    Value name;                 // the path shown in messages
    std::vector<uint8_t> rbuf;  // bytes read and not yet decoded: [rpos, rend)
    size_t rpos = 0, rend = 0;
    std::vector<uint8_t> wbuf;  // bytes written and not yet sent to the descriptor

    State(const rts::OpaqueInfo* info, int d, uint8_t m, bool reg, Buffering b, Value path)
        : head{rts::Object(1, rts::Kind::Opaque, 0, 0, 0), info},
          fd(d),
          mode(m),
          buffering(b),
          regular(reg),
          codec(Codec::Char8),
          name(std::move(path)) {}
};

void flushBestEffort(State& s);

// Freed without having been closed (a handle made without a finalizer and dropped): whatever can
// be written without waiting is written, and the descriptor is closed.
void destroyState(rts::Object* o) {
    auto* s = reinterpret_cast<State*>(o);
    if (s->status != Status::Closed && s->fd >= 0) {
        flushBestEffort(*s);
        ::close(s->fd);
    }
    s->~State();
}
constexpr rts::OpaqueInfo state_info{&destroyState, sizeof(State), "Handle__"};

State& stateOf(const Value& v) { return *reinterpret_cast<State*>(v.get()); }

Value newState(int fd, uint8_t mode, bool regular, Buffering buffering, bool binary, Value name) {
    void* mem = rts::allocate_bytes(sizeof(State));
    auto* s = new (mem) State(&state_info, fd, mode, regular, buffering, std::move(name));
    if (!binary) {
        s->encoding = Encoding::localeEncoding();
        s->codec = Encoding::codecOf(s->encoding);
    }
    return Value::adopt(&s->head.header);
}

bool readable(const State& s) { return s.mode == ReadMode_tag || s.mode == ReadWriteMode_tag; }
bool writable(const State& s) { return s.mode != ReadMode_tag; }

// ---------------------------------------------------------------------------------------------
// Errors: each names the operation, the handle and its file

[[noreturn]] void handleError(const Value& h, const State& s, const char* loc, uint8_t kind,
                              std::string_view description) {
    IOError::throwIOError(IOError::IOError(Maybe::Just(h), IOError::IOErrorType(kind), List::fromBytes(loc),
                                           List::fromUtf8(description), Maybe::Nothing(),
                                           Maybe::Just(s.name)));
}
[[noreturn]] void errnoError(const Value& h, const State& s, const char* loc, int errnum) {
    IOError::throwIOError(
        IOError::errnoToIOError(List::fromBytes(loc), errnum, Maybe::Just(h), Maybe::Just(s.name)));
}
[[noreturn]] void decodeError(const Value& h, const State& s, const char* loc) {
    char text[64];
    std::snprintf(text, sizeof text, "cannot decode byte sequence starting from byte 0x%02x", s.rbuf[s.rpos]);
    handleError(h, s, loc, IOError::InvalidArgument_tag, text);
}

void checkOpen(const Value& h, const State& s, const char* loc) {
    if (s.status == Status::Closed) handleError(h, s, loc, IOError::IllegalOperation_tag, "handle is closed");
    if (s.status == Status::SemiClosed)
        handleError(h, s, loc, IOError::IllegalOperation_tag, "handle is semi-closed");
}
void checkReadable(const Value& h, const State& s, const char* loc) {
    checkOpen(h, s, loc);
    if (!readable(s)) handleError(h, s, loc, IOError::IllegalOperation_tag, "handle is not open for reading");
}
void checkWritable(const Value& h, const State& s, const char* loc) {
    checkOpen(h, s, loc);
    if (!writable(s)) handleError(h, s, loc, IOError::IllegalOperation_tag, "handle is not open for writing");
}

// ---------------------------------------------------------------------------------------------
// Taking the state out of its cell

// Runs f on the state of the handle's read or write cell, with asynchronous exceptions masked
// (interruptibly: a wait for the cell or for the descriptor can still be interrupted). The state
// goes back into the cell however f ends.
template <class F>
auto withState(const Value& handle, bool writeSide, F&& f)
    -> decltype(f(std::declval<const Value&>(), std::declval<State&>())) {
    const Value& h = force(handle);
    const Value& cell = writeSide ? handleWriteCell(h) : handleReadCell(h);
    return Exception::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState) {
        Value st = rts::takeMVar_hash(cell);
        try {
            auto r = f(h, stateOf(st));
            rts::putMVar_hash(cell, std::move(st));
            return r;
        } catch (...) {
            rts::putMVar_hash(cell, std::move(st));
            throw;
        }
    });
}

// ---------------------------------------------------------------------------------------------
// The descriptor

struct SysResult {
    ssize_t value;
    int error;
};

// One system call. On anything but a regular file it runs as an interruptible foreign call, so a
// read that blocks (a terminal, a pipe left blocking) can be interrupted by an asynchronous
// exception: the call then fails with EINTR and the exception is raised on the way out.
template <class F>
SysResult sysCall(const State& s, F&& call) {
    auto run = [&] {
        ssize_t r = call();
        return SysResult{r, r < 0 ? errno : 0};
    };
    if (s.regular) return run();
    return rts::interruptible_call(run);
}

// Waits until the descriptor is ready (interruptibly).
void waitReady(int fd, short events) {
    rts::interruptible_call([&] {
        pollfd p{fd, events, 0};
        ::poll(&p, 1, -1);
    });
}

// One transfer (a read or a write), retried after a signal and, when the descriptor is not ready,
// after waiting for `events`. Answers the count.
template <class Call>
size_t transfer(const Value& h, const State& s, const char* loc, short events, Call call) {
    for (;;) {
        SysResult r = sysCall(s, call);
        if (r.value >= 0) return static_cast<size_t>(r.value);
        if (r.error == EINTR) continue;
        if (r.error == EAGAIN || r.error == EWOULDBLOCK) {
            waitReady(s.fd, events);
            continue;
        }
        errnoError(h, s, loc, r.error);
    }
}

// One read of at most n bytes; waits while there is nothing yet. 0 at end of input.
size_t readSome(const Value& h, const State& s, const char* loc, uint8_t* p, size_t n) {
    return transfer(h, s, loc, POLLIN, [&] { return ::read(s.fd, p, n); });
}

// One write of at most n bytes; waits while the descriptor takes nothing.
size_t writeSome(const Value& h, const State& s, const char* loc, const uint8_t* p, size_t n) {
    return transfer(h, s, loc, POLLOUT, [&] { return ::write(s.fd, p, n); });
}

void writeAll(const Value& h, const State& s, const char* loc, const uint8_t* p, size_t n) {
    while (n > 0) {
        size_t k = writeSome(h, s, loc, p, n);
        p += k;
        n -= k;
    }
}

// Sends the write buffer to the descriptor. What was written leaves the buffer even when a later
// write fails, so nothing is sent twice.
void flushWrite(const Value& h, State& s, const char* loc) {
    size_t done = 0;
    try {
        while (done < s.wbuf.size()) done += writeSome(h, s, loc, s.wbuf.data() + done, s.wbuf.size() - done);
    } catch (...) {
        s.wbuf.erase(s.wbuf.begin(), s.wbuf.begin() + static_cast<ptrdiff_t>(done));
        throw;
    }
    s.wbuf.clear();
}

void flushBestEffort(State& s) {
    size_t done = 0;
    while (done < s.wbuf.size()) {
        ssize_t r = ::write(s.fd, s.wbuf.data() + done, s.wbuf.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    s.wbuf.clear();
}

// Before writing: input read ahead from a read-write file is given back (the file position moves
// back to the first unread byte), so the write lands where the reader stopped. Input read ahead
// from a stream (a FIFO, a terminal) stays buffered for the next read.
void prepareWrite(State& s) {
    if (s.rpos == s.rend || !s.regular) return;
    ::lseek(s.fd, -static_cast<off_t>(s.rend - s.rpos), SEEK_CUR);
    s.rpos = s.rend = 0;
}
// Before reading: pending output is written first.
void prepareRead(const Value& h, State& s, const char* loc) {
    if (!s.wbuf.empty()) flushWrite(h, s, loc);
}

// Reads more input after the unread bytes; answers the count, 0 at end of input.
size_t fillBuffer(const Value& h, State& s, const char* loc) {
    if (s.rbuf.size() < kBufferSize) s.rbuf.resize(kBufferSize);
    if (s.rpos > 0) {
        std::memmove(s.rbuf.data(), s.rbuf.data() + s.rpos, s.rend - s.rpos);
        s.rend -= s.rpos;
        s.rpos = 0;
    }
    size_t got = readSome(h, s, loc, s.rbuf.data() + s.rend, s.rbuf.size() - s.rend);
    s.rend += got;
    return got;
}

// Appends bytes to the write buffer and sends what the buffering asks for.
void commitBytes(const Value& h, State& s, const char* loc, const uint8_t* p, size_t n) {
    prepareWrite(s);
    if (s.buffering == Buffering::Block && s.wbuf.empty() && n >= s.blockSize) {
        writeAll(h, s, loc, p, n);
        return;
    }
    s.wbuf.insert(s.wbuf.end(), p, p + n);
    bool send = s.buffering == Buffering::None || s.wbuf.size() >= s.blockSize ||
                (s.buffering == Buffering::Line && std::memchr(p, '\n', n) != nullptr);
    if (send) flushWrite(h, s, loc);
}

// Flushes and closes the state; the state is closed afterwards whatever failed. Answers the
// failure of the flush or of the close, if any.
std::exception_ptr closeState(const Value& h, State& s, const char* loc) {
    if (s.status == Status::Closed) return nullptr;
    std::exception_ptr failure;
    if (!s.wbuf.empty()) {
        try {
            flushWrite(h, s, loc);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (::close(s.fd) != 0 && errno != EINTR && !failure) {
        int e = errno;
        try {
            errnoError(h, s, loc, e);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    s.fd = -1;
    s.status = Status::Closed;
    std::vector<uint8_t>().swap(s.rbuf);
    std::vector<uint8_t>().swap(s.wbuf);
    s.rpos = s.rend = 0;
    return failure;
}

// The same, raising the failure.
void closeOrRaise(const Value& h, State& s, const char* loc) {
    if (std::exception_ptr failure = closeState(h, s, loc)) std::rethrow_exception(failure);
}

Value unit() { return Tuple::Unit(); }

// ---------------------------------------------------------------------------------------------
// Finalizers

Value finalizeCell(const Value& path, const Value& cell, const Value&) {
    Exception::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState) {
        Value st = rts::takeMVar_hash(cell);
        Value h = FileHandle(path, cell);
        (void)closeState(h, stateOf(st), "hClose");
        rts::putMVar_hash(cell, std::move(st));
        return 0;
    });
    return unit();
}
constinit const rts::StaticFun handleFinalizer_closure{rts::static_fun_info<&finalizeCell>};

// ---------------------------------------------------------------------------------------------
// Making handles

Buffering defaultBuffering(int fd, bool regular) {
    if (!regular && ::isatty(fd) == 1) return Buffering::Line;
    return Buffering::Block;
}

Value makeHandle(int fd, Value name, uint8_t mode, bool binary, const char* loc, bool finalize) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        IOError::throwIOError(
            IOError::errnoToIOError(List::fromBytes(loc), e, Maybe::Nothing(), Maybe::Just(name)));
    }
    if (S_ISDIR(st.st_mode))
        IOError::throwIOError(IOError::IOError(
            Maybe::Nothing(), IOError::IOErrorType(IOError::InappropriateType_tag), List::fromBytes(loc),
            List::fromBytes("is a directory"), Maybe::Nothing(), Maybe::Just(name)));
    bool regular = S_ISREG(st.st_mode);
    Value state = newState(fd, mode, regular, defaultBuffering(fd, regular), binary, name);
    Value cell = rts::newMVar_hash();
    rts::putMVar_hash(cell, std::move(state));
    Value h = FileHandle(std::move(name), cell);
    if (finalize) addHandleFinalizer(h, handleFinalizer_closure.value());
    return h;
}

// Flags of an IOMode for open(2).
int openFlags(uint8_t mode) {
    int common = O_NONBLOCK | O_NOCTTY;
    switch (mode) {
        case ReadMode_tag: return common | O_RDONLY;
        case WriteMode_tag: return common | O_WRONLY | O_CREAT | O_TRUNC;
        case AppendMode_tag: return common | O_WRONLY | O_CREAT | O_APPEND;
        default: return common | O_RDWR | O_CREAT;
    }
}

Value openWith(const Value& path, const Value& modeValue, bool binary, const char* loc) {
    uint8_t mode = force(modeValue)->tag;
    std::string bytes;
    if (!Encoding::encodeString(Encoding::codecOf(Encoding::fileSystemEncoding()), path, bytes) ||
        bytes.find('\0') != std::string::npos)
        IOError::throwIOError(IOError::IOError(
            Maybe::Nothing(), IOError::IOErrorType(IOError::InvalidArgument_tag), List::fromBytes(loc),
            List::fromBytes("invalid file name"), Maybe::Nothing(), Maybe::Just(path)));
    return Exception::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState) {
        int fd;
        do {
            fd = ::open(bytes.c_str(), openFlags(mode), 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) IOError::throwErrnoPath(loc, path);
        try {
            return makeHandle(fd, path, mode, binary, loc, true);
        } catch (...) {
            ::close(fd);
            throw;
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Standard handles

Value makeStdHandle(int fd, const char* name, uint8_t mode, bool unbuffered) {
    struct stat st;
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    Buffering b = unbuffered ? Buffering::None : defaultBuffering(fd, regular);
    Value cell = rts::newMVar_hash();
    rts::putMVar_hash(cell, newState(fd, mode, regular, b, false, List::fromBytes(name)));
    return FileHandle(List::fromBytes(name), std::move(cell));
}

// At exit, what the standard output handles hold is written out (without waiting on a full
// pipe); a handle in use by another thread at that moment is left alone. Only the mailbox
// operations that never block are used: the exiting thread's runtime state is already gone.
std::atomic<rts::Object*> exitFlushCells[2] = {nullptr, nullptr};
void flushStdHandlesAtExit() {
    for (auto& slot : exitFlushCells) {
        rts::Object* cellObject = slot.load(std::memory_order_acquire);
        if (cellObject == nullptr) continue;
        rts::Object* const held = cellObject;  // the constant holds it for the whole run
        const Value& cell = rts::as_value(held);
        Value st = rts::tryTakeMVar_hash(cell);
        if (!st) continue;
        State& s = stateOf(st);
        if (s.status != Status::Closed) flushBestEffort(s);
        (void)rts::tryPutMVar_hash(cell, std::move(st));
    }
}
Value registerExitFlush(Value h, int slot) {
    exitFlushCells[slot].store(handleWriteCell(h).get(), std::memory_order_release);
    static const bool registered = std::atexit(&flushStdHandlesAtExit) == 0;
    (void)registered;
    return h;
}

RTS_CONSTANT(stdinHandle) { return makeStdHandle(0, "<stdin>", ReadMode_tag, false); }
RTS_CONSTANT(stdoutHandle) {
    return registerExitFlush(makeStdHandle(1, "<stdout>", WriteMode_tag, false), 0);
}
RTS_CONSTANT(stderrHandle) { return registerExitFlush(makeStdHandle(2, "<stderr>", WriteMode_tag, true), 1); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public: making handles

Value mkHandleFromFd(int fd, Value name, uint8_t mode, bool binary) {
    return makeHandle(fd, std::move(name), mode, binary, "fdToHandle'", true);
}

Value fdToHandle_prime(int fd, Value, bool, Value name, Value mode, bool binary) {
    return IO::io([fd, name, mode, binary] { return mkHandleFromFd(fd, name, force(mode)->tag, binary); });
}

Value openFile(Value path, Value mode) {
    return IO::io([path, mode] { return openWith(path, mode, false, "openFile"); });
}
Value openBinaryFile(Value path, Value mode) {
    return IO::io([path, mode] { return openWith(path, mode, true, "openBinaryFile"); });
}

Value stdin_() { return stdinHandle.get(); }
Value stdout_() { return stdoutHandle.get(); }
Value stderr_() { return stderrHandle.get(); }

void addHandleFinalizer(const Value& h, const Value& finalizer) {
    const Value& hv = force(h);
    Value path = handlePath(hv);
    Value run = rts::fun<2>([path, finalizer](const Value& cell, const Value& token) {
        return rts::apply(finalizer, path, cell, token);
    });
    (void)rts::mk_weak_finalizing_value(handleWriteCell(hv), handleWriteCell(hv), std::move(run));
}

Value handleFinalizer(Value path, Value cell) {
    return rts::fun<1>([path, cell](const Value& token) { return finalizeCell(path, cell, token); });
}

Value hClose_help(Value state) {
    return IO::io([state] {
        State& s = stateOf(state);
        Value h = FileHandle(s.name, rts::newMVar_hash());
        std::exception_ptr failure = closeState(h, s, "hClose");
        Value report = Maybe::Nothing();
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const rts::Exception& e) {
                report = Maybe::Just(Exception::exceptionValue(e));
            }
        }
        return Tuple::Tuple2(state, std::move(report));
    });
}

// ---------------------------------------------------------------------------------------------
// Public: closing, flushing, state

Value hClose(Value handle) {
    return IO::io([handle] {
        const Value& h = force(handle);
        withState(h, true, [](const Value& hv, State& s) {
            closeOrRaise(hv, s, "hClose");
            return 0;
        });
        if (h->tag == DuplexHandle_tag)
            withState(h, false, [](const Value& hv, State& s) {
                closeOrRaise(hv, s, "hClose");
                return 0;
            });
        return unit();
    });
}

Value hFlush(Value handle) {
    return IO::io([handle] {
        withState(handle, true, [](const Value& h, State& s) {
            checkWritable(h, s, "hFlush");
            flushWrite(h, s, "hFlush");
            return 0;
        });
        return unit();
    });
}

Value hIsEOF(Value handle) {
    return IO::io([handle] {
        return withState(handle, false, [](const Value& h, State& s) {
            checkReadable(h, s, "hIsEOF");
            prepareRead(h, s, "hIsEOF");
            if (s.rpos < s.rend) return False();
            return fromBool(fillBuffer(h, s, "hIsEOF") == 0);
        });
    });
}

namespace {
template <class Test>
Value queryState(Value handle, bool writeSide, Test test) {
    return IO::io([handle, writeSide, test] {
        return withState(handle, writeSide, [&](const Value&, State& s) { return fromBool(test(s)); });
    });
}
template <class Test>
Value checkedQuery(Value handle, const char* loc, Test test) {
    return IO::io([handle, loc, test] {
        return withState(handle, false, [&](const Value& h, State& s) {
            if (s.status == Status::Closed) checkOpen(h, s, loc);
            return fromBool(test(s));
        });
    });
}
}  // namespace

Value hIsOpen(Value h) {
    return queryState(std::move(h), false, [](const State& s) { return s.status == Status::Open; });
}
Value hIsClosed(Value h) {
    return queryState(std::move(h), false, [](const State& s) { return s.status == Status::Closed; });
}
Value hIsReadable(Value h) {
    return checkedQuery(std::move(h), "hIsReadable", [](const State& s) { return readable(s); });
}
Value hIsWritable(Value h) {
    return checkedQuery(std::move(h), "hIsWritable", [](const State& s) { return writable(s); });
}

namespace {
// Changes a setting of every cell of an open handle.
template <class Change>
Value changeState(Value handle, const char* loc, Change change) {
    return IO::io([handle, loc, change] {
        auto apply = [&](const Value& h, State& s) {
            checkOpen(h, s, loc);
            change(h, s);
            return 0;
        };
        const Value& h = force(handle);
        withState(h, true, apply);
        if (h->tag == DuplexHandle_tag) withState(h, false, apply);
        return unit();
    });
}
void setEncodingOf(State& s, const Value& encoding) {
    s.encoding = encoding;
    s.codec = encoding ? Encoding::codecOf(encoding) : Codec::Char8;
}
}  // namespace

Value hSetBinaryMode(Value h, Value b) {
    return changeState(std::move(h), "hSetBinaryMode", [b](const Value&, State& s) {
        setEncodingOf(s, isTrue(force(b)) ? Value() : Encoding::localeEncoding());
    });
}

Value hSetEncoding(Value h, Value encoding) {
    return changeState(std::move(h), "hSetEncoding",
                       [encoding](const Value&, State& s) { setEncodingOf(s, Value(force(encoding))); });
}

Value hGetEncoding(Value handle) {
    return IO::io([handle] {
        return withState(handle, false, [](const Value& h, State& s) {
            if (s.status == Status::Closed) checkOpen(h, s, "hGetEncoding");
            return s.encoding ? Maybe::Just(s.encoding) : Maybe::Nothing();
        });
    });
}

Value hSetBuffering(Value h, Value mode) {
    return changeState(std::move(h), "hSetBuffering", [mode](const Value& hv, State& s) {
        const Value& m = force(mode);
        if (!s.wbuf.empty()) flushWrite(hv, s, "hSetBuffering");
        s.blockSize = kBufferSize;
        if (m->tag == NoBuffering_tag) {
            s.buffering = Buffering::None;
        } else if (m->tag == LineBuffering_tag) {
            s.buffering = Buffering::Line;
        } else {
            s.buffering = Buffering::Block;
            const Value& size = force(rts::field(m, 0));
            if (Maybe::isJust(size)) {
                int64_t n = intOf(force(rts::field(size, 0)));
                if (n <= 0)
                    handleError(hv, s, "hSetBuffering", IOError::InvalidArgument_tag, "illegal buffer size");
                s.blockSize = static_cast<size_t>(n);
            }
        }
    });
}

Value hGetBuffering(Value handle) {
    return IO::io([handle] {
        return withState(handle, true, [](const Value& h, State& s) -> Value {
            if (s.status == Status::Closed) checkOpen(h, s, "hGetBuffering");
            switch (s.buffering) {
                case Buffering::None: return NoBuffering();
                case Buffering::Line: return LineBuffering();
                case Buffering::Block: break;
            }
            return BlockBuffering(s.blockSize == kBufferSize
                                      ? Maybe::Nothing()
                                      : Maybe::Just(I_hash(static_cast<int64_t>(s.blockSize))));
        });
    });
}

int handleFd(const Value& handle) {
    return withState(handle, false, [](const Value&, State& s) { return s.fd; });
}

// ---------------------------------------------------------------------------------------------
// Public: characters

namespace {
// Decodes the buffered input onto `out`, reading more as needed, until a '\n' (with
// `stopAtNewline`), until some characters are produced (with `someOnly`) or to the end of input.
// Answers whether the end of input was reached.
struct ReadText {
    bool stopAtNewline;
    bool someOnly;
};
bool decodeInput(const Value& h, State& s, const char* loc, List::ListBuilder& out, ReadText how) {
    for (;;) {
        if (s.rpos < s.rend) {
            Encoding::Decoded d = Encoding::decode(s.codec, s.rbuf.data() + s.rpos, s.rend - s.rpos, false,
                                                   out, how.stopAtNewline);
            s.rpos += d.consumed;
            if (d.newline) return false;
            if (how.someOnly && !out.empty()) return false;
            if (d.failed) decodeError(h, s, loc);
        }
        if (fillBuffer(h, s, loc) > 0) continue;
        if (s.rpos < s.rend) {  // a sequence cut off by the end of input
            Encoding::Decoded d = Encoding::decode(s.codec, s.rbuf.data() + s.rpos, s.rend - s.rpos, true,
                                                   out, how.stopAtNewline);
            s.rpos += d.consumed;
            if (d.failed && (out.empty() || !how.someOnly)) decodeError(h, s, loc);
            if (d.newline || d.failed) return false;
        }
        return true;
    }
}

// Runs a read that closes the handle when it fails.
template <class F>
Value closingOnFailure(const Value& h, State& s, F&& read) {
    try {
        return read();
    } catch (...) {
        (void)closeState(h, s, "hGetContents");
        throw;
    }
}

Value lazyRead(const Value& handle);

// The next piece of a lazy hGetContents: the characters of one buffer, then the rest suspended;
// at the end of input the handle is closed and the list ends.
Value readChunk(const Value& handle) {
    return withState(handle, false, [&](const Value& h, State& s) -> Value {
        if (s.status == Status::Closed)
            handleError(h, s, "hGetContents", IOError::IllegalOperation_tag, "delayed read on closed handle");
        return closingOnFailure(h, s, [&]() -> Value {
            List::ListBuilder out;
            if (!decodeInput(h, s, "hGetContents", out, {false, true})) return out.finish(lazyRead(handle));
            closeOrRaise(h, s, "hGetContents");
            return out.finish(Nil());
        });
    });
}

Value lazyRead(const Value& handle) {
    return rts::delay([handle] { return readChunk(handle); });
}
}  // namespace

Value hGetLine(Value handle) {
    return IO::io([handle] {
        return withState(handle, false, [](const Value& h, State& s) {
            checkReadable(h, s, "hGetLine");
            prepareRead(h, s, "hGetLine");
            List::ListBuilder out;
            if (decodeInput(h, s, "hGetLine", out, {true, false}) && out.empty())
                handleError(h, s, "hGetLine", IOError::EOF_tag, "");
            return out.finish(Nil());
        });
    });
}

Value hGetContents(Value handle) {
    return IO::io([handle] {
        withState(handle, false, [](const Value& h, State& s) {
            checkReadable(h, s, "hGetContents");
            prepareRead(h, s, "hGetContents");
            s.status = Status::SemiClosed;
            return 0;
        });
        return lazyRead(handle);
    });
}

Value hGetContents_prime(Value handle) {
    return IO::io([handle] {
        return withState(handle, false, [](const Value& h, State& s) {
            checkReadable(h, s, "hGetContents'");
            prepareRead(h, s, "hGetContents'");
            return closingOnFailure(h, s, [&] {
                List::ListBuilder out;
                decodeInput(h, s, "hGetContents'", out, {false, false});
                closeOrRaise(h, s, "hGetContents'");
                return out.finish(Nil());
            });
        });
    });
}

namespace {
struct WriteSettings {
    Codec codec;
    bool lineBuffered;
};

// Writes encoded text to the handle (which may have been closed since the text was started).
void commitText(const Value& handle, const uint8_t* bytes, size_t n, const char* loc) {
    withState(handle, true, [&](const Value& h, State& s) {
        checkWritable(h, s, loc);
        commitBytes(h, s, loc, bytes, n);
        return 0;
    });
}

[[noreturn]] void encodeError(const Value& handle, uint32_t c, const char* loc) {
    std::string text = "cannot encode character " + List::toUtf8(Show::showCharLiteral(c, Nil()));
    withState(handle, true, [&](const Value& h, State& s) -> int {
        handleError(h, s, loc, IOError::InvalidArgument_tag, text);
    });
    __builtin_unreachable();
}

// Encodes the characters a buffer at a time and commits each buffer; the cells behind are
// dropped as the walk goes (when nothing else holds the list).
void putText(const Value& handle, Value str, const char* loc) {
    WriteSettings w = withState(handle, true, [&](const Value& h, State& s) {
        checkWritable(h, s, loc);
        return WriteSettings{s.codec, s.buffering == Buffering::Line};
    });
    std::vector<uint8_t> chunk(kBufferSize + 4);
    size_t len = 0;
    Value cur = std::move(str);
    try {
        for (;;) {
            const Value& cell = force(cur);
            if (cell->tag == Nil_tag) break;
            uint32_t c = charOf(force(rts::field(cell, 0)));
            if (c < 0x80 && w.codec != Codec::Char8) {
                chunk[len++] = static_cast<uint8_t>(c);
            } else {
                size_t k = Encoding::encodeChar(w.codec, c, chunk.data() + len);
                if (k == 0) {
                    commitText(handle, chunk.data(), std::exchange(len, 0), loc);
                    encodeError(handle, c, loc);
                }
                len += k;
            }
            if (len >= kBufferSize || (c == '\n' && w.lineBuffered))
                commitText(handle, chunk.data(), std::exchange(len, 0), loc);
            cur = rts::field(cell, 1);
        }
    } catch (...) {
        // What was encoded before the failure is still written; a failure of that write gives
        // way to the first one.
        if (len > 0) {
            try {
                commitText(handle, chunk.data(), len, loc);
            } catch (...) {
            }
        }
        throw;
    }
    commitText(handle, chunk.data(), len, loc);
}
}  // namespace

Value hPutStr(Value handle, Value str) {
    return IO::io([handle, str] {
        putText(handle, str, "hPutStr");
        return unit();
    });
}

void hPutChars(const Value& handle, Value str) { putText(handle, std::move(str), "hPutStr"); }

Value hPutStrLn(Value handle, Value str) {
    return IO::io([handle, str] {
        putText(handle, List::op_plus_plus(str, List::fromBytes("\n")), "hPutStr");
        return unit();
    });
}

// ---------------------------------------------------------------------------------------------
// Public: bytes

namespace {
// Copies buffered input to p; answers the count.
size_t takeBuffered(State& s, uint8_t* p, size_t n) {
    size_t k = std::min(n, s.rend - s.rpos);
    if (k > 0) std::memcpy(p, s.rbuf.data() + s.rpos, k);
    s.rpos += k;
    return k;
}
}  // namespace

size_t hGetBuf(const Value& handle, void* ptr, size_t n) {
    return withState(handle, false, [&](const Value& h, State& s) {
        checkReadable(h, s, "hGetBuf");
        prepareRead(h, s, "hGetBuf");
        auto* p = static_cast<uint8_t*>(ptr);
        size_t done = takeBuffered(s, p, n);
        while (done < n) {
            size_t rest = n - done;
            if (rest >= kBufferSize) {
                size_t got = readSome(h, s, "hGetBuf", p + done, rest);
                if (got == 0) break;
                done += got;
                continue;
            }
            if (fillBuffer(h, s, "hGetBuf") == 0) break;
            done += takeBuffered(s, p + done, rest);
        }
        return done;
    });
}

size_t hGetBufSome(const Value& handle, void* ptr, size_t n) {
    return withState(handle, false, [&](const Value& h, State& s) -> size_t {
        checkReadable(h, s, "hGetBufSome");
        prepareRead(h, s, "hGetBufSome");
        auto* p = static_cast<uint8_t*>(ptr);
        if (n == 0) return 0;
        if (s.rpos < s.rend) return takeBuffered(s, p, n);
        if (n >= kBufferSize) return readSome(h, s, "hGetBufSome", p, n);
        if (fillBuffer(h, s, "hGetBufSome") == 0) return 0;
        return takeBuffered(s, p, n);
    });
}

void hPutBuf(const Value& handle, const void* ptr, size_t n) {
    withState(handle, true, [&](const Value& h, State& s) {
        checkWritable(h, s, "hPutBuf");
        commitBytes(h, s, "hPutBuf", static_cast<const uint8_t*>(ptr), n);
        return 0;
    });
}

}  // namespace VUX::Internal::Handle
