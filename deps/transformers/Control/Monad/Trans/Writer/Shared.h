// The writer transformer `WriterT w m a`: an inner computation of the pair (result, output). The
// lazy and strict variants share everything here; they differ in how `>>=` and the operations
// that look into a result take its pair apart (irrefutably or by evaluating it), which the `Match`
// argument chooses. Outputs are combined with the `Monoid` record's `mappend`, suspended.
#pragma once

#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::Writer::Shared {

using Internal::Match;
using rts::Value;

// The constructor and the field: the inner computation itself.
inline Value WriterT(Value m) { return m; }
inline Value runWriterT(Value m) { return m; }

Value monadRecord(Value dMonoid, Value dMonad, Match match);
// The MonadTrans record, a function of the output's Monoid record:
// `lift m = m >>= \a -> return (a, mempty)`.
Value monadTransRecord(Value dMonoid, Match match);

// `writer p = return p`; `tell w = return ((), w)`.
Value writer(const Value& dMonad, const Value& p);
Value tell(const Value& dMonad, const Value& w);
// `listen m` yields (a, w) with m's output w; `listens f m` yields (a, f w); `pass m` runs m,
// which yields (a, f), and outputs f w; `censor f m` outputs f w.
Value listen(const Value& dMonad, const Value& m, Match match);
Value listens(const Value& dMonad, const Value& f, const Value& m, Match match);
Value pass(const Value& dMonad, const Value& m, Match match);
Value censor(const Value& dMonad, const Value& f, const Value& m, Match match);
// `execWriterT m`: the output alone. `mapWriterT f m = f m`.
Value execWriterT(const Value& dMonad, const Value& m, Match match);
inline Value mapWriterT(const Value& f, const Value& m) { return rts::apply(f, m); }
// Over Identity: `runWriter m` is the pair itself; `execWriter m` selects its output without
// evaluating it.
inline Value runWriter(Value m) { return m; }
inline Value execWriter(const Value& m) { return Internal::selectField(m, 1); }

}  // namespace Control::Monad::Trans::Writer::Shared
