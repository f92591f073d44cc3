// Named semaphores under threads: an interruptible wait ended by an asynchronous exception, and a
// close deferred while another thread waits.
#include <gtest/gtest.h>

#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "System/Posix/IO.h"
#include "System/Posix/Semaphore.h"
#include "Testing.h"
#include "VUX/Internal/Exception.h"
#include "rts/Threads.h"

namespace {

using rts::Value;
namespace IO = System::Posix::IO;
namespace Sem = System::Posix::Semaphore;

std::string name(const std::string& tag) { return "/vux-test-" + std::to_string(getpid()) + "-" + tag; }

// The semaphore is unlinked when the test ends, whatever happened.
struct Unlink {
    std::string name;
    ~Unlink() { sem_unlink(name.c_str()); }
};

template <class F>
std::string failure(F&& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        return VUX::Internal::Exception::displaySomeException(VUX::Internal::Exception::exceptionValue(e));
    }
    return "no error";
}

TEST(Semaphores, AnInterruptibleWaitEndsWithTheAsynchronousException) {
    Unlink guard{name("wait")};
    Value s =
        Sem::semOpen(vux::testing::str(guard.name), Sem::OpenSemFlags(true, true), IO::FileMode(0600), 0);
    std::atomic<int> outcome{0};  // 1 acquired, 2 killed
    Value waiter = rts::fork_thread([&] {
        try {
            Sem::semThreadWait(s);
            outcome = 1;
        } catch (const rts::Exception& e) {
            outcome = VUX::Internal::Exception::isThreadKilled(e) ? 2 : 3;
            throw;
        }
    });
    while (rts::thread_status(waiter) != rts::ThreadStatus::Blocked) rts::yield();
    rts::kill_thread(waiter);
    rts::wait_thread(waiter);
    EXPECT_EQ(outcome.load(), 2);
    EXPECT_EQ(Sem::semGetValue(s), 0);
    // A closed semaphore waits for the operation in progress: the close is deferred.
    Value closer = rts::fork_thread([&] { Sem::semThreadWait(s); });
    while (rts::thread_status(closer) != rts::ThreadStatus::Blocked) rts::yield();
    Sem::semClose(s);
    EXPECT_EQ(failure([&] { Sem::semTryWait(s); }), "semTrywait: invalid argument (Invalid argument)");
    Value other =
        Sem::semOpen(vux::testing::str(guard.name), Sem::OpenSemFlags(false, false), IO::FileMode(0), 0);
    Sem::semPost(other);
    rts::wait_thread(closer);
}

}  // namespace
