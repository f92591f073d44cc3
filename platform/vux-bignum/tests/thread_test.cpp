// Big results shared with another thread: a result written in place by this thread is read and let
// go of by another thread, while this thread goes on making results of the same size. Each result
// the other thread reads keeps its limbs until it lets go, and the later results are whole.
#include <gtest/gtest.h>
#include <gmp.h>

#include <thread>
#include <vector>

#include "MpzOracle.h"
#include "VUX/Num/Integer.h"

namespace {

using namespace VUX::Num::Integer;
using namespace bignum_test;

constexpr unsigned long kLimbs = 300;  // beyond the limbs a constructor holds inline
constexpr int kRounds = 200;

TEST(BigResultsAcrossThreads, ReleasedByAnotherThreadWhileThisOneMakesMore) {
    rts::share_with_threads();
    gmp_randstate_t state;
    gmp_randinit_default(state);
    gmp_randseed_ui(state, 5);
    Mpz a, b;
    mpz_urandomb(a, state, 64 * kLimbs);
    mpz_setbit(a, 64 * kLimbs - 1);
    const Value x = integer_of(a, Form::Bytes);
    for (int round = 0; round < kRounds; ++round) {
        mpz_urandomb(b, state, 64 * kLimbs - 1);
        Mpz want;
        mpz_add(want, a, b);
        Value sum = integerAdd(x, integer_of(b, Form::Bytes));
        bool intact = false;
        std::thread reader([&intact, &want, held = std::move(sum)]() mutable {
            for (int k = 0; k < 20; ++k) intact = mpz_cmp(mpz_of_integer(held), want) == 0;
            held = Value();
        });
        // Meanwhile this thread makes sums of the same size.
        Mpz next;
        mpz_add(next, a, a);
        for (int k = 0; k < 20; ++k) ASSERT_EQ(mpz_cmp(mpz_of_integer(integerAdd(x, x)), next), 0);
        reader.join();
        ASSERT_TRUE(intact) << "round " << round;
    }
    gmp_randclear(state);
}

}  // namespace
