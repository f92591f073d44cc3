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

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.RWS.Class");
namespace {
// Type -> Type -> Type -> (Type -> Type) -> Constraint.
constinit const rts::StaticCon<2> kindStateCapability{VUX::Types::KindRepFun_tag,
                                                      rts::ref_slot(VUX::Types::kindType),
                                                      rts::ref_slot(&Lifting::kindCapability.header)};
constinit const rts::StaticCon<2> kindMonadRWS{VUX::Types::KindRepFun_tag,
                                               rts::ref_slot(VUX::Types::kindType),
                                               rts::ref_slot(&kindStateCapability.header)};
}  // namespace
VUX_DEFINE_TYCON(tcMonadRWS, trModule, "MonadRWS", 0, &kindMonadRWS.header);
namespace {
// The record constructor's kind: the record type MonadRWS r w s m over its four kind variables.
constexpr rts::Slot kindVar(uint64_t i) { return rts::word_slot(i); }
constinit const rts::StaticCon<0, 1> kindR{VUX::Types::KindRepVar_tag, kindVar(0)};
constinit const rts::StaticCon<0, 1> kindW{VUX::Types::KindRepVar_tag, kindVar(1)};
constinit const rts::StaticCon<0, 1> kindS{VUX::Types::KindRepVar_tag, kindVar(2)};
constinit const rts::StaticCon<0, 1> kindM{VUX::Types::KindRepVar_tag, kindVar(3)};
constinit const rts::StaticCon<2> argsM{VUX::Types::Cons_tag, rts::ref_slot(&kindM.header),
                                        rts::ref_slot(&VUX::Types::Nil_closure.header)};
constinit const rts::StaticCon<2> argsSM{VUX::Types::Cons_tag, rts::ref_slot(&kindS.header),
                                         rts::ref_slot(&argsM.header)};
constinit const rts::StaticCon<2> argsWSM{VUX::Types::Cons_tag, rts::ref_slot(&kindW.header),
                                          rts::ref_slot(&argsSM.header)};
constinit const rts::StaticCon<2> argsRWSM{VUX::Types::Cons_tag, rts::ref_slot(&kindR.header),
                                           rts::ref_slot(&argsWSM.header)};
constinit const rts::StaticCon<2> kindMonadRWSApplied{
    VUX::Types::KindRepTyConApp_tag, rts::ref_slot(tcMonadRWS.object()), rts::ref_slot(&argsRWSM.header)};
}  // namespace
VUX_DEFINE_TYCON(tc_prime_C_MonadRWS, trModule, "'C:MonadRWS", 4, &kindMonadRWSApplied.header);

}  // namespace Control::Monad::RWS::Class
