#include "VUX/Internal/IO.h"

#include "VUX/Internal/Base.h"

namespace VUX::Internal::IO {


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

using IORecords = Base::StaticMonadRecords<&fmap_fn, &replace_fn, &pure_fn, &ap_fn, &liftA2_fn, &then_fn,
                                            &before_fn, &bind_fn>;
}  // namespace

constinit const rts::StaticCon<2> inst_Functor_IO = IORecords::functor();
constinit const rts::StaticCon<6> inst_Applicative_IO = IORecords::applicative(inst_Functor_IO);
constinit const rts::StaticCon<4> inst_Monad_IO = IORecords::monad(inst_Applicative_IO);

}  // namespace VUX::Internal::IO
