// Module Control.Monad.Select: the selection capability `MonadSelect` and the wrapper
// `LiftingSelect`.
//
//   C_MonadSelect(Monad, select)
// select: a selection function f (from a scoring of candidates to the chosen candidate) -> the
//         computation yielding the candidate f chooses.
// Native instance: SelectT over Identity (a constant record). Every other layered type runs the
// inner selection and lifts its result into its own layer; `LiftingSelect t m` (the computation
// of t m itself at run time) lifts it with t's `lift`.
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::Select {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadSelect, (Monad), select);

// SelectT over Identity: one record, its Monad record built on first use.
Value inst_MonadSelect_SelectT();

// The wrapper's records: each field a suspended selection of the wrapped type's record.
Value inst_Functor_LiftingSelect(const Value& dFunctor);
Value inst_Applicative_LiftingSelect(const Value& dApplicative);
Value inst_Monad_LiftingSelect(const Value& dMonad);
// From the MonadTrans record of t, the MonadSelect record of m and the Monad record of t m.
Value inst_MonadSelect_LiftingSelect(const Value& dMonadTrans, const Value& d, const Value& dMonad);

// Lifted instances, from the output's Monoid record (lazy and strict WriterT and RWST, AccumT)
// and the inner MonadSelect record.
Value inst_MonadSelect_MaybeT(const Value& d);
Value inst_MonadSelect_ContT(const Value& d);
Value inst_MonadSelect_ExceptT(const Value& d);
Value inst_MonadSelect_IdentityT(const Value& d);
Value inst_MonadSelect_ReaderT(const Value& d);
Value inst_MonadSelect_StateT_Lazy(const Value& d);
Value inst_MonadSelect_StateT_Strict(const Value& d);
Value inst_MonadSelect_WriterT_CPS(const Value& d);
Value inst_MonadSelect_WriterT_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadSelect_WriterT_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadSelect_RWST_CPS(const Value& d);
Value inst_MonadSelect_RWST_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadSelect_RWST_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadSelect_AccumT(const Value& dMonoid, const Value& d);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadSelect, tcLiftingSelect, tc_prime_LiftingSelect;

}  // namespace Control::Monad::Select
