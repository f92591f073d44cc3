#include "Control/Monad/Writer/Class.h"

#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/RWS/Lazy.h"
#include "Control/Monad/Trans/RWS/Strict.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Lazy.h"
#include "Control/Monad/Trans/Writer/Strict.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Writer.Class");

namespace Control::Monad::Writer::Class {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
using Lifting::Layer;
using T::Internal::bind;
using T::Internal::Match;
using T::Internal::pair;
using T::Internal::ret;
using T::Internal::selectField;
using T::Internal::suspend;
using T::Internal::Tuple2;
using VUX::Record::with;

Value default_writer(const Value& d, const Value& p) {
    VUX_FUNCTION;
    Value dMonad = MonadWriter_Monad(d);
    return Base::op_gt_gt(dMonad, suspend(tell(d), selectField(p, 1)),
                          rts::delay([dMonad, a = selectField(p, 0)] { return ret(dMonad, a); }));
}

Value default_tell(const Value& d, const Value& w) {
    VUX_FUNCTION;
    return rts::apply(writer(d), Tuple2(T::Internal::unit(), w));
}

Value listens(const Value& d, const Value& g, const Value& c) {
    VUX_FUNCTION;
    Value dMonad = MonadWriter_Monad(d);
    return bind(dMonad, suspend(listen(d), c), rts::fun<1>([dMonad, g](const Value& x) {
                    return ret(dMonad, Tuple2(selectField(x, 0), suspend(g, selectField(x, 1))));
                }));
}

Value censor(const Value& d, const Value& f, const Value& c) {
    VUX_FUNCTION;
    Value dMonad = MonadWriter_Monad(d);
    Value withF =
        bind(dMonad, c, rts::fun<1>([dMonad, f](const Value& a) { return ret(dMonad, Tuple2(a, f)); }));
    return rts::apply(pass(d), std::move(withF));
}

// ---------------------------------------------------------------------------------------------
// Pairs (output, value): every pattern irrefutable, no use of the monoid's operations.

namespace {
Value pairWriter(const Value& p) {
    VUX_SCC("writer");
    return Tuple2(selectField(p, 1), selectField(p, 0));
}
Value pairTell(const Value& w) {
    VUX_SCC("tell");
    return Tuple2(w, T::Internal::unit());
}
Value pairListen(const Value& p) {
    VUX_SCC("listen");
    Value w = selectField(p, 0);
    return Tuple2(w, Tuple2(selectField(p, 1), w));
}
Value pairPass(const Value& p) {
    VUX_SCC("pass");
    Value af = selectField(p, 1);
    Value output = rts::delay(
        [p, af] { return rts::apply(rts::field(rts::force(af), 1), rts::field(rts::force(p), 0)); });
    return Tuple2(std::move(output), selectField(af, 0));
}

// The Monad record of pairs with a monoid's output: return a = (mempty, a);
// (w, a) >>= k = (w <> w', b) where (w', b) = k a.
Value pairMonad(const Value& dMonoid) {
    Value pure = rts::fun<1>([dMonoid](const Value& a) { return Tuple2(T::Internal::mempty(dMonoid), a); });
    Value bindFn = rts::fun<2>([dMonoid](const Value& m, const Value& k) {
        Value next = suspend(k, selectField(m, 1));
        return Tuple2(T::Internal::mappendLazy(dMonoid, selectField(m, 0), selectField(next, 0)),
                      selectField(next, 1));
    });
    return T::Internal::monadRecord(std::move(pure), std::move(bindFn));
}
}  // namespace

Value inst_MonadWriter_Tuple2(const Value& dMonoid) {
    VUX_FUNCTION;
    return C_MonadWriter(dMonoid, pairMonad(dMonoid), VUX::Record::static_fun<&pairWriter>.value(),
                         VUX::Record::static_fun<&pairTell>.value(),
                         VUX::Record::static_fun<&pairListen>.value(),
                         VUX::Record::static_fun<&pairPass>.value());
}

// ---------------------------------------------------------------------------------------------
// WriterT and RWST

namespace {
// The operations of a writer variant taking (Monoid, Monad, argument) or (Monad, argument).
template <auto Writer, auto Tell, auto Listen, auto Pass>
Value continuationPassing(Layer layer, const Value& dMonoid, const Value& dMonad) {
    return C_MonadWriter(dMonoid, Lifting::monadOf(layer, dMonoid, dMonad),
                         rts::delay([dMonoid, dMonad] { return with<Writer>(dMonoid, dMonad); }),
                         with<Tell>(dMonoid, dMonad),
                         rts::delay([dMonoid, dMonad] { return with<Listen>(dMonoid, dMonad); }),
                         rts::delay([dMonoid, dMonad] { return with<Pass>(dMonoid, dMonad); }));
}
template <auto Writer, auto Tell, auto Listen, auto Pass>
Value direct(Layer layer, const Value& dMonoid, const Value& dMonad, Value writerField) {
    return C_MonadWriter(dMonoid, Lifting::monadOf(layer, dMonoid, dMonad), std::move(writerField),
                         rts::delay([dMonad] { return with<Tell>(dMonad); }),
                         rts::delay([dMonad] { return with<Listen>(dMonad); }),
                         rts::delay([dMonad] { return with<Pass>(dMonad); }));
}
}  // namespace

Value inst_MonadWriter_WriterT_CPS(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    namespace W = T::Writer::CPS;
    return continuationPassing<&W::writer, &W::tell, &W::listen, &W::pass>(Layer::WriterT_CPS, dMonoid,
                                                                           dMonad);
}

Value inst_MonadWriter_WriterT_Lazy(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    namespace W = T::Writer::Lazy;
    return direct<&W::writer, &W::tell, &W::listen, &W::pass>(Layer::WriterT_Lazy, dMonoid, dMonad,
                                                              with<&W::writer>(dMonad));
}

Value inst_MonadWriter_WriterT_Strict(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    namespace W = T::Writer::Strict;
    return direct<&W::writer, &W::tell, &W::listen, &W::pass>(Layer::WriterT_Strict, dMonoid, dMonad,
                                                              with<&W::writer>(dMonad));
}

Value inst_MonadWriter_RWST_CPS(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    namespace W = T::RWS::CPS;
    return continuationPassing<&W::writer, &W::tell, &W::listen, &W::pass>(Layer::RWST_CPS, dMonoid, dMonad);
}

Value inst_MonadWriter_RWST_Lazy(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    namespace W = T::RWS::Lazy;
    return direct<&W::writer, &W::tell, &W::listen, &W::pass>(
        Layer::RWST_Lazy, dMonoid, dMonad, rts::delay([dMonad] { return with<&W::writer>(dMonad); }));
}

Value inst_MonadWriter_RWST_Strict(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    namespace W = T::RWS::Strict;
    return direct<&W::writer, &W::tell, &W::listen, &W::pass>(
        Layer::RWST_Strict, dMonoid, dMonad, rts::delay([dMonad] { return with<&W::writer>(dMonad); }));
}

// ---------------------------------------------------------------------------------------------
// Lifting instances

namespace {
using VUX::Internal::Maybe::Just;
using VUX::Internal::Maybe::Nothing;

// (Nothing, id): what `pass` gives the inner `pass` for a computation that yielded Nothing.
constinit const rts::StaticCon<2> nothingUnchanged{
    0, rts::ref_slot(VUX::Internal::Maybe::Nothing_closure.object()),
    rts::ref_slot(Base::id_closure.object())};

// The components (a, b, c) of ((a, b), c): irrefutably, each selection evaluating the value and
// its first component, or at once.
std::array<Value, 3> nested(const Value& x, Match match) {
    if (match == Match::Strict) {
        const Value& e = rts::force(x);
        const Value& inner = rts::force(rts::field(e, 0));
        return {rts::field(inner, 0), rts::field(inner, 1), rts::field(e, 1)};
    }
    Value whole = rts::delay([x] {
        const Value& e = rts::force(x);
        rts::force(rts::field(e, 0));
        return Value(e);
    });
    Value first = selectField(whole, 0);
    return {selectField(first, 0), selectField(first, 1), selectField(whole, 1)};
}

// The Either or Maybe layers: a failure passes through `listen` and `pass` untouched.
Value listenFailing(const Value& d, const Value& c, Layer layer) {
    Value dMonad = MonadWriter_Monad(d);
    Value nothing = layer == Layer::MaybeT ? ret(dMonad, Nothing()) : Value();
    return bind(dMonad, suspend(listen(d), c), rts::fun<1>([dMonad, nothing, layer](const Value& x) {
                    auto [e, w] = pair(x, Match::Strict);
                    const Value& result = rts::force(e);
                    bool failed = layer == Layer::MaybeT
                                      ? rts::tag_of(result) == VUX::Internal::Maybe::Nothing_tag
                                      : rts::tag_of(result) == Data::Either::Left_tag;
                    if (failed) return layer == Layer::MaybeT ? nothing : ret(dMonad, result);
                    Value both = Tuple2(rts::field(result, 0), w);
                    return ret(dMonad, layer == Layer::MaybeT ? Just(std::move(both))
                                                              : Data::Either::Right(std::move(both)));
                }));
}

Value passFailing(const Value& d, const Value& c, Layer layer) {
    Value dMonad = MonadWriter_Monad(d);
    Value nothing = layer == Layer::MaybeT ? ret(dMonad, nothingUnchanged.value()) : Value();
    Value unwrapped =
        bind(dMonad, c, rts::fun<1>([dMonad, nothing, layer](const Value& e) {
                 const Value& result = rts::force(e);
                 if (layer == Layer::MaybeT && rts::tag_of(result) == VUX::Internal::Maybe::Nothing_tag)
                     return nothing;
                 if (layer == Layer::ExceptT && rts::tag_of(result) == Data::Either::Left_tag)
                     return ret(dMonad, Tuple2(result, Base::id_closure.value()));
                 auto [a, f] = pair(rts::field(result, 0), Match::Strict);
                 Value success = layer == Layer::MaybeT ? Just(a) : Data::Either::Right(a);
                 return ret(dMonad, Tuple2(std::move(success), f));
             }));
    return rts::apply(pass(d), std::move(unwrapped));
}

// The state-carrying layers (StateT, and AccumT with the accumulated value as its state): the
// layered computation runs with the state given, and its pair is rearranged around the output.
Value listenCarrying(const Value& d, const Value& c, Match match) {
    return rts::fun<1>([d, c, match](const Value& s) {
        Value dMonad = MonadWriter_Monad(d);
        return bind(dMonad, suspend(listen(d), suspend(c, s)), rts::fun<1>([dMonad, match](const Value& x) {
                        auto [a, next, w] = nested(x, match);
                        return ret(dMonad, Tuple2(Tuple2(a, w), next));
                    }));
    });
}

Value passCarrying(const Value& d, const Value& c, Match match) {
    return rts::fun<1>([d, c, match](const Value& s) {
        Value dMonad = MonadWriter_Monad(d);
        Value rearranged = bind(dMonad, suspend(c, s), rts::fun<1>([dMonad, match](const Value& x) {
                                    auto [a, f, next] = nested(x, match);
                                    return ret(dMonad, Tuple2(Tuple2(a, next), f));
                                }));
        return rts::apply(pass(d), std::move(rearranged));
    });
}

Value liftedListen(Layer layer, const Value& d, const Value& c) {
    switch (layer) {
        case Layer::ExceptT:
        case Layer::MaybeT: return listenFailing(d, c, layer);
        case Layer::ReaderT:
            return rts::fun<1>([d, c](const Value& r) { return rts::apply(listen(d), suspend(c, r)); });
        case Layer::StateT_Strict: return listenCarrying(d, c, Match::Strict);
        case Layer::StateT_Lazy:
        case Layer::AccumT: return listenCarrying(d, c, Match::Lazy);
        default: return rts::apply(listen(d), c);  // IdentityT
    }
}

Value liftedPass(Layer layer, const Value& d, const Value& c) {
    switch (layer) {
        case Layer::ExceptT:
        case Layer::MaybeT: return passFailing(d, c, layer);
        case Layer::ReaderT:
            return rts::fun<1>([d, c](const Value& r) { return rts::apply(pass(d), suspend(c, r)); });
        case Layer::StateT_Strict: return passCarrying(d, c, Match::Strict);
        case Layer::StateT_Lazy:
        case Layer::AccumT: return passCarrying(d, c, Match::Lazy);
        default: return rts::apply(pass(d), c);  // IdentityT
    }
}

// dAccum: AccumT's own `Monoid` record (its `Monad` record and the `mempty` its lifting adds).
Value lifted(Layer layer, const Value& dAccum, const Value& d) {
    Value dMonoid = rts::force(MonadWriter_Monoid(d));
    auto lifted = [layer, dAccum, d](Value x) {
        return Lifting::lift(layer, dAccum, MonadWriter_Monad(d), std::move(x));
    };
    return C_MonadWriter(
        std::move(dMonoid),
        rts::delay([layer, dAccum, d] { return Lifting::monadOf(layer, dAccum, MonadWriter_Monad(d)); }),
        rts::delay([d, lifted] {
            return rts::fun<1>([d, lifted](const Value& p) { return lifted(suspend(writer(d), p)); });
        }),
        rts::delay([d, lifted] {
            return rts::fun<1>([d, lifted](const Value& w) { return lifted(suspend(tell(d), w)); });
        }),
        rts::delay([layer, d] {
            return rts::fun<1>([layer, d](const Value& c) { return liftedListen(layer, d, c); });
        }),
        rts::delay([layer, d] {
            return rts::fun<1>([layer, d](const Value& c) { return liftedPass(layer, d, c); });
        }));
}
}  // namespace

Value inst_MonadWriter_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ExceptT, Value(), d);
}
Value inst_MonadWriter_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::IdentityT, Value(), d);
}
Value inst_MonadWriter_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::MaybeT, Value(), d);
}
Value inst_MonadWriter_ReaderT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ReaderT, Value(), d);
}
Value inst_MonadWriter_StateT_Lazy(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::StateT_Lazy, Value(), d);
}
Value inst_MonadWriter_StateT_Strict(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::StateT_Strict, Value(), d);
}
Value inst_MonadWriter_AccumT(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::AccumT, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.Writer.Class");
VUX_DEFINE_TYCON(tcMonadWriter, trModule, "MonadWriter", 0, &Lifting::kindCapability.header);

}  // namespace Control::Monad::Writer::Class
