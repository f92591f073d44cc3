#include "VUX/Internal/Maybe.h"

#include "VUX/Internal/Base.h"
#include "VUX/Types.h"

namespace VUX::Internal::Maybe {

using rts::force;
using namespace VUX::Internal::Base;
namespace Record = VUX::Record;
using VUX::Record::fn;
using VUX::Record::ref;

constinit const rts::StaticNullary Nothing_closure{Nothing_tag};

Value maybe(Value n, const Value& f, const Value& m) {
    const Value& v = force(m);
    if (v->tag == Nothing_tag) return n;
    return rts::apply(f, rts::field(v, 0));
}

Value fromMaybe(Value d, const Value& m) {
    const Value& v = force(m);
    return v->tag == Nothing_tag ? d : rts::field(v, 0);
}

bool isJust(const Value& m) { return force(m)->tag == Just_tag; }

namespace {
Value fmap_fn(const Value& f, const Value& m) {
    const Value& v = force(m);
    if (v->tag == Nothing_tag) return Nothing();
    return Just(rts::delay([f, x = rts::field(v, 0)]() { return rts::apply(f, x); }));
}
Value replace_fn(const Value& x, const Value& m) { return force(m)->tag == Nothing_tag ? Nothing() : Just(x); }
Value pure_fn(const Value& x) { return Just(x); }
Value ap_fn(const Value& mf, const Value& mx) {
    const Value& f = force(mf);
    if (f->tag == Nothing_tag) return Nothing();
    return fmap_fn(rts::field(f, 0), mx);
}
Value liftA2_fn(const Value& g, const Value& ma, const Value& mb) {
    const Value& a = force(ma);
    if (a->tag == Nothing_tag) return Nothing();
    const Value& b = force(mb);
    if (b->tag == Nothing_tag) return Nothing();
    return Just(rts::delay([g, x = rts::field(a, 0), y = rts::field(b, 0)]() { return rts::apply(g, x, y); }));
}
Value then_fn(const Value& ma, const Value& mb) { return force(ma)->tag == Nothing_tag ? Nothing() : mb; }
Value before_fn(const Value& ma, const Value& mb) {
    const Value& a = force(ma);
    if (a->tag == Nothing_tag) return Nothing();
    return force(mb)->tag == Nothing_tag ? Nothing() : a;
}
Value bind_fn(const Value& m, const Value& k) {
    const Value& v = force(m);
    if (v->tag == Nothing_tag) return Nothing();
    return rts::apply(k, rts::field(v, 0));
}
}  // namespace

constinit const Record::Static<C_Functor_class> inst_Functor_Maybe_closure{fn<&fmap_fn>, fn<&replace_fn>};
constinit const Record::Static<C_Applicative_class> inst_Applicative_Maybe_closure{
    ref(inst_Functor_Maybe_closure), fn<&pure_fn>, fn<&ap_fn>, fn<&liftA2_fn>, fn<&then_fn>, fn<&before_fn>};
constinit const Record::Static<C_Monad_class> inst_Monad_Maybe_closure{ref(inst_Applicative_Maybe_closure), fn<&bind_fn>,
                                                                     fn<&then_fn>, fn<&pure_fn>};

// Nothing is the unit; Just a <> Just b = Just (a <> b).
Value inst_Semigroup_Maybe(Value dS) {
    Value op = rts::fun<2>([dS](const Value& ma, const Value& mb) -> Value {
        const Value& a = force(ma);
        if (a->tag == Nothing_tag) return mb;
        const Value& b = force(mb);
        if (b->tag == Nothing_tag) return a;
        return Just(rts::delay([dS, x = rts::field(a, 0), y = rts::field(b, 0)]() {
            return op_lt_gt(dS, x, y);
        }));
    });
    return semigroupRecord(std::move(op));
}

Value inst_Monoid_Maybe(Value dS) { return monoidRecord(inst_Semigroup_Maybe(std::move(dS)), Nothing()); }

}  // namespace VUX::Internal::Maybe
