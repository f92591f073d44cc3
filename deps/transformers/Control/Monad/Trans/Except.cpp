#include "Control/Monad/Trans/Except.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"
#include "Data/Either.h"

namespace Control::Monad::Trans::Except {

using namespace Internal;
using Data::Either::Left, Data::Either::Right, Data::Either::Left_tag;

namespace {
// m >>= \e -> either onLeft onRight e
template <class OnLeft, class OnRight>
Value onEither(const Value& dMonad, const Value& m, OnLeft onLeft, OnRight onRight) {
    return bind(dMonad, m, rts::fun<1>([onLeft, onRight](const Value& e) {
                    const Value& v = rts::force(e);
                    return v->tag == Left_tag ? onLeft(v) : onRight(v);
                }));
}
Value superclass(const Value& dMonad) { return inst_Monad_ExceptT(dMonad); }
Value lift(const Value& dMonad, const Value& m) {
    return bind(dMonad, m, rts::fun<1>([dMonad](const Value& a) { return ret(dMonad, Right(a)); }));
}
Value mapExceptT_fn(const Value& f, const Value& m) { return mapExceptT(f, m); }
}  // namespace

Value except(const Value& dMonad, const Value& e) { return ret(dMonad, e); }

Value inst_Monad_ExceptT(const Value& dMonad) {
    Value pure = rts::fun<1>([dMonad](const Value& a) { return ret(dMonad, Right(a)); });
    Value bindFn = rts::fun<2>([dMonad](const Value& m, const Value& k) {
        return onEither(
            dMonad, m, [dMonad](const Value& left) { return ret(dMonad, left); },
            [k](const Value& right) { return rts::apply(k, rts::field(right, 0)); });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_ExceptT_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

Value throwE(const Value& dMonad, const Value& e) { return ret(dMonad, Left(e)); }

Value catchE(const Value& dMonad, const Value& m, const Value& h) {
    return onEither(
        dMonad, m, [h](const Value& left) { return rts::apply(h, rts::field(left, 0)); },
        [dMonad](const Value& right) { return ret(dMonad, right); });
}

Value withExceptT(const Value& dMonad, const Value& f, const Value& m) {
    return onEither(
        dMonad, m,
        [dMonad, f](const Value& left) { return ret(dMonad, Left(suspend(f, rts::field(left, 0)))); },
        [dMonad](const Value& right) { return ret(dMonad, right); });
}

constinit const rts::StaticFun catchE_closure{rts::static_fun_info<&catchE>};
constinit const rts::StaticFun mapExceptT_closure{rts::static_fun_info<&mapExceptT_fn>};

}  // namespace Control::Monad::Trans::Except
