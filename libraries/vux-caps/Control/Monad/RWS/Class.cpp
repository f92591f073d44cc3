#include "Control/Monad/RWS/Class.h"

#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.RWS.Class");

namespace Control::Monad::RWS::Class {

namespace R = Reader::Class;
namespace S = State::Class;
namespace W = Writer::Class;

namespace {
// The three component records built now, in the order state, writer, reader.
template <auto State, auto Writer, auto Reader>
Value rwsT(const Value& dMonoid, const Value& dMonad) {
    Value state = State(dMonad, dMonoid);
    Value writer = Writer(dMonoid, dMonad);
    Value reader = Reader(dMonad, dMonoid);
    return C_MonadRWS(dMonoid, std::move(reader), std::move(writer), std::move(state));
}

// The components of the layer's own instances applied to the inner record's, each on first use.
template <auto Reader, auto Writer, auto State>
Value lifted(const Value& d) {
    Value dMonoid = rts::force(MonadRWS_Monoid(d));
    return C_MonadRWS(std::move(dMonoid), rts::delay([d] { return Reader(MonadRWS_MonadReader(d)); }),
                      rts::delay([d] { return Writer(MonadRWS_MonadWriter(d)); }),
                      rts::delay([d] { return State(MonadRWS_MonadState(d)); }));
}
}  // namespace

Value inst_MonadRWS_RWST_CPS(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    return rwsT<&S::inst_MonadState_RWST_CPS, &W::inst_MonadWriter_RWST_CPS, &R::inst_MonadReader_RWST_CPS>(
        dMonoid, dMonad);
}
Value inst_MonadRWS_RWST_Lazy(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    return rwsT<&S::inst_MonadState_RWST_Lazy, &W::inst_MonadWriter_RWST_Lazy,
                &R::inst_MonadReader_RWST_Lazy>(dMonoid, dMonad);
}
Value inst_MonadRWS_RWST_Strict(const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    return rwsT<&S::inst_MonadState_RWST_Strict, &W::inst_MonadWriter_RWST_Strict,
                &R::inst_MonadReader_RWST_Strict>(dMonoid, dMonad);
}

Value inst_MonadRWS_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return lifted<&R::inst_MonadReader_ExceptT, &W::inst_MonadWriter_ExceptT, &S::inst_MonadState_ExceptT>(d);
}
Value inst_MonadRWS_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return lifted<&R::inst_MonadReader_IdentityT, &W::inst_MonadWriter_IdentityT,
                  &S::inst_MonadState_IdentityT>(d);
}
Value inst_MonadRWS_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return lifted<&R::inst_MonadReader_MaybeT, &W::inst_MonadWriter_MaybeT, &S::inst_MonadState_MaybeT>(d);
}

}  // namespace Control::Monad::RWS::Class
