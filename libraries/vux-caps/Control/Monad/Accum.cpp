#include "Control/Monad/Accum.h"

#include "Control/Monad/Trans/Accum.h"
#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"
#include "Data/Functor/Identity.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Accum");

namespace Control::Monad::Accum {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
using Lifting::Layer;
using T::Internal::Match;
using T::Internal::selectField;
using T::Internal::suspend;
using T::Internal::Tuple2;

namespace {
Value functorOf(const Value& dMonad) { return Base::Applicative_Functor(Base::Monad_Applicative(dMonad)); }
}  // namespace

Value default_look(const Value& d) {
    VUX_FUNCTION;
    Value none = T::Internal::mempty(selectField(d, 0));
    return rts::apply(accum(d), rts::fun<1>([none](const Value& w) { return Tuple2(w, none); }));
}

Value default_add(const Value& d, const Value& x) {
    VUX_FUNCTION;
    return rts::apply(accum(d), Base::const_(Tuple2(T::Internal::unit(), x)));
}

Value default_accum(const Value& d, const Value& f) {
    VUX_FUNCTION;
    Value dMonad = MonadAccum_Monad(d);
    Value dFunctor = functorOf(dMonad);
    return T::Internal::bind(dMonad, look(d), rts::fun<1>([d, dFunctor, f](const Value& acc) {
                                 std::array<Value, 2> p = T::Internal::pair(suspend(f, acc), Match::Lazy);
                                 Value added = suspend(add(d), p[1]);
                                 return rts::apply(Base::op_lt_dollar(dFunctor), p[0], added);
                             }));
}

Value looks(const Value& d, const Value& g) {
    VUX_FUNCTION;
    Value looked = rts::delay([d] { return Value(look(d)); });
    return Base::fmap(functorOf(MonadAccum_Monad(d)), g, looked);
}

// ---------------------------------------------------------------------------------------------
// AccumT over Identity: a computation is the function from the accumulation to (result, added).

namespace {
Value addNative(const Value& v) {
    return rts::fun<1>([v](const Value&) { return Tuple2(T::Internal::unit(), v); });
}
Value accumNative(const Value& f) {
    return rts::fun<1>([f](const Value& acc) { return rts::apply(f, acc); });
}
}  // namespace

Value inst_MonadAccum_AccumT(const Value& dMonoid) {
    VUX_FUNCTION;
    using Data::Functor::Identity::inst_Monad_Identity;
    return C_MonadAccum(
        dMonoid,
        rts::delay([dMonoid] { return Lifting::monadOf(Layer::AccumT, dMonoid, inst_Monad_Identity()); }),
        rts::fun<1>([dMonoid](const Value& acc) { return Tuple2(acc, T::Internal::mempty(dMonoid)); }),
        VUX::Record::static_fun<&addNative>.value(), VUX::Record::static_fun<&accumNative>.value());
}

// ---------------------------------------------------------------------------------------------
// LiftingAccum

Value inst_Functor_LiftingAccum(const Value& dFunctor) {
    VUX_FUNCTION;
    return Lifting::wrappedFunctor(dFunctor);
}

Value inst_Applicative_LiftingAccum(const Value& dApplicative) {
    VUX_FUNCTION;
    return Lifting::wrappedApplicative(dApplicative);
}

Value inst_Monad_LiftingAccum(const Value& dMonad) {
    VUX_FUNCTION;
    return Lifting::wrappedMonad(dMonad);
}

namespace {
// The record lifting d's operations with `lifted` (a function of the inner computation), field 1
// copied from the evaluated d, field 2 as given.
template <class Lift>
Value liftedRecord(const Value& d, Value dMonad, Lift lifted) {
    Value dMonoid = MonadAccum_Monoid(d);
    return C_MonadAccum(std::move(dMonoid), std::move(dMonad), rts::delay([d, lifted] {
                            return lifted(rts::delay([d] { return Value(look(d)); }));
                        }),
                        rts::fun<1>([d, lifted](const Value& v) { return lifted(suspend(add(d), v)); }),
                        rts::fun<1>([d, lifted](const Value& f) { return lifted(suspend(accum(d), f)); }));
}
}  // namespace

Value inst_MonadAccum_LiftingAccum(const Value& dMonadTrans, const Value& dMonad, const Value& d) {
    VUX_FUNCTION;
    return liftedRecord(d, inst_Monad_LiftingAccum(dMonad), [dMonadTrans, d](Value x) {
        return T::Class::lift(dMonadTrans, MonadAccum_Monad(d), std::move(x));
    });
}

// ---------------------------------------------------------------------------------------------
// Derived instances

namespace {
Value derived(Layer layer, const Value& dOutput, const Value& d) {
    return liftedRecord(
        d, rts::delay([layer, dOutput, d] { return Lifting::monadOf(layer, dOutput, selectField(d, 1)); }),
        [layer, dOutput, d](Value x) {
            return Lifting::lift(layer, dOutput, MonadAccum_Monad(d), std::move(x));
        });
}
}  // namespace

Value inst_MonadAccum_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::MaybeT, Value(), d);
}
Value inst_MonadAccum_ContT(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::ContT, Value(), d);
}
Value inst_MonadAccum_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::ExceptT, Value(), d);
}
Value inst_MonadAccum_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::IdentityT, Value(), d);
}
Value inst_MonadAccum_ReaderT(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::ReaderT, Value(), d);
}
Value inst_MonadAccum_SelectT(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::SelectT, Value(), d);
}
Value inst_MonadAccum_StateT_Lazy(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::StateT_Lazy, Value(), d);
}
Value inst_MonadAccum_StateT_Strict(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::StateT_Strict, Value(), d);
}
Value inst_MonadAccum_WriterT_CPS(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::WriterT_CPS, Value(), d);
}
Value inst_MonadAccum_WriterT_Lazy(const Value& d, const Value& dMonoid) {
    VUX_FUNCTION;
    return derived(Layer::WriterT_Lazy, dMonoid, d);
}
Value inst_MonadAccum_WriterT_Strict(const Value& d, const Value& dMonoid) {
    VUX_FUNCTION;
    return derived(Layer::WriterT_Strict, dMonoid, d);
}
Value inst_MonadAccum_RWST_CPS(const Value& d) {
    VUX_FUNCTION;
    return derived(Layer::RWST_CPS, Value(), d);
}
Value inst_MonadAccum_RWST_Lazy(const Value& d, const Value& dMonoid) {
    VUX_FUNCTION;
    return derived(Layer::RWST_Lazy, dMonoid, d);
}
Value inst_MonadAccum_RWST_Strict(const Value& d, const Value& dMonoid) {
    VUX_FUNCTION;
    return derived(Layer::RWST_Strict, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.Accum");
VUX_DEFINE_TYCON(tcMonadAccum, trModule, "MonadAccum", 0, &Lifting::kindCapability.header);
VUX_DEFINE_LIFTING_WRAPPER(trModule, LiftingAccum);

}  // namespace Control::Monad::Accum
