#include "Control/Monad/Trans/Cont.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::Cont {

using namespace Internal;
namespace Base = VUX::Internal::Base;

namespace {
Value pure_fn(const Value& x) {
    return rts::fun<1>([x](const Value& c) { return rts::apply(c, x); });
}
// m >>= k = \c -> m (\x -> k x c)
Value bind_fn(const Value& m, const Value& k) {
    return rts::fun<1>([m, k](const Value& c) {
        return rts::apply(m, rts::fun<1>([k, c](const Value& x) { return rts::apply(k, x, c); }));
    });
}
// m >>= pure . f
Value fmap_fn(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& c) {
        return rts::apply(m, rts::fun<1>([f, c](const Value& x) { return rts::apply(c, suspend(f, x)); }));
    });
}
Value replace_fn(const Value& x, const Value& m) { return bind_fn(m, Base::const_(pure_fn(x))); }
Value ap_fn(const Value& mf, const Value& mx) {
    return bind_fn(mf, rts::fun<1>([mx](const Value& f) { return fmap_fn(f, mx); }));
}
Value liftA2_fn(const Value& g, const Value& ma, const Value& mb) {
    return bind_fn(ma, rts::fun<1>([g, mb](const Value& a) { return fmap_fn(suspend(g, a), mb); }));
}
Value then_fn(const Value& a, const Value& b) { return bind_fn(a, Base::const_(b)); }
Value before_fn(const Value& a, const Value& b) {
    return bind_fn(a, rts::fun<1>([b](const Value& x) { return bind_fn(b, Base::const_(pure_fn(x))); }));
}

Value superclass(const Value&) { return inst_Monad_ContT(); }
Value lift(const Value& dMonad, const Value& m) {
    return rts::fun<1>([dMonad, m](const Value& c) { return bind(dMonad, m, c); });
}
}  // namespace

using VUX::Record::fn, VUX::Record::ref;
constinit const VUX::Record::Static<Base::C_Functor_class> inst_Functor_ContT_closure{fn<&fmap_fn>,
                                                                                      fn<&replace_fn>};
constinit const VUX::Record::Static<Base::C_Applicative_class> inst_Applicative_ContT_closure{
    ref(inst_Functor_ContT_closure), fn<&pure_fn>, fn<&ap_fn>, fn<&liftA2_fn>, fn<&then_fn>, fn<&before_fn>};
constinit const VUX::Record::Static<Base::C_Monad_class> inst_Monad_ContT_closure{
    ref(inst_Applicative_ContT_closure), fn<&bind_fn>, fn<&then_fn>, fn<&pure_fn>};
constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_ContT_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

Value evalContT(const Value& dMonad, const Value& m) { return rts::apply(m, Base::return_(dMonad)); }

Value mapContT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& c) { return rts::apply(f, suspend(m, c)); });
}

Value withContT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& c) { return rts::apply(m, suspend(f, c)); });
}

Value resetT(const Value& dMonad, const Value& m) {
    return lift(dMonad, rts::delay([dMonad, m]() { return evalContT(dMonad, m); }));
}

Value shiftT(const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f](const Value& c) { return evalContT(dMonad, rts::apply(f, c)); });
}

Value evalCont(const Value& m) { return rts::apply(m, Base::id_closure.value()); }

Value callCC(const Value& f) {
    return rts::fun<1>([f](const Value& c) {
        Value escape = rts::fun<1>(
            [c](const Value& x) { return rts::fun<1>([c, x](const Value&) { return rts::apply(c, x); }); });
        return rts::apply(f, escape, c);
    });
}

constinit const rts::StaticFun callCC_closure{rts::static_fun_info<&callCC>};

}  // namespace Control::Monad::Trans::Cont
