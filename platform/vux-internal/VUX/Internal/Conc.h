// Threads and one-slot mailboxes (`MVar`) as IO actions: thin wrappers over the runtime's threads
// (rts/Threads.h) and mailboxes (rts/MVar.h). Every function builds an action; nothing happens
// until the action is run.
//
// A forked thread ends silently when the thread-killed exception escapes it, however that
// exception was raised (killThread, or `throwTo` of the ThreadKilled value, or re-raised by a
// handler); any other escaping exception is reported by the runtime.
#pragma once

#include "rts/rts.h"

namespace VUX::Internal::Conc {

using rts::Value;

// `forkIO act`: starts a thread running act (in the caller's masking state); answers its ThreadId.
Value forkIO(Value act);
// `myThreadId`: the calling thread's ThreadId.
extern const rts::StaticFun myThreadId_closure;
inline Value myThreadId() { return myThreadId_closure.value(); }
// `killThread t`: throws ThreadKilled to t and returns once it is delivered (or t has ended).
Value killThread(Value thread);
// `throwTo t e`: throws `toException e` (e of the record's type) to t, as killThread does.
Value throwTo(Value dException, Value thread, Value e);
// `yield`: lets other threads run.
extern const rts::StaticFun yield_closure;
inline Value yield() { return yield_closure.value(); }

// ---------------------------------------------------------------------------------------------
// MVar

// `newEmptyMVar`, `newMVar x`.
extern const rts::StaticFun newEmptyMVar_closure;
inline Value newEmptyMVar() { return newEmptyMVar_closure.value(); }
Value newMVar(Value x);
// `takeMVar m`, `putMVar m x`, `readMVar m`: block while the mailbox is empty (full for a put);
// interruptible while they block.
Value takeMVar(Value mvar);
Value putMVar(Value mvar, Value x);
Value readMVar(Value mvar);
// `tryTakeMVar m`, `tryReadMVar m`: Just the value, or Nothing when empty; `tryPutMVar m x`: True
// when it filled the mailbox; `isEmptyMVar m`. None of them blocks.
Value tryTakeMVar(Value mvar);
Value tryReadMVar(Value mvar);
Value tryPutMVar(Value mvar, Value x);
Value isEmptyMVar(Value mvar);

// Using a mailbox as a lock around a value: the value is taken masked, `io a` runs in the caller's
// masking state, and the mailbox is filled again however io ends (with the old value when io
// raises).
//   `withMVar m io`: io a's result; the mailbox gets a back.
//   `modifyMVar_ m io`: the mailbox gets io a's result.
//   `modifyMVar m io`: io a answers a pair (a', b), evaluated before the mailbox gets a'; the
//   result is b.
Value withMVar(Value mvar, Value io);
Value modifyMVar_(Value mvar, Value io);
Value modifyMVar(Value mvar, Value io);

}  // namespace VUX::Internal::Conc
