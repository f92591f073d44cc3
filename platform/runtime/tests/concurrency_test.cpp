// Suspended computations, counts, references and the allocator under several threads.
#include <pthread.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>
#include <vector>

#include "RuntimeTest.h"
#include "rts/Compact.h"

namespace {

using namespace rts_test;
using rts::Value;
using namespace std::chrono_literals;

// These tests hand values to threads of their own, so the process leaves sole mode first.
const bool shared_with_threads = (rts::share_with_threads(), true);

// A computation that waits until released, so that other threads demand it while it runs.
struct Gate {
    std::atomic<bool> entered{false};
    std::atomic<bool> open{false};
    void wait_open() {
        entered = true;
        while (!open) std::this_thread::sleep_for(1ms);
    }
};

double thread_cpu_seconds() {
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + 1e-6 * (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
}

TEST(ThunkThreads, TwoThreadsDemandAtOnceItRunsOnceAndBothGetTheValue) {
    Gate gate;
    std::atomic<int> runs{0};
    Value t = rts::delay([&]() {
        ++runs;
        gate.wait_open();
        return box(11);
    });
    const rts::Object* seen[2] = {};
    double waiter_cpu = -1;
    std::thread first([&] { seen[0] = rts::force(t).get(); });
    while (!gate.entered) std::this_thread::sleep_for(1ms);
    std::thread second([&] {
        double before = thread_cpu_seconds();
        seen[1] = rts::force(t).get();
        waiter_cpu = thread_cpu_seconds() - before;
    });
    std::this_thread::sleep_for(300ms);  // the second thread is blocked meanwhile
    gate.open = true;
    first.join();
    second.join();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(unbox(t), 11);
    EXPECT_LT(waiter_cpu, 0.1) << "the waiting thread spun";
}

TEST(ThunkThreads, ManyThreadsRaceOnFreshThunks) {
    constexpr int kThreads = 8, kThunks = 2000;
    std::vector<std::atomic<int>> runs(kThunks);
    std::vector<Value> thunks;
    for (int i = 0; i < kThunks; ++i) {
        thunks.push_back(rts::delay([&runs, i]() {
            ++runs[i];
            return box(i);
        }));
    }
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int k = 0; k < kThreads; ++k) {
        threads.emplace_back([&, k] {
            for (int j = 0; j < kThunks; ++j) {
                int i = (j * 7 + k * 13) % kThunks;
                if (unbox(thunks[i]) != i) ++wrong;
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(wrong.load(), 0);
    for (int i = 0; i < kThunks; ++i) ASSERT_EQ(runs[i].load(), 1) << i;
}

TEST(ThunkThreads, WaitersSeeTheKeptException) {
    Gate gate;
    std::atomic<int> runs{0};
    Value t = rts::delay([&]() -> Value {
        ++runs;
        gate.wait_open();
        rts::raise(rts::RtsError::DivideByZero);
    });
    std::atomic<int> divide_by_zero{0};
    auto demand = [&] {
        try {
            rts::force(t);
        } catch (const rts::Exception& e) {
            if (e.kind() == rts::RtsError::DivideByZero) ++divide_by_zero;
        }
    };
    std::thread first(demand);
    while (!gate.entered) std::this_thread::sleep_for(1ms);
    std::thread second(demand), third(demand);
    std::this_thread::sleep_for(50ms);
    gate.open = true;
    first.join();
    second.join();
    third.join();
    EXPECT_EQ(divide_by_zero.load(), 3);
    EXPECT_EQ(runs.load(), 1);
}

TEST(ThunkThreads, WaiterRunsItAfterTheOwnerIsInterrupted) {
    Gate gate;
    std::atomic<int> runs{0};
    Value t = rts::delay([&]() -> Value {
        if (++runs == 1) {
            gate.wait_open();
            rts::raise(rts::RtsError::StackOverflow);  // asynchronous: the thunk is left to run again
        }
        return box(5);
    });
    std::thread first([&] {
        try {
            rts::force(t);
        } catch (const rts::Exception&) {
        }
    });
    while (!gate.entered) std::this_thread::sleep_for(1ms);
    int64_t got = -1;
    std::thread second([&] { got = unbox(t); });
    std::this_thread::sleep_for(50ms);
    gate.open = true;
    first.join();
    second.join();
    EXPECT_EQ(got, 5);
    EXPECT_EQ(runs.load(), 2);
}

TEST(Counting, SharedValueRetainedAndReleasedFromManyThreads) {
    Value shared = box(1);
    DestroyCounter dc;
    Value fn = rts::fun<1>([token = dc.token()](const Value& x) { return x; });
    std::vector<std::thread> threads;
    for (int k = 0; k < 8; ++k) {
        threads.emplace_back([shared, fn] {
            for (int i = 0; i < 100'000; ++i) {
                Value a = shared, b = fn;
                Value cell = rts::con(0, a, b);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(count_of(shared), 1u);
    fn = Value();
    EXPECT_EQ(dc.destroyed(), 1);
}

// Two threads hold objects of one region, copy them, put them in heap cells and drop them; the
// last one of them to let go frees the region.
TEST(Counting, RegionObjectsReleasedFromTwoThreads) {
    const uint64_t before = rts::compact_live_bytes();
    Value region = rts::compactNew_hash(4096);
    Value list = rts::con(0);
    for (int64_t i = 0; i < 1000; ++i) list = rts::con(1, box(i), std::move(list));
    Value root = rts::compactAdd_hash(region, list);
    std::vector<std::thread> threads;
    for (int k = 0; k < 2; ++k) {
        threads.emplace_back([held = k == 0 ? root : rts::field(root, 1)] {
            for (int i = 0; i < 100'000; ++i) {
                Value a = held;
                Value cell = rts::con(0, a, rts::field(held, 0));
            }
            EXPECT_GT(rts::compact_live_bytes(), 0u);
        });
    }
    region = Value();
    root = Value();
    for (auto& th : threads) th.join();
    EXPECT_EQ(rts::compact_live_bytes(), before);
}

TEST(MutVarThreads, ConcurrentModifyLosesNoUpdate) {
    Value r = rts::new_mut_var(box(0));
    constexpr int kThreads = 8, kEach = 5000;
    std::vector<std::thread> threads;
    for (int k = 0; k < kThreads; ++k) {
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i)
                rts::modify_mut_var(r, [](const Value& v) { return box(unbox(v) + 1); });
        });
    }
    for (int k = 0; k < 2; ++k) {
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) EXPECT_GE(unbox(rts::read_mut_var(r)), 0);
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(unbox(rts::read_mut_var(r)), kThreads * kEach);
}

// Threads that allocate and exit give their cached blocks back; values they made outlive them.
TEST(AllocThreads, ValuesOutliveTheThreadThatMadeThem) {
    std::vector<Value> made(64);
    for (int round = 0; round < 4; ++round) {
        std::vector<std::thread> threads;
        for (int k = 0; k < 16; ++k) {
            threads.emplace_back([&made, k, round] {
                Value list = box(-1);
                for (int i = 0; i < 10'000; ++i) list = rts::con(0, box(i), std::move(list));
                made[(round * 16 + k) % 64] = std::move(list);
            });
        }
        for (auto& th : threads) th.join();
    }
    int64_t heads = 0;
    for (const Value& v : made) heads += unbox(rts::field(v, 0));
    EXPECT_EQ(heads, 64 * 9'999);
}

// Values held by a thread's C++ thread_local objects are released at its exit, while the runtime
// still knows the thread.
TEST(AllocThreads, ThreadLocalValuesAreReleasedAtThreadExit) {
    DestroyCounter dc;
    std::thread([&] {
        thread_local Value held;
        held = rts::fun<1>([token = dc.token()](const Value& x) { return x; });
        for (int i = 0; i < 1000; ++i)
            held = rts::apply(rts::fun<2>([](const Value& f, const Value&) { return f; }), held);
    }).join();
    EXPECT_EQ(dc.destroyed(), 1);
}

// A value released by another library's thread-exit hook that runs after the runtime's own: the
// runtime takes the thread up again and gives everything back a second time (no crash, no leak).
pthread_key_t late_key;
void release_late(void* p) { delete static_cast<Value*>(p); }

TEST(AllocThreads, ReleaseAfterTheRuntimeLeftTheThread) {
    DestroyCounter dc;
    std::thread([&] {
        rts::thread_allocated_bytes();  // the runtime's key exists before ours
        ASSERT_EQ(pthread_key_create(&late_key, &release_late), 0);
        Value list = box(0);
        for (int i = 0; i < 1000; ++i) list = rts::con(0, box(i), std::move(list));
        auto* v = new Value(
            rts::con(0, std::move(list), rts::fun<1>([token = dc.token()](const Value& x) { return x; })));
        pthread_setspecific(late_key, v);
    }).join();
    EXPECT_EQ(dc.destroyed(), 1);
    pthread_key_delete(late_key);
}

}  // namespace
