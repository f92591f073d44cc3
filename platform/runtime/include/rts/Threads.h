// Threads known to the runtime, asynchronous exceptions and safe foreign calls.
//
// Every runtime thread is an OS thread. Its identifier is a runtime object (an opaque object,
// compared by identity) that stays valid after the thread has ended.
//
// Asynchronous exceptions. `throw_to` queues an exception for a thread and blocks the thrower
// until it has been delivered (or the target has ended). The target raises it at a safe point:
// when it demands a suspended computation, allocates outside the fast path, calls `safe_point()`,
// or waits in a blocking operation (a mailbox, `throw_to`, `wait_thread`, an interruptible foreign
// call). The masking state decides which of those count (see Mask.h): unmasked, all of them;
// masked interruptibly, only blocking waits that actually block; masked uninterruptibly, none.
// Leaving a mask for the unmasked state delivers what arrived meanwhile. A computation interrupted
// this way is left unevaluated and runs again on the next demand.
//
// Not interruptible: a thread waiting for a suspended computation that another thread is running
// is woken only when that computation finishes; the exception reaches it at its next safe point.
#pragma once

#include <cstdint>
#include <functional>

#include "rts/Eval.h"
#include "rts/Exception.h"

namespace rts {

// ---------------------------------------------------------------------------------------------
// Actions. An IO action is a function of one argument, the state token; applying it runs it and
// returns its result.

// The state token (`realWorld#`): a static object without fields.
Value realWorld_hash();
// Runs an IO action.
RTS_INLINE Value run_io(const Value& action) { return apply(action, realWorld_hash()); }

// ---------------------------------------------------------------------------------------------
// Threads

// `forkIO`: starts a thread that runs the IO action and returns its identifier. The new thread
// inherits the caller's masking state. An exception that escapes the action ends the thread; the
// thread-killed exception silently, any other after reporting it (see set_uncaught_handler).
Value fork_thread(Value action);
// The same for a C++ body (runtime services and tests).
Value fork_thread(std::function<void()> body);

// `myThreadId`: the calling thread's identifier (made on first request for threads not started
// by fork_thread).
Value my_thread_id();
// A small number naming the thread in messages; distinct for distinct threads of one process.
uint64_t thread_id_number(const Value& thread);
// Whether `v` is a thread identifier.
bool is_thread_id(const Value& v);

// `throwTo`: raises `exception` (a language exception value) in `thread` as an asynchronous
// exception and returns once it has been delivered, or at once if the thread has ended. Thrown to
// the calling thread, it is raised at once, whatever the masking state. Waiting for the delivery
// is itself interruptible.
void throw_to(const Value& thread, Value exception);
// `killThread`: throw_to with the runtime's thread-killed exception (RtsError::ThreadKilled).
void kill_thread(const Value& thread);
// Throws a runtime failure kind asynchronously (the base layer's maker gives its value).
void throw_to(const Value& thread, RtsError kind);

// `yield`: lets other threads run; a safe point.
void yield();
// Blocks until `thread` has ended (interruptible).
void wait_thread(const Value& thread);
// Whether `thread` has ended.
bool thread_finished(const Value& thread);

// `threadStatus`, as far as the runtime knows it: running (or runnable), blocked in a blocking wait
// of the runtime (a mailbox, throw_to, wait_thread) or in an interruptible foreign call, or finished.
enum class ThreadStatus : uint8_t { Running, Blocked, Finished };
ThreadStatus thread_status(const Value& thread);
// Whether an asynchronous exception is queued for `thread` and not yet delivered.
bool async_exception_pending(const Value& thread);

// An explicit safe point: raises a pending asynchronous exception if the masking state allows.
void safe_point();
// Whether an asynchronous exception is waiting for the calling thread (whatever its mask).
bool async_exception_pending();

// What happens to an exception that escapes a forked thread (other than the thread-killed one).
// The default writes "thread <n>: <text>" and a newline to standard error.
using UncaughtHandler = void (*)(uint64_t thread_number, const Exception& e);
void set_uncaught_handler(UncaughtHandler handler);

// ---------------------------------------------------------------------------------------------
// Safe foreign calls. A foreign call that may block is bracketed by suspend_thread and
// resume_thread. An interruptible call (the region between the two) can be interrupted by an
// asynchronous exception: the thrower sends the thread a signal installed without SA_RESTART, so
// a blocking system call returns EINTR, and resends it while the thread stays in the region (a
// signal that arrives just before the call starts blocking is thus not lost). The code in the
// region must return when its call fails with EINTR (not retry it); resume_thread then raises the
// exception. suspend_thread itself raises an exception that is already deliverable, before the
// call starts.
struct SafeCall {
    bool interruptible;
};
SafeCall suspend_thread(bool interruptible);
// Leaves the region; raises a pending asynchronous exception if the call was interruptible and
// the masking state allows it at a blocking wait.
void resume_thread(SafeCall call);

// Leaves the region without raising (when the call itself failed with a C++ exception).
void abandon_safe_call(SafeCall call);

// Runs `call` (a C++ callable) as an interruptible safe foreign call and returns its result.
template <class F>
auto interruptible_call(F&& call) -> decltype(call()) {
    SafeCall token = suspend_thread(true);
    if constexpr (std::is_void_v<decltype(call())>) {
        try {
            call();
        } catch (...) {
            abandon_safe_call(token);
            throw;
        }
        resume_thread(token);
    } else {
        auto r = [&] {
            try {
                return call();
            } catch (...) {
                abandon_safe_call(token);
                throw;
            }
        }();
        resume_thread(token);
        return r;
    }
}

// `getThreadAllocationCounter#`: the calling thread's allocation counter, which starts at 0 and
// goes down by the number of bytes the thread allocates; `setThreadAllocationCounter#` sets it.
int64_t getThreadAllocationCounter_hash();
void setThreadAllocationCounter_hash(int64_t value);

}  // namespace rts

// The safe-foreign-call markers with the platform's calling convention. suspendThread returns a
// token for resumeThread; resumeThread may raise (it is C++ code).
extern "C" {
__attribute__((visibility("default"))) void* suspendThread(void* reg, bool interruptible);
__attribute__((visibility("default"))) void* resumeThread(void* token);
}
