// Types, contexts, foralls and binders.
#include <gtest/gtest.h>

#include <string>

#include "Testing.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Stack.h"

using namespace VUX::Boot::TH::Ppr;
using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;
namespace L = VUX::Boot::TH::PprLib;

namespace {

std::string rendered(const Value& m) { return to_string(L::show(m)); }

Value a = VarT(mkName("a")), b = VarT(mkName("b")), c = VarT(mkName("c")), k = VarT(mkName("k"));
Value app(Value f, std::initializer_list<Value> args) {
    for (const Value& x : args) f = AppT(f, x);
    return f;
}
Value con(const char* n) { return ConT(mkName(n)); }
Value arrow(Value x, Value y) { return app(ArrowT(), {x, y}); }
Value plain(const char* n, Value flag) { return PlainTV(mkName(n), flag); }

TEST(PprTypes, FormsAtEachPrecedence) {
    Value forallA = ForallT(list({plain("a", SpecifiedSpec())}), list({}), arrow(a, a));
    struct Row {
        int64_t p;
        Value type;
        const char* text;
    };
    const Row rows[] = {
        // constructors written as punctuation
        {appPrec, TupleT(int_(0)), "()"},
        {appPrec, TupleT(int_(-2)), "()"},
        {appPrec, TupleT(int_(2)), "(,)"},
        {appPrec, TupleT(int_(3)), "(,,)"},
        {appPrec, TupleT(int_(1)), "VUX.Tuple.Solo"},
        {appPrec, UnboxedTupleT(int_(3)), "(# ,, #)"},
        {appPrec, UnboxedTupleT(int_(0)), "(#  #)"},
        {appPrec, UnboxedSumT(int_(3)), "(# | | #)"},
        {appPrec, UnboxedSumT(int_(1)), "(#  #)"},
        {appPrec, PromotedTupleT(int_(0)), "'()"},
        {appPrec, PromotedTupleT(int_(2)), "'(,)"},
        {appPrec, PromotedTupleT(int_(1)), "'VUX.Tuple.MkSolo"},
        {appPrec, ArrowT(), "(->)"},
        {appPrec, MulArrowT(), "FUN"},
        {appPrec, EqualityT(), "(~)"},
        {appPrec, ListT(), "[]"},
        {appPrec, PromotedNilT(), "'[]"},
        {appPrec, PromotedConsT(), "'(:)"},
        {appPrec, StarT(), "*"},
        {appPrec, ConstraintT(), "Constraint"},
        {appPrec, WildCardT(), "_"},
        {appPrec, LitT(NumTyLit(integer(3))), "3"},
        {appPrec, LitT(StrTyLit(str("s"))), "\"s\""},
        {appPrec, con("+"), "(+)"},
        {appPrec, PromotedT(mkName("Just")), "'Just"},
        {appPrec, PromotedT(mkName(":|")), "'(:|)"},
        // kind signatures and parentheses at every level
        {noPrec, SigT(a, k), "(a :: k)"},
        {noPrec, SigT(app(con("Maybe"), {a}), StarT()), "(Maybe a :: *)"},
        {noPrec, ParensT(a), "(a)"},
        // foralls with each flag, contexts of 0, 1 and several predicates
        {qualPrec, forallA, "forall a . a -> a"},
        {funPrec, forallA, "(forall a . a -> a)"},
        {noPrec,
         ForallT(list({plain("a", SpecifiedSpec()), plain("b", SpecifiedSpec())}),
                 list({app(con("Eq"), {a})}), a),
         "forall a b . Eq a => a"},
        {noPrec,
         ForallT(list({plain("a", InferredSpec()), KindedTV(mkName("b"), SpecifiedSpec(), StarT())}),
                 list({app(con("Eq"), {a}), app(con("Show"), {b})}), b),
         "forall {a} (b :: *) . (Eq a, Show b) => b"},
        {noPrec, ForallT(list({}), list({app(con("Eq"), {a})}), a), "Eq a => a"},
        {noPrec, ForallT(list({}), list({arrow(a, b)}), a), "(a -> b) => a"},
        {noPrec, ForallT(list({}), list({}), a), "a"},
        {noPrec, ForallVisT(list({plain("a", unit())}), a), "forall a -> a"},
        {funPrec, ForallVisT(list({KindedTV(mkName("a"), unit(), k)}), a), "(forall (a :: k) -> a)"},
        // implicit parameters
        {noPrec, ImplicitParamT(str("x"), a), "?x :: a"},
        {sigPrec, ImplicitParamT(str("x"), a), "(?x :: a)"},
        // infix and promoted operators
        {unopPrec, InfixT(a, mkName("+"), b), "a + b"},
        {opPrec, InfixT(a, mkName("+"), b), "(a + b)"},
        {funPrec, UInfixT(a, mkName("+"), b), "a + b"},
        {unopPrec, UInfixT(a, mkName("+"), b), "(a + b)"},
        {noPrec, PromotedInfixT(a, mkName(":+"), b), "a ':+ b"},
        {unopPrec, PromotedUInfixT(a, mkName(":+"), b), "(a ':+ b)"},
        {noPrec, InfixT(a, mkName("Either"), b), "a `Either` b"},
        {noPrec, InfixT(InfixT(a, mkName("+"), b), mkName("*"), c), "(a + b) * c"},
        // tuples applied, fully and partly
        {appPrec, app(TupleT(int_(2)), {a, b}), "(a, b)"},
        {appPrec, app(TupleT(int_(3)), {a, b, c}), "(a, b, c)"},
        {noPrec, app(TupleT(int_(2)), {a, b, c}), "(,) a b c"},
        {appPrec, app(TupleT(int_(2)), {a, b, c}), "((,) a b c)"},
        {noPrec, app(TupleT(int_(2)), {a}), "(,) a"},
        {noPrec, AppT(AppKindT(TupleT(int_(2)), k), a), "(,) @k a"},
        {noPrec, app(TupleT(int_(1)), {a}), "VUX.Tuple.Solo a"},
        {appPrec, app(TupleT(int_(1)), {a}), "(VUX.Tuple.Solo a)"},
        {noPrec, app(UnboxedTupleT(int_(2)), {a, b}), "(# a, b #)"},
        {noPrec, app(UnboxedTupleT(int_(2)), {a}), "(# , #) a"},
        {noPrec, app(UnboxedSumT(int_(3)), {a, b, c}), "(# a | b | c #)"},
        {noPrec, app(UnboxedSumT(int_(3)), {a, b}), "(# | | #) a b"},
        {noPrec, app(PromotedTupleT(int_(2)), {a, b}), "'(a, b)"},
        {noPrec, app(PromotedTupleT(int_(1)), {a}), "'VUX.Tuple.MkSolo a"},
        // arrows, plain and with multiplicities
        {qualPrec, arrow(a, b), "a -> b"},
        {funPrec, arrow(a, b), "(a -> b)"},
        {noPrec, app(ArrowT(), {a}), "(->) a"},
        {appPrec, app(ArrowT(), {a}), "((->) a)"},
        {noPrec, arrow(arrow(a, b), c), "(a -> b) -> c"},
        {noPrec, arrow(a, arrow(b, c)), "a -> b -> c"},
        {noPrec, arrow(a, forallA), "a -> forall a . a -> a"},
        {noPrec, app(MulArrowT(), {PromotedT(oneName()), a, b}), "a %1 -> b"},
        {noPrec, app(MulArrowT(), {PromotedT(manyName()), a, b}), "a -> b"},
        {noPrec, app(MulArrowT(), {VarT(mkName("m")), a, b}), "a %m -> b"},
        {noPrec, app(MulArrowT(), {con("M"), a, b}), "a %M -> b"},
        {noPrec, app(MulArrowT(), {PromotedT(mkName("c")), a, b}), "a %'c -> b"},
        {noPrec, app(MulArrowT(), {PromotedT(mkName("One")), a, b}), "a %'One -> b"},
        {noPrec, app(MulArrowT(), {app(con("F"), {a}), a, b}), "a %(F a) -> b"},
        {funPrec, app(MulArrowT(), {PromotedT(oneName()), a, b}), "(a %1 -> b)"},
        {funPrec, app(MulArrowT(), {PromotedT(manyName()), a, b}), "(a -> b)"},
        {funPrec, app(MulArrowT(), {VarT(mkName("m")), a, b}), "(a %m -> b)"},
        {funPrec, app(MulArrowT(), {PromotedT(mkName("c")), a, b}), "(a %'c -> b)"},
        {noPrec, app(MulArrowT(), {VarT(mkName("m")), a}), "FUN m a"},
        // equality and lists
        {unopPrec, app(EqualityT(), {a, b}), "a ~ b"},
        {opPrec, app(EqualityT(), {a, b}), "(a ~ b)"},
        {appPrec, app(ListT(), {a}), "[a]"},
        {appPrec, app(ListT(), {arrow(a, b)}), "[a -> b]"},
        {noPrec, app(ListT(), {a, b}), "[] a b"},
        // other heads: ordinary and kind arguments
        {noPrec, AppKindT(app(con("f"), {a}), k), "f a @k"},
        {appPrec, AppKindT(app(con("f"), {a}), k), "(f a @k)"},
        {noPrec, AppKindT(con("f"), StarT()), "f @(*)"},
        {noPrec, AppKindT(con("f"), app(con("Maybe"), {k})), "f @(Maybe k)"},
        {noPrec, app(con("Maybe"), {app(con("Maybe"), {a})}), "Maybe (Maybe a)"},
        {funPrec, app(con("Maybe"), {a}), "Maybe a"},
        {appPrec, app(con("Maybe"), {a}), "(Maybe a)"},
        {noPrec, app(con("T"), {StarT(), arrow(a, b)}), "T * (a -> b)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(rendered(pprType(r.p, r.type)), r.text);
    }
    EXPECT_EQ(to_string(pprint(inst_Ppr_Type(), arrow(a, b))), "a -> b");
    EXPECT_EQ(to_string(pprint(inst_Ppr_List(inst_Ppr_Type()), list({a, arrow(a, b)}))), "a\na -> b");
    EXPECT_EQ(rendered(pprParendType(arrow(a, b))), "(a -> b)");
    EXPECT_EQ(rendered(pprFunArgType(arrow(a, b))), "(a -> b)");
    EXPECT_EQ(rendered(pprFunArgType(app(con("Maybe"), {a}))), "Maybe a");
    EXPECT_EQ(rendered(pprInfixT(noPrec, a)), "a");
    EXPECT_EQ(rendered(pprInfixT(noPrec, app(con("Maybe"), {a}))), "(Maybe a)");
    // Unique names are numbered in reading order: head before arguments, left to right.
    Value u = VarT(mkNameU("u", 70)), v = VarT(mkNameU("v", 3));
    EXPECT_EQ(to_string(pprint(inst_Ppr_Type(), app(MulArrowT(), {v, u, v}))), "u_0 %v_1 -> v_1");
}

TEST(PprTypes, SpineAndTypeArguments) {
    Value f = con("f");
    Value t = AppT(AppKindT(AppT(f, a), k), b);
    Value spine = rts::force(split(t));
    EXPECT_EQ(rendered(pprType(noPrec, rts::field(spine, 0))), "f");
    EXPECT_EQ(to_string(pprint(inst_Ppr_List(inst_Ppr_TypeArg()), rts::field(spine, 1))), "a\n@k\nb");
    EXPECT_EQ(rendered(pprTyApp(appPrec, spine)), "(f a @k b)");
    EXPECT_EQ(rendered(pprTyApp(noPrec, ListT(), list({TANormal(a)}))), "[a]");
    EXPECT_EQ(rendered(pprTyApp(noPrec, ListT(), list({TyArg(a)}))), "[] @a");

    Value maybeA = app(con("Maybe"), {a});
    struct Row {
        Value arg;
        const char* parend;
        const char* alone;
    };
    const Row rows[] = {
        {TANormal(StarT()), "*", "*"},
        {TANormal(maybeA), "(Maybe a)", "Maybe a"},
        {TyArg(StarT()), "@(*)", "@(*)"},
        {TyArg(k), "@k", "@k"},
        {TyArg(maybeA), "@(Maybe a)", "@Maybe a"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.alone);
        EXPECT_EQ(rendered(pprParendTypeArg(r.arg)), r.parend);
        EXPECT_EQ(to_string(pprint(inst_Ppr_TypeArg(), r.arg)), r.alone);
    }
    EXPECT_TRUE(isStarT(StarT()));
    EXPECT_FALSE(isStarT(ConstraintT()));
    EXPECT_EQ(rts::force(fromTANormal(TyArg(a)))->tag, VUX::Internal::Maybe::Nothing_tag);
    EXPECT_TRUE(rts::same(rts::field(rts::force(fromTANormal(TANormal(a))), 0), a));
    // The constructors store their field unevaluated.
    Value failing = rts::delay([]() -> Value { throw std::runtime_error("evaluated"); });
    EXPECT_NO_THROW(TyArg(failing));
}

TEST(PprTypes, ContextsForallsAndBinders) {
    Value eqA = app(con("Eq"), {a}), showA = app(con("Show"), {a});
    EXPECT_EQ(rendered(pprCxt(list({}))), "");
    EXPECT_EQ(rendered(pprCxt(list({eqA}))), "Eq a =>");
    EXPECT_EQ(rendered(pprCxt(list({ForallT(list({plain("b", SpecifiedSpec())}), list({}), b)}))),
              "(forall b . b) =>");
    EXPECT_EQ(rendered(pprCxt(list({eqA, showA}))), "(Eq a, Show a) =>");
    EXPECT_EQ(rendered(ppr_cxt_preds(noPrec, list({}))), "()");
    EXPECT_EQ(rendered(ppr_cxt_preds(noPrec, list({arrow(a, b)}))), "a -> b");
    EXPECT_EQ(rendered(ppr_cxt_preds(funPrec, list({arrow(a, b)}))), "(a -> b)");
    EXPECT_EQ(rendered(ppr_cxt_preds(funPrec, list({arrow(a, b), eqA}))), "(a -> b, Eq a)");

    Value ab = list({plain("a", SpecifiedSpec()), plain("b", SpecifiedSpec())});
    Value abUnit = list({plain("a", unit()), plain("b", unit())});
    EXPECT_EQ(rendered(pprForall(ab, list({}))), "forall a b .");
    EXPECT_EQ(rendered(pprForallVis(abUnit, list({}))), "forall a b ->");
    EXPECT_EQ(rendered(pprForall(ab, list({eqA}))), "forall a b . Eq a =>");
    EXPECT_EQ(rendered(pprForall(list({}), list({eqA, showA}))), "(Eq a, Show a) =>");
    EXPECT_EQ(rendered(pprForallVis(list({}), list({}))), "");
    EXPECT_EQ(rendered(pprForall_prime(inst_PprFlag_BndrVis(), ForallInvis(),
                                       list({plain("a", BndrInvis()), plain("b", BndrReq())}), list({}))),
              "forall @a b .");
    EXPECT_EQ(rendered(ppr_bndrs(inst_PprFlag_Unit(), nothing())), "");
    EXPECT_EQ(rendered(ppr_bndrs(inst_PprFlag_Unit(), just(list({})))), "forall.");
    EXPECT_EQ(rendered(ppr_bndrs(inst_PprFlag_Unit(), just(abUnit))), "forall a b.");

    // Many binders: the forall keeps them on one line, ppr_bndrs lets them break.
    std::vector<Value> many;
    for (int i = 0; i < 30; ++i) many.push_back(plain(("variable" + std::to_string(i)).c_str(), unit()));
    std::string forallLine = rendered(pprForallVis(vux::testing::list(many), list({})));
    EXPECT_EQ(forallLine.find('\n'), std::string::npos);
    EXPECT_EQ(forallLine.substr(0, 25), "forall variable0 variable");
    EXPECT_EQ(forallLine.substr(forallLine.size() - 14), " variable29 ->");
    std::string bndrs = rendered(ppr_bndrs(inst_PprFlag_Unit(), just(vux::testing::list(many))));
    EXPECT_EQ(bndrs.substr(0, 17), "forall variable0\n");
    EXPECT_EQ(bndrs.substr(bndrs.size() - 11), "variable29.");

    struct Row {
        Value dFlag, binder;
        const char* text;
    };
    const Row rows[] = {
        {inst_PprFlag_Unit(), plain("a", unit()), "a"},
        {inst_PprFlag_Unit(), KindedTV(mkName("a"), unit(), StarT()), "(a :: *)"},
        {inst_PprFlag_Specificity(), plain("a", SpecifiedSpec()), "a"},
        {inst_PprFlag_Specificity(), plain("a", InferredSpec()), "{a}"},
        {inst_PprFlag_Specificity(), KindedTV(mkName("a"), SpecifiedSpec(), arrow(k, k)), "(a :: k -> k)"},
        {inst_PprFlag_Specificity(), KindedTV(mkName("a"), InferredSpec(), k), "{a :: k}"},
        {inst_PprFlag_BndrVis(), plain("a", BndrReq()), "a"},
        {inst_PprFlag_BndrVis(), plain("a", BndrInvis()), "@a"},
        {inst_PprFlag_BndrVis(), KindedTV(mkName("a"), BndrReq(), k), "(a :: k)"},
        {inst_PprFlag_BndrVis(), KindedTV(mkName("a"), BndrInvis(), k), "@(a :: k)"},
        {inst_PprFlag_BndrVis(), plain("+", BndrReq()), "+"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(to_string(pprint(inst_Ppr_TyVarBndr(r.dFlag), r.binder)), r.text);
    }
    EXPECT_EQ(rendered(ppr_sig(mkName("f"), arrow(a, a))), "f :: a -> a");
    EXPECT_EQ(rendered(ppr_sig(mkName("+"), a)), "(+) :: a");
}

// Types nested 10^5 deep: a catchable stack overflow on an ordinary thread, the whole text on a
// large stack.
TEST(PprTypes, DeepNesting) {
    const int depth = 100000;
    Value applied = a, arrows = a, parenthesised = a;
    for (int i = 0; i < depth; ++i) {
        applied = app(con("M"), {applied});
        arrows = arrow(arrows, b);
        parenthesised = ParensT(parenthesised);
    }
    for (const Value& t : {applied, arrows, parenthesised}) {
        try {
            rendered(pprType(noPrec, t));
            ADD_FAILURE() << "printed a type nested 10^5 deep on an ordinary thread";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), rts::RtsError::StackOverflow);
        }
    }
    std::string text;
    rts::run_on_large_stack([&] { text = rendered(pprType(noPrec, parenthesised)); });
    EXPECT_EQ(text, std::string(depth, '(') + "a" + std::string(depth, ')'));
}

TEST(PprTypes, ForallVisFlagTextForms) {
    using VUX::Internal::Show::show;
    EXPECT_EQ(to_string(show(inst_Show_ForallVisFlag(), ForallVis())), "ForallVis");
    EXPECT_EQ(to_string(show(inst_Show_ForallVisFlag(), ForallInvis())), "ForallInvis");
    EXPECT_EQ(
        to_string(VUX::Internal::Show::showsPrec(inst_Show_ForallVisFlag(), 11, ForallInvis(), str("!"))),
        "ForallInvis!");
}

}  // namespace
