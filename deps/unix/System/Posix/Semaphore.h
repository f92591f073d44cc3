// POSIX named semaphores.
//
//   data OpenSemFlags = OpenSemFlags { semCreate :: Bool, semExclusive :: Bool }
//
// A `Semaphore` is a runtime object that owns one open semaphore (`sem_t*`) and closes it when
// it becomes unreachable, unless `semClose` closed it before. Operations on a closed semaphore
// raise an "invalid argument" I/O error rather than touch a closed handle, and `semClose` while
// other threads are inside an operation on it defers the close until the last of them leaves.
// Names are character strings, turned into bytes with the file-system encoding. Effects happen
// when these functions are called.
#pragma once

#include <semaphore.h>

#include <cstdint>

#include "rts/rts.h"

namespace System::Posix::Semaphore {

using rts::Value;

inline constexpr uint8_t OpenSemFlags_tag = 0;
Value OpenSemFlags(bool create, bool exclusive);

// `semOpen name flags mode value`: opens (and, with semCreate, creates with `mode` reduced by the
// process's file-creation mask and the initial `value`) the named semaphore. Failures raise the
// I/O error naming "semOpen" and the name.
Value semOpen(const Value& name, const Value& flags, const Value& mode, int64_t value);
// `semUnlink name`: removes the name; "semUnlink" errors.
void semUnlink(const Value& name);
// `semClose sem`: closes it now (or when the operations in progress end); closing twice raises.
void semClose(const Value& sem);

// `semWait`: waits until the value is positive and decrements it; retried when a signal
// interrupts it, not interruptible by asynchronous exceptions.
void semWait(const Value& sem);
// `semThreadWait`: the same wait, interruptible: an asynchronous exception delivered to the
// waiting thread ends the wait and is raised.
void semThreadWait(const Value& sem);
// `semWaitInterruptible`: true when the semaphore was acquired, false when a signal interrupted
// the wait; an asynchronous exception delivered meanwhile is raised.
bool semWaitInterruptible(const Value& sem);
// `semTryWait`: decrements and answers true when the value is positive, otherwise false at once.
bool semTryWait(const Value& sem);
// `semPost`: increments the value (retried on EINTR); "semPost" errors.
void semPost(const Value& sem);
// `semGetValue`: the current value.
int64_t semGetValue(const Value& sem);

// Runs f(sem_t*) on the open semaphore, which stays open while f runs (the semaphore library
// calls sem_post and sem_trywait on the address itself). A closed semaphore raises the
// "invalid argument" error naming `location`.
template <class F>
auto withSemaphoreAddress(const Value& sem, F&& f, const char* location = "withSemaphoreAddress");

// Whether `v` is a Semaphore object.
bool isSemaphore(const Value& v);

namespace detail {
sem_t* enter(const Value& sem, const char* location);
void leave(const Value& sem);
}  // namespace detail

template <class F>
auto withSemaphoreAddress(const Value& sem, F&& f, const char* location) {
    struct Leave {
        const Value& s;
        ~Leave() { detail::leave(s); }
    };
    sem_t* address = detail::enter(sem, location);
    Leave guard{sem};
    return f(address);
}

}  // namespace System::Posix::Semaphore
