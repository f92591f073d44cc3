// Module Control.Monad.Trans.Maybe: the failure transformer `MaybeT m a`, an inner computation of
// `Maybe a` (`Just` for success).
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Maybe {

using rts::Value;

inline Value MaybeT(Value m) { return m; }
inline Value runMaybeT(Value m) { return m; }
inline Value mapMaybeT(const Value& f, const Value& m) { return rts::apply(f, m); }
// `hoistMaybe m = return m` for a `Maybe` value.
Value hoistMaybe(const Value& dMonad, const Value& m);

Value inst_Monad_MaybeT(const Value& dMonad);
// `lift m = m >>= return . Just`.
VUX_STATIC_INSTANCE(inst_MonadTrans_MaybeT, Class::C_MonadTrans_class);

}  // namespace Control::Monad::Trans::Maybe
