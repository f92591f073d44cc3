// Functions, partial application and the generic apply.
#include <algorithm>
#include <vector>

#include "RuntimeTest.h"

namespace {

using namespace rts_test;
using rts::Value;

// f a b c = 100 a + 10 b + c: the digits show which argument went where.
Value digits3() {
    return rts::fun<3>([](const Value& a, const Value& b, const Value& c) {
        return box(100 * unbox(a) + 10 * unbox(b) + unbox(c));
    });
}

TEST(Apply, Exactly) { EXPECT_EQ(unbox(rts::apply(digits3(), box(1), box(2), box(3))), 123); }

TEST(Apply, PartiallyTwiceInARow) {
    Value f = digits3();
    Value p1 = rts::apply(f, box(4));
    EXPECT_EQ(p1->kind, rts::Kind::Pap);
    EXPECT_EQ(rts::arity_of(p1), 2u);
    Value p2 = rts::apply(p1, box(5));
    EXPECT_EQ(rts::arity_of(p2), 1u);
    EXPECT_EQ(unbox(rts::apply(p2, box(6))), 456);
    // Partial applications are values: applying one again does not disturb it.
    EXPECT_EQ(unbox(rts::apply(p2, box(7))), 457);
    EXPECT_EQ(unbox(rts::apply(p1, box(8), box(9))), 489);
}

TEST(Apply, OneArgumentAtATime) {
    Value f = digits3();
    Value g = rts::apply(f, box(7));
    Value h = rts::apply(g, box(8));
    EXPECT_EQ(unbox(rts::apply(h, box(9))), 789);
}

TEST(Apply, OverSaturatedCallsThenAppliesTheResult) {
    // k x = \y -> x - y : arity 1 returning a function.
    Value k = rts::fun<1>([](const Value& x) {
        return rts::fun<1>([x](const Value& y) { return box(unbox(x) - unbox(y)); });
    });
    EXPECT_EQ(unbox(rts::apply(k, box(10), box(3))), 7);
    // Over-saturating a partial application: digits3 1 applied to 2, 3, then the result (a
    // constructor) is not applied further; and a pap of k given two arguments at once.
    Value p = rts::apply(digits3(), box(1));
    EXPECT_EQ(unbox(rts::apply(p, box(2), box(3))), 123);
    Value compose3 = rts::fun<2>([](const Value& f, const Value& x) { return rts::apply(f, x); });
    EXPECT_EQ(unbox(rts::apply(compose3, k, box(20), box(5))), 15);
}

TEST(Apply, OverSaturationLetsGoOfEachIntermediateFunction) {
    // s x = \y -> \z -> x*100 + y*10 + z, one argument at a time: each call's result is the only
    // holder of the next function applied, and of its closure.
    DestroyCounter dc;
    Value s = rts::fun<1>([dc](const Value& x) {
        return rts::fun<1>([dc, x, t = dc.token()](const Value& y) {
            return rts::fun<1>([x, y, t = dc.token()](const Value& z) {
                return box(unbox(x) * 100 + unbox(y) * 10 + unbox(z));
            });
        });
    });
    EXPECT_EQ(unbox(rts::apply(s, box(4), box(5), box(6))), 456);
    EXPECT_EQ(dc.destroyed(), 2);
    EXPECT_EQ(count_of(s), 1u);
}

TEST(Apply, FunctionBehindASuspendedComputation) {
    Value lazy_f = rts::delay([] { return digits3(); });
    EXPECT_EQ(unbox(rts::apply(lazy_f, box(1), box(1), box(1))), 111);
}

TEST(Apply, SelfPassingRecursionHoldsNoReferenceToItself) {
    Value fact = rts::fun_rec<1>([](const Value& self, const Value& n) {
        int64_t k = unbox(n);
        return k <= 1 ? box(1) : box(k * unbox(rts::apply(self, box(k - 1))));
    });
    EXPECT_EQ(unbox(rts::apply(fact, box(10))), 3628800);
    EXPECT_EQ(count_of(fact), 1u);  // no cycle: dropping `fact` frees it
}

Value add2(const Value& a, const Value& b) { return box(unbox(a) + unbox(b)); }
constinit const rts::StaticFun add2_closure{rts::static_fun_info<&add2>};

TEST(Apply, StaticFunctionIsNeverCounted) {
    Value f = add2_closure.value();
    Value p = rts::apply(f, box(2));
    EXPECT_EQ(count_of(f), 0u);
    EXPECT_EQ(unbox(rts::apply(p, box(3))), 5);
}

// Twenty arguments given in every split of one to three calls, beyond any small fixed buffer.
TEST(Apply, ManyArgumentsInEverySplit) {
    constexpr int kArity = 20;
    Value sum = rts::fun<kArity>([](auto const&... xs) { return box((unbox(xs) + ...)); });
    std::vector<Value> args;
    for (int i = 1; i <= kArity; ++i) args.push_back(box(i));
    const int64_t expected = kArity * (kArity + 1) / 2;
    for (int first = 1; first <= kArity; ++first) {
        for (int second = 0; second <= kArity - first + 2; second += 3) {
            SCOPED_TRACE(testing::Message() << first << "+" << second);
            Value f = rts::apply_n(sum, first, args.data());
            const int rest = kArity - first;
            if (second > 0 && rest > 0) f = rts::apply_n(f, std::min(second, rest), args.data() + first);
            if (rest > second) f = rts::apply_n(f, rest - second, args.data() + first + second);
            EXPECT_EQ(unbox(f), expected);
        }
    }
}

// f x1 .. xN = the number whose decimal digits are x1 .. xN.
template <int N>
Value digits() {
    return rts::fun<N>([](auto const&... xs) {
        int64_t n = 0;
        ((n = 10 * n + unbox(xs)), ...);
        return box(n);
    });
}

// Partial applications completed with few and with many arguments in all, on either side of the
// short path taken when they fit a small buffer: every argument lands in its place.
TEST(Apply, CompletedPartialApplicationsKeepTheArgumentOrder) {
    const std::vector<Value> args = {box(1), box(2), box(3), box(4), box(5), box(6), box(7), box(8), box(9)};
    struct Case {
        Value f;
        int arity;
        int64_t expected;
    };
    const Case cases[] = {{digits<2>(), 2, 12}, {digits<8>(), 8, 12345678}, {digits<9>(), 9, 123456789}};
    for (const Case& c : cases) {
        for (int first = 1; first < c.arity; ++first) {
            for (int second = 0; second < c.arity - first; ++second) {
                SCOPED_TRACE(testing::Message() << c.arity << ": " << first << "+" << second);
                Value f = rts::apply_n(c.f, first, args.data());
                if (second > 0) f = rts::apply_n(f, second, args.data() + first);
                EXPECT_EQ(unbox(rts::apply_n(f, c.arity - first - second, args.data() + first + second)), c.expected);
            }
        }
    }
}

TEST(Apply, ArgumentsAreBorrowedAndPapsReleaseWhatTheyHold) {
    Value a = box(1);
    {
        Value p = rts::apply(digits3(), a);
        EXPECT_EQ(count_of(a), 2u);
        EXPECT_EQ(unbox(rts::apply(p, a, a)), 111);
    }
    EXPECT_EQ(count_of(a), 1u);
}

TEST(Apply, ClosureReleasedWithTheFunction) {
    DestroyCounter dc;
    {
        Value f = rts::fun<1>([token = dc.token()](const Value& x) { return x; });
        Value p = rts::apply(rts::fun<2>([](const Value& g, const Value& x) { return rts::apply(g, x); }), f);
        EXPECT_EQ(unbox(rts::apply(p, box(3))), 3);
    }
    EXPECT_EQ(dc.destroyed(), 1);
}

}  // namespace
