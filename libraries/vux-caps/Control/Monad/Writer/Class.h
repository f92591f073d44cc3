// Module Control.Monad.Writer.Class: the output capability `MonadWriter`.
//
//   C_MonadWriter(Monoid, Monad, writer, tell, listen, pass)
// writer: (a, w) -> the computation producing w and yielding a;
// tell:   w -> the computation producing w and yielding ();
// listen: c -> the computation running c and yielding (a, the output c produced);
// pass:   c -> the computation running c, which yields (a, f), producing f of c's output instead.
// Native instances: pairs (output, value), WriterT and RWST (CPS, lazy, strict); ExceptT,
// IdentityT, MaybeT, ReaderT, StateT (lazy, strict) and AccumT lift the inner type's capability.
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::Writer::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;
using VUX::Internal::Base::C_Monoid_class;

VUX_CLASS(MonadWriter, (Monoid, Monad), writer, tell, listen, pass);

// The defaults: `writer` through `tell` and `tell` through `writer`.
Value default_writer(const Value& d, const Value& p);
Value default_tell(const Value& d, const Value& w);

// `listens g c` yields (a, g w) where `listen c` yields (a, w); `censor f c` produces f of c's
// output.
Value listens(const Value& d, const Value& g, const Value& c);
Value censor(const Value& d, const Value& f, const Value& c);

// Native instances, from the output's `Monoid` record (and the inner `Monad` record).
Value inst_MonadWriter_Tuple2(const Value& dMonoid);
Value inst_MonadWriter_WriterT_CPS(const Value& dMonoid, const Value& dMonad);
Value inst_MonadWriter_WriterT_Lazy(const Value& dMonoid, const Value& dMonad);
Value inst_MonadWriter_WriterT_Strict(const Value& dMonoid, const Value& dMonad);
Value inst_MonadWriter_RWST_CPS(const Value& dMonoid, const Value& dMonad);
Value inst_MonadWriter_RWST_Lazy(const Value& dMonoid, const Value& dMonad);
Value inst_MonadWriter_RWST_Strict(const Value& dMonoid, const Value& dMonad);

// Lifting instances, from the inner `MonadWriter` record (after AccumT's own `Monoid` record).
Value inst_MonadWriter_ExceptT(const Value& d);
Value inst_MonadWriter_IdentityT(const Value& d);
Value inst_MonadWriter_MaybeT(const Value& d);
Value inst_MonadWriter_ReaderT(const Value& d);
Value inst_MonadWriter_StateT_Lazy(const Value& d);
Value inst_MonadWriter_StateT_Strict(const Value& d);
Value inst_MonadWriter_AccumT(const Value& dMonoid, const Value& d);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadWriter;

}  // namespace Control::Monad::Writer::Class
