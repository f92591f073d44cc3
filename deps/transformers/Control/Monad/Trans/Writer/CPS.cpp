#include "Control/Monad/Trans/Writer/CPS.h"

#include "Control/Monad/Trans/Class.h"
#include "Data/Functor/Identity.h"

namespace Control::Monad::Trans::Writer::CPS {

using namespace Internal;

namespace {
// \w0 -> m' >>= \p -> let (a, w) = p; wt = w0 <> f w in wt `seq` return (g a p, wt), where m' is
// `start(w0)`: the shape of every operation that appends the output of an inner run.
template <class Start, class Out, class Result>
Value appending(const Value& dMonoid, const Value& dMonad, Start start, Out out, Result result) {
    return rts::fun<1>([dMonoid, dMonad, start, out, result](const Value& w0) {
        return bind(dMonad, start(w0), rts::fun<1>([dMonoid, dMonad, out, result, w0](const Value& p) {
                        auto [a, w] = pair(p, Match::Strict);
                        Value wt = mappendStrict(dMonoid, w0, out(w));
                        return ret(dMonad, Tuple2(result(a, p), std::move(wt)));
                    }));
    });
}
Value same(const Value& w) { return w; }
Value first(const Value& a, const Value&) { return a; }
Value superclass(const Value& dMonad) { return inst_Monad_WriterT_CPS(dMonad); }
Value lift(const Value& dMonad, const Value& m) {
    return rts::fun<1>([dMonad, m](const Value& w) {
        return bind(dMonad, m,
                    rts::fun<1>([dMonad, w](const Value& a) { return ret(dMonad, Tuple2(a, w)); }));
    });
}
}  // namespace

Value writerT(const Value& dMonoid, const Value& dMonad, const Value& m) {
    return appending(
        dMonoid, dMonad, [m](const Value&) { return m; }, same, first);
}

Value runWriterT(const Value& dMonoid, const Value& m) { return rts::apply(m, mempty(dMonoid)); }

Value execWriterT(const Value& dMonoid, const Value& dMonad, const Value& m) {
    return bind(dMonad, suspend(m, mempty(dMonoid)), rts::fun<1>([dMonad](const Value& p) {
                    return ret(dMonad, std::move(pair(p, Match::Strict)[1]));
                }));
}

Value execWriter(const Value& dMonoid, const Value& m) { return selectField(suspend(m, mempty(dMonoid)), 1); }

Value inst_Monad_WriterT_CPS(const Value& dMonad) {
    Value pure = rts::fun<1>([dMonad](const Value& a) {
        return rts::fun<1>([dMonad, a](const Value& w) { return ret(dMonad, Tuple2(a, w)); });
    });
    // m >>= k = \w -> m w >>= \(a, w') -> k a w'
    Value bindFn = rts::fun<2>([dMonad](const Value& m, const Value& k) {
        return rts::fun<1>([dMonad, m, k](const Value& w) {
            return bind(dMonad, suspend(m, w), rts::fun<1>([k](const Value& p) {
                            auto [a, w1] = pair(p, Match::Strict);
                            return rts::apply(k, a, w1);
                        }));
        });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_WriterT_CPS_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

Value writer(const Value& dMonoid, const Value& dMonad, const Value& p) {
    return rts::fun<1>([dMonoid, dMonad, p](const Value& w0) {
        auto [a, w] = pair(p, Match::Strict);
        Value wt = mappendStrict(dMonoid, w0, w);
        return ret(dMonad, Tuple2(a, std::move(wt)));
    });
}

Value tell(const Value& dMonoid, const Value& dMonad, const Value& w) {
    return rts::fun<1>([dMonoid, dMonad, w](const Value& w0) {
        Value wt = mappendStrict(dMonoid, w0, w);
        return ret(dMonad, Tuple2(unit(), std::move(wt)));
    });
}

namespace {
// Runs m from the empty output: the start of listen, pass and censor.
auto fromEmpty(const Value& dMonoid, const Value& m) {
    return [m, none = mempty(dMonoid)](const Value&) { return suspend(m, none); };
}
}  // namespace

Value listen(const Value& dMonoid, const Value& dMonad, const Value& m) {
    return appending(dMonoid, dMonad, fromEmpty(dMonoid, m), same,
                     [](const Value&, const Value& p) { return p; });
}

Value listens(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m) {
    return appending(dMonoid, dMonad, fromEmpty(dMonoid, m), same, [f](const Value& a, const Value& p) {
        return Tuple2(a, suspend(f, rts::field(rts::force(p), 1)));
    });
}

Value pass(const Value& dMonoid, const Value& dMonad, const Value& m) {
    // The result (a, f) is evaluated before the output is combined.
    return rts::fun<1>([dMonoid, dMonad, m, none = mempty(dMonoid)](const Value& w0) {
        return bind(dMonad, suspend(m, none), rts::fun<1>([dMonoid, dMonad, w0](const Value& p) {
                        auto [af, w] = pair(p, Match::Strict);
                        auto [a, f] = pair(af, Match::Strict);
                        Value wt = mappendStrict(dMonoid, w0, suspend(f, w));
                        return ret(dMonad, Tuple2(a, std::move(wt)));
                    }));
    });
}

Value censor(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m) {
    return appending(
        dMonoid, dMonad, fromEmpty(dMonoid, m), [f](const Value& w) { return suspend(f, w); }, first);
}

Value mapWriterT(const Value& dMonoid, const Value& dMonoid2, const Value& dMonad2, const Value& f,
                 const Value& m) {
    return writerT(dMonoid2, dMonad2, suspend(f, runWriterT(dMonoid, m)));
}

}  // namespace Control::Monad::Trans::Writer::CPS
