// Deep evaluation reaches every element, in constant stack, and stops at the first failure.
#include <gtest/gtest.h>

#include "Control/DeepSeq.h"
#include "Testing.h"

using namespace Control::DeepSeq;
using rts::Value;

namespace {

TEST(DeepSeq, ForcesEveryElement) {
    Value d = inst_NFData_List(inst_NFData_Scalar());
    vux::testing::Counter c;
    Value xs = vux::testing::list({vux::testing::counting(c, VUX::Types::I_hash(1)), VUX::Types::I_hash(2)});
    Value r = force(d, xs);
    EXPECT_EQ(c.count(), 1);
    EXPECT_TRUE(same(r, rts::force(xs)));
    // A failing element anywhere makes deepseq fail; the second component is not returned.
    Value bad = vux::testing::list({VUX::Types::I_hash(1), vux::testing::failing()});
    EXPECT_THROW(deepseq(d, bad, VUX::Types::I_hash(0)), rts::Exception);
    Value nested = inst_NFData_Maybe(inst_NFData_Tuple2(inst_NFData_Scalar(), d));
    Value m = rts::con(1, rts::con(0, VUX::Types::I_hash(1), bad));
    EXPECT_THROW(rnf(nested, m), rts::Exception);
}

// rnf walks a long list to its very end: the last element, a suspended computation, is run once,
// and a failing last element makes rnf fail.
TEST(DeepSeq, LongListsToTheEndInConstantStack) {
    auto longList = [](Value last) {
        Value xs = VUX::Types::Cons(std::move(last), VUX::Types::Nil());
        for (int i = 0; i < 3000000; ++i) xs = VUX::Types::Cons(VUX::Types::I_hash(i), std::move(xs));
        return xs;
    };
    Value d = inst_NFData_List(inst_NFData_List(inst_NFData_Scalar()));
    vux::testing::Counter c;
    EXPECT_NO_THROW(rnf(
        d, VUX::Types::Cons(longList(vux::testing::counting(c, VUX::Types::I_hash(-1))), VUX::Types::Nil())));
    EXPECT_EQ(c.count(), 1);
    try {
        rnf(d, VUX::Types::Cons(longList(vux::testing::failing()), VUX::Types::Nil()));
        ADD_FAILURE() << "rnf stopped before the failing last element";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e));
    }
}

}  // namespace
