// One document computation printed from several threads at once: every run starts from the
// shared initial state and the shared keyword documents, and all print the same text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Testing.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Threads.h"

using namespace VUX::Boot::TH::Ppr;
using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;

namespace {

// The texts of the computation shown by each of four threads, 50 times over.
std::vector<std::string> printedByThreads(const Value& m) {
    constexpr int kThreads = 4;
    std::vector<std::string> texts(kThreads);
    std::vector<Value> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.push_back(rts::fork_thread([&, i] {
            for (int round = 0; round < 50; ++round) texts[i] = to_string(VUX::Boot::TH::PprLib::show(m));
        }));
    for (const auto& t : threads) rts::wait_thread(t);
    return texts;
}

TEST(PprConcurrency, ThreadsPrintTheSameText) {
    Value x = mkNameU("x", 31), y = mkNameU("y", 7);
    Value fds = list({FunDep(list({x, y}), list({mkName("z")})), FunDep(list({y}), list({x}))});
    Value m =
        VUX::Boot::TH::PprLib::vcat(list({ppr(inst_Ppr_List(inst_Ppr_FunDep()), fds),
                                          pprFixity(y, Fixity(int_(4), InfixR()), TypeNamespaceSpecifier()),
                                          ppr(inst_Ppr_Bang(), Bang(SourceUnpack(), SourceLazy()))}));
    const std::string expected = "| x_0 y_1 -> z, y_1 -> x_0\ninfixr 4 type `y_1`\n{-# UNPACK #-} ~";
    for (const auto& text : printedByThreads(m)) EXPECT_EQ(text, expected);
}

// Pragmas and reified information build their parts when first run: the threads' first runs
// race to build them, and all still print the same text.
TEST(PprConcurrency, PartsBuiltOnFirstRunAreShared) {
    Value u = mkNameU("u", 12), t = mkNameU("T", 3);
    Value rule =
        RuleP(str("r"), nothing(), list({TypedRuleVar(u, ConT(t))}), VarE(u), VarE(u), FromPhase(int_(1)));
    Value info = DataConI(mkNameU("C", 4), ConT(t), t);
    for (int round = 0; round < 20; ++round) {
        Value m =
            VUX::Boot::TH::PprLib::vcat(list({ppr(inst_Ppr_Pragma(), rule), ppr(inst_Ppr_Info(), info)}));
        for (const auto& text : printedByThreads(m))
            EXPECT_EQ(
                text,
                "{-# RULES \"r\" [1] forall (u_0 :: T_1) . u_0 = u_0 #-}\nConstructor from T_1: C_2 :: T_1");
    }
}

}  // namespace
