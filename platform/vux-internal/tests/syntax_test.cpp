// The syntax tree: builders give the declared tags and fields, names are spelled for their
// positions, compared flavour first, and the enumerations have their derived text forms.
#include <gtest/gtest.h>

#include "Testing.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/TH/Syntax.h"

using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;

namespace {

TEST(SyntaxTree, BuildersGiveDeclarationTagsAndFields) {
    Value x = mkName("x");
    Value e = AppE(VarE(x), LitE(IntegerL(integer(1))));
    ASSERT_EQ(e->tag, 3);
    EXPECT_EQ(rts::field(e, 0)->tag, VarE_tag);
    EXPECT_TRUE(rts::same(rts::field(rts::field(e, 0), 0), x));
    EXPECT_EQ(rts::field(e, 1)->tag, 2);
    // Constructors without fields are shared static objects.
    EXPECT_TRUE(rts::same(WildP(), WildP()));
    EXPECT_EQ(WildP()->tag, 12);
    EXPECT_EQ(ConstrainedE_tag, 37);
    EXPECT_EQ(ImplicitParamT_tag, 27);
    EXPECT_EQ(ImplicitParamBindD_tag, 25);
    EXPECT_EQ(OrP_tag, 19);
    EXPECT_EQ(NameU_tag, 2);
    EXPECT_EQ(Infix_tag, 2);
}

struct NameCase {
    Value name;
    const char* alone;
    const char* applied;
    const char* infix;
};

TEST(SyntaxNames, ShowNameForEachPosition) {
    const NameCase cases[] = {
        {mkName("map"), "map", "map", "`map`"},
        {mkName("+"), "+", "(+)", "+"},
        {mkName(":+"), ":+", "(:+)", ":+"},
        {mkNameQ("Data.List", "map"), "Data.List.map", "Data.List.map", "`Data.List.map`"},
        {mkNameQ("M", "+"), "M.+", "(M.+)", "M.+"},
        {mkNameU("x", 12), "x_12", "x_12", "`x_12`"},
        {mkNameL("y", 3), "y_3", "y_3", "`y_3`"},
        {mkNameG(VarName(), "base", "GHC.Base", "."), "GHC.Base..", "(GHC.Base..)", "GHC.Base.."},
        {mkName("(,)"), "(,)", "(,)", "(,)"},
        {mkName("`f`"), "`f`", "`f`", "`f`"},
        {mkName(""), "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alone);
        EXPECT_EQ(to_string(showName_prime(Alone(), c.name)), c.alone);
        EXPECT_EQ(to_string(showName_prime(Applied(), c.name)), c.applied);
        EXPECT_EQ(to_string(showName_prime(Infix(), c.name)), c.infix);
    }
}

TEST(SyntaxNames, OrderIsFlavourFirstThenOccurrence) {
    // In ascending order.
    const Value ordered[] = {
        mkName("b"),
        mkName("c"),
        mkNameQ("A", "z"),
        mkNameQ("B", "a"),
        mkNameU("z", 1),
        mkNameU("a", 2),
        mkNameU("b", 2),
        mkNameL("a", 0),
        mkNameG(VarName(), "p", "M", "z"),
        mkNameG(DataName(), "a", "A", "a"),
        mkNameG(DataName(), "b", "A", "a"),
        mkNameG(FldName(str("r")), "a", "A", "a"),
    };
    const size_t n = std::size(ordered);
    Value dOrd = inst_Ord_Name();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j) {
            SCOPED_TRACE(std::to_string(i) + " vs " + std::to_string(j));
            int expected = (i > j) - (i < j);
            EXPECT_EQ(compareName(ordered[i], ordered[j]), expected);
            Value r = rts::apply(VUX::Classes::compare(dOrd), ordered[i], ordered[j]);
            EXPECT_EQ(rts::force(r)->tag, expected + 1);  // LT, EQ, GT
            Value eq = rts::apply(VUX::Classes::op_eq_eq(inst_Eq_Name()), ordered[i], ordered[j]);
            EXPECT_EQ(VUX::Types::isTrue(rts::force(eq)), i == j);
        }
    // Equal names built apart.
    EXPECT_TRUE(eqName(mkNameU("x", 7), mkNameU("x", 7)));
}

TEST(SyntaxNames, TupleAndMultiplicityNames) {
    auto shown = [](const Value& n) { return to_string(showName(n)); };
    EXPECT_EQ(shown(mk_tup_name(1, DataName(), true)), "VUX.Tuple.MkSolo");
    EXPECT_EQ(shown(mk_tup_name(1, TcClsName(), true)), "VUX.Tuple.Solo");
    EXPECT_EQ(shown(mk_tup_name(0, TcClsName(), true)), "VUX.Tuple.()");
    EXPECT_EQ(shown(mk_tup_name(3, DataName(), true)), "VUX.Tuple.(,,)");
    EXPECT_EQ(shown(mk_tup_name(1, DataName(), false)), "VUX.Prim.Solo#");
    EXPECT_EQ(shown(mk_tup_name(0, DataName(), false)), "VUX.Prim.(# #)");
    EXPECT_EQ(shown(mk_tup_name(2, DataName(), false)), "VUX.Prim.(#,#)");
    EXPECT_EQ(nameFlavour(mk_tup_name(2, DataName(), true))->tag, NameG_tag);
    EXPECT_EQ(shown(oneName()), "VUX.Types.One");
    EXPECT_EQ(shown(manyName()), "VUX.Types.Many");
}

TEST(SyntaxNames, SymbolCharacters) {
    for (char c : std::string("!#$%&*+./<=>?@\\^|-~")) {
        EXPECT_TRUE(okSymChar(c)) << c;
        EXPECT_TRUE(isVarSymChar(c)) << c;
    }
    EXPECT_TRUE(okSymChar(':'));
    EXPECT_FALSE(isVarSymChar(':'));
    for (char c : std::string("aZ_0'(`,;\"")) EXPECT_FALSE(okSymChar(c)) << c;
}

TEST(SyntaxTextForms, EnumerationsShowTheirConstructors) {
    using VUX::Internal::Show::show;
    struct Row {
        Value dShow, value;
        const char* text;
    };
    const Row rows[] = {
        {inst_Show_Callconv(), CCall(), "CCall"},
        {inst_Show_Callconv(), JavaScript(), "JavaScript"},
        {inst_Show_Safety(), Interruptible(), "Interruptible"},
        {inst_Show_Inline(), Inlinable(), "Inlinable"},
        {inst_Show_Overlap(), Overlaps(), "Overlaps"},
        {inst_Show_Role(), InferR(), "InferR"},
        {inst_Show_FixityDirection(), InfixN(), "InfixN"},
        {inst_Show_NameIs(), Applied(), "Applied"},
        {inst_Show_DecidedStrictness(), DecidedUnpack(), "DecidedUnpack"},
    };
    for (const auto& r : rows) EXPECT_EQ(to_string(show(r.dShow, r.value)), r.text);
}

}  // namespace
