// Helpers for the tests of threads, mailboxes, masking and weak references.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "rts/MVar.h"
#include "rts/Mask.h"
#include "rts/Threads.h"
#include "rts/Weak.h"
#include "rts/rts.h"

namespace threads_test {

using rts::Value;

inline Value box(int64_t i) { return rts::con_word(0, static_cast<uint64_t>(i)); }
inline int64_t unbox(const Value& v) { return rts::int_word(rts::force(v), 0); }

// An IO action running a C++ body; the body's result is the action's result.
template <class F>
Value io(F body) {
    return rts::fun<1>([body = std::move(body)](const Value&) -> Value { return body(); });
}

// Waits until `cond()` holds, yielding meanwhile (no time bound: a hang is the failure).
template <class C>
void wait_until(C cond) {
    while (!cond()) std::this_thread::yield();
}

inline void wait_blocked(const Value& thread) {
    wait_until([&] { return rts::thread_status(thread) == rts::ThreadStatus::Blocked; });
}

// Runs `body`, answering the runtime failure kind of the exception it raised, or None if it
// returned (RtsError::None is also the kind of a language exception: check `raised` then).
struct Outcome {
    bool raised = false;
    rts::RtsError kind = rts::RtsError::None;
    bool async = false;
};
inline Outcome outcome_of(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        return Outcome{true, e.kind(), e.is_async()};
    }
    return Outcome{};
}

// A thread that runs `body` and records how it ended.
// A thread killed before it starts never runs its body; tests that mean to interrupt the body
// wait until it has started.
struct Recorded {
    std::shared_ptr<Outcome> outcome = std::make_shared<Outcome>();
    std::shared_ptr<std::atomic<bool>> started = std::make_shared<std::atomic<bool>>(false);
    Value thread;
    void wait_started() const {
        while (!started->load()) std::this_thread::yield();
    }
};
inline Recorded fork_recorded(std::function<void()> body) {
    Recorded r;
    r.thread = rts::fork_thread(std::function<void()>([o = r.outcome, s = r.started, body = std::move(body)] {
        *s = true;
        *o = outcome_of(body);
    }));
    r.wait_started();
    return r;
}

// A killer thread: throw_to blocks until delivery, so tests that need to act while a kill is on
// its way send it from another thread.
inline Value kill_from_another_thread(const Value& target) {
    return rts::fork_thread(std::function<void()>([target] { rts::kill_thread(target); }));
}

}  // namespace threads_test
