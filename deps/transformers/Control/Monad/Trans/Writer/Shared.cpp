#include "Control/Monad/Trans/Writer/Shared.h"

#include "Control/Monad/Trans/Class.h"

namespace Control::Monad::Trans::Writer::Shared {

using namespace Internal;

namespace {
// m >>= \p -> return (g p): the shape of the operations that rewrite a result.
template <class G>
Value mapResult(const Value& dMonad, const Value& m, G g) {
    return bind(dMonad, m, rts::fun<1>([dMonad, g](const Value& p) { return ret(dMonad, g(p)); }));
}
}  // namespace

Value monadRecord(Value dMonoid, Value dMonad, Match match) {
    Value none = mempty(dMonoid);
    Value pure = rts::fun<1>([dMonad, none](const Value& a) { return ret(dMonad, Tuple2(a, none)); });
    // m >>= k: run m, then k a; the output is w <> w'.
    Value bindFn = rts::fun<2>([dMonoid, dMonad, match](const Value& m, const Value& k) {
        return bind(dMonad, m, rts::fun<1>([dMonoid, dMonad, k, match](const Value& p) {
                        auto [a, w] = pair(p, match);
                        return mapResult(dMonad, suspend(k, a), [dMonoid, match, w = w](const Value& q) {
                            auto [b, w1] = pair(q, match);
                            return Tuple2(b, mappendLazy(dMonoid, w, w1));
                        });
                    }));
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

Value monadTransRecord(Value dMonoid, Match match) {
    Value superclass =
        rts::fun<1>([dMonoid, match](const Value& dMonad) { return monadRecord(dMonoid, dMonad, match); });
    Value lift = rts::fun<2>([none = mempty(dMonoid)](const Value& dMonad, const Value& m) {
        return mapResult(dMonad, m, [none](const Value& a) { return Tuple2(a, none); });
    });
    return Class::C_MonadTrans(std::move(superclass), std::move(lift));
}

Value writer(const Value& dMonad, const Value& p) { return ret(dMonad, p); }
Value tell(const Value& dMonad, const Value& w) { return ret(dMonad, Tuple2(unit(), w)); }

Value listen(const Value& dMonad, const Value& m, Match match) {
    return mapResult(dMonad, m, [match](const Value& p) {
        auto [a, w] = pair(p, match);
        return Tuple2(Tuple2(a, w), w);
    });
}

Value listens(const Value& dMonad, const Value& f, const Value& m, Match match) {
    return mapResult(dMonad, m, [f, match](const Value& p) {
        auto [a, w] = pair(p, match);
        return Tuple2(Tuple2(a, suspend(f, w)), w);
    });
}

Value pass(const Value& dMonad, const Value& m, Match match) {
    return mapResult(dMonad, m, [match](const Value& p) {
        auto [af, w] = pair(p, match);
        auto [a, f] = pair(af, match);
        return Tuple2(a, suspend(f, w));
    });
}

Value censor(const Value& dMonad, const Value& f, const Value& m, Match match) {
    return mapResult(dMonad, m, [f, match](const Value& p) {
        auto [a, w] = pair(p, match);
        return Tuple2(a, suspend(f, w));
    });
}

Value execWriterT(const Value& dMonad, const Value& m, Match match) {
    return mapResult(dMonad, m, [match](const Value& p) { return std::move(pair(p, match)[1]); });
}

}  // namespace Control::Monad::Trans::Writer::Shared
