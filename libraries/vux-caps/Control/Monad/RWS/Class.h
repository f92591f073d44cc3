// Module Control.Monad.RWS.Class: the combined capability `MonadRWS`, which collects the
// environment, output and state capabilities of one computation type.
//
//   C_MonadRWS(Monoid, MonadReader, MonadWriter, MonadState)
// It has no operations of its own. Instances: RWST (CPS, lazy, strict), whose three component
// records are built with the combined one, and ExceptT, IdentityT and MaybeT, whose components
// are built from the inner combined record's on first use.
#pragma once

#include "Control/Monad/Reader/Class.h"
#include "Control/Monad/State/Class.h"
#include "Control/Monad/Writer/Class.h"

namespace Control::Monad::RWS::Class {

using Reader::Class::C_MonadReader_class;
using rts::Value;
using State::Class::C_MonadState_class;
using VUX::Internal::Base::C_Monoid_class;
using Writer::Class::C_MonadWriter_class;

VUX_CLASS(MonadRWS, (Monoid, MonadReader, MonadWriter, MonadState));

// From the output's `Monoid` record and the inner `Monad` record.
Value inst_MonadRWS_RWST_CPS(const Value& dMonoid, const Value& dMonad);
Value inst_MonadRWS_RWST_Lazy(const Value& dMonoid, const Value& dMonad);
Value inst_MonadRWS_RWST_Strict(const Value& dMonoid, const Value& dMonad);

// From the inner `MonadRWS` record.
Value inst_MonadRWS_ExceptT(const Value& d);
Value inst_MonadRWS_IdentityT(const Value& d);
Value inst_MonadRWS_MaybeT(const Value& d);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadRWS, tc_prime_C_MonadRWS;

}  // namespace Control::Monad::RWS::Class
