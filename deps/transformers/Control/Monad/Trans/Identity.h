// Module Control.Monad.Trans.Identity: the identity transformer `IdentityT m a`, the inner
// computation itself; its records are the inner monad's.
#pragma once

#include "rts/rts.h"

namespace Control::Monad::Trans::Identity {

using rts::Value;

inline Value IdentityT(Value m) { return m; }
inline Value runIdentityT(Value m) { return m; }
inline Value mapIdentityT(const Value& f, const Value& m) { return rts::apply(f, m); }

// The Monad record of `IdentityT m` is the one of m.
inline Value inst_Monad_IdentityT(Value dMonad) { return dMonad; }
// `lift m = m`.
extern const rts::StaticCon<2> inst_MonadTrans_IdentityT;

}  // namespace Control::Monad::Trans::Identity
