// Module Control.Monad.Trans.Writer.CPS: the writer transformer in continuation-passing form. A
// computation is a function from the output so far to an inner computation of the pair (result,
// output so far including its own). Every operation that adds output evaluates the new output
// before passing it on, and `>>=` passes the output straight to the next step, so a long chain of
// steps keeps one output value rather than a growing combination.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::Writer::CPS {

using rts::Value;

// `writerT m`: the computation that runs m, which yields (a, w), and appends w.
Value writerT(const Value& dMonoid, const Value& dMonad, const Value& m);
// `runWriterT m`: runs m from the empty output.
Value runWriterT(const Value& dMonoid, const Value& m);
Value execWriterT(const Value& dMonoid, const Value& dMonad, const Value& m);
// Over Identity: the pair, and its output selected without evaluating it.
inline Value runWriter(const Value& dMonoid, const Value& m) { return runWriterT(dMonoid, m); }
Value execWriter(const Value& dMonoid, const Value& m);

// The Monad record of `WriterT w m` needs only `Monad m`.
Value inst_Monad_WriterT_CPS(const Value& dMonad);
VUX_STATIC_INSTANCE(inst_MonadTrans_WriterT_CPS, Class::C_MonadTrans_class);

Value writer(const Value& dMonoid, const Value& dMonad, const Value& p);
Value tell(const Value& dMonoid, const Value& dMonad, const Value& w);
// `listen m` and `pass m` run m from the empty output, then append what it produced (for `pass`,
// f applied to it).
Value listen(const Value& dMonoid, const Value& dMonad, const Value& m);
Value listens(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m);
Value pass(const Value& dMonoid, const Value& dMonad, const Value& m);
Value censor(const Value& dMonoid, const Value& dMonad, const Value& f, const Value& m);
// `mapWriterT f m = writerT (f (runWriterT m))`, from output type w (dMonoid) in monad m to w'
// (dMonoid2) in monad n (dMonad2).
Value mapWriterT(const Value& dMonoid, const Value& dMonoid2, const Value& dMonad2, const Value& f,
                 const Value& m);

}  // namespace Control::Monad::Trans::Writer::CPS
