#include "Data/Functor/Identity.h"

#include "VUX/Internal/Base.h"
#include "VUX/Internal/Show.h"

namespace Data::Functor::Identity {

namespace Base = VUX::Internal::Base;
namespace Show = VUX::Internal::Show;

namespace {
Value suspendedApply(const Value& f, const Value& x) {
    return rts::delay([f, x]() { return rts::apply(f, x); });
}
Value fmap_fn(const Value& f, const Value& x) { return suspendedApply(f, x); }
Value replace_fn(const Value& x, const Value&) { return x; }
Value pure_fn(const Value& x) { return x; }
Value ap_fn(const Value& f, const Value& x) { return suspendedApply(f, x); }
Value liftA2_fn(const Value& f, const Value& a, const Value& b) {
    return rts::delay([f, a, b]() { return rts::apply(f, a, b); });
}
Value then_fn(const Value&, const Value& b) { return b; }
Value before_fn(const Value& a, const Value&) { return a; }
Value bind_fn(const Value& m, const Value& k) { return rts::apply(k, m); }

using IdentityRecords = Base::StaticMonadRecords<&fmap_fn, &replace_fn, &pure_fn, &ap_fn, &liftA2_fn,
                                                 &then_fn, &before_fn, &bind_fn>;
}  // namespace

constinit const rts::StaticCon<2> inst_Functor_Identity = IdentityRecords::functor();
constinit const rts::StaticCon<6> inst_Applicative_Identity =
    IdentityRecords::applicative(inst_Functor_Identity);
constinit const rts::StaticCon<4> inst_Monad_Identity = IdentityRecords::monad(inst_Applicative_Identity);

Value inst_Show_Identity(Value dShow) {
    return Show::showRecord(rts::fun<3>([dShow](const Value& d, const Value& x, const Value& s) {
        return Show::showsConApp(VUX::Types::intOf(rts::force(d)), "Identity",
                                 {Show::showsPrecS(dShow, 11, x)}, s);
    }));
}

}  // namespace Data::Functor::Identity
