#include "Control/Monad/IO/Class.h"

#include "Control/Monad/Trans/Class.h"
#include "VUX/Internal/IO.h"

namespace Control::Monad::IO::Class {

namespace Base = VUX::Internal::Base;
using VUX::Record::ref;

Value liftIO(const Value& dMonadIO, const Value& act) { return rts::apply(liftIO(dMonadIO), act); }

constinit const VUX::Record::Static<C_MonadIO_class> inst_MonadIO_IO_closure{
    ref(VUX::Internal::IO::inst_Monad_IO_closure), ref(Base::id_closure)};

Value inst_MonadIO_Lifted(const Value& dMonadTrans, const Value& dMonadIO) {
    Value dMonad = rts::delay(
        [dMonadTrans, dMonadIO]() { return Trans::Class::monadOf(dMonadTrans, MonadIO_Monad(dMonadIO)); });
    Value lift = rts::fun<1>([dMonadTrans, dMonadIO](const Value& act) {
        return Trans::Class::lift(dMonadTrans, MonadIO_Monad(dMonadIO), liftIO(dMonadIO, act));
    });
    return C_MonadIO(std::move(dMonad), std::move(lift));
}

}  // namespace Control::Monad::IO::Class
