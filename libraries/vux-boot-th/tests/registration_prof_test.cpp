// Loading vux-boot-th: the profiling variant registers its two modules after the libraries it
// stands on, the document layer first, each with its cost centres before its cost-centre stacks;
// the plain variant registers nothing. Each case runs in a fresh process, since registrations
// last as long as the process.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rts/Profiling.h"

namespace {

namespace prof = rts::prof;
using Labels = std::vector<std::string>;

const std::vector<std::string> kModules = {"VUX.Boot.TH.PprLib", "VUX.Boot.TH.Ppr"};

[[noreturn]] void finish(const std::vector<std::string>& problems) {
    for (const auto& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    std::fflush(stderr);
    std::_Exit(problems.empty() ? 0 : 1);
}

bool has(const Labels& labels, const std::string& label) {
    return std::find(labels.begin(), labels.end(), label) != labels.end();
}

void check(const std::vector<prof::Registration>& regs, std::vector<std::string>& problems) {
    size_t ours = 2 * kModules.size();
    if (regs.size() < ours) {
        problems.push_back("fewer registrations than the modules need");
        return;
    }
    // Nothing of ours before the last four registrations.
    for (size_t i = 0; i + ours < regs.size(); ++i)
        if (regs[i].module.rfind("VUX.Boot.TH", 0) == 0) problems.push_back("early registration of " + regs[i].module);
    std::vector<Labels> lists;
    for (size_t i = 0; i < ours; ++i) {
        const auto& r = regs[regs.size() - ours + i];
        std::string where = "registration of " + r.module + ": ";
        if (r.module != kModules[i / 2]) problems.push_back(where + "expected " + kModules[i / 2]);
        if (r.kind != (i % 2 == 0 ? prof::ListKind::CostCentres : prof::ListKind::Stacks))
            problems.push_back(where + "centres and stacks out of order");
        if (r.labels.empty() || r.labels[0] != "CAF") problems.push_back(where + "no CAF entry first");
        lists.push_back(r.labels);
    }
    if (lists.size() != 4) return;
    for (const char* f : {"<>", "<+>", "$$", "$+$", "pprName'", "pprName", "to_Drovane_Doc", "punctuate", "hang",
                          ">>=", "char", "int"})
        if (!has(lists[0], f)) problems.push_back(std::string("PprLib: no centre ") + f);
    const Labels libConstants = {"CAF",    "initialState", "empty",  "semi",   "comma",  "colon",  "space", "equals",
                                 "lparen", "rparen",       "lbrack", "rbrack", "lbrace", "rbrace", "dcolon", "arrow"};
    if (lists[1] != libConstants) problems.push_back("PprLib: the stacks are not CAF and its constants in order");
    for (const char* f : {"pprint", "pprFixity", "pprPrefixOcc", "ppr_FunDep", "ppr_list_FunDep", "ppr_Loc",
                          "inst_Ppr_List", "ppr_Pragma", "ppr_RuleBndr", "ppr_Foreign", "pprPatSynSig",
                          "pprPatSynType", "ppr_Info", "ppr_dec", "where_clause", "ppr_typedef", "ppr_deriv_clause",
                          "ppr_Con", "pprGadtRHS", "ppr_tySyn", "ppr_tf_head", "ppr_eqn", "ppr_FamilyResultSig"})
        if (!has(lists[2], f)) problems.push_back(std::string("Ppr: no centre ") + f);
    for (const char* k : {"kwInfixl", "kwUnpackStrict", "bar", "kwTypeData"})
        if (!has(lists[3], k)) problems.push_back(std::string("Ppr: no stack for the constant ") + k);
}

TEST(Registration, ThePlainVariantRegistersNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::vector<std::string> problems;
            if (!dlopen(VUX_BOOT_TH_PLAIN, RTLD_NOW | RTLD_LOCAL))
                problems.push_back(std::string("dlopen: ") + dlerror());
            if (!prof::registrations().empty()) problems.push_back("the plain variant registered something");
            finish(problems);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Registration, TheProfilingVariantRegistersItsModulesInOrderAtLoad) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::vector<std::string> problems;
            if (!dlopen(VUX_BOOT_TH_PROFILING, RTLD_NOW | RTLD_LOCAL)) {
                problems.push_back(std::string("dlopen: ") + dlerror());
                finish(problems);
            }
            check(prof::registrations(), problems);
            finish(problems);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
