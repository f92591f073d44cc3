#include "Control/Monad/IO/Class.h"

#include "Control/Monad/Trans/Class.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/IO.h"

namespace Control::Monad::IO::Class {

namespace Base = VUX::Internal::Base;

Value liftIO(const Value& dMonadIO, const Value& act) { return rts::apply(liftIO_sel(dMonadIO), act); }

constinit const rts::StaticCon<2> inst_MonadIO_IO(C_MonadIO_tag,
                                                  rts::ref_slot(VUX::Internal::IO::inst_Monad_IO.object()),
                                                  rts::ref_slot(Base::id_closure.object()));

Value inst_MonadIO_Lifted(Value dMonadTrans, Value dMonadIO) {
    Value dMonad = rts::delay(
        [dMonadTrans, dMonadIO]() { return Trans::Class::monadOf(dMonadTrans, p1MonadIO(dMonadIO)); });
    Value lift = rts::fun<1>([dMonadTrans, dMonadIO](const Value& act) {
        return Trans::Class::lift(dMonadTrans, p1MonadIO(dMonadIO), liftIO(dMonadIO, act));
    });
    return C_MonadIO(std::move(dMonad), std::move(lift));
}

}  // namespace Control::Monad::IO::Class
