// Threads with large reserved stacks, and the stack limit.
#include <pthread.h>

#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "ThreadState.h"

namespace rts {

namespace {

struct LargeStackJob {
    const std::function<void()>* body;
    std::exception_ptr error;
    SoleHandoff sole;
};

void* large_stack_main(void* arg) {
    auto* job = static_cast<LargeStackJob*>(arg);
    try {
        init_thread_with(job->sole);
        (*job->body)();
    } catch (...) {
        job->error = std::current_exception();
    }
    return nullptr;
}

}  // namespace

void run_on_large_stack(const std::function<void()>& body, size_t stack_bytes) {
    thread_state();
    LargeStackJob job{&body, nullptr, hand_sole_mode_over()};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stack_bytes);
    pthread_t thread;
    int rc = pthread_create(&thread, &attr, &large_stack_main, &job);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        take_sole_mode(job.sole);
        throw std::runtime_error(std::string("run_on_large_stack: ") + std::strerror(rc));
    }
    pthread_join(thread, nullptr);
    take_sole_mode(job.sole);
    if (job.error) std::rethrow_exception(job.error);
}

uintptr_t limit_stack_depth(size_t bytes) {
    thread_state();
    uintptr_t previous = tls_stack_limit;
    uintptr_t sp = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    tls_stack_limit = sp > bytes ? sp - bytes : 0;
    if (tls_stack_limit < previous) tls_stack_limit = previous;
    return previous;
}

void restore_stack_limit(uintptr_t previous) { tls_stack_limit = previous; }

}  // namespace rts
