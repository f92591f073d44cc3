// Module System.Semaphore: counting semaphores that several processes share by name (POSIX named
// semaphores through the unix library).
//
//   newtype SemaphoreName = SemaphoreName { getSemaphoreName :: String }
//   data Semaphore = Semaphore { semaphoreName :: !SemaphoreName, semaphore :: !Posix.Semaphore }
//   data WaitId = WaitId { waitingThreadId :: ThreadId }
//   data AbstractSem = AbstractSem { acquireSem :: IO (), releaseSem :: IO () }
//
// A SemaphoreName is the string itself at run time. A Semaphore owns the open semaphore; nothing
// here closes it (it closes when the record becomes unreachable). Every operation builds an IO
// action; nothing happens until the action runs.
//
// Names: the name is turned into bytes with the file-system encoding, the same way for creating,
// opening and removing. A name holding a NUL character, or one the encoding cannot hold, is
// refused with an "invalid argument" I/O error naming the operation and the name.
#pragma once

#include <cstdint>
#include <string>

#include "VUX/Classes.h"
#include "rts/rts.h"

namespace System::Semaphore {

using rts::Value;

// SemaphoreName: the wrapper and its selector are the identity; equality is that of strings.
inline Value SemaphoreName(Value name) { return name; }
inline Value getSemaphoreName(Value name) { return name; }
inline Value inst_Eq_SemaphoreName() { return VUX::Classes::inst_Eq_List_Char(); }

// Semaphore: building one forces the name, then the semaphore.
inline constexpr uint8_t Semaphore_tag = 0;
Value Semaphore(Value name, Value sem);
Value semaphoreName(const Value& s);
Value semaphore(const Value& s);

// WaitId: the thread that forkWaitOnSemaphoreInterruptible started (lazy field).
inline constexpr uint8_t WaitId_tag = 0;
inline Value WaitId(Value thread) { return rts::con(WaitId_tag, std::move(thread)); }
Value waitingThreadId(const Value& w);

// AbstractSem: two actions without result (lazy fields).
inline constexpr uint8_t AbstractSem_tag = 0;
inline Value AbstractSem(Value acquire, Value release) {
    return rts::con(AbstractSem_tag, std::move(acquire), std::move(release));
}
Value acquireSem(const Value& a);
Value releaseSem(const Value& a);

// `createSemaphore name n`: creates the semaphore exclusively (mode 0o666 reduced by the
// file-creation mask) with the count n (a boxed Int). A name that exists raises the open's
// "already exists" I/O error; every exception of the open reaches the caller unchanged.
Value createSemaphore(Value name, Value n);
// `freshSemaphore prefix n`: creates a semaphore under `prefix ++ "_" ++ digits`, the digits
// being the base-62 form of seed + i for attempt i = 0..32, the seed being the process's system
// CPU time in clock ticks. Only a name that already exists leads to the next attempt; any other
// exception, asynchronous ones included, ends the attempts unchanged, and after the 33rd attempt
// its "already exists" error is raised.
Value freshSemaphore(Value prefix, Value n);
// `openSemaphore name`: opens an existing semaphore; failures of the open propagate.
Value openSemaphore(Value name);
// `waitOnSemaphore s`: waits until the count is positive and decrements it; an asynchronous
// exception delivered to the waiting thread ends the wait.
Value waitOnSemaphore(Value s);
// `tryWaitOnSemaphore s`: True when the count was decremented, False at once when it was zero.
Value tryWaitOnSemaphore(Value s);
// `releaseSemaphore s n`: posts n times with asynchronous exceptions masked; nothing when n <= 0.
// A failed post raises its I/O error with the earlier posts done.
Value releaseSemaphore(Value s, Value n);
// `destroySemaphore s`: removes the name; s stays open and usable.
Value destroySemaphore(Value s);
// `getSemaphoreValue s`: the current count, a boxed Int.
Value getSemaphoreValue(Value s);
// `forkWaitOnSemaphoreInterruptible s cb`: starts a thread that waits on s and then runs
// `cb outcome`: Right True when it acquired s, Right False when the wait ended without it, Left of
// the exception that ended the wait (such as the kill of interruptWaitOnSemaphore). The thread
// starts with asynchronous exceptions masked (interruptibly, or uninterruptibly when the caller
// is), so a kill is delivered only in the wait and the callback runs however early it comes; the
// thread ends when cb returns. Yields the WaitId at once.
Value forkWaitOnSemaphoreInterruptible(Value s, Value cb);
// `interruptWaitOnSemaphore w`: kills the waiter thread; returns once the kill is delivered.
Value interruptWaitOnSemaphore(Value w);
// `withAbstractSem a body`: acquireSem a (masked), body in the caller's masking state, then
// releaseSem a (masked) however body ends; the result is body's.
Value withAbstractSem(Value a, Value body);

// The pieces of freshSemaphore, for callers that choose the seed or the creation step.
// The base-62 digits of a value ("0-9a-zA-Z", most significant first, "0" for zero).
std::string base62(uint64_t value);
// The name of attempt i from a seed: prefix, "_", base62 of |seed + i| (wrapping; the smallest Int
// gives the largest).
Value freshSemaphoreName(const Value& prefix, int64_t seed, int64_t attempt);
// The attempts of freshSemaphore from `seed`, each running `create name n` (an IO action
// yielding a Semaphore, such as createSemaphore).
Value freshSemaphoreFrom(Value create, Value prefix, int64_t seed, Value n);

}  // namespace System::Semaphore
