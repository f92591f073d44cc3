#include "Control/Monad/Trans/Writer/Strict.h"

namespace Control::Monad::Trans::Writer::Strict {

namespace {
constexpr Shared::Match kMatch = Shared::Match::Strict;
}  // namespace

Value inst_Monad_WriterT_Strict(const Value& dMonoid, const Value& dMonad) {
    return Shared::monadRecord(std::move(dMonoid), std::move(dMonad), kMatch);
}
Value inst_MonadTrans_WriterT_Strict(const Value& dMonoid) {
    return Shared::monadTransRecord(std::move(dMonoid), kMatch);
}

Value listen(const Value& dMonad, const Value& m) { return Shared::listen(dMonad, m, kMatch); }
Value listens(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::listens(dMonad, f, m, kMatch);
}
Value pass(const Value& dMonad, const Value& m) { return Shared::pass(dMonad, m, kMatch); }
Value censor(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::censor(dMonad, f, m, kMatch);
}
Value execWriterT(const Value& dMonad, const Value& m) { return Shared::execWriterT(dMonad, m, kMatch); }

}  // namespace Control::Monad::Trans::Writer::Strict
