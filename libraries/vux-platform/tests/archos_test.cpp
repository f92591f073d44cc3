// Target descriptions: the order of every constructor and its agreement with the other comparison
// operations, comparisons that stop at the first difference, the target-triple tokens and
// predicates, the text forms written and read back, and, in the profiling variant, the module's
// registration at load.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Platform/ArchOS.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

namespace {

using namespace VUX::Platform::ArchOS;
using rts::Value;
using vux::testing::failing;
using vux::testing::list;
using vux::testing::str;
using vux::testing::to_string;
namespace Classes = VUX::Classes;
namespace Show = VUX::Internal::Show;
namespace Read = VUX::Internal::Read;

// The records of one of the seven types.
struct Records {
    Value eq, ord, show, read;
};
#define RECORDS_OF(T) \
    Records { inst_Eq_##T(), inst_Ord_##T(), inst_Show_##T(), inst_Read_##T() }

bool equal(const Records& r, const Value& x, const Value& y) {
    return Classes::test(Classes::op_eq_eq(r.eq), x, y);
}
uint8_t order(const Records& r, const Value& x, const Value& y) {
    return Classes::call(Classes::compare(r.ord), x, y)->tag;
}

Value exts(const std::vector<Value>& xs) { return list(xs); }

// A sample of each type in ascending order, every constructor included.
std::vector<Value> armISAs() { return {ARMv5(), ARMv6(), ARMv7()}; }
std::vector<Value> armExts() { return {VFPv2(), VFPv3(), VFPv3D16(), NEON(), IWMMX2()}; }
std::vector<Value> armABIs() { return {SOFT(), SOFTFP(), HARD()}; }
std::vector<Value> ppcABIs() { return {ELF_V1(), ELF_V2()}; }
std::vector<Value> oses() {
    return {OSUnknown(),   OSLinux(),   OSDarwin(), OSSolaris2(), OSMinGW32(), OSFreeBSD(),
            OSDragonFly(), OSOpenBSD(), OSNetBSD(), OSKFreeBSD(), OSHaiku(),   OSQNXNTO(),
            OSAIX(),       OSHurd(),    OSWasi(),   OSVuxjs()};
}
// Extension lists in ascending order: a proper prefix first, then the first differing element.
std::vector<Value> extensionLists() {
    return {exts({}),       exts({VFPv2()}),        exts({VFPv2(), NEON()}), exts({VFPv3()}),
            exts({NEON()}), exts({NEON(), NEON()}), exts({IWMMX2()})};
}
std::vector<Value> arches() {
    std::vector<Value> v = {ArchUnknown(),        ArchX86(),  ArchX86_64(), ArchPPC(), ArchPPC_64(ELF_V1()),
                            ArchPPC_64(ELF_V2()), ArchS390X()};
    for (const Value& isa : armISAs())
        for (const Value& e : extensionLists())
            for (const Value& abi : armABIs()) v.push_back(ArchARM(isa, e, abi));
    for (Value a : {ArchAArch64(), ArchAlpha(), ArchMipseb(), ArchMipsel(), ArchRISCV64(), ArchLoongArch64(),
                    ArchJavaScript(), ArchWasm32()})
        v.push_back(a);
    return v;
}
std::vector<Value> archOSes() {
    std::vector<Value> v;
    for (Value a : {ArchX86(), ArchPPC_64(ELF_V2()), ArchARM(ARMv7(), exts({NEON()}), HARD()), ArchWasm32()})
        for (const Value& os : oses()) v.push_back(ArchOS(a, os));
    return v;
}

struct Sample {
    std::string type;
    Records records;
    std::vector<Value> ascending;
};
std::vector<Sample> samples() {
    return {{"ArmISA", RECORDS_OF(ArmISA), armISAs()}, {"ArmISAExt", RECORDS_OF(ArmISAExt), armExts()},
            {"ArmABI", RECORDS_OF(ArmABI), armABIs()}, {"PPC_64ABI", RECORDS_OF(PPC_64ABI), ppcABIs()},
            {"Arch", RECORDS_OF(Arch), arches()},      {"OS", RECORDS_OF(OS), oses()},
            {"ArchOS", RECORDS_OF(ArchOS), archOSes()}};
}

// ---------------------------------------------------------------------------------------------
// Equality and ordering

TEST(Comparisons, EveryOperationAgreesWithTheDeclarationOrder) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.type);
        const Value& d = s.records.ord;
        const size_t n = s.ascending.size();
        for (size_t i = 0; i < n; ++i) {
            for (size_t j = 0; j < n; ++j) {
                const Value &x = s.ascending[i], &y = s.ascending[j];
                SCOPED_TRACE(std::to_string(i) + " against " + std::to_string(j));
                uint8_t expected = i < j    ? VUX::Types::LT_tag
                                   : i == j ? VUX::Types::EQ_tag
                                            : VUX::Types::GT_tag;
                ASSERT_EQ(order(s.records, x, y), expected);
                EXPECT_EQ(equal(s.records, x, y), i == j);
                EXPECT_EQ(Classes::test(Classes::op_slash_eq(s.records.eq), x, y), i != j);
                EXPECT_EQ(Classes::test(Classes::op_lt(d), x, y), i < j);
                EXPECT_EQ(Classes::test(Classes::op_lt_eq(d), x, y), i <= j);
                EXPECT_EQ(Classes::test(Classes::op_gt(d), x, y), i > j);
                EXPECT_EQ(Classes::test(Classes::op_gt_eq(d), x, y), i >= j);
                // max gives the second and min the first of two equal values.
                EXPECT_TRUE(rts::same(Classes::call(Classes::max(d), x, y), rts::force(i > j ? x : y)));
                EXPECT_TRUE(rts::same(Classes::call(Classes::min(d), x, y), rts::force(i > j ? y : x)));
            }
        }
        EXPECT_TRUE(rts::same(rts::force(Classes::Ord_Eq(d)), rts::force(s.records.eq)));
    }
}

TEST(Comparisons, EqualValuesBuiltApart) {
    const Records arch = RECORDS_OF(Arch);
    Value a = ArchARM(ARMv7(), exts({VFPv3(), NEON()}), SOFT());
    Value b = ArchARM(ARMv7(), exts({VFPv3(), NEON()}), SOFT());
    EXPECT_EQ(order(arch, a, b), VUX::Types::EQ_tag);
    EXPECT_TRUE(equal(arch, a, b));
    EXPECT_FALSE(equal(arch, a, ArchARM(ARMv7(), exts({NEON(), VFPv3()}), SOFT())));
    EXPECT_FALSE(equal(arch, ArchARM(ARMv7(), exts({NEON()}), SOFT()),
                       ArchARM(ARMv7(), exts({NEON(), NEON()}), SOFT())));
    EXPECT_TRUE(equal(RECORDS_OF(ArchOS), ArchOS(a, OSLinux()), ArchOS(b, OSLinux())));
}

// The operations evaluate a field only when the constructors agree and no earlier field decided.
TEST(Comparisons, StopAtTheFirstDifference) {
    const Records arch = RECORDS_OF(Arch), archOS = RECORDS_OF(ArchOS);
    Value armV6 = ArchARM(ARMv6(), failing(), failing());
    Value armV7 = ArchARM(ARMv7(), failing(), failing());
    Value unknownArm = ArchARM(failing(), failing(), failing());
    EXPECT_EQ(order(arch, armV6, armV7), VUX::Types::LT_tag);
    EXPECT_FALSE(equal(arch, armV6, armV7));
    EXPECT_EQ(order(arch, unknownArm, ArchX86()), VUX::Types::GT_tag);
    EXPECT_EQ(order(arch, ArchWasm32(), unknownArm), VUX::Types::GT_tag);
    EXPECT_FALSE(equal(arch, unknownArm, ArchAArch64()));
    // The first differing extension decides; the rest of the lists and the ABIs are not reached.
    Value tailFails1 = ArchARM(ARMv7(), VUX::Types::Cons(VFPv2(), failing()), failing());
    Value tailFails2 = ArchARM(ARMv7(), VUX::Types::Cons(VFPv3(), failing()), failing());
    EXPECT_EQ(order(arch, tailFails1, tailFails2), VUX::Types::LT_tag);
    EXPECT_FALSE(equal(arch, tailFails1, tailFails2));
    // The architecture decides before the operating system.
    EXPECT_EQ(order(archOS, ArchOS(ArchX86(), failing()), ArchOS(ArchX86_64(), failing())),
              VUX::Types::LT_tag);
    EXPECT_FALSE(equal(archOS, ArchOS(ArchX86(), failing()), ArchOS(ArchX86_64(), failing())));
    Value lower = ArchOS(ArchX86(), failing()), higher = ArchOS(armV7, failing());
    EXPECT_TRUE(rts::same(Classes::call(Classes::max(archOS.ord), higher, lower), higher));
    EXPECT_TRUE(rts::same(Classes::call(Classes::min(archOS.ord), higher, lower), lower));
    // A field that is reached and fails makes the operation fail.
    Value absentABI = ArchARM(ARMv7(), exts({}), failing("the ABI"));
    EXPECT_THROW(order(arch, absentABI, ArchARM(ARMv7(), exts({}), SOFT())), rts::Exception);
    EXPECT_THROW(equal(archOS, ArchOS(ArchX86(), failing("the OS")), ArchOS(ArchX86(), OSLinux())),
                 rts::Exception);
}

TEST(Selectors, TakeOneFieldAndLeaveTheOther) {
    Value t = ArchOS(failing("the architecture"), OSLinux());
    EXPECT_EQ(archOS_OS(t)->tag, OSLinux_tag);
    EXPECT_THROW(archOS_arch(t), rts::Exception);
    Value u = ArchOS(ArchX86_64(), failing("the OS"));
    EXPECT_EQ(archOS_arch(u)->tag, ArchX86_64_tag);
    Value built = rts::apply(Value(ArchOS_fun.value()), ArchX86(), OSWasi());
    EXPECT_EQ(archOS_OS(built)->tag, OSWasi_tag);
}

// ---------------------------------------------------------------------------------------------
// Target-triple tokens and predicates

TEST(Tokens, EveryArchitecture) {
    const std::vector<std::string> tokens = {
        "unknown", "i386",  "x86_64", "powerpc", "powerpc64", "s390x",       "armv5",      "armv6", "armv7",
        "aarch64", "alpha", "mipseb", "mipsel",  "riscv64",   "loongarch64", "javascript", "wasm32"};
    // One of each constructor, ArchARM once per level; the fields that do not choose the token fail.
    std::vector<Value> values = {ArchUnknown(),         ArchX86(),  ArchX86_64(), ArchPPC(),
                                 ArchPPC_64(failing()), ArchS390X()};
    for (const Value& isa : armISAs()) values.push_back(ArchARM(isa, failing(), failing()));
    for (Value a : {ArchAArch64(), ArchAlpha(), ArchMipseb(), ArchMipsel(), ArchRISCV64(), ArchLoongArch64(),
                    ArchJavaScript(), ArchWasm32()})
        values.push_back(a);
    ASSERT_EQ(values.size(), tokens.size());
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(to_string(stringEncodeArch(values[i])), tokens[i]);
    EXPECT_EQ(to_string(stringEncodeArch(ArchPPC_64(ELF_V1()))), "powerpc64");
    EXPECT_EQ(to_string(stringEncodeArch(ArchPPC_64(ELF_V2()))), "powerpc64");
    EXPECT_THROW(stringEncodeArch(ArchARM(failing(), exts({}), SOFT())), rts::Exception);
}

struct OSRow {
    Value os;
    std::string token;
    bool elf, machO;
};

TEST(Tokens, EveryOperatingSystemAndItsObjectFormat) {
    const std::vector<OSRow> rows = {
        {OSUnknown(), "unknown", false, false},
        {OSLinux(), "linux", true, false},
        {OSDarwin(), "darwin", false, true},
        {OSSolaris2(), "solaris2", true, false},
        {OSMinGW32(), "mingw32", false, false},
        {OSFreeBSD(), "freebsd", true, false},
        {OSDragonFly(), "dragonfly", true, false},
        {OSOpenBSD(), "openbsd", true, false},
        {OSNetBSD(), "netbsd", true, false},
        {OSKFreeBSD(), "kfreebsdgnu", true, false},
        {OSHaiku(), "haiku", true, false},
        {OSQNXNTO(), "nto-qnx", false, false},
        {OSAIX(), "aix", false, false},
        {OSHurd(), "hurd", true, false},
        {OSWasi(), "wasi", false, false},
        {OSVuxjs(), "vuxjs", false, false},
    };
    ASSERT_EQ(rows.size(), size_t{OS_count});
    for (const OSRow& r : rows) {
        SCOPED_TRACE(r.token);
        EXPECT_EQ(to_string(stringEncodeOS(r.os)), r.token);
        EXPECT_EQ(VUX::Types::isTrue(osElfTarget(r.os)), r.elf);
        EXPECT_EQ(VUX::Types::isTrue(osMachOTarget(r.os)), r.machO);
    }
}

TEST(Tokens, AreSharedConstants) {
    Value first = stringEncodeOS(OSUnknown());
    EXPECT_TRUE(rts::same(first, stringEncodeArch(ArchUnknown()))) << "one \"unknown\" for both encoders";
    EXPECT_TRUE(rts::same(stringEncodeArch(ArchARM(ARMv7(), exts({}), SOFT())),
                          stringEncodeArch(ArchARM(ARMv7(), failing(), failing()))));
    EXPECT_TRUE(rts::same(stringEncodeOS(OSHaiku()), stringEncodeOS(OSHaiku())));
}

TEST(Predicates, ArchitectureFamilies) {
    std::vector<Value> values = arches();
    for (const Value& a : values) {
        uint8_t tag = rts::force(a)->tag;
        SCOPED_TRACE(int(tag));
        EXPECT_EQ(VUX::Types::isTrue(isARM(a)), tag == ArchARM_tag || tag == ArchAArch64_tag);
        EXPECT_EQ(VUX::Types::isTrue(isPPC(a)), tag == ArchPPC_tag || tag == ArchPPC_64_tag);
    }
    EXPECT_TRUE(VUX::Types::isTrue(isARM(ArchARM(failing(), failing(), failing()))));
    EXPECT_TRUE(VUX::Types::isTrue(isPPC(ArchPPC_64(failing()))));
    EXPECT_THROW(isARM(failing()), rts::Exception);
}

// ---------------------------------------------------------------------------------------------
// Text forms

std::string showAt(const Records& r, int64_t d, const Value& x) {
    return to_string(Show::showsPrec(r.show, d, x, VUX::Types::Nil()));
}

// The parses of readsPrec as (value, rest text) pairs.
std::vector<std::pair<Value, std::string>> parses(const Records& r, int64_t d, const std::string& text) {
    std::vector<std::pair<Value, std::string>> out;
    for (const Value& p : vux::testing::items(Read::readsPrec(r.read, d, str(text)))) {
        const Value& t = rts::force(p);
        out.push_back({rts::field(t, 0), to_string(rts::field(t, 1))});
    }
    return out;
}

TEST(TextForms, EveryValueReadsBackEqualAtPrecedences0And11) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.type);
        for (const Value& x : s.ascending) {
            for (int64_t d : {0, 11}) {
                std::string text = showAt(s.records, d, x);
                SCOPED_TRACE(text + " at " + std::to_string(d));
                auto p = parses(s.records, d, text);
                ASSERT_EQ(p.size(), 1u);
                EXPECT_TRUE(equal(s.records, p[0].first, x));
                EXPECT_EQ(p[0].second, "");
            }
        }
        // The whole sample as one list.
        Value xs = list(s.ascending);
        std::string text = to_string(Show::showList(s.records.show, xs, VUX::Types::Nil()));
        auto read = vux::testing::items(Read::readList(s.records.read, str(text)));
        ASSERT_EQ(read.size(), 1u);
        const Value& pair = rts::force(read[0]);
        EXPECT_TRUE(Classes::listEq(s.records.eq, rts::field(pair, 0), xs));
        EXPECT_EQ(to_string(rts::field(pair, 1)), "");
    }
}

struct ShowRow {
    Records records;
    Value value;
    std::string at0, at11;
};

TEST(TextForms, ExactTexts) {
    const Records arch = RECORDS_OF(Arch), archOS = RECORDS_OF(ArchOS);
    const std::vector<ShowRow> rows = {
        {arch, ArchX86_64(), "ArchX86_64", "ArchX86_64"},
        {arch, ArchPPC_64(ELF_V2()), "ArchPPC_64 ELF_V2", "(ArchPPC_64 ELF_V2)"},
        {arch, ArchARM(ARMv7(), exts({VFPv3(), NEON()}), HARD()), "ArchARM ARMv7 [VFPv3,NEON] HARD",
         "(ArchARM ARMv7 [VFPv3,NEON] HARD)"},
        {arch, ArchARM(ARMv5(), exts({}), SOFT()), "ArchARM ARMv5 [] SOFT", "(ArchARM ARMv5 [] SOFT)"},
        {archOS, ArchOS(ArchX86_64(), OSLinux()), "ArchOS {archOS_arch = ArchX86_64, archOS_OS = OSLinux}",
         "(ArchOS {archOS_arch = ArchX86_64, archOS_OS = OSLinux})"},
        {archOS, ArchOS(ArchARM(ARMv6(), exts({VFPv2()}), SOFTFP()), OSVuxjs()),
         "ArchOS {archOS_arch = ArchARM ARMv6 [VFPv2] SOFTFP, archOS_OS = OSVuxjs}",
         "(ArchOS {archOS_arch = ArchARM ARMv6 [VFPv2] SOFTFP, archOS_OS = OSVuxjs})"},
        {RECORDS_OF(ArmISAExt), VFPv3D16(), "VFPv3D16", "VFPv3D16"},
        {RECORDS_OF(OS), OSQNXNTO(), "OSQNXNTO", "OSQNXNTO"},
    };
    for (const ShowRow& r : rows) {
        EXPECT_EQ(to_string(Show::show(r.records.show, r.value)), r.at0);
        EXPECT_EQ(showAt(r.records, 0, r.value), r.at0);
        EXPECT_EQ(showAt(r.records, 11, r.value), r.at11);
    }
    Value mixed = list({ArchX86(), ArchPPC_64(ELF_V1())});
    EXPECT_EQ(to_string(Show::showList(arch.show, mixed, str("!"))), "[ArchX86,ArchPPC_64 ELF_V1]!");
}

TEST(TextForms, FieldsAreWrittenWhenTheTextReachesThem) {
    Value text =
        Show::showsPrec(RECORDS_OF(Arch).show, 11, ArchARM(ARMv7(), failing(), failing()), VUX::Types::Nil());
    std::string seen;
    try {
        for (Value cell = text; rts::force(cell)->tag == VUX::Types::Cons_tag;) {
            seen += static_cast<char>(rts::word(rts::force(rts::field(rts::force(cell), 0)), 0));
            Value next = rts::field(rts::force(cell), 1);
            cell = next;
        }
        ADD_FAILURE() << "the extension list was never demanded";
    } catch (const rts::Exception&) {
    }
    EXPECT_EQ(seen, "(ArchARM ARMv7 ");
}

struct ReadRow {
    std::string text;
    int64_t prec;
    Value expected;  // null: no parse
    std::string rest = "";
};

// Each text read at its precedence gives exactly the expected value and rest, or no parse.
void expectReads(const Records& records, const std::vector<ReadRow>& rows) {
    for (const ReadRow& r : rows) {
        SCOPED_TRACE("\"" + r.text + "\" at " + std::to_string(r.prec));
        auto p = parses(records, r.prec, r.text);
        if (!r.expected) {
            EXPECT_TRUE(p.empty());
            continue;
        }
        ASSERT_EQ(p.size(), 1u);
        EXPECT_TRUE(equal(records, p[0].first, r.expected));
        EXPECT_EQ(p[0].second, r.rest);
    }
}

TEST(TextForms, WhatTheReadersAccept) {
    const Records arch = RECORDS_OF(Arch);
    const Value ppc = ArchPPC_64(ELF_V2());
    const Value arm = ArchARM(ARMv7(), exts({VFPv3(), NEON()}), HARD());
    const std::vector<ReadRow> rows = {
        {"ArchPPC_64 ELF_V2", 10, ppc},
        {"ArchPPC_64 ELF_V2", 11, Value()},
        {"(ArchPPC_64 ELF_V2)", 11, ppc},
        {"(ArchPPC_64 ELF_V2)", 100, ppc},
        {" ( ( ArchPPC_64\t(ELF_V2) ) ) ", 11, ppc, " "},
        {"ArchX86", 100, ArchX86()},
        {"(( (\nArchX86 )\t) )", 11, ArchX86()},
        {"ArchX86 rest", 0, ArchX86(), " rest"},
        {"ArchPPC_64", 0, Value()},
        {"ArchARM", 0, Value()},
        {"ArchPPC_64ELF_V1", 0, Value()},
        {"ArchARM ARMv7 HARD", 0, Value()},
        {"ArchARM ARMv7 VFPv3 HARD", 0, Value()},
        {"ArchARM (ARMv7) ([ ( VFPv3 ) ,NEON ]) (((HARD)))", 0, arm},
        {"ArchARM ARMv7 [ VFPv3 , NEON ] HARD", 0, arm},
        {"ArchARM ARMv7 [VFPv3,NEON,] HARD", 0, Value()},
        {"ArchARM ARMv7 [,VFPv3,NEON] HARD", 0, Value()},
        {"ArchARM ARMv7 [VFPv3,NEON] HARD", 11, Value()},
        {"archx86", 0, Value()},
        {"ARCHX86", 0, Value()},
        {"x86_64", 0, Value()},
        {"ArchPPC_64 (ELF_V2", 0, Value()},
        {"(ArchX86))", 0, ArchX86(), ")"},
        {"((ArchX86)", 0, Value()},
        {"", 0, Value()},
    };
    expectReads(arch, rows);
}

TEST(TextForms, RecordsReadInTheirOwnForm) {
    const Records archOS = RECORDS_OF(ArchOS);
    const Value x = ArchOS(ArchPPC_64(ELF_V1()), OSAIX());
    const std::vector<ReadRow> rows = {
        {"ArchOS {archOS_arch = ArchPPC_64 ELF_V1, archOS_OS = OSAIX}", 11, x},
        {"ArchOS {archOS_arch = ArchPPC_64 ELF_V1, archOS_OS = OSAIX}", 12, Value()},
        {"((ArchOS {archOS_arch = ArchPPC_64 ELF_V1, archOS_OS = OSAIX}))", 12, x},
        {"ArchOS{archOS_arch=(ArchPPC_64 ELF_V1),archOS_OS=(OSAIX)}", 0, x},
        {" ArchOS {\narchOS_arch =ArchPPC_64  ELF_V1 ,archOS_OS= OSAIX } ", 0, x, " "},
        {"ArchOS {archOS_OS = OSAIX, archOS_arch = ArchPPC_64 ELF_V1}", 0, Value()},
        {"ArchOS {archOS_arch = ArchPPC_64 ELF_V1}", 0, Value()},
        {"ArchOS {archOS_OS = OSAIX}", 0, Value()},
        {"ArchOS {archOS_arch = ArchPPC_64 ELF_V1, archOS_OS = OSAIX,}", 0, Value()},
        {"ArchOS (ArchPPC_64 ELF_V1) OSAIX", 0, Value()},
        {"ArchOS {archOS_arch = ArchPPC_64 ELF_V1, archos_OS = OSAIX}", 0, Value()},
        {"ArchOS {archOS_arch = powerpc64, archOS_OS = aix}", 0, Value()},
        {"ArchOS {archOS_arch = ArchPPC_64 ELF_V1, archOS_OS = OSAIX", 0, Value()},
    };
    expectReads(archOS, rows);
}

TEST(TextForms, ReadFieldsStayUnevaluatedUntilUsed) {
    auto p = parses(RECORDS_OF(ArchOS), 0, "ArchOS {archOS_arch = ArchX86, archOS_OS = OSHurd}");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(archOS_OS(p[0].first)->tag, OSHurd_tag);
    EXPECT_EQ(to_string(stringEncodeArch(archOS_arch(p[0].first))), "i386");
}

// ---------------------------------------------------------------------------------------------
// Type representations

std::string tyConName(const VUX::Types::StaticTyCon& tc) {
    return VUX::Types::trNameBytes(VUX::Types::tyConName(tc.value()));
}

// A kind built of type constructors applied to arguments and arrows, as text.
std::string kindText(const Value& kind) {
    const Value& k = rts::force(kind);
    if (k->tag == VUX::Types::KindRepFun_tag)
        return kindText(rts::field(k, 0)) + " -> " + kindText(rts::field(k, 1));
    EXPECT_EQ(k->tag, VUX::Types::KindRepTyConApp_tag);
    std::string name = VUX::Types::trNameBytes(VUX::Types::tyConName(rts::force(rts::field(k, 0))));
    std::vector<Value> args = vux::testing::items(rts::field(k, 1));
    if (name == "List" && args.size() == 1) return "[" + kindText(args[0]) + "]";
    for (const Value& a : args) name += " " + kindText(a);
    return name;
}

TEST(TypeRepresentations, TypesAndPromotedConstructors) {
    EXPECT_EQ(tyConName(tcArchOS), "ArchOS");
    EXPECT_EQ(tyConName(tcPPC_64ABI), "PPC_64ABI");
    EXPECT_EQ(tyConName(tc_prime_OSQNXNTO), "'OSQNXNTO");
    EXPECT_EQ(kindText(VUX::Types::tyConKind(tc_prime_OSQNXNTO.value())), "OS");
    EXPECT_EQ(kindText(VUX::Types::tyConKind(tc_prime_IWMMX2.value())), "ArmISAExt");
    EXPECT_EQ(kindText(VUX::Types::tyConKind(tc_prime_ArchX86.value())), "Arch");
    EXPECT_EQ(kindText(VUX::Types::tyConKind(tc_prime_ArchPPC_64.value())), "PPC_64ABI -> Arch");
    EXPECT_EQ(kindText(VUX::Types::tyConKind(tc_prime_ArchARM.value())),
              "ArmISA -> [ArmISAExt] -> ArmABI -> Arch");
    EXPECT_EQ(kindText(VUX::Types::tyConKind(tc_prime_ArchOS.value())), "Arch -> OS -> ArchOS");
}

// ---------------------------------------------------------------------------------------------
// Profiling

#ifdef VUX_PROFILING

namespace prof = rts::prof;
constexpr const char* kModule = "VUX.Platform.ArchOS";

TEST(Profiling, TheModuleRegistersItsCostCentresAtLoad) {
    std::vector<std::string> centres = {"CAF", "archOS_arch", "archOS_OS"};
    for (const char* type : {"ArmISA", "ArmISAExt", "ArmABI", "PPC_64ABI", "Arch", "OS", "ArchOS"})
        for (const char* op : {"eq", "ne", "compare", "lt", "le", "gt", "ge", "max", "min"})
            centres.push_back(std::string(op) + type);
    for (const char* f :
         {"stringEncodeArch", "stringEncodeOS", "osElfTarget", "osMachOTarget", "isARM", "isPPC"})
        centres.push_back(f);
    std::vector<prof::Registration> ours;
    for (const auto& r : prof::registrations())
        if (r.module == kModule) ours.push_back(r);
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0].kind, prof::ListKind::CostCentres);
    EXPECT_EQ(ours[0].labels, centres);
    EXPECT_EQ(ours[1].kind, prof::ListKind::Stacks);
    EXPECT_EQ(ours[1].labels, std::vector<std::string>{"CAF"});
}

TEST(Profiling, CallsAreCounted) {
    uint64_t before = prof::totals_of(kModule, "isARM").entries;
    uint64_t compares = prof::totals_of(kModule, "compareArch").entries;
    isARM(ArchX86());
    isARM(ArchAArch64());
    order(RECORDS_OF(Arch), ArchX86(), ArchX86());
    EXPECT_EQ(prof::totals_of(kModule, "isARM").entries, before + 2);
    EXPECT_EQ(prof::totals_of(kModule, "compareArch").entries, compares + 1);
}

// Comparisons, selectors, predicates and (once unpacked) tokens allocate nothing.
TEST(Profiling, QuestionsAllocateNothing) {
    const Records arch = RECORDS_OF(Arch), archOS = RECORDS_OF(ArchOS);
    Value a = ArchARM(ARMv7(), exts({VFPv3(), NEON()}), HARD());
    Value b = ArchARM(ARMv7(), exts({VFPv3(), NEON(), NEON()}), HARD());
    Value t = ArchOS(a, OSLinux());
    stringEncodeArch(a);
    const std::vector<std::pair<const char*, const char*>> centres = {
        {kModule, "compareArch"},      {kModule, "eqArch"},           {kModule, "eqArchOS"},
        {kModule, "stringEncodeArch"}, {kModule, "archOS_arch"},      {kModule, "isARM"},
        {"VUX.Classes", "listEq"},     {"VUX.Classes", "listCompare"}};
    std::vector<prof::Totals> before;
    for (const auto& [module, label] : centres) before.push_back(prof::totals_of(module, label));
    EXPECT_EQ(order(arch, a, b), VUX::Types::LT_tag);
    EXPECT_FALSE(equal(arch, a, b));
    EXPECT_TRUE(equal(archOS, t, t));
    EXPECT_EQ(to_string(stringEncodeArch(a)), "armv7");
    EXPECT_EQ(archOS_arch(t)->tag, ArchARM_tag);
    EXPECT_TRUE(VUX::Types::isTrue(isARM(a)));
    for (size_t i = 0; i < centres.size(); ++i) {
        prof::Totals after = prof::totals_of(centres[i].first, centres[i].second);
        EXPECT_GT(after.entries, before[i].entries) << centres[i].second;
        EXPECT_EQ(after.objects, before[i].objects) << centres[i].second;
    }
}

#else  // the plain variant

TEST(Plain, RegistersNothing) { EXPECT_TRUE(rts::prof::registrations().empty()); }

#endif

}  // namespace
