#include "Control/Monad/Trans/Class.h"

namespace Control::Monad::Trans::Class {

Value monadOf(const Value& dMonadTrans, const Value& dMonad) {
    return rts::apply(MonadTrans_Monad(dMonadTrans), dMonad);
}

Value lift(const Value& dMonadTrans, const Value& dMonad, const Value& m) {
    return rts::apply(lift(dMonadTrans), dMonad, m);
}

}  // namespace Control::Monad::Trans::Class
