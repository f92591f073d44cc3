// Loading vux-pretty: the profiling variant registers its five modules after the libraries it
// stands on, in the order of its files on the link line, each once, with its cost centres before
// its cost-centre stacks; the plain variant registers nothing. Each case runs in a fresh process,
// since registrations last as long as the process.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "rts/Profiling.h"

namespace {

namespace prof = rts::prof;
using Labels = std::vector<std::string>;

// The modules of vux-pretty in the order of their files on the link line.
const std::vector<std::string> kModules = {
    "Text.PrettyPrint.Drovane",           "Text.PrettyPrint",
    "Text.PrettyPrint.DrovaneClass",      "Text.PrettyPrint.Annotated.Drovane",
    "Text.PrettyPrint.Annotated.DrovaneClass",
};

bool is_pretty_module(const std::string& m) { return m.rfind("Text.PrettyPrint", 0) == 0; }

// Ends the child process: 0 when every check held, 1 after printing what did not.
[[noreturn]] void finish(const std::vector<std::string>& problems) {
    for (const auto& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    std::fflush(stderr);
    std::_Exit(problems.empty() ? 0 : 1);
}

size_t position(const Labels& labels, const std::string& label) {
    return std::find(labels.begin(), labels.end(), label) - labels.begin();
}

// The modules' registrations: the last 2 * kModules.size() of the process, one pair per module.
void check_order(const std::vector<prof::Registration>& regs, std::vector<std::string>& problems) {
    size_t ours = 2 * kModules.size();
    size_t before = 0;
    for (const auto& r : regs) before += is_pretty_module(r.module) ? 0 : 1;
    if (regs.size() != before + ours) {
        problems.push_back("expected " + std::to_string(ours) + " registrations of document modules, got " +
                           std::to_string(regs.size() - before));
        return;
    }
    for (size_t i = 0; i < ours; ++i) {
        const auto& r = regs[before + i];
        const std::string& expected = kModules[i / 2];
        std::string where = "registration " + std::to_string(before + i) + " (" + r.module + "): ";
        if (r.module != expected) problems.push_back(where + "expected module " + expected);
        if (r.kind != (i % 2 == 0 ? prof::ListKind::CostCentres : prof::ListKind::Stacks))
            problems.push_back(where + (i % 2 == 0 ? "expected cost centres" : "expected cost-centre stacks"));
        if (r.labels.empty() || r.labels[0] != "CAF") problems.push_back(where + "the module's CAF entry is missing");
    }
}

// What some modules register: centres with the language's names, the core's centres file by file
// in link order, constants as stacks of their own, and nothing but CAF for the module without code.
void check_contents(const std::vector<prof::Registration>& regs, std::vector<std::string>& problems) {
    auto list = [&](const std::string& module, prof::ListKind kind) -> Labels {
        for (const auto& r : regs)
            if (r.module == module && r.kind == kind) return r.labels;
        return {};
    };
    using K = prof::ListKind;
    auto expect = [&](bool ok, const std::string& what) {
        if (!ok) problems.push_back(what);
    };

    expect(list("Text.PrettyPrint", K::CostCentres) == Labels{"CAF"}, "Text.PrettyPrint: centres other than CAF");
    expect(list("Text.PrettyPrint", K::Stacks) == Labels{"CAF"}, "Text.PrettyPrint: stacks other than CAF");

    Labels core = list("Text.PrettyPrint.Annotated.Drovane", K::CostCentres);
    // One label of each of the core's files, in link order.
    const Labels by_file = {"text", "reduceDoc", "sep1", "fullRenderAnn", "textDetailsEq",
                            "rnfDoc", "renderSpans", "showsPrecDoc"};
    for (size_t i = 0; i < by_file.size(); ++i) {
        expect(position(core, by_file[i]) < core.size(), "core: no centre " + by_file[i]);
        if (i > 0)
            expect(position(core, by_file[i - 1]) < position(core, by_file[i]),
                   "core: " + by_file[i - 1] + " registered after " + by_file[i]);
    }
    for (const char* op : {"<>", "<+>", "$$", "$+$", "char", "int", "render", "fullRender", "best"})
        expect(position(core, op) < core.size(), std::string("core: no centre ") + op);
    expect(position(core, "op_lt_gt") == core.size(), "core: an operator under its C++ name");
    expect(std::count(core.begin(), core.end(), "CAF") == 1, "core: more than one CAF centre");
    expect(list("Text.PrettyPrint.Annotated.Drovane", K::Stacks) ==
               Labels{"CAF", "showTextDetailsRecord", "showModeRecord", "showStyleRecord"},
           "core: the stacks are not CAF and the three constants in source order");

    Labels plain = list("Text.PrettyPrint.Drovane", K::CostCentres);
    for (const char* f : {"render", "int", "parens", "stimes"})
        expect(position(plain, f) < plain.size(), std::string("plain front: no centre ") + f);

    const std::set<std::string> constants = {"CAF",     "precEleven", "unitDoc", "falseDoc", "trueDoc",
                                             "nothingDoc", "justDoc", "leftDoc", "rightDoc"};
    for (const char* m : {"Text.PrettyPrint.DrovaneClass", "Text.PrettyPrint.Annotated.DrovaneClass"}) {
        Labels stacks = list(m, K::Stacks);
        expect(std::set<std::string>(stacks.begin(), stacks.end()) == constants && stacks.size() == constants.size(),
               std::string(m) + ": the stacks are not CAF and the class's eight constants");
        Labels centres = list(m, K::CostCentres);
        for (const char* f : {"pPrint", "prettyShow", "inst_Pretty_List", "rightDoc"})
            expect(position(centres, f) < centres.size(), std::string(m) + ": no centre " + f);
        expect(std::count(centres.begin(), centres.end(), "inst_Pretty_Tuple") == 7,
               std::string(m) + ": one centre per tuple instance (2 to 8 components)");
    }
}

TEST(Registration, ThePlainVariantRegistersNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::vector<std::string> problems;
            if (!dlopen(VUX_PRETTY_PLAIN, RTLD_NOW | RTLD_LOCAL))
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
            if (!prof::registrations().empty()) problems.push_back("registrations before loading");
            if (!dlopen(VUX_PRETTY_PROFILING, RTLD_NOW | RTLD_LOCAL)) {
                problems.push_back(std::string("dlopen: ") + dlerror());
                finish(problems);
            }
            auto regs = prof::registrations();
            check_order(regs, problems);
            check_contents(regs, problems);
            finish(problems);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
