// Module Control.Monad.Trans.RWS.Strict: the strict reader-writer-state transformer. The operations
// shared with the other variant are in RWS/Shared.h.
#pragma once

#include "Control/Monad/Trans/RWS/Shared.h"

namespace Control::Monad::Trans::RWS::Strict {

using rts::Value;
using Shared::RWST, Shared::runRWST, Shared::rws, Shared::runRWS, Shared::evalRWS, Shared::execRWS,
    Shared::mapRWST, Shared::withRWST, Shared::reader, Shared::ask, Shared::local, Shared::tell, Shared::get,
    Shared::put, Shared::modify, Shared::gets;
// `asks` is `reader`.
inline Value asks(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return reader(dMonoid, dMonad, f);
}

// The Monad record of `RWST r w s m` from `Monoid w` and `Monad m`; the MonadTrans record of
// `RWST r w s` from `Monoid w`.
Value inst_Monad_RWST_Strict(const Value& dMonoid, const Value& dMonad);
Value inst_MonadTrans_RWST_Strict(const Value& dMonoid);

Value evalRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s);
Value execRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s);
Value writer(const Value& dMonad, const Value& p);
Value listen(const Value& dMonad, const Value& m);
Value listens(const Value& dMonad, const Value& f, const Value& m);
Value pass(const Value& dMonad, const Value& m);
Value censor(const Value& dMonad, const Value& f, const Value& m);
Value state(const Value& dMonoid, const Value& dMonad, const Value& f);

}  // namespace Control::Monad::Trans::RWS::Strict
