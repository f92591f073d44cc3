#include "Control/Monad/Trans/State/Lazy.h"

namespace Control::Monad::Trans::State::Lazy {

namespace {
Value superclass(const Value& dMonad) { return Shared::monadRecord(dMonad, kMatch); }
}  // namespace

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_StateT_Lazy_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&Shared::lift>};

}  // namespace Control::Monad::Trans::State::Lazy
