// The functions of vux-prim under profiling: entries and allocation land on their own cost centres
// in the profiling variant; the plain variant registers and counts nothing.
#include <gtest/gtest.h>

#include "VUX/Classes.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

namespace {

namespace prof = rts::prof;
using namespace VUX::Types;
using namespace VUX::Classes;
using rts::Value;

#ifdef VUX_PROFILING

constexpr int kCalls = 1000;

prof::Totals classes(const char* label) { return prof::totals_of("VUX.Classes", label); }

TEST(PrimProfiling, EveryCallOfAFunctionCountsOneEntryOnItsCentre) {
    prof::Totals compare_before = classes("compareInt"), hash_before = classes("compareInt#");
    Value cmp = VUX::Record::static_fun<&compareInt>.value();
    Value one = I_hash(1), two = I_hash(2);
    for (int i = 0; i < kCalls; ++i) {
        Value r = rts::apply(cmp, one, two);
        ASSERT_EQ(rts::force(r)->tag, LT_tag);
    }
    EXPECT_EQ(classes("compareInt").entries - compare_before.entries, uint64_t(kCalls));
    EXPECT_EQ(classes("compareInt#").entries - hash_before.entries, uint64_t(kCalls))
        << "called by compareInt";
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
}

TEST(PrimProfiling, AllocationInsideAFunctionIsChargedToIt) {
    Value dEq = inst_Eq_Int();
    prof::Totals before = classes("inst_Eq_List");
    uint64_t main_objects = CCS_MAIN->objects.load();
    Value first = inst_Eq_List(dEq);
    prof::Totals one_call = classes("inst_Eq_List");
    uint64_t objects = one_call.objects - before.objects, bytes = one_call.bytes - before.bytes;
    EXPECT_GT(objects, 0u) << "a record and its operations are built";
    for (int i = 1; i < kCalls; ++i) inst_Eq_List(dEq);
    prof::Totals after = classes("inst_Eq_List");
    EXPECT_EQ(after.entries - before.entries, uint64_t(kCalls));
    EXPECT_EQ(after.objects - before.objects, kCalls * objects);
    EXPECT_EQ(after.bytes - before.bytes, kCalls * bytes);
    EXPECT_EQ(CCS_MAIN->objects.load(), main_objects) << "nothing was charged outside the centre";
}

#else

TEST(PrimProfiling, ThePlainVariantRegistersAndCountsNothing) {
    EXPECT_TRUE(prof::registrations().empty());
    Value r = rts::apply(VUX::Record::static_fun<&compareInt>.value(), I_hash(1), I_hash(2));
    EXPECT_EQ(rts::force(r)->tag, LT_tag);
    EXPECT_EQ(prof::totals_of("VUX.Classes", "compareInt").entries, 0u);
    EXPECT_EQ(prof::current_stack(), CCS_MAIN);
}

#endif

}  // namespace
