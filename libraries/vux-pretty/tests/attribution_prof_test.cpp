// The document functions under profiling: rendering enters the rendering functions once per call
// and the allocation made while rendering lands below the rendering function's stack, the same
// every time; constants of the Pretty class are evaluated once, on their own centre; a thread
// forked under a cost centre renders below it. The plain variant registers and counts nothing.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>
#include <string_view>

#include "Data/Either.h"
#include "Testing.h"
#include "Text/PrettyPrint.h"
#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "Text/PrettyPrint/DrovaneClass.h"
#include "VUX/Internal/Conc.h"
#include "VUX/Internal/IO.h"
#include "VUX/Tuple.h"
#include "rts/Profiling.h"

namespace {

namespace prof = rts::prof;
namespace A = Text::PrettyPrint::Annotated::Drovane;
namespace P = Text::PrettyPrint::Drovane;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;

constexpr const char* kPlain = "Text.PrettyPrint.Drovane";
constexpr const char* kCore = "Text.PrettyPrint.Annotated.Drovane";

// `alpha 42` above `beta` nested by 2: a composition of every kind the reduction handles.
Value sample() {
    Value top = P::op_lt_plus_gt(P::text(str("alpha")), P::int_(VUX::Types::I_hash(42)));
    return P::op_dollar_dollar(top, P::nest(VUX::Types::I_hash(2), P::text(str("beta"))));
}
constexpr const char* kSampleText = "alpha 42\n  beta";

#ifdef VUX_PROFILING

constexpr int kRenders = 40;

// Counts of a centre since the fixture was made.
struct Since {
    const char* module;
    const char* label;
    prof::Totals start;
    Since(const char* m, const char* l) : module(m), label(l), start(prof::totals_of(m, l)) {}
    uint64_t entries() const { return prof::totals_of(module, label).entries - start.entries; }
};

// The stack that entering the centre `label` of `module` from `from` made, or null.
CostCentreStack* entered(CostCentreStack* from, std::string_view module, std::string_view label) {
    if (from == nullptr) return nullptr;
    for (CcsEdge* e = from->children.load(std::memory_order_acquire); e != nullptr; e = e->next) {
        if (e->to->prev == from && module == e->cc->module && label == e->cc->label) return e->to;
    }
    return nullptr;
}

// The allocation charged to `root` and to every stack above it. Only edges to a stack one deeper
// are followed: a recursive entry leads back down to a stack already on the path.
prof::Totals inherited(CostCentreStack* root) {
    prof::Totals sum;
    std::vector<CostCentreStack*> pending{root};
    while (!pending.empty()) {
        CostCentreStack* s = pending.back();
        pending.pop_back();
        sum.objects += s->objects.load();
        sum.bytes += s->bytes.load();
        for (CcsEdge* e = s->children.load(std::memory_order_acquire); e != nullptr; e = e->next)
            if (e->to->prev == s) pending.push_back(e->to);
    }
    return sum;
}

// A cost centre of the test itself, entered with prof::Scope.
CostCentre test_centre(const char* label) { return {label, "Test.PrettyProfiling", __FILE__, __LINE__, 0, 0}; }

TEST(PrettyProfiling, EachRenderingEntersItsRenderAndTheCoreRendererOnce) {
    struct Case {
        const char* module;
        Value (*render)(const Value&);
    };
    for (const Case& c : {Case{kPlain, &P::render}, Case{kCore, &A::render}}) {
        SCOPED_TRACE(c.module);
        Value doc = sample();
        ASSERT_EQ(to_string(c.render(doc)), kSampleText);
        Since render(c.module, "render"), fullRenderAnn(kCore, "fullRenderAnn"), reduceDoc(kCore, "reduceDoc");
        Since other(c.module == kPlain ? kCore : kPlain, "render");
        for (int i = 0; i < kRenders; ++i) ASSERT_EQ(to_string(c.render(doc)), kSampleText);
        EXPECT_EQ(render.entries(), uint64_t(kRenders));
        EXPECT_EQ(fullRenderAnn.entries(), uint64_t(kRenders));
        EXPECT_GE(reduceDoc.entries(), uint64_t(kRenders));
        EXPECT_EQ(other.entries(), 0u) << "each front's render is a centre of its own module";
    }
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
}

TEST(PrettyProfiling, AllocationWhileRenderingIsChargedBelowRenderAndIsTheSameEachTime) {
    static CostCentre test = test_centre("allocationTest");
    Value doc = sample();
    prof::Scope scope(&test);
    CostCentreStack* here = prof::current_stack();
    // The first rendering also evaluates the document's own deferred parts; later ones only render.
    ASSERT_EQ(to_string(P::render(doc)), kSampleText);
    CostCentreStack* render = entered(here, kPlain, "render");
    ASSERT_NE(render, nullptr);

    prof::Totals before = inherited(render);
    uint64_t entries_before = render->entries.load();
    ASSERT_EQ(to_string(P::render(doc)), kSampleText);
    prof::Totals once = inherited(render);
    uint64_t objects = once.objects - before.objects, bytes = once.bytes - before.bytes;
    EXPECT_GT(objects, 0u);
    EXPECT_GT(bytes, 0u);
    for (int i = 1; i < kRenders; ++i) ASSERT_EQ(to_string(P::render(doc)), kSampleText);
    prof::Totals after = inherited(render);
    EXPECT_EQ(render->entries.load() - entries_before, uint64_t(kRenders));
    EXPECT_EQ(after.objects - before.objects, kRenders * objects);
    EXPECT_EQ(after.bytes - before.bytes, kRenders * bytes);

    // The plain render goes through the core's fullRender and fullRenderAnn, whose stacks carry
    // the layout's allocation.
    CostCentreStack* core = entered(entered(render, kCore, "fullRender"), kCore, "fullRenderAnn");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(prof::stack_labels(core),
              (std::vector<std::string>{"MAIN", "allocationTest", "render", "fullRender", "fullRenderAnn"}));
    EXPECT_GT(inherited(core).bytes, 0u);
}

TEST(PrettyProfiling, AConstantOfThePrettyClassIsEvaluatedOnceOnItsOwnCentre) {
    namespace C = Text::PrettyPrint::DrovaneClass;
    Value dEither = C::inst_Pretty_Either(C::inst_Pretty_Int(), C::inst_Pretty_Int());
    Since prettyShow("Text.PrettyPrint.DrovaneClass", "prettyShow");
    for (int i = 0; i < 3; ++i) {
        Value shown = C::prettyShow(dEither, Data::Either::Right(VUX::Types::I_hash(i)));
        EXPECT_EQ(to_string(shown), "Right " + std::to_string(i));
    }
    prof::Totals right = prof::totals_of("Text.PrettyPrint.DrovaneClass", "rightDoc");
    EXPECT_EQ(right.entries, 1u) << "evaluated once in the process, then shared";
    EXPECT_EQ(prof::totals_of("Text.PrettyPrint.Annotated.DrovaneClass", "rightDoc").entries, 0u)
        << "each copy of the class has its own constants";
    EXPECT_EQ(prettyShow.entries(), 3u);
}

TEST(PrettyProfiling, AThreadForkedUnderACentreRendersBelowIt) {
    static CostCentre test = test_centre("forkingTest");
    prof::Scope scope(&test);
    CostCentreStack* here = prof::current_stack();
    CostCentreStack* earlier = entered(here, kPlain, "render");  // from an earlier run of the test
    uint64_t entries_before = earlier ? earlier->entries.load() : 0;
    auto child = std::make_shared<std::promise<std::pair<CostCentreStack*, std::string>>>();
    Value action = VUX::Internal::IO::io([child] {
        CostCentreStack* start = prof::current_stack();
        child->set_value({start, to_string(P::render(sample()))});
        return VUX::Tuple::Unit();
    });
    rts::force(VUX::Internal::IO::runIO(VUX::Internal::Conc::forkIO(action)));
    auto [start, rendered] = child->get_future().get();
    EXPECT_EQ(start, here) << "the child starts on the stack of the thread that forked it";
    EXPECT_EQ(rendered, kSampleText);
    CostCentreStack* render = entered(here, kPlain, "render");
    ASSERT_NE(render, nullptr) << "the child's render was entered below the forking centre";
    EXPECT_EQ(render->entries.load() - entries_before, 1u);
    EXPECT_GT(inherited(render).bytes, 0u);
}

#else

TEST(PrettyProfiling, ThePlainVariantRegistersAndCountsNothing) {
    EXPECT_EQ(to_string(P::render(sample())), kSampleText);
    EXPECT_TRUE(prof::registrations().empty());
    EXPECT_EQ(prof::totals_of(kPlain, "render").entries, 0u);
    EXPECT_EQ(prof::totals_of(kCore, "fullRenderAnn").entries, 0u);
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
}

#endif

}  // namespace
