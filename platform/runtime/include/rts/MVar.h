// One-slot mailboxes (`MVar`): empty or holding one value.
//
// A take waits while the mailbox is empty, a put while it is full. Blocked operations are served
// in the order they blocked: a put into an empty mailbox hands its value straight to the oldest
// waiting taker, and a take from a full mailbox with waiting putters refills it from the oldest
// putter. Blocked readers are all served by the first put, before any taker. A blocked operation
// is interruptible by an asynchronous exception (see Threads.h): it then leaves the mailbox as it
// was. An operation that completes never also loses its value to an interruption: if the value
// was handed over just as the exception arrived, the operation returns normally and the exception
// is raised at the next safe point.
//
// Mailboxes are runtime objects compared by identity (`sameMVar#` is `same`).
#pragma once

#include "rts/Threads.h"

namespace rts {

// `newMVar#`: a new empty mailbox.
Value newMVar_hash();
// `takeMVar#`: waits until full, empties it and returns the value.
Value takeMVar_hash(const Value& mvar);
// `putMVar#`: waits until empty, then fills it with `value`.
void putMVar_hash(const Value& mvar, Value value);
// `readMVar#`: waits until full and returns the value, leaving it there (atomically).
Value readMVar_hash(const Value& mvar);
// `tryTakeMVar#`, `tryReadMVar#`: the value, or a null reference when empty; never block.
Value tryTakeMVar_hash(const Value& mvar);
Value tryReadMVar_hash(const Value& mvar);
// `tryPutMVar#`: fills an empty mailbox and answers true; answers false when full.
bool tryPutMVar_hash(const Value& mvar, Value value);
// `isEmptyMVar#`: a snapshot; it may change as soon as it is answered.
bool isEmptyMVar_hash(const Value& mvar);

// Whether `v` is a mailbox.
bool is_mvar(const Value& v);

}  // namespace rts
