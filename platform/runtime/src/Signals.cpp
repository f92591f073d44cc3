// Interrupting blocking foreign calls: the interrupt signal and the safe-foreign-call markers.
//
// The interrupt signal is a real-time signal whose handler does nothing and is installed without
// SA_RESTART, so a blocking system call in the signalled thread fails with EINTR. It is sent only
// to a thread inside an interruptible foreign call (checked under the thread's handle lock), and
// the thrower sends it again while the target stays there, so a signal that lands just before the
// call starts blocking is not lost. A signal that lands just after the call returned interrupts
// at most one other system call with EINTR, which POSIX code has to expect anyway.
#include <csignal>
#include <cstdint>

#include "ThreadsInternal.h"

namespace rts {

namespace {

int interrupt_signal() { return SIGRTMIN + 4; }

void on_interrupt(int) {}

void install_interrupt_handler() {
    static const bool installed = [] {
        struct sigaction sa {};
        sa.sa_handler = &on_interrupt;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0;  // no SA_RESTART: blocking calls return EINTR
        sigaction(interrupt_signal(), &sa, nullptr);
        return true;
    }();
    (void)installed;
}

void leave_region(ThreadControl* c) {
    std::lock_guard<std::mutex> g(c->lock);
    c->in_interruptible_call = false;
}

}  // namespace

void send_interrupt(ThreadControl* target) { pthread_kill(target->pthread, interrupt_signal()); }

SafeCall suspend_thread(bool interruptible) {
    ThreadState* ts = thread_state();
    // Uninterruptibly masked, the call cannot be interrupted: no signal is worth sending.
    if (!interruptible || ts->mask == 1) return SafeCall{false};
    install_interrupt_handler();
    ThreadControl* c = current_control();
    {
        std::lock_guard<std::mutex> g(c->lock);
        c->in_interruptible_call = true;
    }
    // An exception that is already here is raised before the call starts.
    if (deliverable_when_blocked(ts)) {
        leave_region(c);
        deliver_async_cold(ts);
    }
    return SafeCall{true};
}

void resume_thread(SafeCall call) {
    if (!call.interruptible) return;
    ThreadState* ts = thread_state();
    leave_region(current_control());
    if (deliverable_when_blocked(ts)) deliver_async_cold(ts);
}

void abandon_safe_call(SafeCall call) {
    if (call.interruptible) leave_region(current_control());
}

}  // namespace rts

extern "C" void* suspendThread(void*, bool interruptible) {
    rts::SafeCall call = rts::suspend_thread(interruptible);
    return reinterpret_cast<void*>(uintptr_t(call.interruptible ? 2 : 1));
}

extern "C" void* resumeThread(void* token) {
    rts::resume_thread(rts::SafeCall{reinterpret_cast<uintptr_t>(token) == 2});
    return nullptr;
}
