// Expressions, blocks, patterns, bodies, clauses and statements.
#include <gtest/gtest.h>

#include <string>

#include "Testing.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Stack.h"

using namespace VUX::Boot::TH::Ppr;
using namespace VUX::Internal::TH::Syntax;
using vux::testing::to_string;
namespace L = VUX::Boot::TH::PprLib;

namespace {

std::string rendered(const Value& m) { return to_string(L::show(m)); }
std::string exp(int64_t p, const Value& e) { return rendered(pprExp(p, e)); }
std::string pat(int64_t p, const Value& x) { return rendered(pprPat(p, x)); }

Value v(const char* n) { return VarE(mkName(n)); }
Value x = v("x"), y = v("y"), f = v("f"), g = v("g");
Value op(const char* n) { return VarE(mkName(n)); }
Value plus(Value a, Value b) { return InfixE(just(a), op("+"), just(b)); }
Value uplus(Value a, Value b) { return UInfixE(a, op("+"), b); }
Value lit(int64_t n) { return LitE(IntegerL(integer(n))); }
Value T = ConT(mkName("T"));
Value pv(const char* n) { return VarP(mkName(n)); }
Value stmt(Value e) { return NoBindS(e); }
Value match(Value p, Value e) { return Match(p, NormalB(e), list({})); }

struct Row {
    int64_t p;
    Value e;
    const char* text;
};

void expectRows(std::initializer_list<Row> rows) {
    for (const Row& r : rows) EXPECT_EQ(exp(r.p, r.e), r.text) << "at precedence " << r.p;
}

TEST(PprExp, ApplicationsAndInfix) {
    Value fx = AppE(f, x);
    expectRows({
        {noPrec, AppE(fx, y), "f x y"},
        {noPrec, AppE(f, AppE(g, x)), "f (g x)"},
        {opPrec, fx, "f x"},
        {appPrec, fx, "(f x)"},
        {noPrec, AppTypeE(f, T), "f @T"},
        {appPrec, AppTypeE(f, T), "(f @T)"},
        {noPrec, plus(x, y), "x + y"},
        {unopPrec, plus(x, y), "x + y"},
        {opPrec, plus(x, y), "(x + y)"},
        {noPrec, InfixE(just(plus(x, y)), op("*"), just(y)), "(x + y) * y"},
        {noPrec, uplus(x, uplus(y, x)), "x + y + x"},
        {unopPrec, uplus(x, y), "x + y"},
        {opPrec, uplus(x, y), "(x + y)"},
        // sections on both sides, at every level
        {noPrec, InfixE(just(x), op("+"), nothing()), "(x +)"},
        {noPrec, InfixE(nothing(), op("+"), just(x)), "(+ x)"},
        {noPrec, InfixE(nothing(), op("+"), nothing()), "(+)"},
        {appPrec, InfixE(nothing(), op("-"), just(fx)), "(- f x)"},
        // non-name expressions and names in infix position
        {noPrec, InfixE(just(x), AppE(f, g), just(y)), "x `f g` y"},
        {noPrec, UInfixE(x, f, y), "x `f` y"},
        {noPrec, UInfixE(x, ConE(mkName(":")), y), "x : y"},
        {noPrec, VarE(mkName("+")), "(+)"},
        {noPrec, LitE(IntegerL(integer(-1))), "-1"},
        {appPrec, LitE(IntegerL(integer(-1))), "(-1)"},
        {appPrec, UnboundVarE(mkName("u")), "u"},
    });
}

TEST(PprExp, GroupingsRecordsAndSigils) {
    Value fx = AppE(f, x);
    expectRows({
        {noPrec, ParensE(x), "(x)"},
        {noPrec, TupE(list({})), "()"},
        {noPrec, TupE(list({nothing()})), "()"},
        {noPrec, TupE(list({just(x)})), "VUX.Tuple.MkSolo x"},
        {appPrec, TupE(list({just(fx)})), "(VUX.Tuple.MkSolo (f x))"},
        {noPrec, TupE(list({just(x), just(y)})), "(x, y)"},
        {noPrec, TupE(list({nothing(), just(y)})), "(, y)"},
        {noPrec, TupE(list({nothing(), nothing()})), "(,)"},
        {noPrec, UnboxedTupE(list({})), "(#  #)"},
        {noPrec, UnboxedTupE(list({just(x), just(y)})), "(# x, y #)"},
        {noPrec, UnboxedSumE(x, int_(2), int_(3)), "(# |x| #)"},
        {noPrec, ListE(list({lit(1), lit(2), lit(3)})), "[1, 2, 3]"},
        {noPrec, ListE(list({})), "[]"},
        {appPrec, ArithSeqE(FromR(x)), "[x ..]"},
        {noPrec, ArithSeqE(FromThenR(x, y)), "[x, y ..]"},
        {noPrec, ArithSeqE(FromToR(x, y)), "[x .. y]"},
        {noPrec, ArithSeqE(FromThenToR(x, y, f)), "[x, y .. f]"},
        {noPrec, SigE(x, T), "x :: T"},
        {sigPrec, SigE(x, T), "(x :: T)"},
        {noPrec, AppE(f, SigE(x, T)), "f (x :: T)"},
        {appPrec, RecConE(mkName("R"), list({})), "R{}"},
        {noPrec, RecConE(mkName("R"), list({pair(mkName("a"), x), pair(mkName("b"), fx)})),
         "R{a = x, b = f x}"},
        {appPrec, RecUpdE(fx, list({pair(mkName("a"), y)})), "(f x){a = y}"},
        {noPrec, RecUpdE(x, list({pair(mkName("a"), y)})), "x{a = y}"},
        {opPrec, StaticE(x), "static x"},
        {appPrec, StaticE(fx), "(static (f x))"},
        {noPrec, TypeE(T), "type T"},
        {funPrec, TypeE(T), "(type T)"},
        {appPrec, LabelE(str("lbl")), "#lbl"},
        {appPrec, ImplicitParamVarE(str("x")), "?x"},
        {appPrec, GetFieldE(x, str("field")), "x.field"},
        {noPrec, GetFieldE(fx, str("field")), "(f x).field"},
        {noPrec, ProjectionE(nonEmpty(str("a"), list({str("b")}))), "(.a.b)"},
        {appPrec, TypedBracketE(fx), "[||f x||]"},
        {noPrec, TypedSpliceE(x), "$$x"},
        {noPrec, TypedSpliceE(fx), "$$(f x)"},
    });
}

TEST(PprExp, QuantifiedForms) {
    Value a = PlainTV(mkName("a"), SpecifiedSpec());
    Value c = AppE(ConE(mkName("C")), x), d = AppE(ConE(mkName("D")), y);
    expectRows({
        {qualPrec, ForallE(list({a}), x), "forall a . x"},
        {funPrec, ForallE(list({a}), x), "(forall a . x)"},
        {noPrec, ForallE(list({}), x), "x"},
        {funPrec, ForallE(list({}), x), "(x)"},
        {noPrec, ForallVisE(list({PlainTV(mkName("a"), unit())}), x), "forall a -> x"},
        {noPrec, ConstrainedE(list({c}), x), "C x => x"},
        {noPrec, ConstrainedE(list({c, d}), x), "(C x, D y) => x"},
        {noPrec, ConstrainedE(list({}), x), "x"},
        {funPrec, ConstrainedE(list({c}), x), "(C x => x)"},
    });
}

TEST(PprExp, Blocks) {
    Value fx = AppE(f, x);
    Value twoMatches = list({match(pv("x"), x), match(WildP(), y)});
    expectRows({
        {noPrec, LamE(list({pv("x"), pv("y")}), x), "\\x y -> x"},
        {noPrec, AppE(f, LamE(list({pv("x")}), x)), "f (\\x -> x)"},
        {noPrec, LamE(list({ConP(mkName("J"), list({}), list({pv("a")}))}), x), "\\(J a) -> x"},
        {appPrec, LamE(list({}), fx), "(f x)"},
        {noPrec, LamE(list({}), fx), "f x"},
        {noPrec, LamCaseE(list({})), "\\case\n{}"},
        {noPrec, LamCaseE(twoMatches), "\\case\n{x -> x; _ -> y}"},
        {opPrec, LamCaseE(list({match(pv("x"), x)})), "(\\case\n {x -> x})"},
        {noPrec, LamCasesE(list({})), "\\cases\n{}"},
        {noPrec, LamCasesE(list({Clause(list({pv("a"), pv("b")}), NormalB(x), list({}))})),
         "\\cases\n{a b -> x}"},
        {noPrec, CondE(x, y, f), "if x then y else f"},
        {appPrec, CondE(x, y, f), "(if x then y else f)"},
        {noPrec, MultiIfE(list({})), "if {}"},
        {noPrec, MultiIfE(list({pair(NormG(x), y), pair(NormG(y), x)})), "if | x -> y\n   | y -> x"},
        {noPrec, LetE(list({}), x), "let\n in x"},
        {appPrec, LetE(list({}), x), "(let\n  in x)"},
        {noPrec, CaseE(x, list({})), "case x of\n{}"},
        {noPrec, CaseE(x, list({match(pv("y"), y)})), "case x of\n{y -> y}"},
        {noPrec, CaseE(x, twoMatches), "case x of\n{x -> x; _ -> y}"},
        {noPrec, DoE(nothing(), list({})), "do"},
        {noPrec, DoE(nothing(), list({stmt(fx)})), "do f x"},
        {noPrec, DoE(nothing(), list({BindS(pv("y"), fx), stmt(y)})), "do {y <- f x; y}"},
        {noPrec, DoE(just(str("M")), list({})), "M.do"},
        {noPrec, DoE(just(str("M")), list({stmt(x), stmt(y)})), "M.do {x; y}"},
        {appPrec, DoE(nothing(), list({stmt(x)})), "(do x)"},
        {noPrec, MDoE(just(str("M")), list({})), "M.mdo"},
        {noPrec, MDoE(nothing(), list({stmt(x), RecS(list({}))})), "mdo {x; rec {}}"},
        {noPrec, CompE(list({})), "<<Empty CompExp>>"},
        {noPrec, CompE(list({stmt(x)})), "[x]"},
        {appPrec, CompE(list({BindS(pv("x"), y), stmt(fx)})), "[f x | x <- y]"},
        {noPrec, CompE(list({BindS(pv("x"), y), stmt(g), stmt(fx)})), "[f x | x <- y, g]"},
        {noPrec,
         CompE(list({ParS(list({list({BindS(pv("x"), y)}), list({BindS(pv("y"), x), stmt(g)})})), stmt(x)})),
         "[x | x <- y| y <- x, g]"},
        // a block as an operand of an infix chain, a signature, a typed splice
        {noPrec, uplus(CondE(x, y, f), x), "(if x then y else f) + x"},
        {noPrec, SigE(DoE(nothing(), list({stmt(x)})), T), "(do x) :: T"},
        {noPrec, TypedSpliceE(LamE(list({pv("x")}), x)), "$$(\\x -> x)"},
    });
}

TEST(PprExp, NestedBlocksAndLayout) {
    // a case inside a do inside a lambda: every inner block in parentheses where it is an operand
    Value inner = CaseE(x, list({match(pv("y"), DoE(nothing(), list({stmt(x), stmt(y)})))}));
    EXPECT_EQ(exp(noPrec, LamE(list({pv("x")}), DoE(nothing(), list({stmt(inner), stmt(x)})))),
              "\\x -> do {case x of\n          {y -> do {x; y}};\n          x}");
    // an if that does not fit breaks into three lines
    Value wide = v(std::string(60, 'w').c_str());
    EXPECT_EQ(
        exp(noPrec, CondE(wide, wide, wide)),
        "if " + std::string(60, 'w') + "\n then " + std::string(60, 'w') + "\n else " + std::string(60, 'w'));
    EXPECT_EQ(rendered(ppr_list(inst_Ppr_Exp(), list({x, AppE(f, x)}))), "x\nf x");
}

TEST(PprPat, FormsAtEachPrecedence) {
    Value con0 = ConP(mkName("N"), list({}), list({}));
    Value con1 = ConP(mkName("J"), list({T}), list({pv("a"), con0}));
    Value inf = InfixP(pv("a"), mkName(":"), pv("b"));
    Value uinf = UInfixP(pv("a"), mkName(":"), pv("b"));
    struct PRow {
        int64_t p;
        Value pat;
        const char* text;
    };
    const PRow rows[] = {
        {appPrec, LitP(IntegerL(integer(3))), "3"},
        {appPrec, LitP(IntegerL(integer(-3))), "(-3)"},
        {appPrec, pv("a"), "a"},
        {appPrec, TupP(list({})), "()"},
        {noPrec, TupP(list({pv("a")})), "VUX.Tuple.MkSolo a"},
        {appPrec, TupP(list({con1})), "(VUX.Tuple.MkSolo (J @T a (N)))"},
        {noPrec, TupP(list({pv("a"), WildP()})), "(a, _)"},
        {noPrec, UnboxedTupP(list({})), "(#  #)"},
        {noPrec, UnboxedSumP(pv("a"), int_(1), int_(2)), "(# a| #)"},
        {noPrec, con0, "N"},
        {appPrec, con0, "(N)"},
        {opPrec, con1, "J @T a (N)"},
        {appPrec, con1, "(J @T a (N))"},
        {unopPrec, inf, "a : b"},
        {opPrec, inf, "(a : b)"},
        {noPrec, InfixP(inf, mkName(":"), pv("c")), "(a : b) : c"},
        {noPrec, UInfixP(uinf, mkName(":"), pv("c")), "a : b : c"},
        {noPrec, InfixP(uinf, mkName(":"), pv("c")), "(a : b) : c"},
        {noPrec, InfixP(pv("a"), mkName("f"), pv("b")), "a `f` b"},
        {noPrec, ParensP(pv("a")), "(a)"},
        {noPrec, TildeP(con0), "~(N)"},
        {unopPrec, BangP(pv("a")), "(!a)"},
        {noPrec, AsP(mkName("a"), con1), "a@(J @T a (N))"},
        {noPrec, WildP(), "_"},
        {noPrec, RecP(mkName("R"), list({})), "(R {})"},
        {noPrec, RecP(mkName("R"), list({pair(mkName("f"), pv("a")), pair(mkName("g"), con0)})),
         "(R {f = a, g = N})"},
        {appPrec, ListP(list({pv("a"), pv("b")})), "[a, b]"},
        {noPrec, SigP(pv("a"), T), "a :: T"},
        {appPrec, SigP(pv("a"), T), "(a :: T)"},
        {noPrec, ViewP(AppE(f, x), pv("a")), "(f x -> a)"},
        {noPrec, TypeP(T), "(type T)"},
        {noPrec, InvisP(T), "(@ T)"},
        {noPrec, OrP(nonEmpty(pv("a"), list({pv("b")}))), "(a; b)"},
    };
    for (const PRow& r : rows) EXPECT_EQ(pat(r.p, r.pat), r.text) << "at precedence " << r.p;
}

TEST(PprClause, BodiesGuardsClausesAndMatches) {
    Value guarded = GuardedB(list({pair(NormG(x), y), pair(PatG(list({BindS(pv("a"), f), stmt(g)})), x)}));
    EXPECT_EQ(rendered(pprClause(true, Clause(list({pv("a"), TildeP(pv("b"))}), NormalB(x), list({})))),
              "a (~b) = x");
    EXPECT_EQ(rendered(pprClause(false, Clause(list({pv("a")}), NormalB(x), list({})))), "a -> x");
    EXPECT_EQ(rendered(pprClause(true, Clause(list({}), NormalB(x), list({})))), "= x");
    EXPECT_EQ(rendered(pprClause(true, Clause(list({}), GuardedB(list({})), list({})))), "");
    EXPECT_EQ(rendered(ppr(inst_Ppr_Clause(), Clause(list({pv("a")}), guarded, list({})))),
              "a | x = y\n  | a <- f,\n    g = x");
    EXPECT_EQ(rendered(ppr(inst_Ppr_Match(), Match(SigP(pv("a"), T), NormalB(x), list({})))),
              "(a :: T) -> x");
    EXPECT_EQ(rendered(ppr(inst_Ppr_Match(), Match(pv("a"), GuardedB(list({pair(NormG(x), y)})), list({})))),
              "a | x -> y");
    // the result of a pattern guard goes below its statements, 4 columns in, when it cannot
    // stand after the last one
    Value longGuard = PatG(list({BindS(pv("a"), f), stmt(g)}));
    EXPECT_EQ(rendered(pprGuarded(L::equals(), pair(longGuard, x))), "| a <- f,\n  g = x");
    EXPECT_EQ(rendered(pprGuarded(L::equals(), pair(PatG(list({stmt(v("longer"))})), x))),
              "| longer\n    = x");
    EXPECT_EQ(rendered(pprGuarded(L::arrow(), pair(NormG(x), y))), "| x -> y");
}

TEST(PprClause, StatementsAndFields) {
    EXPECT_EQ(rendered(ppr(inst_Ppr_Stmt(), LetS(list({})))), "let {}");
    EXPECT_EQ(rendered(ppr(inst_Ppr_Stmt(), RecS(list({stmt(x), BindS(pv("a"), y)})))), "rec {x; a <- y}");
    EXPECT_EQ(rendered(ppr(inst_Ppr_Stmt(), ParS(list({list({stmt(x), stmt(y)}), list({stmt(g)})})))),
              "x, y| g");
    EXPECT_EQ(rendered(pprFields(list({}))), "");
    EXPECT_EQ(rendered(pprMaybeExp(appPrec, nothing())), "");
    EXPECT_EQ(rendered(pprInfixExp(ConE(mkName("Cons")))), "`Cons`");
    EXPECT_EQ(rendered(pprInfixExp(AppE(f, x))), "`f x`");
    EXPECT_EQ(rendered(ppr(inst_Ppr_Range(), FromThenToR(lit(1), lit(3), lit(9)))), "[1, 3 .. 9]");
}

// Declarations inside let expressions, let statements, clauses and case alternatives: a let
// holds its declarations alone, a where block holds them as members.
TEST(PprClause, LetAndWhereBlocksHoldDeclarations) {
    auto val = [](const char* name, Value e) { return ValD(pv(name), NormalB(e), list({})); };
    // f x = x; f _ = y
    Value twoClauses = FunD(mkName("f"), list({Clause(list({pv("x")}), NormalB(x), list({})),
                                               Clause(list({WildP()}), NormalB(y), list({}))}));
    expectRows({
        {noPrec, LetE(list({val("a", lit(1))}), x), "let a = 1\n in x"},
        {noPrec, LetE(list({val("a", lit(1)), val("b", lit(2))}), x), "let {a = 1; b = 2}\n in x"},
        {noPrec, LetE(list({twoClauses}), AppE(f, x)), "let f x = x\n    f _ = y\n in f x"},
        {appPrec, LetE(list({val("a", lit(1))}), x), "(let a = 1\n  in x)"},
        {noPrec, DoE(nothing(), list({LetS(list({val("a", x)})), stmt(v("a"))})), "do {let {a = x}; a}"},
        {noPrec, CaseE(x, list({Match(pv("a"), NormalB(v("b")), list({val("b", x)}))})),
         "case x of\n{a -> b\n     where {b = x}}"},
    });
    EXPECT_EQ(rendered(ppr(inst_Ppr_Stmt(), LetS(list({val("a", x), twoClauses})))),
              "let {a = x;\n     f x = x\n     f _ = y}");
    EXPECT_EQ(rendered(pprClause(true, Clause(list({pv("a")}), NormalB(v("b")), list({val("b", x)})))),
              "a = b\n    where {b = x}");
    EXPECT_EQ(rendered(pprClause(true, Clause(list({pv("a")}), NormalB(v("b")), list({twoClauses})))),
              "a = b\n    where {f x = x; f _ = y}");
    // a declaration is examined when the text is demanded, not when the computation is built
    Value doc = pprExp(noPrec, LetE(list({vux::testing::failing()}), x));
    try {
        rendered(doc);
        ADD_FAILURE() << "printed a failing declaration";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e));
    }
}

// Expressions nested 10^5 deep: a catchable stack overflow on an ordinary thread, the whole text
// on a large stack.
TEST(PprExp, DeepNesting) {
    const int depth = 100000;
    Value applied = x, chain = x, lets = x, parenthesised = x;
    for (int i = 0; i < depth; ++i) {
        applied = AppE(f, applied);
        chain = uplus(x, chain);
        lets = LetE(list({}), lets);
        parenthesised = ParensE(parenthesised);
    }
    for (const Value& e : {applied, chain, lets, parenthesised}) {
        try {
            rendered(pprExp(noPrec, e));
            ADD_FAILURE() << "printed an expression nested 10^5 deep on an ordinary thread";
        } catch (const rts::Exception& ex) {
            EXPECT_EQ(ex.kind(), rts::RtsError::StackOverflow);
        }
    }
    std::string text;
    rts::run_on_large_stack([&] { text = rendered(pprExp(noPrec, parenthesised)); });
    EXPECT_EQ(text, std::string(depth, '(') + "x" + std::string(depth, ')'));
    // Applications and infix chains print in time linear in their depth.
    auto repeated = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    rts::run_on_large_stack([&] { text = rendered(pprExp(noPrec, applied)); });
    EXPECT_EQ(text, repeated("f (", depth - 1) + "f x" + std::string(depth - 1, ')'));
    rts::run_on_large_stack([&] { text = rendered(pprExp(noPrec, chain)); });
    EXPECT_EQ(text, repeated("x + ", depth) + "x");
}

}  // namespace
