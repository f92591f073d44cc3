#include "VUX/Internal/Base.h"

#include <memory>

#include "VUX/Internal/Err.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Real.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::Base {

using namespace VUX::Types;
using Record::fn;
using Record::ref;
using rts::force;

// ---------------------------------------------------------------------------------------------
// Combinators

namespace {
Value id_fn(const Value& x) { return x; }
Value const_fn(const Value& x, const Value&) { return x; }
Value dot_fn(const Value& f, const Value& g, const Value& x) {
    return rts::apply(f, rts::delay([g, x]() { return rts::apply(g, x); }));
}
Value flip_fn(const Value& f, const Value& x, const Value& y) { return rts::apply(f, y, x); }
Value fst_fn(const Value& p) { return fst(p); }
Value snd_fn(const Value& p) { return snd(p); }
Value dollar_fn(const Value& f, const Value& x) { return rts::apply(f, x); }
}  // namespace

constinit const rts::StaticFun id_closure{rts::static_fun_info<&id_fn>};
constinit const rts::StaticFun const__closure{rts::static_fun_info<&const_fn>};
constinit const rts::StaticFun op_dot_closure{rts::static_fun_info<&dot_fn>};
constinit const rts::StaticFun flip_closure{rts::static_fun_info<&flip_fn>};
constinit const rts::StaticFun fst_closure{rts::static_fun_info<&fst_fn>};
constinit const rts::StaticFun snd_closure{rts::static_fun_info<&snd_fn>};
constinit const rts::StaticFun op_dollar_closure{rts::static_fun_info<&dollar_fn>};

Value op_dot(Value f, Value g) { return rts::apply(op_dot_closure.value(), f, g); }
Value const_(Value x) { return rts::apply(const__closure.value(), x); }
Value fst(const Value& p) { return rts::field(force(p), 0); }
Value snd(const Value& p) { return rts::field(force(p), 1); }

Value fix(const Value& f) {
    // x = f x. The suspended computation finds itself through a slot that does not count: the
    // slot lives in the computation's own captures, so it is only read while the computation runs,
    // when x is alive. A counted reference is made only when f is applied, so the knot exists only
    // when f's result really holds its argument; x left unevaluated, or f ignoring its argument,
    // leaves no cycle.
    auto self = std::make_shared<rts::Object*>(nullptr);
    Value x = rts::delay([f, self]() { return rts::apply(f, Value::share(*self)); });
    *self = x.get();
    return x;
}

// ---------------------------------------------------------------------------------------------
// Calling through records

Value fmap(const Value& d, const Value& f, const Value& x) { return rts::apply(fmap(d), f, x); }
Value pure(const Value& d, const Value& x) { return rts::apply(pure(d), x); }
Value op_gt_gt_eq(const Value& d, const Value& m, const Value& k) { return rts::apply(op_gt_gt_eq(d), m, k); }
Value op_gt_gt(const Value& d, const Value& m, const Value& k) { return rts::apply(op_gt_gt(d), m, k); }
Value return_(const Value& d, const Value& x) { return rts::apply(return_(d), x); }
Value op_lt_gt(const Value& d, const Value& a, const Value& b) { return rts::apply(op_lt_gt(d), a, b); }

// ---------------------------------------------------------------------------------------------
// Records from essential operations

Value functorRecord(Value fmap) {
    Value replace = rts::fun<2>([fmap](const Value& x, const Value& m) { return rts::apply(fmap, const_(x), m); });
    return C_Functor(std::move(fmap), std::move(replace));
}

Value applicativeRecord(Value dF, Value pure, Value ap) {
    Value liftA2 = rts::fun<3>([dF, ap](const Value& f, const Value& a, const Value& b) {
        return rts::apply(ap, rts::apply(fmap(dF), f, a), b);
    });
    Value then = rts::fun<2>([dF, ap](const Value& a, const Value& b) {
        return rts::apply(ap, rts::apply(op_lt_dollar(dF), id_closure.value(), a), b);
    });
    Value before = rts::fun<2>([liftA2](const Value& a, const Value& b) {
        return rts::apply(liftA2, const__closure.value(), a, b);
    });
    return C_Applicative(std::move(dF), std::move(pure), std::move(ap), std::move(liftA2), std::move(then),
                         std::move(before));
}

Value monadRecord(Value dA, Value bind) {
    Value then = rts::fun<2>([bind](const Value& m, const Value& k) { return rts::apply(bind, m, const_(k)); });
    Value ret = pure(dA);
    return C_Monad(std::move(dA), std::move(bind), std::move(then), std::move(ret));
}

namespace {
// sconcat (a :| as) = go a as where go b (c:cs) = b <> go c cs; go b [] = b
Value sconcatWith(const Value& op, const Value& ne) {
    const Value& n = force(ne);
    Value a = rts::field(n, 0);
    const Value& rest = force(rts::field(n, 1));
    if (rest->tag == Nil_tag) return a;
    Value tail = rts::delay([op, r = rest]() {
        return sconcatWith(op, op_colon_bar(rts::field(r, 0), rts::field(r, 1)));
    });
    return rts::apply(op, a, tail);
}
}  // namespace

Value semigroupRecord(Value op) {
    Value sconcat = rts::fun<1>([op](const Value& ne) { return sconcatWith(op, ne); });
    Value stimes = rts::fun<3>([op](const Value& dI, const Value& n, const Value& x) {
        return Real::stimesByDoubling(op, dI, n, x);
    });
    return C_Semigroup(std::move(op), std::move(sconcat), std::move(stimes));
}

Value monoidRecord(Value dS, Value mempty) {
    Value mappend = op_lt_gt(dS);
    Value mconcat = rts::fun<1>([mappend, mempty](const Value& xs) { return List::foldr(mappend, mempty, xs); });
    return C_Monoid(std::move(dS), std::move(mempty), std::move(mappend), std::move(mconcat));
}

Value default_sconcat(const Value& dSemigroup, const Value& ne) { return sconcatWith(op_lt_gt(dSemigroup), ne); }
Value default_stimes(const Value& dSemigroup, const Value& dIntegral, const Value& n, const Value& x) {
    return Real::stimesByDoubling(op_lt_gt(dSemigroup), dIntegral, n, x);
}

// ---------------------------------------------------------------------------------------------
// Lists

namespace {
Value list_fmap(const Value& f, const Value& xs) { return List::map(f, xs); }
Value list_replace(const Value& x, const Value& xs) { return List::map(const_(x), xs); }
Value list_pure(const Value& x) { return Cons(x, Nil()); }
Value list_bind(const Value& xs, const Value& k) { return List::concatMap(k, xs); }
Value list_ap(const Value& fs, const Value& xs) {
    return List::concatMap(rts::fun<1>([xs](const Value& f) { return List::map(f, xs); }), fs);
}
Value list_liftA2(const Value& f, const Value& xs, const Value& ys) {
    return List::concatMap(rts::fun<1>([f, ys](const Value& x) { return List::map(rts::apply(f, x), ys); }), xs);
}
Value list_then(const Value& xs, const Value& ys) {
    return List::concatMap(rts::fun<1>([ys](const Value&) { return ys; }), xs);
}
Value list_before(const Value& xs, const Value& ys) {
    return List::concatMap(rts::fun<1>([ys](const Value& x) { return List::map(const_(x), ys); }), xs);
}
Value list_append(const Value& a, const Value& b) { return List::op_plus_plus(a, b); }
Value list_mconcat(const Value& xss) { return List::concat(xss); }
}  // namespace

constinit const Record::Static<C_Functor_class> inst_Functor_List_closure{fn<&list_fmap>, fn<&list_replace>};
constinit const Record::Static<C_Applicative_class> inst_Applicative_List_closure{
    ref(inst_Functor_List_closure), fn<&list_pure>, fn<&list_ap>, fn<&list_liftA2>, fn<&list_then>,
    fn<&list_before>};
constinit const Record::Static<C_Monad_class> inst_Monad_List_closure{ref(inst_Applicative_List_closure),
                                                                      fn<&list_bind>, fn<&list_then>, fn<&list_pure>};
constinit const Record::Static<C_Semigroup_class> inst_Semigroup_List_closure{
    fn<&list_append>, fn<&default_sconcat, &inst_Semigroup_List_closure>,
    fn<&default_stimes, &inst_Semigroup_List_closure>};
constinit const Record::Static<C_Monoid_class> inst_Monoid_List_closure{
    ref(inst_Semigroup_List_closure), ref(Nil_closure), fn<&list_append>, fn<&list_mconcat>};

// ---------------------------------------------------------------------------------------------
// Functions r -> a

namespace {
Value fn_fmap(const Value& f, const Value& g) { return op_dot(f, g); }
Value fn_replace(const Value& x, const Value&) { return const_(x); }
Value fn_pure(const Value& x) { return const_(x); }
// (f <*> g) r = f r (g r)
Value fn_ap(const Value& f, const Value& g) {
    return rts::fun<1>([f, g](const Value& r) {
        return rts::apply(f, r, rts::delay([g, r]() { return rts::apply(g, r); }));
    });
}
Value fn_liftA2(const Value& h, const Value& f, const Value& g) {
    return rts::fun<1>([h, f, g](const Value& r) {
        return rts::apply(h, rts::delay([f, r]() { return rts::apply(f, r); }),
                          rts::delay([g, r]() { return rts::apply(g, r); }));
    });
}
Value fn_then(const Value&, const Value& g) { return g; }
Value fn_before(const Value& f, const Value&) { return f; }
// (m >>= k) r = k (m r) r
Value fn_bind(const Value& m, const Value& k) {
    return rts::fun<1>([m, k](const Value& r) {
        return rts::apply(k, rts::delay([m, r]() { return rts::apply(m, r); }), r);
    });
}
}  // namespace

constinit const Record::Static<C_Functor_class> inst_Functor_Function_closure{fn<&fn_fmap>, fn<&fn_replace>};
constinit const Record::Static<C_Applicative_class> inst_Applicative_Function_closure{
    ref(inst_Functor_Function_closure), fn<&fn_pure>, fn<&fn_ap>, fn<&fn_liftA2>, fn<&fn_then>, fn<&fn_before>};
constinit const Record::Static<C_Monad_class> inst_Monad_Function_closure{
    ref(inst_Applicative_Function_closure), fn<&fn_bind>, fn<&fn_then>, fn<&fn_pure>};

// ---------------------------------------------------------------------------------------------
// Non-empty lists and unit

namespace {
Value ne_fmap(const Value& f, const Value& ne) {
    const Value& n = force(ne);
    return op_colon_bar(rts::delay([f, h = rts::field(n, 0)]() { return rts::apply(f, h); }),
                        rts::delay([f, t = rts::field(n, 1)]() { return List::map(f, t); }));
}
Value ne_replace(const Value& x, const Value& ne) { return ne_fmap(const_(x), ne); }
// (a :| as) <> (b :| bs) = a :| (as ++ b : bs)
Value ne_append(const Value& l, const Value& r) {
    const Value& a = force(l);
    return op_colon_bar(rts::field(a, 0), rts::delay([t = rts::field(a, 1), r]() {
                            const Value& b = force(r);
                            return List::op_plus_plus(t, Cons(rts::field(b, 0), rts::field(b, 1)));
                        }));
}

Value unit_append(const Value&, const Value&) { return VUX::Tuple::Unit(); }
Value unit_sconcat(const Value&) { return VUX::Tuple::Unit(); }
Value unit_stimes(const Value&, const Value&, const Value&) { return VUX::Tuple::Unit(); }
Value unit_mconcat(const Value&) { return VUX::Tuple::Unit(); }
}  // namespace

constinit const Record::Static<C_Functor_class> inst_Functor_NonEmpty_closure{fn<&ne_fmap>, fn<&ne_replace>};
constinit const Record::Static<C_Semigroup_class> inst_Semigroup_NonEmpty_closure{
    fn<&ne_append>, fn<&default_sconcat, &inst_Semigroup_NonEmpty_closure>,
    fn<&default_stimes, &inst_Semigroup_NonEmpty_closure>};
constinit const Record::Static<C_Semigroup_class> inst_Semigroup_Unit_closure{fn<&unit_append>, fn<&unit_sconcat>,
                                                                              fn<&unit_stimes>};
constinit const Record::Static<C_Monoid_class> inst_Monoid_Unit_closure{
    ref(inst_Semigroup_Unit_closure), ref(VUX::Tuple::Unit_closure), fn<&unit_append>, fn<&unit_mconcat>};

}  // namespace VUX::Internal::Base
