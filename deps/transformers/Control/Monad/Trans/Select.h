// Module Control.Monad.Trans.Select: the selection transformer `SelectT r m a`, a function from a
// selection function (a candidate to an inner computation of its score r) to an inner
// computation of the chosen candidate.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Select {

using rts::Value;

inline Value SelectT(Value f) { return f; }
inline Value runSelectT(const Value& m, const Value& k) { return rts::apply(m, k); }
// `mapSelectT f m = f . m`.
Value mapSelectT(const Value& f, const Value& m);
// Over Identity: `select f` chooses f k for the scoring k; `runSelect m k` is the choice itself.
Value select(const Value& f);
inline Value runSelect(const Value& m, const Value& k) { return rts::apply(m, k); }

Value inst_Monad_SelectT(const Value& dMonad);
// `lift m = const m`.
VUX_STATIC_INSTANCE(inst_MonadTrans_SelectT, Class::C_MonadTrans_class);

}  // namespace Control::Monad::Trans::Select
