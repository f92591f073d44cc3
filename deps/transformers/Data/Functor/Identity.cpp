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

}  // namespace

using VUX::Record::fn, VUX::Record::ref;
constinit const VUX::Record::Static<Base::C_Functor_class> inst_Functor_Identity_closure{fn<&fmap_fn>,
                                                                                         fn<&replace_fn>};
constinit const VUX::Record::Static<Base::C_Applicative_class> inst_Applicative_Identity_closure{
    ref(inst_Functor_Identity_closure),
    fn<&pure_fn>,
    fn<&ap_fn>,
    fn<&liftA2_fn>,
    fn<&then_fn>,
    fn<&before_fn>};
constinit const VUX::Record::Static<Base::C_Monad_class> inst_Monad_Identity_closure{
    ref(inst_Applicative_Identity_closure), fn<&bind_fn>, fn<&then_fn>, fn<&pure_fn>};

Value inst_Show_Identity(const Value& dShow) {
    return Show::showRecord(rts::fun<3>([dShow](const Value& d, const Value& x, const Value& s) {
        return Show::showsConApp(VUX::Types::intOf(rts::force(d)), "Identity",
                                 {Show::showsPrecS(dShow, 11, x)}, s);
    }));
}

}  // namespace Data::Functor::Identity
