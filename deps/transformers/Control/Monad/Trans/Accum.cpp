#include "Control/Monad/Trans/Accum.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::Accum {

using namespace Internal;

namespace {
Value component(const Value& dMonad, const Value& m, const Value& w, size_t i) {
    return bind(dMonad, suspend(m, w), rts::fun<1>([dMonad, i](const Value& p) {
                    return ret(dMonad, std::move(pair(p, Match::Lazy)[i]));
                }));
}
}  // namespace

Value evalAccumT(const Value& dMonad, const Value& m, const Value& w) { return component(dMonad, m, w, 0); }
Value execAccumT(const Value& dMonad, const Value& m, const Value& w) { return component(dMonad, m, w, 1); }

Value mapAccumT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& w) { return rts::apply(f, suspend(m, w)); });
}

Value evalAccum(const Value& m, const Value& w) { return selectField(suspend(m, w), 0); }
Value execAccum(const Value& m, const Value& w) { return selectField(suspend(m, w), 1); }

Value inst_Monad_AccumT(const Value& dMonoid, const Value&, const Value& dMonad) {
    Value pure = rts::fun<1>([dMonad, none = mempty(dMonoid)](const Value& a) {
        return VUX::Internal::Base::const_(ret(dMonad, Tuple2(a, none)));
    });
    // m >>= k = \w -> m w >>= \~(a, w') -> k a (w <> w') >>= \~(b, w'') -> return (b, w' <> w'')
    Value bindFn = rts::fun<2>([dMonoid, dMonad](const Value& m, const Value& k) {
        return rts::fun<1>([dMonoid, dMonad, m, k](const Value& w) {
            return bind(dMonad, suspend(m, w), rts::fun<1>([dMonoid, dMonad, k, w](const Value& p) {
                            auto [a, w1] = pair(p, Match::Lazy);
                            Value next = suspend(k, a, mappendLazy(dMonoid, w, w1));
                            return bind(dMonad, std::move(next),
                                        rts::fun<1>([dMonoid, dMonad, w1 = w1](const Value& q) {
                                            auto [b, w2] = pair(q, Match::Lazy);
                                            return ret(dMonad, Tuple2(b, mappendLazy(dMonoid, w1, w2)));
                                        }));
                        }));
        });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

Value inst_MonadTrans_AccumT(const Value& dMonoid) {
    Value superclass = rts::fun<1>([dMonoid](const Value& dMonad) {
        return inst_Monad_AccumT(
            dMonoid, VUX::Internal::Base::Applicative_Functor(VUX::Internal::Base::Monad_Applicative(dMonad)),
            dMonad);
    });
    Value lift = rts::fun<2>([none = mempty(dMonoid)](const Value& dMonad, const Value& m) {
        return VUX::Internal::Base::const_(bind(
            dMonad, m, rts::fun<1>([dMonad, none](const Value& a) { return ret(dMonad, Tuple2(a, none)); })));
    });
    return Class::C_MonadTrans(std::move(superclass), std::move(lift));
}

Value accum(const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f](const Value& w) { return ret(dMonad, suspend(f, w)); });
}

Value look(const Value& dMonoid, const Value& dMonad) {
    return rts::fun<1>(
        [dMonad, none = mempty(dMonoid)](const Value& w) { return ret(dMonad, Tuple2(w, none)); });
}

Value looks(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f, none = mempty(dMonoid)](const Value& w) {
        return ret(dMonad, Tuple2(suspend(f, w), none));
    });
}

Value add(const Value& dMonad, const Value& w) {
    return VUX::Internal::Base::const_(ret(dMonad, Tuple2(unit(), w)));
}

constinit const rts::StaticFun mapAccumT_closure{rts::static_fun_info<&mapAccumT>};

}  // namespace Control::Monad::Trans::Accum
