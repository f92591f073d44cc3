#include "Control/Monad/Trans/State/Shared.h"

namespace Control::Monad::Trans::State::Shared {

using namespace Internal;

namespace {
// m >>= k = \s -> m s >>= \p -> k (fst p) (snd p), the pair matched as `match` says.
Value bindState(const Value& dMonad, const Value& m, const Value& k, Match match) {
    return rts::fun<1>([dMonad, m, k, match](const Value& s) {
        return bind(dMonad, suspend(m, s), rts::fun<1>([k, match](const Value& p) {
                        auto [a, s1] = pair(p, match);
                        return rts::apply(k, a, s1);
                    }));
    });
}

Value component(const Value& dMonad, const Value& m, const Value& s, size_t i, Match match) {
    return bind(dMonad, suspend(m, s), rts::fun<1>([dMonad, i, match](const Value& p) {
                    return ret(dMonad, std::move(pair(p, match)[i]));
                }));
}
}  // namespace

Value monadRecord(Value dMonad, Match match) {
    Value pure = rts::fun<1>([dMonad](const Value& a) {
        return rts::fun<1>([dMonad, a](const Value& s) { return ret(dMonad, Tuple2(a, s)); });
    });
    Value bindFn = rts::fun<2>(
        [dMonad, match](const Value& m, const Value& k) { return bindState(dMonad, m, k, match); });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

Value lift(const Value& dMonad, const Value& m) {
    return rts::fun<1>([dMonad, m](const Value& s) {
        return bind(dMonad, m,
                    rts::fun<1>([dMonad, s](const Value& a) { return ret(dMonad, Tuple2(a, s)); }));
    });
}

Value state(const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f](const Value& s) { return ret(dMonad, suspend(f, s)); });
}

Value get(const Value& dMonad) {
    return rts::fun<1>([dMonad](const Value& s) { return ret(dMonad, Tuple2(s, s)); });
}

Value put(const Value& dMonad, const Value& s) {
    return rts::fun<1>([dMonad, s](const Value&) { return ret(dMonad, Tuple2(unit(), s)); });
}

Value modify(const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f](const Value& s) { return ret(dMonad, Tuple2(unit(), suspend(f, s))); });
}

Value modify_prime(const Value& dMonad, const Value& f) {
    // get >>= \s -> put $! f s
    return rts::fun<1>([dMonad, f](const Value& s) {
        return bind(dMonad, ret(dMonad, s), rts::fun<1>([dMonad, f](const Value& old) {
                        Value next = rts::force(rts::apply(f, old));
                        return ret(dMonad, Tuple2(unit(), std::move(next)));
                    }));
    });
}

Value gets(const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f](const Value& s) { return ret(dMonad, Tuple2(suspend(f, s), s)); });
}

Value mapStateT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& s) { return rts::apply(f, suspend(m, s)); });
}

Value withStateT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& s) { return rts::apply(m, suspend(f, s)); });
}

Value evalStateT(const Value& dMonad, const Value& m, const Value& s, Match match) {
    return component(dMonad, m, s, 0, match);
}
Value execStateT(const Value& dMonad, const Value& m, const Value& s, Match match) {
    return component(dMonad, m, s, 1, match);
}

Value evalState(const Value& m, const Value& s) { return selectField(suspend(m, s), 0); }
Value execState(const Value& m, const Value& s) { return selectField(suspend(m, s), 1); }

}  // namespace Control::Monad::Trans::State::Shared
