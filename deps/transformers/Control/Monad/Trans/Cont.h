// Module Control.Monad.Trans.Cont: the continuation transformer `ContT r m a`, a function from a
// continuation (a result to an inner computation of the final answer r) to the inner computation
// of the final answer. Its Monad record needs nothing of the inner monad.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Cont {

using rts::Value;

inline Value ContT(Value f) { return f; }
inline Value runContT(const Value& m, const Value& c) { return rts::apply(m, c); }
// `evalContT m = m return`.
Value evalContT(const Value& dMonad, const Value& m);
// `mapContT f m = f . m`, `withContT f m = m . f`.
Value mapContT(const Value& f, const Value& m);
Value withContT(const Value& f, const Value& m);
// `resetT m = lift (evalContT m)`; `shiftT f = \c -> evalContT (f c)`.
Value resetT(const Value& dMonad, const Value& m);
Value shiftT(const Value& dMonad, const Value& f);
// Over Identity: `cont f` is f, `runCont m c` the answer, `evalCont m = m id`.
inline Value cont(Value f) { return f; }
inline Value runCont(const Value& m, const Value& c) { return rts::apply(m, c); }
Value evalCont(const Value& m);

VUX_STATIC_INSTANCE(inst_Functor_ContT, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_ContT, VUX::Internal::Base::C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_ContT, VUX::Internal::Base::C_Monad_class);
// `lift m = (m >>=)`.
VUX_STATIC_INSTANCE(inst_MonadTrans_ContT, Class::C_MonadTrans_class);

// `callCC f`: runs f with an escape that, given a value, drops the continuation current at the
// jump and passes the value to the continuation of the `callCC` computation.
Value callCC(const Value& f);
extern const rts::StaticFun callCC_closure;

}  // namespace Control::Monad::Trans::Cont
