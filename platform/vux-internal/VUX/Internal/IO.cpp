#include "VUX/Internal/IO.h"

#include "VUX/Internal/Base.h"

namespace VUX::Internal::IO {

using Record::fn;
using Record::ref;


constinit const rts::StaticNullary realWorld_closure{0};

Value returnIO(Value x) {
    return rts::fun<1>([x](const Value&) { return x; });
}

Value bindIO(Value m, Value k) {
    return rts::fun<1>([m, k](const Value& s) {
        Value r = rts::apply(m, s);
        return rts::apply(k, r, s);
    });
}

Value thenIO(Value m, Value k) {
    return rts::fun<1>([m, k](const Value& s) {
        rts::apply(m, s);
        return rts::apply(k, s);
    });
}

Value fmapIO(Value f, Value m) {
    return rts::fun<1>([f, m](const Value& s) {
        Value r = rts::apply(m, s);
        return rts::delay([f, r]() { return rts::apply(f, r); });
    });
}

Value unsafePerformIO(Value m) {
    return rts::delay([m]() { return runIO(m); });
}

namespace {
Value fmap_fn(const Value& f, const Value& m) { return fmapIO(f, m); }
Value replace_fn(const Value& x, const Value& m) {
    return thenIO(m, returnIO(x));
}
Value pure_fn(const Value& x) { return returnIO(x); }
Value ap_fn(const Value& mf, const Value& mx) {
    return rts::fun<1>([mf, mx](const Value& s) {
        Value f = rts::apply(mf, s);
        Value x = rts::apply(mx, s);
        return rts::delay([f, x]() { return rts::apply(f, x); });
    });
}
Value liftA2_fn(const Value& f, const Value& ma, const Value& mb) {
    return rts::fun<1>([f, ma, mb](const Value& s) {
        Value a = rts::apply(ma, s);
        Value b = rts::apply(mb, s);
        return rts::delay([f, a, b]() { return rts::apply(f, a, b); });
    });
}
Value then_fn(const Value& a, const Value& b) { return thenIO(a, b); }
Value before_fn(const Value& ma, const Value& mb) {
    return rts::fun<1>([ma, mb](const Value& s) {
        Value a = rts::apply(ma, s);
        rts::apply(mb, s);
        return a;
    });
}
Value bind_fn(const Value& m, const Value& k) { return bindIO(m, k); }

}  // namespace

constinit const Record::Static<Base::C_Functor_class> inst_Functor_IO_closure{fn<&fmap_fn>, fn<&replace_fn>};
constinit const Record::Static<Base::C_Applicative_class> inst_Applicative_IO_closure{
    ref(inst_Functor_IO_closure), fn<&pure_fn>, fn<&ap_fn>, fn<&liftA2_fn>, fn<&then_fn>, fn<&before_fn>};
constinit const Record::Static<Base::C_Monad_class> inst_Monad_IO_closure{ref(inst_Applicative_IO_closure), fn<&bind_fn>,
                                                                     fn<&then_fn>, fn<&pure_fn>};

}  // namespace VUX::Internal::IO
