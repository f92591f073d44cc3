// Module Control.Monad.Trans.RWS.CPS: the reader-writer-state transformer in continuation-passing
// form. A computation is a function of the environment, the state and the output so far to an
// inner computation of the triple (result, new state, output so far including its own). Output is
// evaluated as it is added and `>>=` passes it straight on (see Writer/CPS.h).
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::RWS::CPS {

using rts::Value;

// `rwsT f`: from f r s, an inner computation of (a, s', w), the computation that appends w.
Value rwsT(const Value& dMonoid, const Value& dMonad, const Value& f);
// `runRWST m r s`: runs m from the empty output. `evalRWST`, `execRWST`: (a, w) and (s', w).
Value runRWST(const Value& dMonoid, const Value& m, const Value& r, const Value& s);
Value evalRWST(const Value& dMonoid, const Value& dMonad, const Value& m, const Value& r, const Value& s);
Value execRWST(const Value& dMonoid, const Value& dMonad, const Value& m, const Value& r, const Value& s);
// Over Identity: `rws f` from f r s = (a, s', w); `runRWS` the triple; `evalRWS`, `execRWS`
// select from it without evaluating it.
Value rws(const Value& dMonoid, const Value& f);
inline Value runRWS(const Value& dMonoid, const Value& m, const Value& r, const Value& s) {
    return runRWST(dMonoid, m, r, s);
}
Value evalRWS(const Value& dMonoid, const Value& m, const Value& r, const Value& s);
Value execRWS(const Value& dMonoid, const Value& m, const Value& r, const Value& s);

Value inst_Monad_RWST_CPS(const Value& dMonad);
VUX_STATIC_INSTANCE(inst_MonadTrans_RWST_CPS, Class::C_MonadTrans_class);

// `mapRWST f m`, from output w (dMonoid) in m to w' (dMonoid2) in n (dMonad2); `withRWST f m`.
Value mapRWST(const Value& dMonoid, const Value& dMonoid2, const Value& dMonad2, const Value& f,
              const Value& m);
Value withRWST(const Value& f, const Value& m);

Value reader(const Value& dMonad, const Value& f);
inline Value asks(const Value& dMonad, const Value& f) { return reader(dMonad, f); }
Value ask(const Value& dMonad);
Value local(const Value& f, const Value& m);

Value writer(const Value& dMonoid, const Value& dMonad, const Value& p);
Value tell(const Value& dMonoid, const Value& dMonad, const Value& w);
Value listen(const Value& dMonoid, const Value& dMonad, const Value& m);
Value listens(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m);
Value pass(const Value& dMonoid, const Value& dMonad, const Value& m);
Value censor(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m);

// `state f` takes the pair f s apart irrefutably.
Value state(const Value& dMonad, const Value& f);
Value get(const Value& dMonad);
Value put(const Value& dMonad, const Value& s);
Value modify(const Value& dMonad, const Value& f);
Value gets(const Value& dMonad, const Value& f);

}  // namespace Control::Monad::Trans::RWS::CPS
