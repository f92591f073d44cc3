#include "Control/Monad/Trans/RWS/Shared.h"

#include "Control/Monad/Trans/Class.h"

namespace Control::Monad::Trans::RWS::Shared {

using namespace Internal;

namespace {
// \r s -> return (g r s): a step that does not run the inner monad.
template <class G>
Value step(const Value& dMonad, G g) {
    return rts::fun<2>([dMonad, g](const Value& r, const Value& s) { return ret(dMonad, g(r, s)); });
}
// \r s -> m r s >>= \t -> return (g t): a step that rewrites the triple of m.
template <class G>
Value rewrite(const Value& dMonad, const Value& m, G g) {
    return rts::fun<2>([dMonad, m, g](const Value& r, const Value& s) {
        return bind(dMonad, suspend(m, r, s),
                    rts::fun<1>([dMonad, g](const Value& t) { return ret(dMonad, g(t)); }));
    });
}
}  // namespace

Value evalRWS(const Value& m, const Value& r, const Value& s) {
    Value t = suspend(m, r, s);
    return Tuple2(selectField(t, 0), selectField(t, 2));
}
Value execRWS(const Value& m, const Value& r, const Value& s) {
    Value t = suspend(m, r, s);
    return Tuple2(selectField(t, 1), selectField(t, 2));
}

Value monadRecord(Value dMonoid, Value dMonad, Match match) {
    Value pure = rts::fun<1>([dMonad, none = mempty(dMonoid)](const Value& a) {
        return step(dMonad, [a, none](const Value&, const Value& s) { return Tuple3(a, s, none); });
    });
    // m >>= k = \r s -> m r s >>= \(a, s', w) -> k a r s' >>= \(b, s'', w') -> return (b, s'', w <> w')
    Value bindFn = rts::fun<2>([dMonoid, dMonad, match](const Value& m, const Value& k) {
        return rts::fun<2>([dMonoid, dMonad, match, m, k](const Value& r, const Value& s) {
            return bind(dMonad, suspend(m, r, s), rts::fun<1>([dMonoid, dMonad, match, k, r](const Value& t) {
                            auto [a, s1, w] = triple(t, match);
                            Value next = suspend(k, a, r, s1);
                            return bind(dMonad, std::move(next),
                                        rts::fun<1>([dMonoid, dMonad, match, w = w](const Value& t2) {
                                            auto [b, s2, w1] = triple(t2, match);
                                            return ret(dMonad, Tuple3(b, s2, mappendLazy(dMonoid, w, w1)));
                                        }));
                        }));
        });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

Value monadTransRecord(Value dMonoid, Match match) {
    Value superclass =
        rts::fun<1>([dMonoid, match](const Value& dMonad) { return monadRecord(dMonoid, dMonad, match); });
    Value lift = rts::fun<2>([none = mempty(dMonoid)](const Value& dMonad, const Value& m) {
        return rts::fun<2>([dMonad, m, none](const Value&, const Value& s) {
            return bind(dMonad, m, rts::fun<1>([dMonad, s, none](const Value& a) {
                            return ret(dMonad, Tuple3(a, s, none));
                        }));
        });
    });
    return Class::C_MonadTrans(std::move(superclass), std::move(lift));
}

namespace {
Value component(const Value& dMonad, const Value& m, const Value& r, const Value& s, size_t i, Match match) {
    return bind(dMonad, suspend(m, r, s), rts::fun<1>([dMonad, i, match](const Value& t) {
                    auto parts = triple(t, match);
                    return ret(dMonad, Tuple2(parts[i], parts[2]));
                }));
}
}  // namespace

Value evalRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s, Match match) {
    return component(dMonad, m, r, s, 0, match);
}
Value execRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s, Match match) {
    return component(dMonad, m, r, s, 1, match);
}

Value mapRWST(const Value& f, const Value& m) {
    return rts::fun<2>([f, m](const Value& r, const Value& s) { return rts::apply(f, suspend(m, r, s)); });
}

Value withRWST(const Value& f, const Value& m) {
    return rts::fun<2>([f, m](const Value& r, const Value& s) {
        Value p = suspend(f, r, s);
        return rts::apply(m, selectField(p, 0), selectField(p, 1));
    });
}

Value reader(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return step(dMonad, [f, none = mempty(dMonoid)](const Value& r, const Value& s) {
        return Tuple3(suspend(f, r), s, none);
    });
}

Value ask(const Value& dMonoid, const Value& dMonad) {
    return step(dMonad,
                [none = mempty(dMonoid)](const Value& r, const Value& s) { return Tuple3(r, s, none); });
}

Value local(const Value& f, const Value& m) {
    return rts::fun<2>([f, m](const Value& r, const Value& s) { return rts::apply(m, suspend(f, r), s); });
}

Value writer(const Value& dMonad, const Value& p, Match match) {
    return step(dMonad, [p, match](const Value&, const Value& s) {
        auto [a, w] = pair(p, match);
        return Tuple3(a, s, w);
    });
}

Value tell(const Value& dMonad, const Value& w) {
    return step(dMonad, [w](const Value&, const Value& s) { return Tuple3(unit(), s, w); });
}

Value listen(const Value& dMonad, const Value& m, Match match) {
    return rewrite(dMonad, m, [match](const Value& t) {
        auto [a, s, w] = triple(t, match);
        return Tuple3(Tuple2(a, w), s, w);
    });
}

Value listens(const Value& dMonad, const Value& f, const Value& m, Match match) {
    return rewrite(dMonad, m, [f, match](const Value& t) {
        auto [a, s, w] = triple(t, match);
        return Tuple3(Tuple2(a, suspend(f, w)), s, w);
    });
}

Value pass(const Value& dMonad, const Value& m, Match match) {
    return rewrite(dMonad, m, [match](const Value& t) {
        auto [af, s, w] = triple(t, match);
        auto [a, f] = pair(af, match);
        return Tuple3(a, s, suspend(f, w));
    });
}

Value censor(const Value& dMonad, const Value& f, const Value& m, Match match) {
    return rewrite(dMonad, m, [f, match](const Value& t) {
        auto [a, s, w] = triple(t, match);
        return Tuple3(a, s, suspend(f, w));
    });
}

Value state(const Value& dMonoid, const Value& dMonad, const Value& f, Match match) {
    return step(dMonad, [f, match, none = mempty(dMonoid)](const Value&, const Value& s) {
        auto [a, s1] = pair(suspend(f, s), match);
        return Tuple3(a, s1, none);
    });
}

Value get(const Value& dMonoid, const Value& dMonad) {
    return step(dMonad,
                [none = mempty(dMonoid)](const Value&, const Value& s) { return Tuple3(s, s, none); });
}

Value put(const Value& dMonoid, const Value& dMonad, const Value& s) {
    return step(dMonad,
                [s, none = mempty(dMonoid)](const Value&, const Value&) { return Tuple3(unit(), s, none); });
}

Value modify(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return step(dMonad, [f, none = mempty(dMonoid)](const Value&, const Value& s) {
        return Tuple3(unit(), suspend(f, s), none);
    });
}

Value gets(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return step(dMonad, [f, none = mempty(dMonoid)](const Value&, const Value& s) {
        return Tuple3(suspend(f, s), s, none);
    });
}

}  // namespace Control::Monad::Trans::RWS::Shared
