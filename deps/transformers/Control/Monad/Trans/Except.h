// Module Control.Monad.Trans.Except: the error transformer `ExceptT e m a`, an inner computation
// of `Either e a` (`Right` for success).
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Except {

using rts::Value;

inline Value ExceptT(Value m) { return m; }
inline Value runExceptT(Value m) { return m; }
// `except e = return e` for an `Either` value; over Identity, `runExcept` is the `Either` itself.
Value except(const Value& dMonad, const Value& e);
inline Value runExcept(Value m) { return m; }

Value inst_Monad_ExceptT(const Value& dMonad);
// `lift m = m >>= return . Right`.
VUX_STATIC_INSTANCE(inst_MonadTrans_ExceptT, Class::C_MonadTrans_class);

// `throwE e`: the computation that fails with e. `catchE m h`: runs m; on `Left e` runs h e.
Value throwE(const Value& dMonad, const Value& e);
Value catchE(const Value& dMonad, const Value& m, const Value& h);
// `mapExceptT f m = f m`; `withExceptT f m` maps the error with f.
inline Value mapExceptT(const Value& f, const Value& m) { return rts::apply(f, m); }
Value withExceptT(const Value& dMonad, const Value& f, const Value& m);

extern const rts::StaticFun catchE_closure;      // catchE dMonad m h
extern const rts::StaticFun mapExceptT_closure;  // mapExceptT f m

}  // namespace Control::Monad::Trans::Except
