#include "Control/Monad/Trans/Identity.h"

#include "Control/Monad/Trans/Class.h"

namespace Control::Monad::Trans::Identity {

namespace {
Value superclass(const Value& dMonad) { return dMonad; }
Value lift(const Value&, const Value& m) { return m; }
}  // namespace

constinit const rts::StaticCon<2> inst_MonadTrans_IdentityT =
    Class::staticMonadTransRecord<&superclass, &lift>();

}  // namespace Control::Monad::Trans::Identity
