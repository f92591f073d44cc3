// Module Control.Monad.Trans.Identity: the identity transformer `IdentityT m a`, the inner
// computation itself; its records are the inner monad's.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Identity {

using rts::Value;

inline Value IdentityT(Value m) { return m; }
inline Value runIdentityT(Value m) { return m; }
inline Value mapIdentityT(const Value& f, const Value& m) { return rts::apply(f, m); }

// The Monad record of `IdentityT m` is the one of m.
inline Value inst_Monad_IdentityT(const Value& dMonad) { return dMonad; }
// `lift m = m`.
VUX_STATIC_INSTANCE(inst_MonadTrans_IdentityT, Class::C_MonadTrans_class);

}  // namespace Control::Monad::Trans::Identity
