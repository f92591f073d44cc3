// The atomic helpers under contention: eight threads hammering one location lose no update, and
// the compare-and-swap loops of the logical operations never publish a stale combination.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "cbits/cbits.h"

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 100000;

uint64_t address_of(void* p) { return reinterpret_cast<uintptr_t>(p); }

// Runs body(thread index) on kThreads threads released together, and waits for all of them.
template <class Body>
void run_together(Body body) {
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            while (!go.load(std::memory_order_acquire)) std::this_thread::yield();
            body(t);
        });
    go.store(true, std::memory_order_release);
    for (auto& th : threads) th.join();
}

TEST(AtomicContention, AddLosesNothing) {
    alignas(8) uint64_t word = 0;
    std::atomic<uint64_t> sum_of_results{0};
    run_together([&](int) {
        uint64_t local = 0;
        for (int i = 0; i < kRounds; ++i) local += hs_atomic_add64(address_of(&word), 1);
        sum_of_results += local;
    });
    const uint64_t n = uint64_t{kThreads} * kRounds;
    EXPECT_EQ(hs_atomicread64(address_of(&word)), n);
    // Every value 0 .. n-1 was returned exactly once, so the results add up to n(n-1)/2.
    EXPECT_EQ(sum_of_results.load(), n * (n - 1) / 2);
}

TEST(AtomicContention, NarrowAddAndSubWrapWithoutTouchingNeighbours) {
    alignas(8) uint8_t bytes[8];
    std::memset(bytes, 0x5A, sizeof bytes);
    bytes[2] = 0;
    run_together([&](int t) {
        for (int i = 0; i < kRounds; ++i) {
            if (t % 2 == 0)
                hs_atomic_add8(address_of(&bytes[2]), 3);
            else
                hs_atomic_sub8(address_of(&bytes[2]), 1);
        }
    });
    // Four threads add 3, four subtract 1, each kRounds times: 8 * kRounds, modulo 256.
    EXPECT_EQ(bytes[2], static_cast<uint8_t>(uint64_t{4} * kRounds * 2));
    for (int i = 0; i < 8; ++i)
        if (i != 2) {
            EXPECT_EQ(bytes[i], 0x5A) << i;
        }
}

TEST(AtomicContention, LogicalOperationsSeeEveryOtherThreadsBits) {
    // Each thread owns one bit and sets and clears it with or and and (and toggles it twice with xor)
    // while the others do the same to theirs. A lost update would leave a thread's own bit in the
    // wrong state in the value returned to it.
    alignas(8) uint64_t word = 0;
    std::atomic<int> wrong{0};
    run_together([&](int t) {
        const uint64_t mine = uint64_t{1} << (8 * t + t % 3);
        for (int i = 0; i < kRounds / 4; ++i) {
            if (hs_atomic_or64(address_of(&word), mine) & mine) ++wrong;
            if (!(hs_atomic_xor64(address_of(&word), mine) & mine)) ++wrong;
            if (hs_atomic_xor64(address_of(&word), mine) & mine) ++wrong;
            if (!(hs_atomic_and64(address_of(&word), ~mine) & mine)) ++wrong;
        }
    });
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(word, 0u);
}

TEST(AtomicContention, CompareExchangeReturnsWhatItFoundWhetherOrNotItSwapped) {
    // A counter advanced only by compare-and-swap. A failed attempt must return the current
    // contents (which the thread then retries with); a successful one returns the expected value.
    alignas(4) uint32_t counter = 0;
    std::atomic<int> wrong{0};
    std::atomic<uint64_t> failures{0};
    run_together([&](int) {
        uint64_t expected = hs_atomicread32(address_of(&counter));
        for (int i = 0; i < kRounds / 10; ++i) {
            for (;;) {
                const uint64_t found = hs_cmpxchg32(address_of(&counter), expected, expected + 1);
                if (found == expected) break;
                // The counter only grows, so the contents found after a failure are larger.
                if (found < expected) ++wrong;
                ++failures;
                expected = found;
            }
            ++expected;
        }
    });
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(counter, uint32_t{kThreads} * (kRounds / 10));
    RecordProperty("failed_compare_exchanges", static_cast<int>(failures.load()));
}

TEST(AtomicContention, ExchangeHandsEveryValueOnExactlyOnce) {
    // Each thread swaps its own tokens in; every token swapped in is swapped out exactly once
    // (by some later exchange or the final read), so nothing is lost or duplicated.
    alignas(2) uint16_t slot = 0;
    std::vector<std::vector<uint16_t>> seen(kThreads);
    run_together([&](int t) {
        for (int i = 1; i <= 4000; ++i)
            seen[t].push_back(
                static_cast<uint16_t>(hs_xchg16(address_of(&slot), static_cast<uint64_t>(t * 4000 + i))));
    });
    std::vector<int> count(kThreads * 4000 + 1, 0);
    for (const auto& s : seen)
        for (uint16_t v : s) ++count[v];
    ++count[hs_atomicread16(address_of(&slot))];
    for (size_t v = 0; v < count.size(); ++v) EXPECT_EQ(count[v], 1) << v;
}

}  // namespace
