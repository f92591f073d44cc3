#include "Control/Monad/Trans/Identity.h"

#include "Control/Monad/Trans/Class.h"

namespace Control::Monad::Trans::Identity {

namespace {
Value superclass(const Value& dMonad) { return dMonad; }
Value lift(const Value&, const Value& m) { return m; }
}  // namespace

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_IdentityT_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

}  // namespace Control::Monad::Trans::Identity
