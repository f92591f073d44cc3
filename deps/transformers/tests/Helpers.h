// Small helpers for the transformer tests: boxed Ints, functions from C++ lambdas, the records of
// the base layer, and text forms through the Show records.
#pragma once

#include <functional>
#include <string>

#include "Data/Functor/Identity.h"
#include "Testing.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace trans_test {

using rts::Value;
namespace Base = VUX::Internal::Base;
namespace Show = VUX::Internal::Show;

inline Value I(int64_t n) { return VUX::Types::I_hash(n); }
inline int64_t intv(const Value& v) { return VUX::Types::intOf(rts::force(v)); }
inline Value ints(std::initializer_list<int64_t> xs) { return vux::testing::ints(std::vector<int64_t>(xs)); }
inline Value pair(Value a, Value b) { return VUX::Tuple::Tuple2(std::move(a), std::move(b)); }
inline Value unit() { return VUX::Tuple::Unit(); }

// A language function of one Int.
inline Value intFn(std::function<Value(int64_t)> f) {
    return rts::fun<1>([f](const Value& x) { return f(intv(x)); });
}
inline Value fn1(std::function<Value(const Value&)> f) {
    return rts::fun<1>([f](const Value& x) { return f(x); });
}

inline Value identity() { return Data::Functor::Identity::inst_Monad_Identity(); }
inline Value listMonoid() { return Base::inst_Monoid_List(); }
inline Value ret(const Value& d, Value x) { return Base::return_(d, x); }
inline Value bind(const Value& d, Value m, Value k) { return Base::op_gt_gt_eq(d, m, k); }
// m >> return x
inline Value then(const Value& d, Value m, Value x) { return Base::op_gt_gt(d, m, ret(d, std::move(x))); }

// Show records.
inline Value showInt() { return Show::inst_Show_Int(); }
inline Value showInts() { return Show::inst_Show_List(showInt()); }
inline Value showPair(Value a, Value b) { return Show::inst_Show_Tuple2(std::move(a), std::move(b)); }
inline std::string show(const Value& dShow, const Value& x) {
    return vux::testing::to_string(Show::show(dShow, x));
}

// `length`, `sum` of a list of Ints, and `w ++ [x]`, as language functions.
inline Value lengthFn() {
    return fn1([](const Value& xs) { return I(VUX::Internal::List::length(xs)); });
}
inline Value snoc(int64_t x) {
    return fn1([x](const Value& w) { return VUX::Internal::List::op_plus_plus(w, ints({x})); });
}

// Runs f with the C++ stack limited to `bytes`: an endless recursion fails fast, and a loop that
// grew the stack by even a few bytes per step would overflow.
template <class F>
void withStackLimit(size_t bytes, F f) {
    uintptr_t previous = rts::limit_stack_depth(bytes);
    try {
        f();
    } catch (...) {
        rts::restore_stack_limit(previous);
        throw;
    }
    rts::restore_stack_limit(previous);
}

}  // namespace trans_test
