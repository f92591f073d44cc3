#include "Control/Monad/Trans/RWS/CPS.h"

#include "Control/Monad/Trans/Class.h"
#include "Data/Functor/Identity.h"

namespace Control::Monad::Trans::RWS::CPS {

using namespace Internal;

namespace {
// \r s w -> return (g r s w): a step that does not run the inner monad.
template <class G>
Value step(const Value& dMonad, G g) {
    return rts::fun<3>(
        [dMonad, g](const Value& r, const Value& s, const Value& w) { return ret(dMonad, g(r, s, w)); });
}

// \r s w0 -> start r s >>= \t -> let (a, s', w) = t; wt = w0 <> out w in wt `seq` return (g a t, s', wt):
// every operation that appends the output of an inner run.
template <class Start, class Out, class Result>
Value appending(const Value& dMonoid, const Value& dMonad, Start start, Out out, Result result) {
    return rts::fun<3>(
        [dMonoid, dMonad, start, out, result](const Value& r, const Value& s, const Value& w0) {
            return bind(dMonad, start(r, s), rts::fun<1>([dMonoid, dMonad, out, result, w0](const Value& t) {
                            auto [a, s1, w] = triple(t, Match::Strict);
                            Value wt = mappendStrict(dMonoid, w0, out(w));
                            return ret(dMonad, Tuple3(result(a, w), s1, std::move(wt)));
                        }));
        });
}
// Runs m from the empty output: the start of listen, pass and censor.
auto fromEmpty(const Value& dMonoid, const Value& m) {
    return [m, none = mempty(dMonoid)](const Value& r, const Value& s) { return suspend(m, r, s, none); };
}
Value same(const Value& w) { return w; }
Value first(const Value& a, const Value&) { return a; }

Value superclass(const Value& dMonad) { return inst_Monad_RWST_CPS(dMonad); }
Value lift(const Value& dMonad, const Value& m) {
    return rts::fun<3>([dMonad, m](const Value&, const Value& s, const Value& w) {
        return bind(dMonad, m,
                    rts::fun<1>([dMonad, s, w](const Value& a) { return ret(dMonad, Tuple3(a, s, w)); }));
    });
}

Value component(const Value& dMonoid, const Value& dMonad, const Value& m, const Value& r, const Value& s,
                size_t i) {
    return bind(dMonad, suspend(m, r, s, mempty(dMonoid)), rts::fun<1>([dMonad, i](const Value& t) {
                    auto parts = triple(t, Match::Strict);
                    return ret(dMonad, Tuple2(parts[i], parts[2]));
                }));
}
}  // namespace

Value rwsT(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return appending(
        dMonoid, dMonad, [f](const Value& r, const Value& s) { return suspend(f, r, s); }, same, first);
}

Value runRWST(const Value& dMonoid, const Value& m, const Value& r, const Value& s) {
    return rts::apply(m, r, s, mempty(dMonoid));
}
Value evalRWST(const Value& dMonoid, const Value& dMonad, const Value& m, const Value& r, const Value& s) {
    return component(dMonoid, dMonad, m, r, s, 0);
}
Value execRWST(const Value& dMonoid, const Value& dMonad, const Value& m, const Value& r, const Value& s) {
    return component(dMonoid, dMonad, m, r, s, 1);
}

Value rws(const Value& dMonoid, const Value& f) {
    return rwsT(dMonoid, Data::Functor::Identity::inst_Monad_Identity(), f);
}
Value evalRWS(const Value& dMonoid, const Value& m, const Value& r, const Value& s) {
    Value t = suspend(m, r, s, mempty(dMonoid));
    return Tuple2(selectField(t, 0), selectField(t, 2));
}
Value execRWS(const Value& dMonoid, const Value& m, const Value& r, const Value& s) {
    Value t = suspend(m, r, s, mempty(dMonoid));
    return Tuple2(selectField(t, 1), selectField(t, 2));
}

Value inst_Monad_RWST_CPS(const Value& dMonad) {
    Value pure = rts::fun<1>([dMonad](const Value& a) {
        return step(dMonad, [a](const Value&, const Value& s, const Value& w) { return Tuple3(a, s, w); });
    });
    // m >>= k = \r s w -> m r s w >>= \(a, s', w') -> k a r s' w'
    Value bindFn = rts::fun<2>([dMonad](const Value& m, const Value& k) {
        return rts::fun<3>([dMonad, m, k](const Value& r, const Value& s, const Value& w) {
            return bind(dMonad, suspend(m, r, s, w), rts::fun<1>([k, r](const Value& t) {
                            auto [a, s1, w1] = triple(t, Match::Strict);
                            return rts::apply(k, a, r, s1, w1);
                        }));
        });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_RWST_CPS_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

Value mapRWST(const Value& dMonoid, const Value& dMonoid2, const Value& dMonad2, const Value& f,
              const Value& m) {
    return appending(
        dMonoid2, dMonad2,
        [dMonoid, f, m](const Value& r, const Value& s) { return suspend(f, runRWST(dMonoid, m, r, s)); },
        same, first);
}

Value withRWST(const Value& f, const Value& m) {
    return rts::fun<3>([f, m](const Value& r, const Value& s, const Value& w) {
        Value p = suspend(f, r, s);
        return rts::apply(m, selectField(p, 0), selectField(p, 1), w);
    });
}

Value reader(const Value& dMonad, const Value& f) {
    return step(dMonad,
                [f](const Value& r, const Value& s, const Value& w) { return Tuple3(suspend(f, r), s, w); });
}
Value ask(const Value& dMonad) {
    return step(dMonad, [](const Value& r, const Value& s, const Value& w) { return Tuple3(r, s, w); });
}
Value local(const Value& f, const Value& m) {
    return rts::fun<3>([f, m](const Value& r, const Value& s, const Value& w) {
        return rts::apply(m, suspend(f, r), s, w);
    });
}

Value writer(const Value& dMonoid, const Value& dMonad, const Value& p) {
    return rts::fun<3>([dMonoid, dMonad, p](const Value&, const Value& s, const Value& w0) {
        auto [a, w] = pair(p, Match::Strict);
        Value wt = mappendStrict(dMonoid, w0, w);
        return ret(dMonad, Tuple3(a, s, std::move(wt)));
    });
}

Value tell(const Value& dMonoid, const Value& dMonad, const Value& w) {
    return rts::fun<3>([dMonoid, dMonad, w](const Value&, const Value& s, const Value& w0) {
        Value wt = mappendStrict(dMonoid, w0, w);
        return ret(dMonad, Tuple3(unit(), s, std::move(wt)));
    });
}

Value listen(const Value& dMonoid, const Value& dMonad, const Value& m) {
    return appending(dMonoid, dMonad, fromEmpty(dMonoid, m), same,
                     [](const Value& a, const Value& w) { return Tuple2(a, w); });
}

Value listens(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m) {
    return appending(dMonoid, dMonad, fromEmpty(dMonoid, m), same,
                     [f](const Value& a, const Value& w) { return Tuple2(a, suspend(f, w)); });
}

Value pass(const Value& dMonoid, const Value& dMonad, const Value& m) {
    // The result (a, f) is evaluated before the output is combined.
    return rts::fun<3>(
        [dMonoid, dMonad, start = fromEmpty(dMonoid, m)](const Value& r, const Value& s, const Value& w0) {
            return bind(dMonad, start(r, s), rts::fun<1>([dMonoid, dMonad, w0](const Value& t) {
                            auto [af, s1, w] = triple(t, Match::Strict);
                            auto [a, f] = pair(af, Match::Strict);
                            Value wt = mappendStrict(dMonoid, w0, suspend(f, w));
                            return ret(dMonad, Tuple3(a, s1, std::move(wt)));
                        }));
        });
}

Value censor(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m) {
    return appending(
        dMonoid, dMonad, fromEmpty(dMonoid, m), [f](const Value& w) { return suspend(f, w); }, first);
}

Value state(const Value& dMonad, const Value& f) {
    return step(dMonad, [f](const Value&, const Value& s, const Value& w) {
        auto [a, s1] = pair(suspend(f, s), Match::Lazy);
        return Tuple3(a, s1, w);
    });
}
Value get(const Value& dMonad) {
    return step(dMonad, [](const Value&, const Value& s, const Value& w) { return Tuple3(s, s, w); });
}
Value put(const Value& dMonad, const Value& s) {
    return step(dMonad, [s](const Value&, const Value&, const Value& w) { return Tuple3(unit(), s, w); });
}
Value modify(const Value& dMonad, const Value& f) {
    return step(dMonad, [f](const Value&, const Value& s, const Value& w) {
        return Tuple3(unit(), suspend(f, s), w);
    });
}
Value gets(const Value& dMonad, const Value& f) {
    return step(dMonad,
                [f](const Value&, const Value& s, const Value& w) { return Tuple3(suspend(f, s), s, w); });
}

}  // namespace Control::Monad::Trans::RWS::CPS
