#include "Data/Map.h"

#include <utility>

#include "VUX/Classes.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace Data::Map {

using VUX::Types::Cons;

constinit const rts::StaticNullary Tip_closure{Tip_tag};

namespace {

constexpr uint64_t kDelta = 3;
constexpr uint64_t kRatio = 2;

// Fields of an evaluated Bin: key, value, left, right (references), then two words: the size and
// the key's own word when the key is a one-word box (an Int, a Char...), else 0. With the Int
// record, searches compare that word and never visit the key's box.
const Value& key(const Value& n) { return rts::field(n, 0); }
const Value& val(const Value& n) { return rts::field(n, 1); }
const Value& left(const Value& n) { return rts::field(n, 2); }
const Value& right(const Value& n) { return rts::field(n, 3); }
// Subtrees are always evaluated, so their size is read without forcing.
uint64_t sizeOf(const Value& t) { return t->tag == Tip_tag ? 0 : rts::word(t, 0); }

uint64_t keyWord(const Value& k) {
    return k->kind == rts::Kind::Con && k->nptrs == 0 && k->nwords == 1 ? rts::word(k, 0) : 0;
}

Value bin(Value k, Value x, Value l, Value r) {
    uint64_t n = sizeOf(l) + sizeOf(r) + 1, w = keyWord(k);
    return rts::con_words<2>(Bin_tag, {n, w}, std::move(k), std::move(x), std::move(l), std::move(r));
}

// Three-way comparison through the Ord record: negative, zero or positive. The Int record, the
// most common one, compares the unboxed values directly.
class Comparer {
  public:
    explicit Comparer(const Value& dOrd)
        : dOrd_(rts::force(dOrd)), ints_(dOrd_.get() == VUX::Classes::inst_Ord_Int_closure.object()) {
        if (!ints_) compare_ = VUX::Classes::compare(dOrd_);
    }
    int operator()(const Value& a, const Value& b) const {
        if (ints_) {
            int64_t x = VUX::Types::intOf(rts::force(a)), y = VUX::Types::intOf(rts::force(b));
            return (x > y) - (x < y);
        }
        return static_cast<int>(rts::force(rts::apply(compare_, a, b))->tag) - VUX::Types::EQ_tag;
    }
    bool ints() const { return ints_; }

  private:
    Value dOrd_;
    bool ints_;
    Value compare_;
};

// One key compared with the keys of nodes; with the Int record, against their cached words.
class Probe {
  public:
    Probe(const Comparer& cmp, const Value& k)
        : cmp_(cmp), k_(k), int_(cmp.ints() ? VUX::Types::intOf(rts::force(k)) : 0) {}
    int against(const Value& node) const {
        if (cmp_.ints()) {
            int64_t y = static_cast<int64_t>(rts::word(node, 1));
            return (int_ > y) - (int_ < y);
        }
        return cmp_(k_, key(node));
    }

  private:
    const Comparer& cmp_;
    const Value& k_;
    int64_t int_;
};

// Rotations (see the header): the subtree on the heavy side moves up.
Value singleL(Value k, Value x, Value l, const Value& r) {
    return bin(key(r), val(r), bin(std::move(k), std::move(x), std::move(l), left(r)), right(r));
}
Value doubleL(Value k, Value x, Value l, const Value& r) {
    const Value& rl = left(r);
    return bin(key(rl), val(rl), bin(std::move(k), std::move(x), std::move(l), left(rl)),
               bin(key(r), val(r), right(rl), right(r)));
}
Value singleR(Value k, Value x, const Value& l, Value r) {
    return bin(key(l), val(l), left(l), bin(std::move(k), std::move(x), right(l), std::move(r)));
}
Value doubleR(Value k, Value x, const Value& l, Value r) {
    const Value& lr = right(l);
    return bin(key(lr), val(lr), bin(key(l), val(l), left(l), left(lr)),
               bin(std::move(k), std::move(x), right(lr), std::move(r)));
}

// A node from subtrees whose weights differ by at most one insertion from balance.
Value balance(Value k, Value x, Value l, Value r) {
    uint64_t sl = sizeOf(l), sr = sizeOf(r);
    if (sl + sr <= 1) return bin(std::move(k), std::move(x), std::move(l), std::move(r));
    if (sr > kDelta * sl) {
        if (sizeOf(left(r)) < kRatio * sizeOf(right(r)))
            return singleL(std::move(k), std::move(x), std::move(l), r);
        return doubleL(std::move(k), std::move(x), std::move(l), r);
    }
    if (sl > kDelta * sr) {
        if (sizeOf(right(l)) < kRatio * sizeOf(left(l)))
            return singleR(std::move(k), std::move(x), l, std::move(r));
        return doubleR(std::move(k), std::move(x), l, std::move(r));
    }
    return bin(std::move(k), std::move(x), std::move(l), std::move(r));
}

bool isBalanced(uint64_t sl, uint64_t sr) { return sl + sr <= 1 || (sl <= kDelta * sr && sr <= kDelta * sl); }

// Takes a reference field out of a node that only the caller holds, leaving the static Tip in
// its place (every slot stays valid if an exception drops the node).
Value takeField(const Value& node, size_t i) {
    return std::exchange(rts::as_value_mut(rts::con_slots(node.get())[i].ref), empty());
}
void putField(const Value& node, size_t i, Value v) {
    rts::as_value_mut(rts::con_slots(node.get())[i].ref) = std::move(v);
}

// Inserts into t, which the caller gives up. A node that nobody else holds is updated in place
// (no one can tell the difference); a shared node is copied, so every other holder of the old map
// keeps it unchanged.
Value insertIn(const Probe& probe, const Value& k, const Value& x, Value t) {
    rts::stack_check();
    if (t->tag == Tip_tag) return bin(k, x, empty(), empty());
    int c = probe.against(t);
    const bool unique = t->rc.load(std::memory_order_acquire) == 1;
    if (c == 0) {
        if (!unique) return bin(k, x, left(t), right(t));
        putField(t, 0, k);
        putField(t, 1, x);
        rts::con_slots(t.get())[5].word = keyWord(k);
        return t;
    }
    const size_t side = c < 0 ? 2 : 3;
    if (!unique) {
        Value sub = insertIn(probe, k, x, rts::field(t, side));
        return side == 2 ? balance(key(t), val(t), std::move(sub), right(t))
                         : balance(key(t), val(t), left(t), std::move(sub));
    }
    Value sub = insertIn(probe, k, x, takeField(t, side));
    const Value& other = rts::field(t, side == 2 ? 3 : 2);
    if (isBalanced(sizeOf(sub), sizeOf(other))) {
        rts::con_slots(t.get())[4].word = sizeOf(sub) + sizeOf(other) + 1;
        putField(t, side, std::move(sub));
        return t;
    }
    Value kt = takeField(t, 0), xt = takeField(t, 1), rest = takeField(t, side == 2 ? 3 : 2);
    return side == 2 ? balance(std::move(kt), std::move(xt), std::move(sub), std::move(rest))
                     : balance(std::move(kt), std::move(xt), std::move(rest), std::move(sub));
}

// The node holding k (alive as long as m is), or null.
const Value* find(const Comparer& cmp, const Value& k, const Value& m) {
    Probe probe(cmp, k);
    const Value* t = &rts::force(m);
    while ((*t)->tag != Tip_tag) {
        int c = probe.against(*t);
        if (c == 0) return t;
        t = c < 0 ? &left(*t) : &right(*t);
    }
    return nullptr;
}

// foldr over the pairs: the left spine is walked now, each right subtree when its part is read.
Value toListOnto(const Value& t, Value rest) {
    rts::stack_check();
    if (t->tag == Tip_tag) return rest;
    Value tail = rts::delay([r = right(t), rest = std::move(rest)]() { return toListOnto(r, rest); });
    return toListOnto(left(t), Cons(VUX::Tuple::Tuple2(key(t), val(t)), std::move(tail)));
}

// Checks the subtree t whose keys must lie strictly between lo and hi (null: unbounded).
bool validIn(const Comparer& cmp, const Value& t, const Value* lo, const Value* hi) {
    rts::stack_check();
    if (t->tag == Tip_tag) return true;
    if ((lo && cmp(*lo, key(t)) >= 0) || (hi && cmp(key(t), *hi) >= 0)) return false;
    uint64_t sl = sizeOf(left(t)), sr = sizeOf(right(t));
    if (rts::word(t, 0) != sl + sr + 1 || rts::word(t, 1) != keyWord(key(t))) return false;
    if (!isBalanced(sl, sr)) return false;
    return validIn(cmp, left(t), lo, &key(t)) && validIn(cmp, right(t), &key(t), hi);
}

Value insert_fn(const Value& dOrd, const Value& k, const Value& x, const Value& m) {
    return insert(dOrd, k, x, m);
}
Value lookup_fn(const Value& dOrd, const Value& k, const Value& m) { return lookup(dOrd, k, m); }

}  // namespace

Value singleton(const Value& k, Value x) { return bin(rts::force(k), std::move(x), empty(), empty()); }

int64_t size(const Value& m) { return static_cast<int64_t>(sizeOf(rts::force(m))); }

Value insert(const Value& dOrd, const Value& k, const Value& x, Value m) {
    Comparer cmp(dOrd);
    Value key = rts::force(k);
    Value root = rts::force(std::move(m));
    return insertIn(Probe(cmp, key), key, x, std::move(root));
}

Value lookup(const Value& dOrd, const Value& k, const Value& m) {
    const Value* node = find(Comparer(dOrd), k, m);
    if (!node) return VUX::Internal::Maybe::Nothing();
    return VUX::Internal::Maybe::Just(val(*node));
}

Value member(const Value& dOrd, const Value& k, const Value& m) {
    return VUX::Types::fromBool(find(Comparer(dOrd), k, m) != nullptr);
}

Value fromList(const Value& dOrd, const Value& xs) {
    Comparer cmp(dOrd);
    Value t = empty();
    for (Value cur = xs;;) {
        const Value& cell = rts::force(cur);
        if (cell->tag == VUX::Types::Nil_tag) return t;
        const Value& p = rts::force(rts::field(cell, 0));
        Value k = rts::force(rts::field(p, 0));
        t = insertIn(Probe(cmp, k), k, rts::field(p, 1), std::move(t));
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
}

Value toList(const Value& m) { return toListOnto(rts::force(m), VUX::Types::Nil()); }

bool valid(const Value& dOrd, const Value& m) {
    return validIn(Comparer(dOrd), rts::force(m), nullptr, nullptr);
}

Value inst_Eq_Map(const Value& dEqKey, const Value& dEqValue) {
    Value dPairs = VUX::Classes::inst_Eq_List(VUX::Classes::inst_Eq_Tuple(dEqKey, dEqValue));
    auto eq = [dPairs](const Value& a, const Value& b) {
        return size(a) == size(b) && VUX::Classes::test(VUX::Classes::op_eq_eq(dPairs), toList(a), toList(b));
    };
    return VUX::Classes::C_Eq(
        rts::fun<2>([eq](const Value& a, const Value& b) { return VUX::Types::fromBool(eq(a, b)); }),
        rts::fun<2>([eq](const Value& a, const Value& b) { return VUX::Types::fromBool(!eq(a, b)); }));
}

Value inst_Show_Map(const Value& dShowKey, const Value& dShowValue) {
    namespace Show = VUX::Internal::Show;
    Value dPairs = Show::inst_Show_List(Show::inst_Show_Tuple2(std::move(dShowKey), std::move(dShowValue)));
    return Show::showRecord(rts::fun<3>([dPairs](const Value& d, const Value& m, const Value& s) {
        Value list = rts::delay([m]() { return toList(m); });
        Value body = rts::fun<1>([dPairs, list](const Value& rest) {
            return Show::showText("fromList ", Show::showsPrec(dPairs, 0, list, rest));
        });
        return Show::showParen(VUX::Types::intOf(rts::force(d)) > 10, body, s);
    }));
}

constinit const rts::StaticFun insert_closure{rts::static_fun_info<&insert_fn>};
constinit const rts::StaticFun lookup_closure{rts::static_fun_info<&lookup_fn>};

}  // namespace Data::Map
