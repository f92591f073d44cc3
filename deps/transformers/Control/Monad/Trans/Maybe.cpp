#include "Control/Monad/Trans/Maybe.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"
#include "VUX/Internal/Maybe.h"

namespace Control::Monad::Trans::Maybe {

using namespace Internal;
using VUX::Internal::Maybe::Just, VUX::Internal::Maybe::Nothing_tag;

namespace {
Value superclass(const Value& dMonad) { return inst_Monad_MaybeT(dMonad); }
Value lift(const Value& dMonad, const Value& m) {
    return bind(dMonad, m, rts::fun<1>([dMonad](const Value& a) { return ret(dMonad, Just(a)); }));
}
}  // namespace

Value hoistMaybe(const Value& dMonad, const Value& m) { return ret(dMonad, m); }

Value inst_Monad_MaybeT(const Value& dMonad) {
    Value pure = rts::fun<1>([dMonad](const Value& a) { return ret(dMonad, Just(a)); });
    Value bindFn = rts::fun<2>([dMonad](const Value& m, const Value& k) {
        return bind(dMonad, m, rts::fun<1>([dMonad, k](const Value& v) {
                        const Value& e = rts::force(v);
                        return e->tag == Nothing_tag ? ret(dMonad, e) : rts::apply(k, rts::field(e, 0));
                    }));
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_MaybeT_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

}  // namespace Control::Monad::Trans::Maybe
