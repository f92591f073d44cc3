#include "System/File/Platform.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "Data/Either.h"
#include "System/CPUTime.h"
#include "System/OsPath/Posix.h"
#include "System/OsString.h"
#include "System/Posix/Error.h"
#include "System/Posix/IO.h"
#include "Text/Printf.h"
#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("System.File.Platform");

namespace System::File::Platform {

namespace Posix = System::Posix::IO;
namespace OsString = System::OsString;
namespace Maybe = VUX::Internal::Maybe;
namespace List = VUX::Internal::List;
namespace IOError = VUX::Internal::IOError;
namespace HandleTypes = VUX::Internal::HandleTypes;
using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;
using VUX::Types::False_closure;
using VUX::Types::True_closure;

namespace {

constexpr uint32_t kCreationMode = 0666;

constexpr rts::Slot no() { return rts::ref_slot(False_closure.object()); }
constexpr rts::Slot yes() { return rts::ref_slot(True_closure.object()); }

// Fields in declaration order: append, exclusive, noctty, nonBlock, trunc, nofollow, creat,
// cloexec, directory, sync.
constinit const rts::StaticCon<10> defaultFileFlags_prime_closure{
    Posix::OpenFileFlags_tag, no(), no(), yes(), yes(), no(), no(), rts::ref_slot(Maybe::Nothing_closure.object()),
    no(),                     no(), no()};
constinit const rts::StaticCon<10> defaultExistingFileFlags_closure{
    Posix::OpenFileFlags_tag, no(), no(), yes(), yes(), no(), no(), rts::ref_slot(Maybe::Nothing_closure.object()),
    no(),                     no(), no()};
constinit const rts::StaticCon<10> closeOnExecFileFlags_closure{
    Posix::OpenFileFlags_tag, no(), no(), yes(), yes(), no(), no(), rts::ref_slot(Maybe::Nothing_closure.object()),
    yes(),                    no(), no()};

Value createWith(uint32_t mode) { return Maybe::Just(Posix::FileMode(mode)); }

// The call-site entries of the errors raised here.
Value callSite(const char* function, int64_t line, int64_t startCol, int64_t endCol) {
    return VUX::Internal::Stack::callStack(
        {{function,
          {VUX_PACKAGE_ID, "System.File.Platform", "libraries/vux-file-io/posix/System/File/Platform", line,
           startCol, line, endCol}}});
}
const Value& openErrorStack() {
    static const Value stack = callSite("ioError", 99, 13, 20);
    return stack;
}
const Value& decodeErrorStack() {
    static const Value stack = callSite("error", 123, 45, 50);
    return stack;
}

Value openWith(bool existing, Value flags, Value path, Value mode, const char* location) {
    return io([=]() -> Value {
        Value chosen = openFlagsFor(existing, flags, mode);
        const Value& choice = rts::force(chosen);
        const Value& openMode = rts::field(choice, 0);
        const Value& record = rts::field(choice, 1);
        std::string_view bytes = OsString::view(path);
        int fd = Posix::withFilePath(location, bytes, [&](const char* p) {
            return System::Posix::Error::throwErrnoPathIfMinus1Retry(
                location, bytes, [&] { return Posix::openat_(Maybe::Nothing(), p, openMode, record); });
        });
        return runIO(fdToHandle_(mode, path, Posix::Fd(fd)));
    });
}

// The record of the temporary-file create loop: exclusive, noctty, nonBlock, creat `mode`.
Value tempFileFlags(uint32_t mode) {
    Value f = False_closure.value(), t = True_closure.value();
    return Posix::OpenFileFlags(f, t, t, t, f, f, createWith(mode), f, f, f);
}

// openat retried on EINTR: the descriptor, or -1 with the failure's errno in `err`.
int openRetrying(const char* path, const Value& openMode, const Value& flags, int& err) {
    for (;;) {
        int fd = Posix::openat_(Maybe::Nothing(), path, openMode, flags);
        if (fd != -1) return fd;
        err = errno;
        if (err != EINTR) return -1;
    }
}

}  // namespace

Value defaultFileFlags_prime() { return defaultFileFlags_prime_closure.value(); }
Value defaultExistingFileFlags() { return defaultExistingFileFlags_closure.value(); }
Value closeOnExecFileFlags() { return closeOnExecFileFlags_closure.value(); }

Value openFlagsFor(bool existing, const Value& flags, const Value& mode) {
    using Posix::withFlag;
    Value t = True_closure.value();
    switch (rts::force(mode)->tag) {
        case HandleTypes::ReadMode_tag: return VUX::Tuple::Tuple2(Posix::ReadOnly(), flags);
        case HandleTypes::WriteMode_tag: {
            Value f = withFlag(flags, Posix::trunc, t);
            if (!existing) f = withFlag(f, Posix::creat, createWith(kCreationMode));
            return VUX::Tuple::Tuple2(Posix::WriteOnly(), std::move(f));
        }
        case HandleTypes::AppendMode_tag: {
            Value f = withFlag(flags, Posix::append, t);
            if (!existing) f = withFlag(f, Posix::creat, createWith(kCreationMode));
            return VUX::Tuple::Tuple2(Posix::WriteOnly(), std::move(f));
        }
        default:
            return VUX::Tuple::Tuple2(Posix::ReadWrite(),
                                      existing ? flags : withFlag(flags, Posix::creat, createWith(kCreationMode)));
    }
}

Value openFile_(Value flags, Value path, Value mode) {
    VUX_SCC("openFile_");
    return openWith(false, std::move(flags), std::move(path), std::move(mode), "openFile_");
}
Value openExistingFile_(Value flags, Value path, Value mode) {
    VUX_SCC("openExistingFile_");
    return openWith(true, std::move(flags), std::move(path), std::move(mode), "openExistingFile_");
}

Value fdToHandle_(Value mode, Value path, Value fd) {
    VUX_SCC("fdToHandle_");
    return io([=]() -> Value {
        try {
            Value name = rts::delay([path] { return OsString::decodeFSOrBytes(OsString::view(path)); });
            return runIO(VUX::Internal::Handle::fdToHandle_prime(Posix::fdOf(fd), Maybe::Nothing(), false,
                                                                 std::move(name), mode, true));
        } catch (...) {
            Posix::closeFd(fd);
            throw;
        }
    });
}

Value openFile(Value path, Value mode) { return openFile_(defaultFileFlags_prime(), std::move(path), std::move(mode)); }
Value openFileWithCloseOnExec(Value path, Value mode) {
    return openFile_(closeOnExecFileFlags(), std::move(path), std::move(mode));
}
Value openExistingFile(Value path, Value mode) {
    return openExistingFile_(defaultFileFlags_prime(), std::move(path), std::move(mode));
}
Value openExistingFileWithCloseOnExec(Value path, Value mode) {
    return openExistingFile_(closeOnExecFileFlags(), std::move(path), std::move(mode));
}

// ---------------------------------------------------------------------------------------------
// Temporary files

std::atomic<int64_t>& tempCounter() {
    static std::atomic<int64_t> counter{0};
    return counter;
}

Value rand_string() {
    VUX_SCC("rand_string");
    return io([] {
        int32_t pid = ::getpid();
        int64_t n = tempCounter().fetch_add(1, std::memory_order_relaxed);
        Value cpu = runIO(System::CPUTime::getCPUTime());
        Value ticks = rts::delay(
            [cpu] { return VUX::Num::Integer::integerQuot(cpu, System::CPUTime::cpuTimePrecision()); });
        namespace Printf = Text::Printf;
        Value text = Printf::printf(List::fromBytes("%x-%x-%x"),
                                    {Printf::argInt32(VUX::Types::I_hash(pid)),
                                     Printf::argInt(VUX::Types::I_hash(n)), Printf::argInteger(ticks)});
        return rts::delay([text] {
            std::string bytes;
            for (uint32_t c : List::codePoints(text)) bytes.push_back(static_cast<char>(c & 0xFF));
            return OsString::fromBytes(bytes);
        });
    });
}

Value findTempName(Value nameAndExtension, Value location, Value dir, uint32_t mode) {
    VUX_SCC("findTempName");
    return io([=]() -> Value {
        Value flags = tempFileFlags(mode);
        for (;;) {
            Value generated = runIO(rand_string());
            const Value& parts = rts::force(nameAndExtension);
            std::string name = OsString::toStdString(rts::field(parts, 0)) + OsString::toStdString(generated) +
                               OsString::toStdString(rts::field(parts, 1));
            Value path = System::OsPath::Posix::combine(dir, OsString::fromBytes(name));
            int err = 0;
            int fd = Posix::withFilePath("findTempName", OsString::view(path), [&](const char* p) {
                return openRetrying(p, Posix::ReadWrite(), flags, err);
            });
            if (fd >= 0)
                return VUX::Tuple::Tuple2(path,
                                          runIO(fdToHandle_(HandleTypes::ReadWriteMode(), path, Posix::Fd(fd))));
            if (err == EEXIST) continue;
            runIO(IOError::ioError(
                IOError::errnoToIOError(location, err, Maybe::Nothing(), Maybe::Just(lenientDecode(dir))),
                openErrorStack()));
        }
    });
}

Value lenientDecode(Value os) {
    return rts::delay([os]() -> Value {
        for (const Value& encoding : {VUX::Internal::Encoding::utf8(), VUX::Internal::Encoding::latin1_checked()}) {
            Value result = OsString::decodeWith(encoding, os);
            const Value& decoded = rts::force(result);
            if (decoded->tag == Data::Either::Right_tag) return rts::field(decoded, 0);
        }
        VUX::Internal::Err::error(List::fromBytes("lenientDecode: failed to decode"), decodeErrorStack());
    });
}

}  // namespace System::File::Platform
