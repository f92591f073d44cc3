#include "Data/Tree.h"

#include "VUX/Classes.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Types.h"

namespace Data::Tree {

using namespace VUX::Types;
namespace Show = VUX::Internal::Show;

Value rootLabel(const Value& t) { return rts::field(rts::force(t), 0); }
Value subForest(const Value& t) { return rts::field(rts::force(t), 1); }

namespace {
// The pre-order labels of a forest, in front of rest.
Value flattenForest(const Value& forest, Value rest);
Value flattenOnto(const Value& t, Value rest) {
    const Value& n = rts::force(t);
    Value below =
        rts::delay([f = rts::field(n, 1), rest = std::move(rest)]() { return flattenForest(f, rest); });
    return Cons(rts::field(n, 0), std::move(below));
}
Value flattenForest(const Value& forest, Value rest) {
    rts::stack_check();
    const Value& cell = rts::force(forest);
    if (cell->tag == Nil_tag) return rest;
    Value later =
        rts::delay([f = rts::field(cell, 1), rest = std::move(rest)]() { return flattenForest(f, rest); });
    return flattenOnto(rts::field(cell, 0), std::move(later));
}

bool treeEq(const Value& dEq, const Value& a, const Value& b) {
    rts::stack_check();
    const Value& x = rts::force(a);
    const Value& y = rts::force(b);
    if (!VUX::Classes::test(VUX::Classes::op_eq_eq(dEq), rts::field(x, 0), rts::field(y, 0))) return false;
    Value xs = rts::field(x, 1), ys = rts::field(y, 1);
    for (;;) {
        const Value& cx = rts::force(xs);
        const Value& cy = rts::force(ys);
        if (cx->tag == Nil_tag || cy->tag == Nil_tag) return cx->tag == cy->tag;
        if (!treeEq(dEq, rts::field(cx, 0), rts::field(cy, 0))) return false;
        Value nx = rts::field(cx, 1), ny = rts::field(cy, 1);
        xs = std::move(nx);
        ys = std::move(ny);
    }
}

Value showsTree(const Value& dShow, int64_t d, const Value& t, Value s) {
    rts::stack_check();
    const Value& n = rts::force(t);
    Value label = Show::showsPrecS(dShow, 0, rts::field(n, 0));
    Value forest = rts::fun<1>([dShow, f = rts::field(n, 1)](const Value& rest) {
        Value element =
            rts::fun<2>([dShow](const Value& tree, const Value& r) { return showsTree(dShow, 0, tree, r); });
        return Show::showList__(element, f, rest);
    });
    return Show::showsRecordForm(d, "Node", {{"rootLabel", label}, {"subForest", forest}}, std::move(s));
}
}  // namespace

Value flatten(const Value& t) { return flattenOnto(t, Nil()); }

Value inst_Eq_Tree(const Value& dEq) {
    return VUX::Classes::C_Eq(
        rts::fun<2>([dEq](const Value& a, const Value& b) { return fromBool(treeEq(dEq, a, b)); }),
        rts::fun<2>([dEq](const Value& a, const Value& b) { return fromBool(!treeEq(dEq, a, b)); }));
}

Value inst_Show_Tree(const Value& dShow) {
    return Show::showRecord(rts::fun<3>([dShow](const Value& d, const Value& t, const Value& s) {
        return showsTree(dShow, intOf(rts::force(d)), t, s);
    }));
}

}  // namespace Data::Tree
