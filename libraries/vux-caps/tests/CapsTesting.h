// Helpers for the capability tests: the transformer tests' helpers, a few language functions on
// Ints, and the test monoids.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "Control/Monad/Trans/Internal.h"
#include "Helpers.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"

namespace caps_test {

using namespace trans_test;
namespace T = Control::Monad::Trans;

// `(+ n)` and `(* n)` on Ints.
inline Value plus(int64_t n) {
    return intFn([n](int64_t x) { return I(x + n); });
}
inline Value times(int64_t n) {
    return intFn([n](int64_t x) { return I(x * n); });
}
// `\w -> w ++ w` on lists.
inline Value twice() {
    return fn1([](const Value& w) { return VUX::Internal::List::op_plus_plus(w, w); });
}

inline bool isUnit(const Value& v) { return rts::same(rts::force(v), unit()); }
inline std::vector<int64_t> intList(const Value& v) { return vux::testing::int_values(v); }

// The components of an evaluated constructor.
inline Value component(const Value& v, size_t i) { return rts::field(rts::force(v), i); }

// Ints added up, strictly: the monoid of the long loops.
inline Value sumMonoid() {
    Value add = rts::fun<2>([](const Value& a, const Value& b) { return I(intv(a) + intv(b)); });
    return Base::monoidRecord(Base::semigroupRecord(add), I(0));
}

// The result of a layer that wraps it in a constructor (Right, Just): the tag checked, unwrapped.
inline std::function<Value(const Value&)> unwrapping(uint8_t tag) {
    return [tag](const Value& r) {
        EXPECT_EQ(rts::tag_of(rts::force(r)), tag);
        return component(r, 0);
    };
}

// Runs a ContT computation with the continuation that yields Just its result in the inner monad.
inline Value continueWithJust(const Value& dInnerMonad, const Value& c) {
    return rts::apply(
        c, fn1([dInnerMonad](const Value& a) { return ret(dInnerMonad, VUX::Internal::Maybe::Just(a)); }));
}

inline Value io() { return VUX::Internal::IO::inst_Monad_IO(); }

// Evaluating v raises the failing value `label`.
template <class F>
void expectFailure(F f, const std::string& label) {
    try {
        f();
        ADD_FAILURE() << "expected the failing value " << label;
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, label)) << label;
    }
}

// The pages of the process resident in memory (from /proc; -1 when unknown).
inline long residentPages() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long size = 0, resident = 0;
    if (!f || std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
    if (f) std::fclose(f);
    return resident;
}

}  // namespace caps_test
