// Module Control.Monad.Cont.Class: the continuation capability `MonadCont`.
//
//   C_MonadCont(Monad, callCC)
// callCC: f -> the computation running f with an escape k; running k a abandons the rest of what f
//         started and makes the callCC computation yield a.
// Native instance: ContT. Every other layered type but SelectT lifts the capability of its inner
// type; its escape decides what of its environment, state, output or accumulation a jump keeps.
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::Cont::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadCont, (Monad), callCC);

// `label a`: yields (go, a); running go b later jumps back and makes the label yield (go', b),
// where go' jumps to the same point. `label_`: yields the action that jumps back to it.
// Neither builds a cycle: each jump makes its small jump value anew, so every label is freed
// with the computation that holds it, however often it is re-entered.
Value label(const Value& d, const Value& a);
Value label_(const Value& d);

// `liftCallCC dT dM dQ (f, g)`: a callCC-shaped operation f of m lifted through the layered type t
// with the `MonadTrans` record dT (dQ is not used).
Value liftCallCC(const Value& dT, const Value& dM, const Value& dQ);

VUX_STATIC_INSTANCE(inst_MonadCont_ContT, C_MonadCont_class);

// Lifting instances, from the inner `MonadCont` record (after the output or accumulation `Monoid`
// record for WriterT, RWST and AccumT; the CPS variants take it without using it).
Value inst_MonadCont_ExceptT(const Value& d);
Value inst_MonadCont_IdentityT(const Value& d);
Value inst_MonadCont_MaybeT(const Value& d);
Value inst_MonadCont_ReaderT(const Value& d);
Value inst_MonadCont_StateT_Lazy(const Value& d);
Value inst_MonadCont_StateT_Strict(const Value& d);
Value inst_MonadCont_WriterT_CPS(const Value& dMonoid, const Value& d);
Value inst_MonadCont_WriterT_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadCont_WriterT_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadCont_RWST_CPS(const Value& dMonoid, const Value& d);
Value inst_MonadCont_RWST_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadCont_RWST_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadCont_AccumT(const Value& dMonoid, const Value& d);

// The lifting record of a layer (every layer but ContT and SelectT) over the inner record d.
Value liftedMonadCont(Lifting::Layer layer, const Value& dMonoid, const Value& d);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadCont;

}  // namespace Control::Monad::Cont::Class
