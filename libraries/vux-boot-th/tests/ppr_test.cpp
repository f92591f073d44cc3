// The printable class and pprint: names and fixity declarations, the small syntax types, lists,
// and the renumbering of unique names across pprint calls.
#include <gtest/gtest.h>

#include <string>

#include "Testing.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/TH/Syntax.h"

using namespace VUX::Boot::TH::Ppr;
using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;
namespace L = VUX::Boot::TH::PprLib;

namespace {

std::string printed(const Value& dPpr, const Value& x) { return to_string(pprint(dPpr, x)); }
std::string rendered(const Value& m) { return to_string(L::show(m)); }

TEST(PprNames, FixityDeclarations) {
    Value plus = mkName("+"), div = mkName("div");
    struct Row {
        int64_t precedence;
        Value direction, ns, name;
        const char* text;
    };
    const Row rows[] = {
        {9, InfixL(), NoNamespaceSpecifier(), plus, ""},
        {9, InfixL(), TypeNamespaceSpecifier(), plus, ""},
        {9, InfixL(), DataNamespaceSpecifier(), plus, ""},
        {9, InfixR(), NoNamespaceSpecifier(), plus, "infixr 9 +"},
        {6, InfixL(), NoNamespaceSpecifier(), plus, "infixl 6 +"},
        {5, InfixR(), TypeNamespaceSpecifier(), plus, "infixr 5 type +"},
        {-1, InfixN(), DataNamespaceSpecifier(), plus, "infix -1 data +"},
        {7, InfixL(), NoNamespaceSpecifier(), div, "infixl 7 `div`"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(rendered(pprFixity(r.name, Fixity(int_(r.precedence), r.direction), r.ns)), r.text);
    }
    // The operator is the only name, so it takes the first number.
    EXPECT_EQ(rendered(pprFixity(mkNameU("op", 40), Fixity(int_(4), InfixN()), NoNamespaceSpecifier())),
              "infix 4 `op_0`");
}

TEST(PprNames, OperatorsInPrefixPosition) {
    struct Row {
        const char* occ;
        bool sym;
        const char* prefix;
    };
    const Row rows[] = {
        {"", true, "()"},      {"+", true, "(+)"},  {":+", false, "(:+)"},
        {"map", false, "map"}, {"_x", false, "_x"}, {".", true, "(.)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.occ);
        EXPECT_EQ(isSymOcc(mkName(r.occ)), r.sym);
        EXPECT_EQ(rendered(pprPrefixOcc(mkName(r.occ))), r.prefix);
    }
    EXPECT_EQ(printed(inst_Ppr_Name(), mkNameQ("Data.Map", "insert")), "Data.Map.insert");
    EXPECT_EQ(rendered(pprNamespaceSpecifier(TypeNamespaceSpecifier())), "type");
    EXPECT_EQ(rendered(pprNamespaceSpecifier(NoNamespaceSpecifier())), "");
}

TEST(PprSmallTypes, WholeTexts) {
    Value a = mkName("a"), b = mkName("b"), c = mkName("c"), d = mkName("d");
    struct Row {
        Value dPpr, x;
        const char* text;
    };
    const Row rows[] = {
        {inst_Ppr_TyLit(), NumTyLit(integer(-5)), "-5"},
        {inst_Ppr_TyLit(), StrTyLit(str("a\"b\n")), "\"a\\\"b\\n\""},
        {inst_Ppr_TyLit(), CharTyLit(VUX::Types::C_hash('\'')), "'\\''"},
        {inst_Ppr_FunDep(), FunDep(list({a, b}), list({c})), "a b -> c"},
        {inst_Ppr_FunDep(), FunDep(list({}), list({c})), "-> c"},
        {inst_Ppr_FunDep(), FunDep(list({}), list({})), "->"},
        {inst_Ppr_PatSynArgs(), PrefixPatSyn(list({a, b})), "a b"},
        {inst_Ppr_PatSynArgs(), PrefixPatSyn(list({})), ""},
        {inst_Ppr_PatSynArgs(), InfixPatSyn(a, b), "a b"},
        {inst_Ppr_PatSynArgs(), RecordPatSyn(list({})), "{}"},
        {inst_Ppr_PatSynArgs(), RecordPatSyn(list({a, mkName("+")})), "{a, (+)}"},
        {inst_Ppr_InjectivityAnn(), InjectivityAnn(mkName("r"), list({a, b})), "| r -> a b"},
        {inst_Ppr_Module(), Module(str("pkg"), str("Data.Foo")), "pkg Data.Foo"},
        {inst_Ppr_ModuleInfo(), ModuleInfo(list({Module(str("p"), str("A")), Module(str("q"), str("B"))})),
         "Module p A\n       q B"},
        {inst_Ppr_Loc(),
         Loc(str("F.hs"), str("main"), str("Main"), pair(int_(1), int_(2)), pair(int_(3), int_(-4))),
         "main:Main:(1,2)-(3,-4)"},
        {inst_Ppr_Inline(), NoInline(), "NOINLINE"},
        {inst_Ppr_Inline(), Inline(), "INLINE"},
        {inst_Ppr_Inline(), Inlinable(), "INLINABLE"},
        {inst_Ppr_RuleMatch(), ConLike(), "CONLIKE"},
        {inst_Ppr_RuleMatch(), FunLike(), ""},
        {inst_Ppr_Phases(), AllPhases(), ""},
        {inst_Ppr_Phases(), FromPhase(int_(2)), "[2]"},
        {inst_Ppr_Phases(), BeforePhase(int_(-3)), "[~-3]"},
        {inst_Ppr_PatSynDir(), Unidir(), "<-"},
        {inst_Ppr_PatSynDir(), ImplBidir(), "="},
        {inst_Ppr_PatSynDir(), ExplBidir(list({})), "<-"},
        {inst_Ppr_SourceUnpackedness(), NoSourceUnpackedness(), ""},
        {inst_Ppr_SourceUnpackedness(), SourceNoUnpack(), "{-# NOUNPACK #-}"},
        {inst_Ppr_SourceUnpackedness(), SourceUnpack(), "{-# UNPACK #-}"},
        {inst_Ppr_SourceStrictness(), NoSourceStrictness(), ""},
        {inst_Ppr_SourceStrictness(), SourceLazy(), "~"},
        {inst_Ppr_SourceStrictness(), SourceStrict(), "!"},
        {inst_Ppr_DecidedStrictness(), DecidedLazy(), ""},
        {inst_Ppr_DecidedStrictness(), DecidedStrict(), "!"},
        {inst_Ppr_DecidedStrictness(), DecidedUnpack(), "{-# UNPACK #-} !"},
        {inst_Ppr_Bang(), Bang(SourceUnpack(), SourceStrict()), "{-# UNPACK #-} !"},
        {inst_Ppr_Bang(), Bang(NoSourceUnpackedness(), SourceLazy()), "~"},
        {inst_Ppr_Bang(), Bang(NoSourceUnpackedness(), NoSourceStrictness()), ""},
        {inst_Ppr_Role(), NominalR(), "nominal"},
        {inst_Ppr_Role(), RepresentationalR(), "representational"},
        {inst_Ppr_Role(), PhantomR(), "phantom"},
        {inst_Ppr_Role(), InferR(), "_"},
        // lists: the element's ppr_list
        {inst_Ppr_List(inst_Ppr_Name()), list({a, b}), "a\nb"},
        {inst_Ppr_List(inst_Ppr_Name()), list({}), ""},
        {inst_Ppr_List(inst_Ppr_List(inst_Ppr_Name())), list({list({a, b}), list({c})}), "a\nb\nc"},
        {inst_Ppr_List(inst_Ppr_FunDep()), list({}), ""},
        {inst_Ppr_List(inst_Ppr_FunDep()), list({FunDep(list({a}), list({b}))}), "| a -> b"},
        {inst_Ppr_List(inst_Ppr_FunDep()), list({FunDep(list({a}), list({b})), FunDep(list({c}), list({d}))}),
         "| a -> b, c -> d"},
        {inst_Ppr_List(inst_Ppr_Role()), list({NominalR(), PhantomR()}), "nominal\nphantom"},
    };
    for (const auto& r : rows) EXPECT_EQ(printed(r.dPpr, r.x), r.text);
    const char* overlaps[] = {"{-# OVERLAPPABLE #-}", "{-# OVERLAPPING #-}", "{-# OVERLAPS #-}",
                              "{-# INCOHERENT #-}"};
    const Value modes[] = {Overlappable(), Overlapping(), Overlaps(), Incoherent()};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rendered(ppr_overlap(modes[i])), overlaps[i]);
}

// pprint numbers unique names from 0 in every call, in the order the document meets them.
TEST(PprPrint, RenumberingAcrossPprintCalls) {
    Value x = mkNameU("x", 8123), y = mkNameU("y", 17);
    Value fds =
        list({FunDep(list({x, y}), list({mkName("z")})), FunDep(list({y}), list({x, mkNameU("x", 9)}))});
    Value dList = inst_Ppr_List(inst_Ppr_FunDep());
    const char* expected = "| x_0 y_1 -> z, y_1 -> x_0 x_2";
    EXPECT_EQ(printed(dList, fds), expected);
    EXPECT_EQ(printed(dList, fds), expected);
    EXPECT_EQ(printed(inst_Ppr_PatSynArgs(), RecordPatSyn(list({mkNameU("+", 3), y}))), "{(+_0), y_1}");
    EXPECT_EQ(printed(inst_Ppr_InjectivityAnn(), InjectivityAnn(y, list({x, y}))), "| y_0 -> x_1 y_0");
}

TEST(PprPrint, ParensIf) {
    Value m = L::text(str("a"));
    EXPECT_TRUE(rts::same(parensIf(false, m), m));
    EXPECT_TRUE(rts::same(parensIf(VUX::Types::False(), m), m));
    EXPECT_EQ(rendered(parensIf(true, m)), "(a)");
    EXPECT_EQ(rendered(parensIf(true, L::empty())), "()");
}

TEST(PprPrint, TyVarBndrUsesTheFlagPrinter) {
    // A flag record is its binder printer: here one that prints the binder's name in braces.
    Value braced = rts::fun<1>(
        [](const Value& binder) { return L::braces(pprName(rts::field(rts::force(binder), 0))); });
    Value d = inst_Ppr_TyVarBndr(braced);
    EXPECT_EQ(printed(d, PlainTV(mkName("a"), InferredSpec())), "{a}");
    EXPECT_EQ(printed(inst_Ppr_List(d), list({PlainTV(mkName("a"), unit()), PlainTV(mkName("b"), unit())})),
              "{a}\n{b}");
}

}  // namespace
