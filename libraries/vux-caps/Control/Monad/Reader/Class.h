// Module Control.Monad.Reader.Class: the environment capability `MonadReader`.
//
//   C_MonadReader(Monad, ask, local, reader)
// ask:    the computation yielding the environment;
// local:  f, x -> the computation running x with the environment replaced by f of it;
// reader: g -> the computation yielding g of the environment.
// Native instances: functions from the environment, ReaderT and RWST (CPS, lazy, strict); every
// other layered type but the writers' pair lifts the capability of its inner type.
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::Reader::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadReader, (Monad), ask, local, reader);

// The defaults: `ask` through `reader` and `reader` through `ask`.
Value default_ask(const Value& d);
Value default_reader(const Value& d, const Value& g);

// `asks g`: the same operation as `reader g`.
Value asks(const Value& d, const Value& g);

// Native instances: functions (a constant record), ReaderT from the inner `Monad` record, RWST
// from the inner `Monad` record and the output's `Monoid` record (unused by the CPS variant).
VUX_STATIC_INSTANCE(inst_MonadReader_Function, C_MonadReader_class);
Value inst_MonadReader_ReaderT(const Value& dMonad);
Value inst_MonadReader_RWST_CPS(const Value& dMonad, const Value& dMonoid);
Value inst_MonadReader_RWST_Lazy(const Value& dMonad, const Value& dMonoid);
Value inst_MonadReader_RWST_Strict(const Value& dMonad, const Value& dMonoid);

// Lifting instances, from the inner `MonadReader` record (after the output or accumulation
// `Monoid` record for WriterT and AccumT).
Value inst_MonadReader_ContT(const Value& d);
Value inst_MonadReader_ExceptT(const Value& d);
Value inst_MonadReader_IdentityT(const Value& d);
Value inst_MonadReader_MaybeT(const Value& d);
Value inst_MonadReader_SelectT(const Value& d);
Value inst_MonadReader_StateT_Lazy(const Value& d);
Value inst_MonadReader_StateT_Strict(const Value& d);
Value inst_MonadReader_WriterT_CPS(const Value& dMonoid, const Value& d);
Value inst_MonadReader_WriterT_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadReader_WriterT_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadReader_AccumT(const Value& dMonoid, const Value& d);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadReader;

}  // namespace Control::Monad::Reader::Class
