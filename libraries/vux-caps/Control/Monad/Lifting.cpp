#include "Control/Monad/Lifting.h"

#include "Control/Monad/Trans/Accum.h"
#include "Control/Monad/Trans/Cont.h"
#include "Control/Monad/Trans/Except.h"
#include "Control/Monad/Trans/Identity.h"
#include "Control/Monad/Trans/Maybe.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/RWS/Lazy.h"
#include "Control/Monad/Trans/RWS/Strict.h"
#include "Control/Monad/Trans/Reader.h"
#include "Control/Monad/Trans/Select.h"
#include "Control/Monad/Trans/State/Lazy.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Lazy.h"
#include "Control/Monad/Trans/Writer/Strict.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Lifting");

namespace Control::Monad::Lifting {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
using T::Internal::bind;
using T::Internal::ret;
using T::Internal::Tuple2;
using T::Internal::Tuple3;

Value monadOf(Layer layer, const Value& dMonoid, const Value& dMonad) {
    VUX_FUNCTION;
    switch (layer) {
        case Layer::ContT: return T::Cont::inst_Monad_ContT();
        case Layer::ExceptT: return T::Except::inst_Monad_ExceptT(dMonad);
        case Layer::IdentityT: return T::Identity::inst_Monad_IdentityT(dMonad);
        case Layer::MaybeT: return T::Maybe::inst_Monad_MaybeT(dMonad);
        case Layer::ReaderT: return T::Reader::inst_Monad_ReaderT(dMonad);
        case Layer::SelectT: return T::Select::inst_Monad_SelectT(dMonad);
        case Layer::StateT_Lazy: return T::State::Lazy::inst_Monad_StateT_Lazy(dMonad);
        case Layer::StateT_Strict: return T::State::Strict::inst_Monad_StateT_Strict(dMonad);
        case Layer::WriterT_CPS: return T::Writer::CPS::inst_Monad_WriterT_CPS(dMonad);
        case Layer::WriterT_Lazy: return T::Writer::Lazy::inst_Monad_WriterT_Lazy(dMonoid, dMonad);
        case Layer::WriterT_Strict: return T::Writer::Strict::inst_Monad_WriterT_Strict(dMonoid, dMonad);
        case Layer::AccumT:
            return T::Accum::inst_Monad_AccumT(
                dMonoid, Base::Applicative_Functor(Base::Monad_Applicative(dMonad)), dMonad);
        case Layer::RWST_CPS: return T::RWS::CPS::inst_Monad_RWST_CPS(dMonad);
        case Layer::RWST_Lazy: return T::RWS::Lazy::inst_Monad_RWST_Lazy(dMonoid, dMonad);
        case Layer::RWST_Strict: return T::RWS::Strict::inst_Monad_RWST_Strict(dMonoid, dMonad);
    }
    __builtin_unreachable();
}

namespace {
// x >>= \a -> return (wrap a)
template <class Wrap>
Value then(const Value& dMonad, Value x, Wrap wrap) {
    return bind(dMonad, std::move(x),
                rts::fun<1>([dMonad, wrap](const Value& a) { return ret(dMonad, wrap(a)); }));
}
}  // namespace

Value lift(Layer layer, const Value& dMonoid, const Value& dMonad, Value x) {
    VUX_FUNCTION;
    switch (layer) {
        case Layer::ContT: return rts::fun<1>([dMonad, x](const Value& c) { return bind(dMonad, x, c); });
        case Layer::ExceptT:
            return then(dMonad, std::move(x), [](const Value& a) { return Data::Either::Right(a); });
        case Layer::MaybeT:
            return then(dMonad, std::move(x), [](const Value& a) { return VUX::Internal::Maybe::Just(a); });
        case Layer::IdentityT: return x;
        case Layer::ReaderT:
        case Layer::SelectT: return Base::const_(std::move(x));
        case Layer::StateT_Lazy:
        case Layer::StateT_Strict:
        case Layer::WriterT_CPS:
            return rts::fun<1>([dMonad, x](const Value& s) {
                return then(dMonad, x, [s](const Value& a) { return Tuple2(a, s); });
            });
        case Layer::WriterT_Lazy:
        case Layer::WriterT_Strict:
            return then(dMonad, std::move(x),
                        [none = T::Internal::mempty(dMonoid)](const Value& a) { return Tuple2(a, none); });
        case Layer::AccumT:
            return Base::const_(
                then(dMonad, std::move(x),
                     [none = T::Internal::mempty(dMonoid)](const Value& a) { return Tuple2(a, none); }));
        case Layer::RWST_CPS:
            return rts::fun<3>([dMonad, x](const Value&, const Value& s, const Value& w) {
                return then(dMonad, x, [s, w](const Value& a) { return Tuple3(a, s, w); });
            });
        case Layer::RWST_Lazy:
        case Layer::RWST_Strict:
            return rts::fun<2>(
                [dMonad, x, none = T::Internal::mempty(dMonoid)](const Value&, const Value& s) {
                    return then(dMonad, x, [s, none](const Value& a) { return Tuple3(a, s, none); });
                });
    }
    __builtin_unreachable();
}

Value wrappedFunctor(const Value& dFunctor) {
    return Base::C_Functor(T::Internal::selectField(dFunctor, 0), T::Internal::selectField(dFunctor, 1));
}

Value wrappedApplicative(const Value& dApplicative) {
    auto field = [&dApplicative](size_t i) { return T::Internal::selectField(dApplicative, i); };
    return Base::C_Applicative(
        rts::delay([dApplicative] { return wrappedFunctor(T::Internal::selectField(dApplicative, 0)); }),
        field(1), field(2), field(3), field(4), field(5));
}

Value wrappedMonad(const Value& dMonad) {
    auto field = [&dMonad](size_t i) { return T::Internal::selectField(dMonad, i); };
    return Base::C_Monad(
        rts::delay([dMonad] { return wrappedApplicative(T::Internal::selectField(dMonad, 0)); }), field(1),
        field(2), field(3));
}

// ---------------------------------------------------------------------------------------------
// Kinds of the type representations

namespace {
using VUX::Types::kindConstraint;
using VUX::Types::kindType;
using VUX::Types::kindTypeToType;
constexpr rts::StaticCon<2> pair(uint8_t tag, const rts::Object* a, const rts::Object* b) {
    return rts::StaticCon<2>(tag, rts::ref_slot(a), rts::ref_slot(b));
}
constexpr rts::StaticCon<2> arrow(const rts::Object* from, const rts::Object* to) {
    return pair(VUX::Types::KindRepFun_tag, from, to);
}
constexpr rts::StaticCon<2> cons(const rts::Object* head, const rts::Object* tail) {
    return pair(VUX::Types::Cons_tag, head, tail);
}
constinit const rts::StaticCon<2> kindTransformer = arrow(kindTypeToType, kindTypeToType);
constinit const rts::StaticCon<0, 1> kindVarT{VUX::Types::KindRepVar_tag, rts::word_slot(0)};
constinit const rts::StaticCon<0, 1> kindVarM{VUX::Types::KindRepVar_tag, rts::word_slot(1)};
constinit const rts::StaticCon<0, 1> kindVarA{VUX::Types::KindRepVar_tag, rts::word_slot(2)};
constinit const rts::StaticCon<2> argsA = cons(&kindVarA.header, &VUX::Types::Nil_closure.header);
constinit const rts::StaticCon<2> argsMA = cons(&kindVarM.header, &argsA.header);
constinit const rts::StaticCon<2> kindTM =
    pair(VUX::Types::KindRepApp_tag, &kindVarT.header, &kindVarM.header);
}  // namespace

constinit const rts::StaticCon<2> kindComputationToConstraint = arrow(kindTypeToType, kindConstraint);
constinit const rts::StaticCon<2> kindCapability = arrow(kindType, &kindComputationToConstraint.header);
constinit const rts::StaticCon<2> kindLiftingWrapper =
    arrow(&kindTransformer.header, &kindTransformer.header);
constinit const rts::StaticCon<2> kindWrapperArgs = cons(&kindVarT.header, &argsMA.header);
constinit const rts::StaticCon<2> kindWrappedComputation =
    pair(VUX::Types::KindRepApp_tag, &kindTM.header, &kindVarA.header);

}  // namespace Control::Monad::Lifting
