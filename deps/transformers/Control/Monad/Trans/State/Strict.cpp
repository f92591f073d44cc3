#include "Control/Monad/Trans/State/Strict.h"

#include "Control/Monad/Trans/Class.h"

namespace Control::Monad::Trans::State::Strict {

namespace {
constexpr Shared::Match kMatch = Shared::Match::Strict;
Value superclass(const Value& dMonad) { return Shared::superclass(dMonad, kMatch); }
}  // namespace

Value inst_Monad_StateT_Strict(const Value& dMonad) { return Shared::monadRecord(std::move(dMonad), kMatch); }
constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_StateT_Strict_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&Shared::lift>};

Value evalStateT(const Value& dMonad, const Value& m, const Value& s) {
    return Shared::evalStateT(dMonad, m, s, kMatch);
}
Value execStateT(const Value& dMonad, const Value& m, const Value& s) {
    return Shared::execStateT(dMonad, m, s, kMatch);
}

}  // namespace Control::Monad::Trans::State::Strict
