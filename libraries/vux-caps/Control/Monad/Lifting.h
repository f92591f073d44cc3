// Lifting through the layered computation types: what every lifting instance of the capability
// classes shares. Each layered type (and each variant of it) is one `Layer`; from the inner
// computation type's records a lifting instance builds the layered type's `Monad` record
// (`monadOf`) and turns inner computations into layered ones (`lift`), with the lifting written
// out per layer rather than through a `MonadTrans` record.
#pragma once

#include "VUX/Types.h"
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

// Kinds shared by the type representations of the capability modules.
// Type -> (Type -> Type) -> Constraint: a capability over a value type and a computation type.
extern const rts::StaticCon<2> kindCapability;
// (Type -> Type) -> Constraint: a capability over a computation type alone.
extern const rts::StaticCon<2> kindComputationToConstraint;
// ((Type -> Type) -> Type -> Type) -> (Type -> Type) -> Type -> Type: a lifting wrapper.
extern const rts::StaticCon<2> kindLiftingWrapper;
// The three kind variables t, m, a of a wrapper's constructor, as the list [t, m, a] of the wrapper
// type's arguments and as the wrapped type t m a.
extern const rts::StaticCon<2> kindWrapperArgs;
extern const rts::StaticCon<2> kindWrappedComputation;

}  // namespace Control::Monad::Lifting

// Defines the TyCons of a lifting wrapper `name` of module `module_var`: `tc<name>`, of kind
// kindLiftingWrapper, and `tc_prime_<name>`, its constructor, of kind t m a -> name t m a.
#define VUX_DEFINE_LIFTING_WRAPPER(module_var, name)                                                         \
    VUX_DEFINE_TYCON(tc##name, module_var, #name, 0, &::Control::Monad::Lifting::kindLiftingWrapper.header); \
    constinit const ::rts::StaticCon<2> tc##name##_applied{                                                  \
        ::VUX::Types::KindRepTyConApp_tag, ::rts::ref_slot(tc##name.object()),                               \
        ::rts::ref_slot(&::Control::Monad::Lifting::kindWrapperArgs.header)};                                \
    constinit const ::rts::StaticCon<2> tc_prime_##name##_arrow{                                             \
        ::VUX::Types::KindRepFun_tag,                                                                        \
        ::rts::ref_slot(&::Control::Monad::Lifting::kindWrappedComputation.header),                          \
        ::rts::ref_slot(&tc##name##_applied.header)};                                                        \
    VUX_DEFINE_TYCON(tc_prime_##name, module_var, "'" #name, 3, &tc_prime_##name##_arrow.header)
