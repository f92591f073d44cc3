// Module Control.Monad.Error.Class: the error capability `MonadError` and the operations built on it.
//
//   C_MonadError(Monad, throwError, catchError)
// throwError: e -> the computation failing with the error e;
// catchError: x, h -> x, except that when x fails with an error e, h e runs in its place.
// Native instances: IO (error type IOException; other exceptions pass through untouched), Maybe
// (error type ()), Either e and ExceptT e m. Every other layered type but ContT and SelectT lifts
// the capability of its inner type; its handler starts from the environment, state, output so far
// or accumulated value that the caught computation started from.
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::Error::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadError, (Monad), throwError, catchError);

// Native instances: constant records for IO, Maybe and Either; ExceptT from the inner `Monad`.
VUX_STATIC_INSTANCE(inst_MonadError_IO, C_MonadError_class);
VUX_STATIC_INSTANCE(inst_MonadError_Maybe, C_MonadError_class);
VUX_STATIC_INSTANCE(inst_MonadError_Either, C_MonadError_class);
Value inst_MonadError_ExceptT(const Value& dMonad);

// Lifting instances, from the inner `MonadError` record (after the output or accumulation `Monoid`
// record for WriterT, RWST and AccumT; the CPS variants take it without using it).
Value inst_MonadError_IdentityT(const Value& d);
Value inst_MonadError_MaybeT(const Value& d);
Value inst_MonadError_ReaderT(const Value& d);
Value inst_MonadError_StateT_Lazy(const Value& d);
Value inst_MonadError_StateT_Strict(const Value& d);
Value inst_MonadError_WriterT_CPS(const Value& dMonoid, const Value& d);
Value inst_MonadError_WriterT_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadError_WriterT_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadError_RWST_CPS(const Value& dMonoid, const Value& d);
Value inst_MonadError_RWST_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadError_RWST_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadError_AccumT(const Value& dMonoid, const Value& d);

// The lifting record of a layer (every layer but ContT and SelectT) over the inner record d.
Value liftedMonadError(Lifting::Layer layer, const Value& dMonoid, const Value& d);

// The operations.
// `liftEither v`: Left e raises e, Right a yields a (v evaluated when the computation is built).
Value liftEither(const Value& d, const Value& v);
// `tryError x`: x's result as Right, its error as the result Left e.
Value tryError(const Value& d, const Value& x);
// `withError f x`: x, its error e re-raised as f e (suspended).
Value withError(const Value& d, const Value& f, const Value& x);
// `handleError h x` = `catchError x h`.
Value handleError(const Value& d, const Value& h, const Value& x);
// `mapError f x` (from m with record dm to n with record dn): f of x's Either form, its Left
// raised in n.
Value mapError(const Value& dm, const Value& dn, const Value& f, const Value& x);
// `modifyError f x`: the ExceptT computation x run in m, its Left e raised as f e.
Value modifyError(const Value& d, const Value& f, const Value& x);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadError;

}  // namespace Control::Monad::Error::Class
