// Loading vux-prim: the profiling variant registers every module, in link order, each with its cost
// centres before its cost-centre stacks; the plain variant registers nothing. Each case runs in a
// fresh process, since registrations last as long as the process.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rts/Profiling.h"

namespace {

namespace prof = rts::prof;

// The modules of vux-prim in the order of their files on the link line.
const std::vector<std::string> kModules = {
    "VUX.Types",      "VUX.Tuple",      "VUX.CString",        "VUX.Classes",    "VUX.Debug",    "VUX.Magic",
    "VUX.Magic.Dict", "VUX.Prim.Panic", "VUX.Prim.Exception", "VUX.Prim.PtrEq", "VUX.Prim.Ext",
};

// Ends the child process: 0 when every check held, 1 after printing what did not.
[[noreturn]] void finish(const std::vector<std::string>& problems) {
    for (const auto& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    std::fflush(stderr);
    std::_Exit(problems.empty() ? 0 : 1);
}

std::vector<std::string> check_profiling_registrations() {
    std::vector<std::string> problems;
    auto regs = prof::registrations();
    if (regs.size() != 2 * kModules.size()) {
        problems.push_back("expected " + std::to_string(2 * kModules.size()) + " registrations, got " +
                           std::to_string(regs.size()));
    }
    for (size_t i = 0; i < regs.size(); ++i) {
        const auto& r = regs[i];
        const std::string expected_module = i / 2 < kModules.size() ? kModules[i / 2] : "(none)";
        const auto expected_kind = i % 2 == 0 ? prof::ListKind::CostCentres : prof::ListKind::Stacks;
        std::string where = "registration " + std::to_string(i) + " (" + r.module + "): ";
        if (r.module != expected_module) problems.push_back(where + "expected module " + expected_module);
        if (r.kind != expected_kind)
            problems.push_back(where +
                               (i % 2 == 0 ? "expected cost centres" : "expected cost-centre stacks"));
        if (r.labels.empty() || r.labels[0] != "CAF")
            problems.push_back(where + "the module's CAF entry is missing");
    }
    return problems;
}

TEST(Registration, ThePlainVariantRegistersNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::vector<std::string> problems;
            if (!dlopen(VUX_PRIM_PLAIN, RTLD_NOW | RTLD_LOCAL))
                problems.push_back(std::string("dlopen: ") + dlerror());
            if (!prof::registrations().empty()) problems.push_back("the plain variant registered something");
            finish(problems);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Registration, TheProfilingVariantRegistersEveryModuleInOrderAtLoad) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::vector<std::string> problems;
            if (!prof::registrations().empty()) problems.push_back("registrations before loading");
            if (!dlopen(VUX_PRIM_PROFILING, RTLD_NOW | RTLD_LOCAL)) {
                problems.push_back(std::string("dlopen: ") + dlerror());
                finish(problems);
            }
            auto more = check_profiling_registrations();
            problems.insert(problems.end(), more.begin(), more.end());
            finish(problems);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
