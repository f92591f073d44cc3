#include "System/Semaphore.h"

#include <semaphore.h>

#include <cerrno>
#include <limits>

#include "Control/Monad/Catch.h"
#include "Data/Either.h"
#include "System/OsString.h"
#include "System/Posix/Error.h"
#include "System/Posix/Files.h"
#include "System/Posix/Process.h"
#include "System/Posix/Semaphore.h"
#include "VUX/Internal/Conc.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"
#include "rts/Threads.h"

VUX_MODULE("System.Semaphore");

namespace System::Semaphore {

namespace Posix = System::Posix::Semaphore;
namespace Exc = VUX::Internal::Exception;
namespace IOError = VUX::Internal::IOError;
using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;
using VUX::Types::I_hash;
using VUX::Types::intOf;

namespace {

constexpr int64_t freshAttempts = 33;

[[noreturn]] void refuseName(const char* operation, const Value& name, const char* why) {
    Value e = IOError::mkIOErrorText(IOError::InvalidArgument_tag, operation, why);
    IOError::throwIOError(IOError::ioeSetFileName(e, name));
}

// Evaluates the whole name and refuses one that no semaphore can carry: a NUL would cut the name
// short, and a character the file-system encoding cannot hold has no bytes to name it by.
void checkName(const char* operation, const Value& name) {
    std::u32string points = System::OsString::codePoints(name);
    if (points.find(U'\0') != std::u32string::npos) refuseName(operation, name, "semaphore name holds a NUL");
    try {
        System::OsString::encodeFSBytes(name);
    } catch (const rts::Exception& e) {
        if (e.is_async()) throw;
        refuseName(operation, name, "semaphore name cannot be encoded in the file-system encoding");
    }
}

bool isAsynchronous(const rts::Exception& e) {
    if (e.is_async()) return true;
    Value some = Exc::exceptionValue(e);
    return Exc::isSomeException(some) &&
           VUX::Internal::Maybe::isJust(Exc::fromException(Exc::inst_Exception_SomeAsyncException(), some));
}

bool isAlreadyExists(const rts::Exception& e) {
    Value ioe = IOError::ioExceptionOf(e);
    return ioe && IOError::isAlreadyExistsError(ioe);
}

Value openNamed(const char* operation, const Value& name, bool create, int64_t count) {
    checkName(operation, name);
    Value sem =
        Posix::semOpen(name, Posix::OpenSemFlags(create, create), System::Posix::Files::stdFileMode(), count);
    return Semaphore(name, std::move(sem));
}

const Value& posixSemaphore(const Value& s) { return rts::field(rts::force(s), 1); }

// One sem_post as a safe foreign call, repeated on EINTR.
void post(sem_t* address) {
    rts::SafeCall call = rts::suspend_thread(false);
    int result;
    int err;
    do {
        result = sem_post(address);
        err = errno;
    } while (result == -1 && err == EINTR);
    rts::resume_thread(call);
    if (result == -1) System::Posix::Error::throwErrno("semPost", err);
}

// The waiter thread's action (run masked): waits, then hands the outcome to the callback.
Value waiter(Value s, Value cb) {
    return io([s = std::move(s), cb = std::move(cb)] {
        VUX_SCC("forkWaitOnSemaphoreInterruptible");
        Value outcome = rts::catch_exception(
            [&] {
                return Data::Either::Right(
                    VUX::Types::fromBool(Posix::semWaitInterruptible(posixSemaphore(s))));
            },
            [](const rts::Exception& e) { return Data::Either::Left(Exc::exceptionValue(e)); });
        return runIO(rts::apply(cb, outcome));
    });
}

// The frozen call stack that the body's exception of withAbstractSem carries when the bracket
// raises it again after the release.
const Value& bracketStack() {
    static const Value stack = VUX::Internal::Stack::freezeCallStack(VUX::Internal::Stack::callStack(
        {{"bracket_",
          {VUX_PACKAGE_ID, "System.Semaphore", "libraries/vux-semaphore/src/System/Semaphore", 320, 23, 320,
           34}}}));
    return stack;
}

// `act`, whose synchronous exceptions are raised again with `stack` as their call stack;
// asynchronous ones pass on as they came.
Value raisingWithStack(Value act, const Value& stack) {
    return io([act = std::move(act), &stack] {
        return rts::catch_exception([&] { return runIO(act); },
                                    [&](const rts::Exception& e) -> Value {
                                        Value some = Exc::exceptionValue(e);
                                        if (isAsynchronous(e) || !Exc::isSomeException(some)) rts::rethrow(e);
                                        const Value& forced = rts::force(some);
                                        rts::raise(Exc::SomeException(Exc::someExceptionRecord(forced), stack,
                                                                      Exc::someExceptionValue(forced)));
                                    });
    });
}

}  // namespace

Value Semaphore(Value name, Value sem) {
    rts::force(name);
    rts::force(sem);
    return rts::con(Semaphore_tag, std::move(name), std::move(sem));
}
Value semaphoreName(const Value& s) { return rts::field(rts::force(s), 0); }
Value semaphore(const Value& s) { return posixSemaphore(s); }
Value waitingThreadId(const Value& w) { return rts::field(rts::force(w), 0); }
Value acquireSem(const Value& a) { return rts::field(rts::force(a), 0); }
Value releaseSem(const Value& a) { return rts::field(rts::force(a), 1); }

std::string base62(uint64_t value) {
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string out;
    do {
        out.insert(out.begin(), digits[value % 62]);
        value /= 62;
    } while (value != 0);
    return out;
}

Value freshSemaphoreName(const Value& prefix, int64_t seed, int64_t attempt) {
    auto sum = static_cast<int64_t>(static_cast<uint64_t>(seed) + static_cast<uint64_t>(attempt));
    uint64_t magnitude = sum == std::numeric_limits<int64_t>::min() ? std::numeric_limits<int64_t>::max()
                         : sum < 0                                  ? -static_cast<uint64_t>(sum)
                                                                    : static_cast<uint64_t>(sum);
    return VUX::Internal::List::op_plus_plus(prefix, VUX::Internal::List::fromBytes("_" + base62(magnitude)));
}

Value createSemaphore(Value name, Value n) {
    // Every exception of the open, asynchronous ones included, reaches the caller as it was raised.
    return io([name = std::move(name), n = std::move(n)] {
        VUX_SCC("createSemaphore");
        return openNamed("createSemaphore", name, true, intOf(rts::force(n)));
    });
}

Value freshSemaphoreFrom(Value create, Value prefix, int64_t seed, Value n) {
    return io([create = std::move(create), prefix = std::move(prefix), seed, n = std::move(n)] {
        VUX_SCC("freshSemaphore");
        for (int64_t attempt = 0;; ++attempt) {
            Value name = freshSemaphoreName(prefix, seed, attempt);
            try {
                return runIO(rts::apply(create, name, n));
            } catch (const rts::Exception& e) {
                // Only a taken name is a reason to try the next one; anything else, a kill or a
                // timeout above all, must reach the caller.
                if (attempt + 1 == freshAttempts || isAsynchronous(e) || !isAlreadyExists(e)) throw;
            }
        }
    });
}

Value freshSemaphore(Value prefix, Value n) {
    return io([prefix = std::move(prefix), n = std::move(n)] {
        using namespace System::Posix::Process;
        int64_t seed = processTime(getProcessTimes(), systemTime);
        Value create =
            rts::fun<2>([](const Value& name, const Value& count) { return createSemaphore(name, count); });
        return runIO(freshSemaphoreFrom(std::move(create), prefix, seed, n));
    });
}

Value openSemaphore(Value name) {
    return io([name = std::move(name)] {
        VUX_SCC("openSemaphore");
        return openNamed("openSemaphore", name, false, 0);
    });
}

Value waitOnSemaphore(Value s) {
    return io([s = std::move(s)] {
        VUX_SCC("waitOnSemaphore");
        Posix::semThreadWait(posixSemaphore(s));
        return VUX::Tuple::Unit();
    });
}

Value tryWaitOnSemaphore(Value s) {
    return io([s = std::move(s)] {
        VUX_SCC("tryWaitOnSemaphore");
        return VUX::Types::fromBool(Posix::semTryWait(posixSemaphore(s)));
    });
}

Value releaseSemaphore(Value s, Value n) {
    return io([s = std::move(s), n = std::move(n)] {
        VUX_SCC("releaseSemaphore");
        int64_t count = intOf(rts::force(n));
        if (count <= 0) return VUX::Tuple::Unit();
        Exc::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState) {
            Posix::withSemaphoreAddress(
                posixSemaphore(s),
                [count](sem_t* address) {
                    for (int64_t i = 0; i < count; ++i) post(address);
                },
                "semPost");
        });
        return VUX::Tuple::Unit();
    });
}

Value destroySemaphore(Value s) {
    return io([s = std::move(s)] {
        VUX_SCC("destroySemaphore");
        const Value& name = semaphoreName(s);
        checkName("destroySemaphore", name);
        Posix::semUnlink(name);
        return VUX::Tuple::Unit();
    });
}

Value getSemaphoreValue(Value s) {
    return io([s = std::move(s)] {
        VUX_SCC("getSemaphoreValue");
        return I_hash(Posix::semGetValue(posixSemaphore(s)));
    });
}

Value forkWaitOnSemaphoreInterruptible(Value s, Value cb) {
    return io([s = std::move(s), cb = std::move(cb)] {
        VUX_SCC("forkWaitOnSemaphoreInterruptible");
        // The thread starts masked: a kill that arrived before it masked itself would end it
        // without running the callback.
        return Exc::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState) {
            return WaitId(runIO(VUX::Internal::Conc::forkIO(waiter(s, cb))));
        });
    });
}

Value interruptWaitOnSemaphore(Value w) {
    return io([w = std::move(w)] {
        VUX_SCC("interruptWaitOnSemaphore");
        return runIO(VUX::Internal::Conc::killThread(waitingThreadId(w)));
    });
}

Value withAbstractSem(Value a, Value body) {
    return io([a = std::move(a), body = std::move(body)] {
        VUX_SCC("withAbstractSem");
        return runIO(Control::Monad::Catch::bracket_(Control::Monad::Catch::inst_MonadMask_IO(),
                                                     acquireSem(a), releaseSem(a),
                                                     raisingWithStack(body, bracketStack())));
    });
}

}  // namespace System::Semaphore
