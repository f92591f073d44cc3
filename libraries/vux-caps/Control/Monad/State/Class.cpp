#include "Control/Monad/State/Class.h"

#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/RWS/Lazy.h"
#include "Control/Monad/Trans/RWS/Strict.h"
#include "Control/Monad/Trans/State/Lazy.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.State.Class");

namespace Control::Monad::State::Class {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
using Lifting::Layer;
using T::Internal::bind;
using T::Internal::Match;
using T::Internal::pair;
using T::Internal::ret;
using T::Internal::suspend;
using T::Internal::Tuple2;
using T::Internal::Tuple3;
using VUX::Record::with;

namespace {
// The transition of the default `get`: s -> (s, s).
Value duplicate(const Value& s) { return Tuple2(s, s); }
}  // namespace

Value default_get(const Value& d) {
    VUX_FUNCTION;
    return rts::apply(state(d), VUX::Record::static_fun<&duplicate>.value());
}

Value default_put(const Value& d, const Value& s) {
    VUX_FUNCTION;
    return rts::apply(state(d), rts::fun<1>([s](const Value&) { return Tuple2(T::Internal::unit(), s); }));
}

Value default_state(const Value& d, const Value& f) {
    VUX_FUNCTION;
    Value dMonad = MonadState_Monad(d);
    return Base::op_gt_gt_eq(dMonad, get(d), rts::fun<1>([d, dMonad, f](const Value& s) {
                                 // The pair matched irrefutably: a and the new state are selections.
                                 std::array<Value, 2> p = pair(suspend(f, s), Match::Lazy);
                                 Value a = std::move(p[0]);
                                 return Base::op_gt_gt(dMonad, suspend(put(d), p[1]),
                                                       rts::delay([dMonad, a] { return ret(dMonad, a); }));
                             }));
}

Value modify(const Value& d, const Value& f) {
    VUX_FUNCTION;
    return rts::apply(
        state(d), rts::fun<1>([f](const Value& s) { return Tuple2(T::Internal::unit(), suspend(f, s)); }));
}

Value modify_prime(const Value& d, const Value& f) {
    VUX_SCC("modify'");
    return bind(MonadState_Monad(d), get(d), rts::fun<1>([d, f](const Value& s) {
                    Value next = rts::force(rts::apply(f, s));
                    return rts::apply(put(d), next);
                }));
}

Value gets(const Value& d, const Value& f) {
    VUX_FUNCTION;
    return T::Internal::liftM(MonadState_Monad(d), f, get(d));
}

// ---------------------------------------------------------------------------------------------
// Native instances

namespace {
template <auto Put, auto StateOp>
Value stateT(Layer layer, const Value& dMonad) {
    return C_MonadState(Lifting::monadOf(layer, Value(), dMonad), T::State::Shared::get(dMonad),
                        with<Put>(dMonad), with<StateOp>(dMonad));
}

// Lazy and strict RWST share `get` and `put` (one `mempty` per record for every `put`); `state`
// takes the transition's pair apart as the variant says.
template <auto StateOp>
Value rwsT(Layer layer, const Value& dMonad, const Value& dMonoid) {
    Value none = T::Internal::mempty(dMonoid);
    Value put = rts::fun<1>([dMonad, none](const Value& s) {
        return rts::fun<2>([dMonad, none, s](const Value&, const Value&) {
            return ret(dMonad, Tuple3(T::Internal::unit(), s, none));
        });
    });
    return C_MonadState(Lifting::monadOf(layer, dMonoid, dMonad), T::RWS::Shared::get(dMonoid, dMonad),
                        std::move(put), with<StateOp>(dMonoid, dMonad));
}
}  // namespace

Value inst_MonadState_StateT_Lazy(const Value& dMonad) {
    VUX_FUNCTION;
    return stateT<&T::State::Shared::put, &T::State::Shared::state>(Layer::StateT_Lazy, dMonad);
}

Value inst_MonadState_StateT_Strict(const Value& dMonad) {
    VUX_FUNCTION;
    return stateT<&T::State::Shared::put, &T::State::Shared::state>(Layer::StateT_Strict, dMonad);
}

Value inst_MonadState_RWST_CPS(const Value& dMonad, const Value&) {
    VUX_FUNCTION;
    return C_MonadState(Lifting::monadOf(Layer::RWST_CPS, Value(), dMonad), T::RWS::CPS::get(dMonad),
                        with<&T::RWS::CPS::put>(dMonad), with<&T::RWS::CPS::state>(dMonad));
}

Value inst_MonadState_RWST_Lazy(const Value& dMonad, const Value& dMonoid) {
    VUX_FUNCTION;
    return rwsT<&T::RWS::Lazy::state>(Layer::RWST_Lazy, dMonad, dMonoid);
}

Value inst_MonadState_RWST_Strict(const Value& dMonad, const Value& dMonoid) {
    VUX_FUNCTION;
    return rwsT<&T::RWS::Strict::state>(Layer::RWST_Strict, dMonad, dMonoid);
}

// ---------------------------------------------------------------------------------------------
// Lifting instances

Value liftedMonadState(Layer layer, const Value& dMonoid, const Value& d) {
    auto inner = [d] { return Value(MonadState_Monad(d)); };
    auto lifted = [layer, dMonoid, inner](Value x) {
        return Lifting::lift(layer, dMonoid, inner(), std::move(x));
    };
    return C_MonadState(rts::delay([layer, dMonoid, d] {
                            return Lifting::monadOf(layer, dMonoid, T::Internal::selectField(d, 0));
                        }),
                        rts::delay([d, lifted] { return lifted(get(d)); }),
                        rts::fun<1>([d, lifted](const Value& s) { return lifted(suspend(put(d), s)); }),
                        rts::fun<1>([d, lifted](const Value& f) { return lifted(suspend(state(d), f)); }));
}

Value inst_MonadState_ContT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::ContT, Value(), d);
}
Value inst_MonadState_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::ExceptT, Value(), d);
}
Value inst_MonadState_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::IdentityT, Value(), d);
}
Value inst_MonadState_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::MaybeT, Value(), d);
}
Value inst_MonadState_ReaderT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::ReaderT, Value(), d);
}
Value inst_MonadState_SelectT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::SelectT, Value(), d);
}
Value inst_MonadState_WriterT_CPS(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::WriterT_CPS, dMonoid, d);
}
Value inst_MonadState_WriterT_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::WriterT_Lazy, dMonoid, d);
}
Value inst_MonadState_WriterT_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::WriterT_Strict, dMonoid, d);
}
Value inst_MonadState_AccumT(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadState(Layer::AccumT, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.State.Class");
VUX_DEFINE_TYCON(tcMonadState, trModule, "MonadState", 0, &Lifting::kindCapability.header);

}  // namespace Control::Monad::State::Class
