#include "Data/Either.h"

#include "VUX/Internal/Base.h"

namespace Data::Either {

using rts::force;
using namespace VUX::Internal::Base;
namespace Record = VUX::Record;
using VUX::Record::fn;
using VUX::Record::ref;

Value either(const Value& f, const Value& g, const Value& e) {
    const Value& v = force(e);
    return rts::apply(v->tag == Left_tag ? f : g, rts::field(v, 0));
}

namespace {
Value fmap_fn(const Value& f, const Value& e) {
    const Value& v = force(e);
    if (v->tag == Left_tag) return v;
    return Right(rts::delay([f, x = rts::field(v, 0)]() { return rts::apply(f, x); }));
}
Value replace_fn(const Value& x, const Value& e) {
    const Value& v = force(e);
    return v->tag == Left_tag ? v : Right(x);
}
Value pure_fn(const Value& x) { return Right(x); }
Value ap_fn(const Value& ef, const Value& ex) {
    const Value& f = force(ef);
    if (f->tag == Left_tag) return f;
    return fmap_fn(rts::field(f, 0), ex);
}
Value liftA2_fn(const Value& g, const Value& ea, const Value& eb) {
    const Value& a = force(ea);
    if (a->tag == Left_tag) return a;
    const Value& b = force(eb);
    if (b->tag == Left_tag) return b;
    return Right(rts::delay([g, x = rts::field(a, 0), y = rts::field(b, 0)]() { return rts::apply(g, x, y); }));
}
Value then_fn(const Value& ea, const Value& eb) {
    const Value& a = force(ea);
    return a->tag == Left_tag ? a : eb;
}
Value before_fn(const Value& ea, const Value& eb) {
    const Value& a = force(ea);
    if (a->tag == Left_tag) return a;
    const Value& b = force(eb);
    return b->tag == Left_tag ? b : a;
}
Value bind_fn(const Value& e, const Value& k) {
    const Value& v = force(e);
    if (v->tag == Left_tag) return v;
    return rts::apply(k, rts::field(v, 0));
}
// Left _ <> b = b; a <> _ = a
Value append_fn(const Value& ea, const Value& eb) {
    const Value& a = force(ea);
    return a->tag == Left_tag ? eb : a;
}
Value sconcat_fn(const Value& ne) {
    const Value& n = force(ne);
    Value cur = rts::field(n, 0);
    Value rest = rts::field(n, 1);
    for (;;) {
        if (force(cur)->tag == Right_tag) return cur;
        const Value& r = force(rest);
        if (r->tag == 0) return cur;
        Value next = rts::field(r, 0), after = rts::field(r, 1);
        cur = std::move(next);
        rest = std::move(after);
    }
}
}  // namespace

constinit const Record::Static<C_Functor_class> inst_Functor_Either_closure{fn<&fmap_fn>, fn<&replace_fn>};
constinit const Record::Static<C_Applicative_class> inst_Applicative_Either_closure{
    ref(inst_Functor_Either_closure), fn<&pure_fn>, fn<&ap_fn>, fn<&liftA2_fn>, fn<&then_fn>, fn<&before_fn>};
constinit const Record::Static<C_Monad_class> inst_Monad_Either_closure{ref(inst_Applicative_Either_closure), fn<&bind_fn>,
                                                                     fn<&then_fn>, fn<&pure_fn>};
constinit const Record::Static<C_Semigroup_class> inst_Semigroup_Either_closure{
    fn<&append_fn>, fn<&sconcat_fn>, fn<&default_stimes, &inst_Semigroup_Either_closure>};

}  // namespace Data::Either
