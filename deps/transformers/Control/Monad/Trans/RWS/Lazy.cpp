#include "Control/Monad/Trans/RWS/Lazy.h"

namespace Control::Monad::Trans::RWS::Lazy {

namespace {
constexpr Shared::Match kMatch = Shared::Match::Lazy;
}  // namespace

Value inst_Monad_RWST_Lazy(const Value& dMonoid, const Value& dMonad) {
    return Shared::monadRecord(std::move(dMonoid), std::move(dMonad), kMatch);
}
Value inst_MonadTrans_RWST_Lazy(const Value& dMonoid) {
    return Shared::monadTransRecord(std::move(dMonoid), kMatch);
}

Value evalRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s) {
    return Shared::evalRWST(dMonad, m, r, s, kMatch);
}
Value execRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s) {
    return Shared::execRWST(dMonad, m, r, s, kMatch);
}
Value writer(const Value& dMonad, const Value& p) { return Shared::writer(dMonad, p, kMatch); }
Value listen(const Value& dMonad, const Value& m) { return Shared::listen(dMonad, m, kMatch); }
Value listens(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::listens(dMonad, f, m, kMatch);
}
Value pass(const Value& dMonad, const Value& m) { return Shared::pass(dMonad, m, kMatch); }
Value censor(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::censor(dMonad, f, m, kMatch);
}
Value state(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return Shared::state(dMonoid, dMonad, f, kMatch);
}

}  // namespace Control::Monad::Trans::RWS::Lazy
