#include "Control/Monad/Cont/Class.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Cont.h"
#include "Control/Monad/Trans/Internal.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Cont.Class");

namespace Control::Monad::Cont::Class {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
using Lifting::Layer;
using T::Internal::bind;
using T::Internal::ret;
using T::Internal::suspend;
using T::Internal::Tuple2;
using T::Internal::Tuple3;
using VUX::Record::ref;

// ---------------------------------------------------------------------------------------------
// label, label_, liftCallCC

namespace {
// The jump of `label` to the escape k: go b = k (go, b), with go made anew from k at each jump.
Value jumpTo(const Value& k) {
    return rts::fun<1>([k](const Value& b) { return rts::apply(k, Tuple2(jumpTo(k), b)); });
}

// The jump action of `label_`: the computation k x, where x is the same action made anew.
Value jumpAction(const Value& k) {
    return rts::delay([k] { return rts::apply(k, jumpAction(k)); });
}
}  // namespace

Value label(const Value& d, const Value& a) {
    VUX_FUNCTION;
    Value dMonad = MonadCont_Monad(d);
    return rts::apply(callCC(d),
                      rts::fun<1>([dMonad, a](const Value& k) { return ret(dMonad, Tuple2(jumpTo(k), a)); }));
}

Value label_(const Value& d) {
    VUX_FUNCTION;
    Value dMonad = MonadCont_Monad(d);
    return rts::apply(callCC(d),
                      rts::fun<1>([dMonad](const Value& k) { return ret(dMonad, jumpAction(k)); }));
}

Value liftCallCC(const Value& dT, const Value& dM, const Value&) {
    VUX_FUNCTION;
    Value dTM = rts::delay([dT, dM] { return T::Class::monadOf(dT, dM); });
    return rts::fun<2>([dT, dM, dTM](const Value& f, const Value& g) {
        Value escape = rts::fun<1>([dT, dM, dTM, g](const Value& exit) {
            Value h = rts::fun<1>([dT, dM, dTM, exit](const Value& x) {
                Value pureX = rts::delay([dTM, x] { return Base::pure(Base::Monad_Applicative(dTM), x); });
                return T::Class::lift(dT, dM, suspend(exit, pureX));
            });
            return rts::delay([dM, g, h] { return Base::pure(Base::Monad_Applicative(dM), suspend(g, h)); });
        });
        Value lifted = rts::delay([dT, dM, f, escape] { return T::Class::lift(dT, dM, suspend(f, escape)); });
        return bind(dTM, lifted, Base::id_closure.value());
    });
}

// ---------------------------------------------------------------------------------------------
// Instances

constinit const VUX::Record::Static<C_MonadCont_class> inst_MonadCont_ContT_closure{
    ref(T::Cont::inst_Monad_ContT_closure), ref(T::Cont::callCC_closure)};

namespace {
// The escape of a layer from the inner continuation c: what a jump with a keeps of the layer's
// own arguments. `start` is the output so far when callCC started (CPS writers), `none` the
// empty output or accumulation.
Value escapeOf(Layer layer, const Value& c, const Value& start, const Value& none) {
    switch (layer) {
        case Layer::ExceptT:
            return rts::fun<1>([c](const Value& a) { return rts::apply(c, Data::Either::Right(a)); });
        case Layer::MaybeT:
            return rts::fun<1>([c](const Value& a) { return rts::apply(c, VUX::Internal::Maybe::Just(a)); });
        case Layer::ReaderT: return rts::fun<1>([c](const Value& a) { return Base::const_(suspend(c, a)); });
        case Layer::StateT_Lazy:
        case Layer::StateT_Strict:
            return rts::fun<1>([c](const Value& a) {
                return rts::fun<1>([c, a](const Value& s) { return rts::apply(c, Tuple2(a, s)); });
            });
        case Layer::WriterT_Lazy:
        case Layer::WriterT_Strict:
            return rts::fun<1>([c, none](const Value& a) { return rts::apply(c, Tuple2(a, none)); });
        case Layer::WriterT_CPS:
        case Layer::AccumT:  // the jump adds nothing: `none` for AccumT, the output so far for the writer
            return rts::fun<1>([c, start](const Value& a) {
                return rts::fun<1>([c, a, start](const Value&) { return rts::apply(c, Tuple2(a, start)); });
            });
        case Layer::RWST_Lazy:
        case Layer::RWST_Strict:
            return rts::fun<1>([c, none](const Value& a) {
                return rts::fun<2>(
                    [c, a, none](const Value&, const Value& s) { return rts::apply(c, Tuple3(a, s, none)); });
            });
        case Layer::RWST_CPS:
            return rts::fun<1>([c, start](const Value& a) {
                return rts::fun<3>([c, a, start](const Value&, const Value& s, const Value&) {
                    return rts::apply(c, Tuple3(a, s, start));
                });
            });
        default:  // IdentityT
            return c;
    }
}

// `callCC f` through a layer: the inner callCC, f k run from the arguments callCC was given.
Value callCCThrough(Layer layer, const Value& dMonoid, const Value& d, const Value& f) {
    Value inner = callCC(d);
    auto withNone = [dMonoid] { return T::Internal::mempty(dMonoid); };
    switch (layer) {
        case Layer::ReaderT:
        case Layer::StateT_Lazy:
        case Layer::StateT_Strict:
        case Layer::WriterT_CPS:
        case Layer::AccumT:
            return rts::fun<1>([layer, inner, f, withNone](const Value& w) {
                Value start = layer == Layer::AccumT ? withNone() : w;
                return rts::apply(inner, rts::fun<1>([layer, f, w, start](const Value& c) {
                                      return rts::apply(f, escapeOf(layer, c, start, Value()), w);
                                  }));
            });
        case Layer::RWST_Lazy:
        case Layer::RWST_Strict:
            return rts::fun<2>([layer, inner, f, withNone](const Value& r, const Value& s) {
                Value none = withNone();
                return rts::apply(inner, rts::fun<1>([layer, f, r, s, none](const Value& c) {
                                      return rts::apply(f, escapeOf(layer, c, Value(), none), r, s);
                                  }));
            });
        case Layer::RWST_CPS:
            return rts::fun<3>([layer, inner, f](const Value& r, const Value& s, const Value& w) {
                return rts::apply(inner, rts::fun<1>([layer, f, r, s, w](const Value& c) {
                                      return rts::apply(f, escapeOf(layer, c, w, Value()), r, s, w);
                                  }));
            });
        default: {  // ExceptT, IdentityT, MaybeT, lazy and strict WriterT
            Value none =
                layer == Layer::WriterT_Lazy || layer == Layer::WriterT_Strict ? withNone() : Value();
            return rts::apply(inner, rts::fun<1>([layer, f, none](const Value& c) {
                                  return rts::apply(f, escapeOf(layer, c, Value(), none));
                              }));
        }
    }
}
}  // namespace

Value liftedMonadCont(Layer layer, const Value& dMonoid, const Value& d) {
    return C_MonadCont(
        rts::delay(
            [layer, dMonoid, d] { return Lifting::monadOf(layer, dMonoid, T::Internal::selectField(d, 0)); }),
        rts::fun<1>([layer, dMonoid, d](const Value& f) { return callCCThrough(layer, dMonoid, d, f); }));
}

Value inst_MonadCont_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::ExceptT, Value(), d);
}
Value inst_MonadCont_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::IdentityT, Value(), d);
}
Value inst_MonadCont_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::MaybeT, Value(), d);
}
Value inst_MonadCont_ReaderT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::ReaderT, Value(), d);
}
Value inst_MonadCont_StateT_Lazy(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::StateT_Lazy, Value(), d);
}
Value inst_MonadCont_StateT_Strict(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::StateT_Strict, Value(), d);
}
Value inst_MonadCont_WriterT_CPS(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::WriterT_CPS, dMonoid, d);
}
Value inst_MonadCont_WriterT_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::WriterT_Lazy, dMonoid, d);
}
Value inst_MonadCont_WriterT_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::WriterT_Strict, dMonoid, d);
}
Value inst_MonadCont_RWST_CPS(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::RWST_CPS, dMonoid, d);
}
Value inst_MonadCont_RWST_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::RWST_Lazy, dMonoid, d);
}
Value inst_MonadCont_RWST_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::RWST_Strict, dMonoid, d);
}
Value inst_MonadCont_AccumT(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadCont(Layer::AccumT, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.Cont.Class");
VUX_DEFINE_TYCON(tcMonadCont, trModule, "MonadCont", 0, &Lifting::kindComputationToConstraint.header);

}  // namespace Control::Monad::Cont::Class
