#include "VUX/Internal/Base.h"

#include <memory>

#include "VUX/Internal/Err.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Real.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::Base {

using namespace VUX::Types;
using rts::force;
using rts::ref_slot;

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

Value fmap(const Value& d, const Value& f, const Value& x) { return rts::apply(fmap_sel(d), f, x); }
Value pure(const Value& d, const Value& x) { return rts::apply(pure_sel(d), x); }
Value op_gt_gt_eq(const Value& d, const Value& m, const Value& k) { return rts::apply(op_gt_gt_eq_sel(d), m, k); }
Value op_gt_gt(const Value& d, const Value& m, const Value& k) { return rts::apply(op_gt_gt_sel(d), m, k); }
Value return_(const Value& d, const Value& x) { return rts::apply(return_sel(d), x); }
Value op_lt_gt(const Value& d, const Value& a, const Value& b) { return rts::apply(op_lt_gt_sel(d), a, b); }
Value mempty(const Value& d) { return mempty_sel(d); }

// ---------------------------------------------------------------------------------------------
// Records from essential operations

Value functorRecord(Value fmap) {
    Value replace = rts::fun<2>([fmap](const Value& x, const Value& m) { return rts::apply(fmap, const_(x), m); });
    return C_Functor(std::move(fmap), std::move(replace));
}

Value applicativeRecord(Value dF, Value pure, Value ap) {
    Value liftA2 = rts::fun<3>([dF, ap](const Value& f, const Value& a, const Value& b) {
        return rts::apply(ap, rts::apply(fmap_sel(dF), f, a), b);
    });
    Value then = rts::fun<2>([dF, ap](const Value& a, const Value& b) {
        return rts::apply(ap, rts::apply(op_lt_dollar_sel(dF), id_closure.value(), a), b);
    });
    Value before = rts::fun<2>([liftA2](const Value& a, const Value& b) {
        return rts::apply(liftA2, const__closure.value(), a, b);
    });
    return C_Applicative(std::move(dF), std::move(pure), std::move(ap), std::move(liftA2), std::move(then),
                         std::move(before));
}

Value monadRecord(Value dA, Value bind) {
    Value then = rts::fun<2>([bind](const Value& m, const Value& k) { return rts::apply(bind, m, const_(k)); });
    Value ret = pure_sel(dA);
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
        return default_stimes(op, dI, n, x);
    });
    return C_Semigroup(std::move(op), std::move(sconcat), std::move(stimes));
}

Value monoidRecord(Value dS, Value mempty) {
    Value mappend = op_lt_gt_sel(dS);
    Value mconcat = rts::fun<1>([mappend, mempty](const Value& xs) { return List::foldr(mappend, mempty, xs); });
    return C_Monoid(std::move(dS), std::move(mempty), std::move(mappend), std::move(mconcat));
}

Value default_stimes(const Value& op, const Value& dIntegral, const Value& n, const Value& x) {
    return Real::stimesByDoubling(op, dIntegral, n, x);
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
Value list_sconcat(const Value& ne) { return sconcatWith(List::op_plus_plus_closure.value(), ne); }
Value list_stimes(const Value& dI, const Value& n, const Value& x) {
    return default_stimes(List::op_plus_plus_closure.value(), dI, n, x);
}
Value list_mconcat(const Value& xss) { return List::concat(xss); }

constinit const rts::StaticFun list_fmap_c{rts::static_fun_info<&list_fmap>};
constinit const rts::StaticFun list_replace_c{rts::static_fun_info<&list_replace>};
constinit const rts::StaticFun list_pure_c{rts::static_fun_info<&list_pure>};
constinit const rts::StaticFun list_bind_c{rts::static_fun_info<&list_bind>};
constinit const rts::StaticFun list_ap_c{rts::static_fun_info<&list_ap>};
constinit const rts::StaticFun list_liftA2_c{rts::static_fun_info<&list_liftA2>};
constinit const rts::StaticFun list_then_c{rts::static_fun_info<&list_then>};
constinit const rts::StaticFun list_before_c{rts::static_fun_info<&list_before>};
constinit const rts::StaticFun list_sconcat_c{rts::static_fun_info<&list_sconcat>};
constinit const rts::StaticFun list_stimes_c{rts::static_fun_info<&list_stimes>};
constinit const rts::StaticFun list_mconcat_c{rts::static_fun_info<&list_mconcat>};
constinit const rts::StaticFun list_append_c{rts::static_fun_info<&list_append>};
}  // namespace

constinit const rts::StaticCon<2> inst_Functor_List{C_Functor_tag, ref_slot(list_fmap_c.object()),
                                                    ref_slot(list_replace_c.object())};
constinit const rts::StaticCon<6> inst_Applicative_List{
    C_Applicative_tag,                 ref_slot(inst_Functor_List.object()), ref_slot(list_pure_c.object()),
    ref_slot(list_ap_c.object()),      ref_slot(list_liftA2_c.object()),     ref_slot(list_then_c.object()),
    ref_slot(list_before_c.object())};
constinit const rts::StaticCon<4> inst_Monad_List{C_Monad_tag, ref_slot(inst_Applicative_List.object()),
                                                  ref_slot(list_bind_c.object()), ref_slot(list_then_c.object()),
                                                  ref_slot(list_pure_c.object())};
constinit const rts::StaticCon<3> inst_Semigroup_List{C_Semigroup_tag, ref_slot(list_append_c.object()),
                                                      ref_slot(list_sconcat_c.object()),
                                                      ref_slot(list_stimes_c.object())};
constinit const rts::StaticCon<4> inst_Monoid_List{C_Monoid_tag, ref_slot(inst_Semigroup_List.object()),
                                                   ref_slot(Nil_closure.object()), ref_slot(list_append_c.object()),
                                                   ref_slot(list_mconcat_c.object())};

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
constinit const rts::StaticFun fn_fmap_c{rts::static_fun_info<&fn_fmap>};
constinit const rts::StaticFun fn_replace_c{rts::static_fun_info<&fn_replace>};
constinit const rts::StaticFun fn_pure_c{rts::static_fun_info<&fn_pure>};
constinit const rts::StaticFun fn_ap_c{rts::static_fun_info<&fn_ap>};
constinit const rts::StaticFun fn_liftA2_c{rts::static_fun_info<&fn_liftA2>};
constinit const rts::StaticFun fn_then_c{rts::static_fun_info<&fn_then>};
constinit const rts::StaticFun fn_before_c{rts::static_fun_info<&fn_before>};
constinit const rts::StaticFun fn_bind_c{rts::static_fun_info<&fn_bind>};
}  // namespace

constinit const rts::StaticCon<2> inst_Functor_Function{C_Functor_tag, ref_slot(fn_fmap_c.object()),
                                                        ref_slot(fn_replace_c.object())};
constinit const rts::StaticCon<6> inst_Applicative_Function{
    C_Applicative_tag,             ref_slot(inst_Functor_Function.object()), ref_slot(fn_pure_c.object()),
    ref_slot(fn_ap_c.object()),    ref_slot(fn_liftA2_c.object()),           ref_slot(fn_then_c.object()),
    ref_slot(fn_before_c.object())};
constinit const rts::StaticCon<4> inst_Monad_Function{C_Monad_tag, ref_slot(inst_Applicative_Function.object()),
                                                      ref_slot(fn_bind_c.object()), ref_slot(fn_then_c.object()),
                                                      ref_slot(fn_pure_c.object())};

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
Value ne_sconcat(const Value& ne);
Value ne_stimes(const Value& dI, const Value& n, const Value& x);
constinit const rts::StaticFun ne_fmap_c{rts::static_fun_info<&ne_fmap>};
constinit const rts::StaticFun ne_replace_c{rts::static_fun_info<&ne_replace>};
constinit const rts::StaticFun ne_append_c{rts::static_fun_info<&ne_append>};
constinit const rts::StaticFun ne_sconcat_c{rts::static_fun_info<&ne_sconcat>};
constinit const rts::StaticFun ne_stimes_c{rts::static_fun_info<&ne_stimes>};
Value ne_sconcat(const Value& ne) { return sconcatWith(ne_append_c.value(), ne); }
Value ne_stimes(const Value& dI, const Value& n, const Value& x) {
    return default_stimes(ne_append_c.value(), dI, n, x);
}

Value unit_append(const Value&, const Value&) { return VUX::Tuple::Unit(); }
Value unit_sconcat(const Value&) { return VUX::Tuple::Unit(); }
Value unit_stimes(const Value&, const Value&, const Value&) { return VUX::Tuple::Unit(); }
Value unit_mconcat(const Value&) { return VUX::Tuple::Unit(); }
constinit const rts::StaticFun unit_append_c{rts::static_fun_info<&unit_append>};
constinit const rts::StaticFun unit_sconcat_c{rts::static_fun_info<&unit_sconcat>};
constinit const rts::StaticFun unit_stimes_c{rts::static_fun_info<&unit_stimes>};
constinit const rts::StaticFun unit_mconcat_c{rts::static_fun_info<&unit_mconcat>};
}  // namespace

constinit const rts::StaticCon<2> inst_Functor_NonEmpty{C_Functor_tag, ref_slot(ne_fmap_c.object()),
                                                        ref_slot(ne_replace_c.object())};
constinit const rts::StaticCon<3> inst_Semigroup_NonEmpty{C_Semigroup_tag, ref_slot(ne_append_c.object()),
                                                          ref_slot(ne_sconcat_c.object()),
                                                          ref_slot(ne_stimes_c.object())};
constinit const rts::StaticCon<3> inst_Semigroup_Unit{C_Semigroup_tag, ref_slot(unit_append_c.object()),
                                                      ref_slot(unit_sconcat_c.object()),
                                                      ref_slot(unit_stimes_c.object())};
constinit const rts::StaticCon<4> inst_Monoid_Unit{C_Monoid_tag, ref_slot(inst_Semigroup_Unit.object()),
                                                   ref_slot(VUX::Tuple::Unit_closure.object()),
                                                   ref_slot(unit_append_c.object()),
                                                   ref_slot(unit_mconcat_c.object())};

}  // namespace VUX::Internal::Base
