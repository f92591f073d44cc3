// Pragmas and rule binders, foreign declarations, pattern-synonym signatures and reified
// information.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Testing.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/TH/Syntax.h"

using namespace VUX::Boot::TH::Ppr;
using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;
namespace L = VUX::Boot::TH::PprLib;

namespace {

std::string rendered(const Value& m) { return to_string(L::show(m)); }
std::string printed(const Value& dPpr, const Value& x) { return to_string(pprint(dPpr, x)); }

struct Row {
    Value x;
    const char* text;
};
void expectRows(const Value& dPpr, std::initializer_list<Row> rows) {
    for (const Row& r : rows) EXPECT_EQ(printed(dPpr, r.x), r.text);
}

Value con(const char* n) { return ConT(mkName(n)); }
Value tv(const char* n) { return VarT(mkName(n)); }
Value tapp(Value f, Value x) { return AppT(std::move(f), std::move(x)); }
Value fun(Value a, Value b) { return tapp(tapp(ArrowT(), std::move(a)), std::move(b)); }
Value var(const char* n) { return VarE(mkName(n)); }
Value eapp(Value f, Value x) { return AppE(std::move(f), std::move(x)); }
Value lit(int64_t n) { return LitE(IntegerL(integer(n))); }
Value spec(const char* n) { return PlainTV(mkName(n), SpecifiedSpec()); }

Value f = mkName("f"), intT = con("Int");
Value failing = rts::delay([]() -> Value { throw std::runtime_error("evaluated"); });

TEST(PprPragma, InliningOpaqueAndSpecialisation) {
    Value intToInt = fun(intT, intT);
    expectRows(
        inst_Ppr_Pragma(),
        {
            // the empty rule-match kind and all phases leave no space behind
            {InlineP(f, Inline(), FunLike(), AllPhases()), "{-# INLINE f #-}"},
            {InlineP(f, NoInline(), ConLike(), BeforePhase(int_(2))), "{-# NOINLINE CONLIKE [~2] f #-}"},
            {InlineP(f, Inlinable(), FunLike(), FromPhase(int_(2))), "{-# INLINABLE [2] f #-}"},
            {InlineP(mkName("+"), Inline(), ConLike(), AllPhases()), "{-# INLINE CONLIKE (+) #-}"},
            {OpaqueP(mkNameQ("M", "g")), "{-# OPAQUE M.g #-}"},
            {SpecialiseP(f, intToInt, nothing(), AllPhases()), "{-# SPECIALISE f :: Int -> Int #-}"},
            {SpecialiseP(f, intToInt, just(NoInline()), FromPhase(int_(1))),
             "{-# SPECIALISE NOINLINE [1] f :: Int -> Int #-}"},
            {SpecialiseP(mkName("<>"), intToInt, nothing(), BeforePhase(int_(0))),
             "{-# SPECIALISE [~0] (<>) :: Int -> Int #-}"},
            {SpecialiseInstP(tapp(con("Eq"), tapp(ListT(), intT))), "{-# SPECIALISE instance Eq [Int] #-}"},
        });
    // A signature too wide for the line: the type moves below, 2 further in than the block.
    Value wide = intT;
    for (int i = 0; i < 4; ++i) wide = fun(con("Argument"), wide);
    std::string text = printed(inst_Ppr_Pragma(), SpecialiseP(f, wide, nothing(), AllPhases()));
    std::string type = printed(inst_Ppr_Type(), wide);
    EXPECT_EQ(text, "{-# SPECIALISE f ::\n" + std::string(17, ' ') + type + " #-}");
}

TEST(PprPragma, Rules) {
    Value x = mkName("x"), y = mkName("y");
    Value lhs = eapp(eapp(var("f"), var("x")), var("y"));
    Value rhs = eapp(var("g"), var("y"));
    auto rule = [&](Value tys, Value tms, Value phases) {
        return RuleP(str("f/g"), std::move(tys), std::move(tms), lhs, rhs, std::move(phases));
    };
    Value typed = TypedRuleVar(y, tapp(con("Maybe"), tv("a")));
    Value tyBinders = list({PlainTV(mkName("a"), unit()), KindedTV(mkName("b"), unit(), StarT())});
    expectRows(inst_Ppr_Pragma(),
               {
                   {rule(nothing(), list({}), AllPhases()), "{-# RULES \"f/g\" f x y = g y #-}"},
                   {rule(nothing(), list({RuleVar(x), typed}), FromPhase(int_(1))),
                    "{-# RULES \"f/g\" [1] forall x (y :: Maybe a) . f x y = g y #-}"},
                   // type binders given: both clauses, even an empty one
                   {rule(just(list({})), list({}), AllPhases()),
                    "{-# RULES \"f/g\" forall . forall . f x y = g y #-}"},
                   {rule(just(tyBinders), list({RuleVar(x)}), BeforePhase(int_(3))),
                    "{-# RULES \"f/g\" [~3] forall a (b :: *) . forall x . f x y = g y #-}"},
               });
    // Too wide for one line: the three parts stacked, the last two indented by 4.
    Value longName = str(std::string(70, 'r'));
    EXPECT_EQ(
        printed(inst_Ppr_Pragma(), RuleP(longName, nothing(), list({RuleVar(x)}), lhs, rhs, AllPhases())),
        "{-# RULES \"" + std::string(70, 'r') + "\"\n    forall x . f x y\n    = g y #-}");
    // Unique names are numbered in reading order: binders, then the left side, then the right.
    Value u = mkNameU("u", 900), w = mkNameU("w", 3);
    Value renamed = RuleP(str("r"), nothing(), list({RuleVar(w), RuleVar(u)}), eapp(VarE(u), VarE(w)),
                          VarE(mkNameU("v", 1)), AllPhases());
    EXPECT_EQ(printed(inst_Ppr_Pragma(), renamed), "{-# RULES \"r\" forall w_0 u_1 . u_1 w_0 = v_2 #-}");
}

TEST(PprPragma, AnnotationsLinesCompleteSetsAndCostCentres) {
    Value a = mkName("A"), b = mkName("B");
    expectRows(inst_Ppr_Pragma(),
               {
                   {AnnP(ModuleAnnotation(), lit(1)), "{-# ANN module 1 #-}"},
                   {AnnP(TypeAnnotation(mkName("T")), LitE(StringL(str("s")))), "{-# ANN type T \"s\" #-}"},
                   {AnnP(ValueAnnotation(f), eapp(var("Just"), lit(2))), "{-# ANN f Just 2 #-}"},
                   {AnnP(ValueAnnotation(mkName("+")), lit(0)), "{-# ANN (+) 0 #-}"},
                   {LineP(int_(42), str("dir/a \"b\".hs")), "{-# LINE 42 \"dir/a \\\"b\\\".hs\" #-}"},
                   {LineP(int_(7), str("")), "{-# LINE 7 \"\" #-}"},
                   {CompleteP(list({a, b}), nothing()), "{-# COMPLETE A, B #-}"},
                   {CompleteP(list({a, mkName(":|")}), just(mkName("T"))), "{-# COMPLETE A, (:|) :: T #-}"},
                   {CompleteP(list({}), nothing()), "{-# COMPLETE #-}"},
                   {SCCP(f, nothing()), "{-# SCC f #-}"},
                   {SCCP(f, just(str("label"))), "{-# SCC f \"label\" #-}"},
                   // a label with a newline is a string literal over two lines
                   {SCCP(f, just(str("a\nb"))), "{-# SCC f \"a\\n\\\n          \\b\" #-}"},
               });
}

TEST(PprPragma, RuleBindersAndLists) {
    expectRows(inst_Ppr_RuleBndr(), {
                                        {RuleVar(mkName("x")), "x"},
                                        {RuleVar(mkName("+")), "+"},
                                        {TypedRuleVar(mkName("x"), fun(tv("a"), tv("a"))), "(x :: a -> a)"},
                                        {TypedRuleVar(mkNameU("x", 5), tv("a")), "(x_0 :: a)"},
                                    });
    expectRows(inst_Ppr_List(inst_Ppr_RuleBndr()),
               {{list({}), ""}, {list({RuleVar(f), RuleVar(f)}), "f\nf"}});
    expectRows(inst_Ppr_List(inst_Ppr_Pragma()),
               {
                   {list({}), ""},
                   {list({OpaqueP(f), SCCP(f, nothing())}), "{-# OPAQUE f #-}\n{-# SCC f #-}"},
               });
}

TEST(PprForeign, ImportsAndExports) {
    Value dd = fun(con("Double"), con("Double"));
    expectRows(inst_Ppr_Foreign(),
               {
                   {ImportF(CCall(), Safe(), str("math.h sin"), mkName("sin"), dd),
                    "foreign import ccall safe \"math.h sin\" sin :: Double -> Double"},
                   {ImportF(CApi(), Unsafe(), str(""), mkName("+"), dd),
                    "foreign import capi unsafe \"\" (+) :: Double -> Double"},
                   {ImportF(JavaScript(), Interruptible(), str("a\"b"), f, intT),
                    "foreign import javascript interruptible \"a\\\"b\" f :: Int"},
                   {ImportF(Prim(), Safe(), str("p"), f, intT), "foreign import prim safe \"p\" f :: Int"},
                   {ExportF(StdCall(), str("hs_f"), f, intT), "foreign export stdcall \"hs_f\" f :: Int"},
                   {ExportF(CCall(), str(""), mkName("<+>"), intT), "foreign export ccall \"\" (<+>) :: Int"},
               });
    expectRows(inst_Ppr_List(inst_Ppr_Foreign()),
               {{list({ExportF(CCall(), str("a"), f, intT), ExportF(CCall(), str("b"), f, intT)}),
                 "foreign export ccall \"a\" f :: Int\nforeign export ccall \"b\" f :: Int"}});
}

TEST(PprForeign, PatternSynonymTypes) {
    Value a = tv("a"), b = tv("b");
    Value eqA = tapp(con("Eq"), a), showB = tapp(con("Show"), b);
    Value result = tapp(con("T"), a);
    Value inner = ForallT(list({spec("b")}), list({showB}), fun(b, result));
    Value steps[] = {
        // not a forall, or a forall whose body is not one: the type printer's text
        fun(a, result),
        ForallT(list({spec("a")}), list({eqA}), fun(a, result)),
        // no existentials and no provided context: the empty inner forall is dropped
        ForallT(list({spec("a")}), list({eqA}), ForallT(list({}), list({}), fun(a, result))),
        // no universals and no required context: "() =>" before the inner forall
        ForallT(list({}), list({}), inner),
        ForallT(list({}), list({}), ForallT(list({}), list({showB}), result)),
        // universals without required context
        ForallT(list({spec("a")}), list({}), inner),
        ForallT(list({PlainTV(mkName("a"), InferredSpec())}), list({}), inner),
        // both contexts, and a required context without universals: nested foralls as they are
        ForallT(list({spec("a")}), list({eqA}), inner),
        ForallT(list({}), list({eqA}), ForallT(list({spec("b")}), list({}), result)),
    };
    const char* texts[] = {
        "a -> T a",
        "forall a . Eq a => a -> T a",
        "forall a . Eq a => a -> T a",
        "() => forall b . Show b => b -> T a",
        "() => Show b => T a",
        "forall a . () => forall b . Show b => b -> T a",
        "forall {a} . () => forall b . Show b => b -> T a",
        "forall a . Eq a => forall b . Show b => b -> T a",
        "Eq a => forall b . T a",
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(rendered(pprPatSynType(steps[i])), texts[i]);
        EXPECT_EQ(rendered(pprPatSynSig(mkName("P"), steps[i])), std::string("pattern P :: ") + texts[i]);
    }
    // An operator name is parenthesised; an empty outer forall is a forall without binders.
    EXPECT_EQ(rendered(pprPatSynSig(mkName(":<"), a)), "pattern (:<) :: a");
    EXPECT_EQ(rendered(pprPatSynType(ForallT(list({}), list({}), a))), "a");
}

TEST(PprInfo, FormsWithoutDeclarations) {
    Value a = tv("a");
    Value maybeA = tapp(con("Maybe"), a);
    Value justType = ForallT(list({spec("a")}), list({}), fun(a, maybeA));
    expectRows(inst_Ppr_Info(),
               {
                   {ClassOpI(mkName("fmap"), fun(fun(a, tv("b")), tv("f")), mkName("Functor")),
                    "Class op from Functor: fmap :: (a -> b) -> f"},
                   {ClassOpI(mkName("+"), fun(a, a), mkNameQ("GHC.Num", "Num")),
                    "Class op from GHC.Num.Num: (+) :: a -> a"},
                   {PrimTyConI(mkName("Int#"), int_(0), VUX::Types::False()),
                    "Primitive type constructor 'Int#' (arity 0)"},
                   {PrimTyConI(mkName("Array#"), int_(1), VUX::Types::True()),
                    "Primitive unlifted type constructor 'Array#' (arity 1)"},
                   {DataConI(mkName("Just"), justType, mkName("Maybe")),
                    "Constructor from Maybe: Just :: forall a . a -> Maybe a"},
                   {PatSynI(mkName("P"), ForallT(list({}), list({}), ForallT(list({}), list({a}), a))),
                    "pattern P :: () => a => a"},
                   {VarI(mkName("x"), intT, nothing()), "x :: Int"},
                   {TyVarI(mkName("a"), maybeA), "Type variable a = Maybe a"},
                   // unique names numbered in reading order: the parent before the constructor
                   {DataConI(mkNameU("C", 5), ConT(mkNameU("T", 9)), mkNameU("T", 9)),
                    "Constructor from T_0: C_1 :: T_0"},
               });
    expectRows(inst_Ppr_List(inst_Ppr_Info()), {{list({}), ""},
                                                {list({VarI(f, intT, nothing()), TyVarI(mkName("a"), intT)}),
                                                 "f :: Int\nType variable a = Int"}});
}

TEST(PprInfo, FormsWithDeclarations) {
    Value a = tv("a"), c = mkNameU("C", 41), m = mkName("m");
    Value klass =
        ClassD(list({}), c, list({PlainTV(mkName("a"), BndrReq())}), list({}), list({SigD(m, fun(a, a))}));
    Value instance = InstanceD(nothing(), list({}), tapp(ConT(c), intT), list({}));
    Value family = OpenTypeFamilyD(
        TypeFamilyHead(mkName("F"), list({PlainTV(mkName("a"), BndrReq())}), NoSig(), nothing()));
    Value familyInstance = TySynInstD(TySynEqn(nothing(), tapp(con("F"), intT), con("Bool")));
    Value x = mkName("x");
    expectRows(
        inst_Ppr_Info(),
        {
            // the class above its instances; one run numbers the class name once for both
            {ClassI(klass, list({instance, instance})),
             "class C_0 a\n    where {m :: a -> a}\ninstance C_0 Int\ninstance C_0 Int"},
            {ClassI(klass, list({})), "class C_0 a\n    where {m :: a -> a}"},
            {TyConI(DataD(list({}), mkName("T"), list({}), nothing(),
                          list({NormalC(mkName("A"), list({})), NormalC(mkName("B"), list({}))}), list({}))),
             "data T\n    = A\n    | B"},
            {FamilyI(family, list({familyInstance})), "type family F a\ntype instance F Int = Bool"},
            {FamilyI(family, list({})), "type family F a"},
            {VarI(x, intT, just(ValD(VarP(x), NormalB(lit(1)), list({})))), "x :: Int\nx = 1"},
        });
}

// Building the computation evaluates only the form; each field is evaluated when its part is run.
TEST(PprLaziness, FieldsAreEvaluatedWhenTheirPartsRun) {
    const Value built[] = {
        ppr(inst_Ppr_Pragma(), InlineP(failing, failing, failing, failing)),
        ppr(inst_Ppr_Pragma(), SpecialiseP(failing, failing, failing, failing)),
        ppr(inst_Ppr_Pragma(), RuleP(failing, failing, failing, failing, failing, failing)),
        ppr(inst_Ppr_Pragma(), AnnP(failing, failing)),
        ppr(inst_Ppr_Pragma(), LineP(failing, failing)),
        ppr(inst_Ppr_Pragma(), CompleteP(failing, failing)),
        ppr(inst_Ppr_Pragma(), SCCP(failing, failing)),
        ppr(inst_Ppr_Foreign(), ImportF(failing, failing, failing, failing, failing)),
        ppr(inst_Ppr_Info(), ClassI(failing, failing)),
        ppr(inst_Ppr_Info(), TyConI(failing)),
        ppr(inst_Ppr_Info(), FamilyI(failing, failing)),
        ppr(inst_Ppr_Info(), ClassOpI(failing, failing, failing)),
        ppr(inst_Ppr_Info(), PrimTyConI(failing, failing, failing)),
        ppr(inst_Ppr_Info(), PatSynI(failing, failing)),
        ppr(inst_Ppr_Info(), VarI(failing, failing, failing)),
        ppr(inst_Ppr_Info(), VarI(mkName("v"), intT, failing)),
        ppr(inst_Ppr_Info(), TyVarI(failing, failing)),
    };
    for (const Value& m : built) EXPECT_THROW(rendered(m), std::runtime_error);
    // Only what is printed is evaluated: the line pragma's file name is rendered, not run.
    EXPECT_NO_THROW(L::run(ppr(inst_Ppr_Pragma(), LineP(int_(1), failing)), L::initialState()));
    EXPECT_THROW(ppr(inst_Ppr_Pragma(), failing), std::runtime_error);
    EXPECT_THROW(ppr(inst_Ppr_Info(), failing), std::runtime_error);
}

}  // namespace
