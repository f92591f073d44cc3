// The long loops of the loop and memory tests: a StateT counter and a writer that tells once per
// step, both over IO. Each step builds the next one when it runs, as a recursive function does, so
// a finished step is not kept by the loop.
#pragma once

#include <functional>

#include "Control/Monad/Trans/State/Shared.h"
#include "Helpers.h"
#include "VUX/Internal/IO.h"

namespace trans_test {

inline constexpr int64_t kSteps = 1'000'000;

inline Value io() { return VUX::Internal::IO::inst_Monad_IO(); }

// go n = do s <- get; put (s + 1); if n == 0 then return () else go (n - 1)
inline Value counter(const Value& d, int64_t n) {
    namespace S = Control::Monad::Trans::State::Shared;
    return bind(d, S::get(io()), fn1([d, n](const Value& s) {
                    Value rest = n == 0 ? ret(d, unit()) : rts::delay([d, n]() { return counter(d, n - 1); });
                    return Base::op_gt_gt(d, S::put(io(), I(intv(s) + 1)), rest);
                }));
}

// go n = tell n >>= \_ -> if n == 0 then return () else go (n - 1)
inline Value teller(const Value& d, const std::function<Value(int64_t)>& tell, int64_t n) {
    return bind(d, tell(n),
                fn1([d, tell, n](const Value&) { return n == 0 ? ret(d, unit()) : teller(d, tell, n - 1); }));
}

// The output monoid of the writer loops: Ints added up, strictly.
inline Value sumMonoid() {
    Value add = rts::fun<2>([](const Value& a, const Value& b) { return I(intv(a) + intv(b)); });
    return Base::monoidRecord(Base::semigroupRecord(add), I(0));
}

}  // namespace trans_test
