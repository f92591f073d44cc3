#include "Control/Monad/Trans/Internal.h"

#include <vector>

#include "VUX/Internal/IO.h"

namespace Control::Monad::Trans::Internal {

namespace Base = VUX::Internal::Base;

Value monadRecord(Value pure, Value bind) {
    // m >>= \x -> pure (f x)
    auto mapWith = [](const Value& pure, const Value& bind, const Value& f, const Value& m) {
        return rts::apply(bind, m,
                          rts::fun<1>([pure, f](const Value& x) { return rts::apply(pure, suspend(f, x)); }));
    };
    Value fmap = rts::fun<2>(
        [pure, bind, mapWith](const Value& f, const Value& m) { return mapWith(pure, bind, f, m); });
    Value replace = rts::fun<2>([pure, bind](const Value& x, const Value& m) {
        return rts::apply(bind, m, Base::const_(rts::apply(pure, x)));
    });
    Value ap = rts::fun<2>([pure, bind, mapWith](const Value& mf, const Value& mx) {
        return rts::apply(bind, mf, rts::fun<1>([pure, bind, mx, mapWith](const Value& f) {
                              return mapWith(pure, bind, f, mx);
                          }));
    });
    Value liftA2 = rts::fun<3>([pure, bind, mapWith](const Value& g, const Value& ma, const Value& mb) {
        return rts::apply(bind, ma, rts::fun<1>([pure, bind, g, mb, mapWith](const Value& a) {
                              return mapWith(pure, bind, suspend(g, a), mb);
                          }));
    });
    Value then =
        rts::fun<2>([bind](const Value& a, const Value& b) { return rts::apply(bind, a, Base::const_(b)); });
    Value before = rts::fun<2>([pure, bind](const Value& a, const Value& b) {
        return rts::apply(bind, a, rts::fun<1>([pure, bind, b](const Value& x) {
                              return rts::apply(bind, b, Base::const_(rts::apply(pure, x)));
                          }));
    });
    Value dFunctor = Base::C_Functor(std::move(fmap), std::move(replace));
    Value dApplicative = Base::C_Applicative(std::move(dFunctor), pure, std::move(ap), std::move(liftA2),
                                             then, std::move(before));
    return Base::C_Monad(std::move(dApplicative), std::move(bind), std::move(then), std::move(pure));
}

// ---------------------------------------------------------------------------------------------
// The inner monad

namespace {
// `m >>= k` over IO, as an action that a loop runs. Running it walks down the left operands,
// keeping each continuation on a heap stack, runs the first plain action, and hands its result to
// the continuation on top; what the continuation returns is run the same way. So neither a chain
// of binds in tail position (a loop) nor one nested to the left grows the C++ stack.
struct IOBind {
    Value m, k;
    Value operator()(const Value& token) const;
};
const rts::FunInfo* const ioBindInfo = &rts::FunOf<IOBind, 1, false>::info;

bool isIOBind(const Value& action) {
    return action->kind == rts::Kind::Fun && rts::fun_info(action.get()) == ioBindInfo;
}

Value IOBind::operator()(const Value& token) const {
    std::vector<Value> waiting{k};
    Value action = m;
    for (;;) {
        const Value& a = rts::force(action);
        if (isIOBind(a)) {
            const IOBind& node = *rts::fun_storage<IOBind>(a.get());
            waiting.push_back(node.k);
            Value left = node.m;
            action = std::move(left);
            continue;
        }
        Value result = rts::apply(a, token);
        if (waiting.empty()) return result;
        Value next = std::move(waiting.back());
        waiting.pop_back();
        action = rts::apply(next, result);
    }
}

bool isIO(const Value& dMonad) {
    return rts::force(dMonad).get() == VUX::Internal::IO::inst_Monad_IO_closure.object();
}
}  // namespace

Value ret(const Value& dMonad, Value x) { return Base::return_(dMonad, x); }

Value bind(const Value& dMonad, Value m, Value k) {
    if (isIO(dMonad)) return rts::fun<1>(IOBind{std::move(m), std::move(k)});
    return Base::op_gt_gt_eq(dMonad, m, k);
}

Value liftM(const Value& dMonad, Value f, Value m) {
    return bind(dMonad, std::move(m),
                rts::fun<1>([dMonad, f](const Value& x) { return ret(dMonad, suspend(f, x)); }));
}

// ---------------------------------------------------------------------------------------------
// Patterns

Value selectField(const Value& v, size_t i) {
    if (rts::is_evaluated(v)) return rts::field(rts::force(v), i);
    return rts::delay([v, i]() { return rts::field(rts::force(v), i); });
}

std::array<Value, 2> pair(const Value& p, Match match) {
    if (match == Match::Strict || rts::is_evaluated(p)) {
        const Value& e = rts::force(p);
        return {rts::field(e, 0), rts::field(e, 1)};
    }
    return {selectField(p, 0), selectField(p, 1)};
}

std::array<Value, 3> triple(const Value& t, Match match) {
    if (match == Match::Strict || rts::is_evaluated(t)) {
        const Value& e = rts::force(t);
        return {rts::field(e, 0), rts::field(e, 1), rts::field(e, 2)};
    }
    return {selectField(t, 0), selectField(t, 1), selectField(t, 2)};
}

// ---------------------------------------------------------------------------------------------
// Monoids

Value mempty(const Value& dMonoid) {
    return rts::delay([dMonoid]() { return Base::mempty(dMonoid); });
}

Value mappendLazy(const Value& dMonoid, Value a, Value b) {
    return rts::delay([dMonoid, a, b]() { return rts::apply(Base::mappend(dMonoid), a, b); });
}

Value mappendStrict(const Value& dMonoid, const Value& a, const Value& b) {
    return rts::force(rts::apply(Base::mappend(dMonoid), a, b));
}

}  // namespace Control::Monad::Trans::Internal
