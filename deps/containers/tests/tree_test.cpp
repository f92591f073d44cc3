// Data.Tree: derived equality and text form, lazy fields, pre-order flattening on demand, and deep
// trees failing with a catchable stack overflow.
#include <gtest/gtest.h>

#include "Data/Tree.h"
#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"

namespace {

using rts::Value;
using namespace Data::Tree;
using VUX::Types::I_hash;
namespace Show = VUX::Internal::Show;

Value leaf(int64_t n) { return Node(I_hash(n), VUX::Types::Nil()); }
Value node(int64_t n, std::vector<Value> children) { return Node(I_hash(n), vux::testing::list(children)); }

bool equal(const Value& a, const Value& b) {
    return VUX::Classes::test(VUX::Classes::op_eq_eq(inst_Eq_Tree(VUX::Classes::inst_Eq_Int())), a, b);
}

TEST(Tree, DerivedEquality) {
    Value t = node(1, {node(2, {leaf(4)}), leaf(3)});
    EXPECT_TRUE(equal(t, node(1, {node(2, {leaf(4)}), leaf(3)})));
    EXPECT_FALSE(equal(t, node(1, {node(2, {leaf(5)}), leaf(3)})));
    EXPECT_FALSE(equal(t, node(1, {node(2, {leaf(4)})})));
    EXPECT_FALSE(equal(t, node(0, {node(2, {leaf(4)}), leaf(3)})));
    // Labels decide first: a different label stops the comparison before the forests.
    EXPECT_FALSE(equal(Node(I_hash(1), vux::testing::failing()), Node(I_hash(2), vux::testing::failing())));
    EXPECT_TRUE(
        VUX::Classes::test(VUX::Classes::op_slash_eq(inst_Eq_Tree(VUX::Classes::inst_Eq_Int())), t, leaf(1)));
}

TEST(Tree, DerivedTextForm) {
    Value dShow = inst_Show_Tree(Show::inst_Show_Int());
    Value t = node(1, {leaf(2), leaf(-3)});
    EXPECT_EQ(vux::testing::to_string(Show::show(dShow, t)),
              "Node {rootLabel = 1, subForest = [Node {rootLabel = 2, subForest = []},"
              "Node {rootLabel = -3, subForest = []}]}");
    EXPECT_EQ(vux::testing::to_string(Show::showsPrec(dShow, 11, leaf(5), VUX::Types::Nil())),
              "(Node {rootLabel = 5, subForest = []})");
}

// The tree of n with children 2n and 2n + 1, without end.
Value endless(int64_t n) {
    return Node(I_hash(n), rts::delay([n]() {
                    return vux::testing::list({rts::delay([n]() { return endless(2 * n); }),
                                               rts::delay([n]() { return endless(2 * n + 1); })});
                }));
}

TEST(Tree, FieldsAreLazyAndFlattenProducesOnDemand) {
    Value t = Node(vux::testing::failing(), vux::testing::failing());
    EXPECT_THROW(rts::force(rootLabel(t)), rts::Exception);
    EXPECT_THROW(rts::force(subForest(t)), rts::Exception);
    EXPECT_EQ(vux::testing::int_values(flatten(node(1, {node(2, {leaf(4)}), leaf(3)}))),
              (std::vector<int64_t>{1, 2, 4, 3}));
    EXPECT_EQ(vux::testing::int_values(VUX::Internal::List::take(5, flatten(endless(1)))),
              (std::vector<int64_t>{1, 2, 4, 8, 16}));
}

TEST(Tree, DeepTreesRaiseStackOverflow) {
    Value a = leaf(0), b = leaf(0);
    for (int64_t i = 0; i < 200'000; ++i) {
        a = node(i, {a});
        b = node(i, {b});
    }
    uintptr_t previous = rts::limit_stack_depth(256 * 1024);
    EXPECT_THROW(equal(a, b), rts::Exception);
    rts::restore_stack_limit(previous);
}

}  // namespace
