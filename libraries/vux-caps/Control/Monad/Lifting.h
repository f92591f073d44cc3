// Lifting through the layered computation types: what every lifting instance of the capability
// classes shares. Each layered type (and each variant of it) is one `Layer`; from the inner
// computation type's records a lifting instance builds the layered type's `Monad` record
// (`monadOf`) and turns inner computations into layered ones (`lift`), with the lifting written
// out per layer rather than through a `MonadTrans` record.
#pragma once

#include "rts/rts.h"

namespace Control::Monad::Lifting {

using rts::Value;

enum class Layer {
    ContT,
    ExceptT,
    IdentityT,
    MaybeT,
    ReaderT,
    SelectT,
    StateT_Lazy,
    StateT_Strict,
    WriterT_CPS,
    WriterT_Lazy,
    WriterT_Strict,
    AccumT,
    RWST_CPS,
    RWST_Lazy,
    RWST_Strict,
};

// The layered type's `Monad` record over the inner `Monad` record; dMonoid is the layer's own
// output or accumulation `Monoid` record where its `Monad` record takes one (lazy and strict
// WriterT and RWST, AccumT), otherwise unused.
Value monadOf(Layer layer, const Value& dMonoid, const Value& dMonad);

// The layered computation that runs the inner computation x and yields its result: the
// environment, selection function and accumulated value are ignored, the state and the output so
// far passed on unchanged; the lazy and strict writers and RWST add `mempty` of dMonoid, and so
// does AccumT (of its own accumulation type). x is not run, and for the layers that ignore their
// argument (ReaderT, SelectT, AccumT) the inner computation is built once and shared by every run.
Value lift(Layer layer, const Value& dMonoid, const Value& dMonad, Value x);

// The records of a wrapper that is its wrapped type at run time (LiftingAccum, LiftingSelect):
// every field a suspended selection of the wrapped type's record, the superclass records built
// the same way from the wrapped type's.
Value wrappedFunctor(const Value& dFunctor);
Value wrappedApplicative(const Value& dApplicative);
Value wrappedMonad(const Value& dMonad);

}  // namespace Control::Monad::Lifting
