#include "Control/Monad/Select.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"
#include "Control/Monad/Trans/Select.h"
#include "Data/Functor/Identity.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Select");

namespace Control::Monad::Select {

namespace T = Control::Monad::Trans;
using Lifting::Layer;
using T::Internal::selectField;
using T::Internal::suspend;

namespace {
RTS_CONSTANT(selectTRecord) {
    VUX_CAF("inst_MonadSelect_SelectT");
    return C_MonadSelect(rts::delay([] {
                             return Lifting::monadOf(Layer::SelectT, Value(),
                                                     Data::Functor::Identity::inst_Monad_Identity());
                         }),
                         VUX::Record::static_fun<&T::Select::select>.value());
}
}  // namespace

Value inst_MonadSelect_SelectT() { return selectTRecord.get(); }

Value inst_Functor_LiftingSelect(const Value& dFunctor) {
    VUX_FUNCTION;
    return Lifting::wrappedFunctor(dFunctor);
}

Value inst_Applicative_LiftingSelect(const Value& dApplicative) {
    VUX_FUNCTION;
    return Lifting::wrappedApplicative(dApplicative);
}

Value inst_Monad_LiftingSelect(const Value& dMonad) {
    VUX_FUNCTION;
    return Lifting::wrappedMonad(dMonad);
}

Value inst_MonadSelect_LiftingSelect(const Value& dMonadTrans, const Value& d, const Value& dMonad) {
    VUX_FUNCTION;
    return C_MonadSelect(inst_Monad_LiftingSelect(dMonad), rts::fun<1>([dMonadTrans, d](const Value& f) {
                             return T::Class::lift(dMonadTrans, MonadSelect_Monad(d), suspend(select(d), f));
                         }));
}

namespace {
// `select f` through a layer: the inner selection i, made once per call, lifted into the layer.
Value lifted(Layer layer, const Value& dMonoid, const Value& d) {
    return C_MonadSelect(
        rts::delay([layer, dMonoid, d] { return Lifting::monadOf(layer, dMonoid, selectField(d, 0)); }),
        rts::fun<1>([layer, dMonoid, d](const Value& f) {
            return Lifting::lift(layer, dMonoid, MonadSelect_Monad(d), suspend(select(d), f));
        }));
}
}  // namespace

Value inst_MonadSelect_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::MaybeT, Value(), d);
}
Value inst_MonadSelect_ContT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ContT, Value(), d);
}
Value inst_MonadSelect_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ExceptT, Value(), d);
}
Value inst_MonadSelect_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::IdentityT, Value(), d);
}
Value inst_MonadSelect_ReaderT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ReaderT, Value(), d);
}
Value inst_MonadSelect_StateT_Lazy(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::StateT_Lazy, Value(), d);
}
Value inst_MonadSelect_StateT_Strict(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::StateT_Strict, Value(), d);
}
Value inst_MonadSelect_WriterT_CPS(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::WriterT_CPS, Value(), d);
}
Value inst_MonadSelect_WriterT_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::WriterT_Lazy, dMonoid, d);
}
Value inst_MonadSelect_WriterT_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::WriterT_Strict, dMonoid, d);
}
Value inst_MonadSelect_RWST_CPS(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::RWST_CPS, Value(), d);
}
Value inst_MonadSelect_RWST_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::RWST_Lazy, dMonoid, d);
}
Value inst_MonadSelect_RWST_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::RWST_Strict, dMonoid, d);
}
Value inst_MonadSelect_AccumT(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::AccumT, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.Select");
VUX_DEFINE_TYCON(tcMonadSelect, trModule, "MonadSelect", 0, &Lifting::kindCapability.header);
VUX_DEFINE_LIFTING_WRAPPER(trModule, LiftingSelect);

}  // namespace Control::Monad::Select
