#include "Control/Monad/Trans/Reader.h"

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::Reader {

using namespace Internal;

namespace {
Value superclass(const Value& dMonad) { return inst_Monad_ReaderT(dMonad); }
Value lift(const Value&, const Value& m) { return VUX::Internal::Base::const_(m); }
}  // namespace

Value inst_Monad_ReaderT(const Value& dMonad) {
    Value pure =
        rts::fun<1>([dMonad](const Value& a) { return VUX::Internal::Base::const_(ret(dMonad, a)); });
    // m >>= k = \r -> m r >>= \a -> k a r
    Value bindFn = rts::fun<2>([dMonad](const Value& m, const Value& k) {
        return rts::fun<1>([dMonad, m, k](const Value& r) {
            return bind(dMonad, suspend(m, r),
                        rts::fun<1>([k, r](const Value& a) { return rts::apply(k, a, r); }));
        });
    });
    return Internal::monadRecord(std::move(pure), std::move(bindFn));
}

constinit const VUX::Record::Static<Class::C_MonadTrans_class> inst_MonadTrans_ReaderT_closure{
    VUX::Record::fn<&superclass>, VUX::Record::fn<&lift>};

Value ask(const Value& dMonad) { return VUX::Internal::Base::return_(dMonad); }

Value reader(const Value& dMonad, const Value& f) {
    return rts::fun<1>([dMonad, f](const Value& r) { return ret(dMonad, suspend(f, r)); });
}

Value withReaderT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& r) { return rts::apply(m, suspend(f, r)); });
}

Value mapReaderT(const Value& f, const Value& m) {
    return rts::fun<1>([f, m](const Value& r) { return rts::apply(f, suspend(m, r)); });
}

constinit const rts::StaticFun reader_closure{rts::static_fun_info<&reader>};
constinit const rts::StaticFun withReaderT_closure{rts::static_fun_info<&withReaderT>};

}  // namespace Control::Monad::Trans::Reader
