#include "Control/Monad/Trans/Select.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::Select {

using namespace Internal;

namespace {
Value superclass(const Value& dMonad) { return inst_Monad_SelectT(dMonad); }
Value lift(const Value&, const Value& m) { return VUX::Internal::Base::const_(m); }
}  // namespace

Value mapSelectT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& k) { return rts::apply(f, suspend(m, k)); });
}

Value select(const Value& f) {
    return rts::fun<1>([f](const Value& k) { return suspend(f, k); });
}

Value inst_Monad_SelectT(const Value& dMonad) {
    Value pure =
        rts::fun<1>([dMonad](const Value& a) { return VUX::Internal::Base::const_(ret(dMonad, a)); });
    // m >>= f = \k -> let h x = f x k in m (\x -> h x >>= k) >>= h
    Value bindFn = rts::fun<2>([dMonad](const Value& m, const Value& f) {
        return rts::fun<1>([dMonad, m, f](const Value& k) {
            Value score =
                rts::fun<1>([dMonad, f, k](const Value& x) { return bind(dMonad, suspend(f, x, k), k); });
            return bind(dMonad, suspend(m, score),
                        rts::fun<1>([f, k](const Value& y) { return rts::apply(f, y, k); }));
        });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_SelectT_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

}  // namespace Control::Monad::Trans::Select
