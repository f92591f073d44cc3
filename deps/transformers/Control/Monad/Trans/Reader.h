// Module Control.Monad.Trans.Reader: the environment transformer `ReaderT r m a`, a function
// from the environment to an inner computation.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Reader {

using rts::Value;

inline Value ReaderT(Value f) { return f; }
inline Value runReaderT(const Value& m, const Value& r) { return rts::apply(m, r); }
// Over Identity: `reader`'s result, `runReader m r` is the result itself.
inline Value runReader(const Value& m, const Value& r) { return rts::apply(m, r); }

Value inst_Monad_ReaderT(const Value& dMonad);
// `lift m = \_ -> m`.
VUX_STATIC_INSTANCE(inst_MonadTrans_ReaderT, Class::C_MonadTrans_class);

// `ask` (the inner `return` itself, as the function from the environment), `reader f` and its
// other name `asks f` (the inner `return (f r)`, f r suspended).
Value ask(const Value& dMonad);
Value reader(const Value& dMonad, const Value& f);
inline Value asks(const Value& dMonad, const Value& f) { return reader(dMonad, f); }
// `withReaderT f m = \r -> m (f r)` and its other name `local`; `mapReaderT f m = \r -> f (m r)`;
// the applications suspended.
Value withReaderT(const Value& f, const Value& m);
inline Value local(const Value& f, const Value& m) { return withReaderT(f, m); }
Value mapReaderT(const Value& f, const Value& m);

extern const rts::StaticFun reader_closure;       // reader dMonad f
extern const rts::StaticFun withReaderT_closure;  // withReaderT f m

}  // namespace Control::Monad::Trans::Reader
