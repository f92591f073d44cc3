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

TEST(PprConcurrency, ThreadsPrintTheSameText) {
    Value x = mkNameU("x", 31), y = mkNameU("y", 7);
    Value fds = list({FunDep(list({x, y}), list({mkName("z")})), FunDep(list({y}), list({x}))});
    Value m =
        VUX::Boot::TH::PprLib::vcat(list({ppr(inst_Ppr_List(inst_Ppr_FunDep()), fds),
                                          pprFixity(y, Fixity(int_(4), InfixR()), TypeNamespaceSpecifier()),
                                          ppr(inst_Ppr_Bang(), Bang(SourceUnpack(), SourceLazy()))}));
    const std::string expected = "| x_0 y_1 -> z, y_1 -> x_0\ninfixr 4 type `y_1`\n{-# UNPACK #-} ~";
    constexpr int kThreads = 4;
    std::vector<std::string> texts(kThreads);
    std::vector<Value> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.push_back(rts::fork_thread([&, i] {
            for (int round = 0; round < 50; ++round) texts[i] = to_string(VUX::Boot::TH::PprLib::show(m));
        }));
    for (const auto& t : threads) rts::wait_thread(t);
    for (const auto& text : texts) EXPECT_EQ(text, expected);
}

}  // namespace
