// The syntax tree of a small module, built in C++ and printed as source text by the syntax
// printer: a record type with strictness marks and deriving clauses, a newtype, a class with a
// default method, an instance, functions with guards, where blocks, case, do, let and a list
// comprehension, an inlining pragma, a foreign import and a closed type family. The names the program makes
// with uniques (as a compiler would for generated names) print renumbered in reading order: s_0, s_1...
#include <cstdio>
#include <initializer_list>
#include <string>

#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/TH/Syntax.h"

namespace {

using namespace VUX::Internal::TH::Syntax;
using VUX::Boot::TH::Ppr::inst_Ppr_Dec;
using VUX::Boot::TH::Ppr::inst_Ppr_List;
using VUX::Boot::TH::Ppr::pprint;

// ---------------------------------------------------------------------------------------------
// Building blocks

Value n(const char* s) { return mkName(s); }
Value var(const char* s) { return VarE(n(s)); }
Value con(const char* s) { return ConE(n(s)); }
Value integerLit(int64_t k) { return LitE(IntegerL(integer(k))); }
Value stringLit(const char* s) { return LitE(StringL(str(s))); }
// f a b c: applied left to right.
Value call(Value f, std::initializer_list<Value> args) {
    for (const Value& a : args) f = AppE(f, a);
    return f;
}
Value infix(Value a, const char* op, Value b) { return UInfixE(a, var(op), b); }

Value type(const char* s) { return ConT(n(s)); }
Value tyApp(Value f, Value x) { return AppT(f, x); }
Value arrow(Value a, Value b) { return AppT(AppT(ArrowT(), a), b); }
Value listOf(Value t) { return AppT(ListT(), t); }

Value pvar(const char* s) { return VarP(n(s)); }
Value pcon(const char* c, std::initializer_list<Value> args) { return ConP(n(c), list({}), list(args)); }

Value noDecs() { return list({}); }
Value value(Value pattern, Value e, Value decs = list({})) { return ValD(pattern, NormalB(e), decs); }
Value function(const char* name, std::initializer_list<Value> clauses) {
    return FunD(n(name), list(clauses));
}
Value clause(std::initializer_list<Value> patterns, Value e, Value decs = list({})) {
    return Clause(list(patterns), NormalB(e), decs);
}

Value field(const char* name, Value unpackedness, Value strictness, Value t) {
    return triple(n(name), Bang(unpackedness, strictness), t);
}
Value deriving(Value strategy, std::initializer_list<Value> classes) {
    return DerivClause(strategy, list(classes));
}

// ---------------------------------------------------------------------------------------------
// The module

// data Shape = Circle {...} | Polygon {...} deriving ...
Value shapeType() {
    Value circle =
        RecC(n("Circle"), list({field("center", NoSourceUnpackedness(), SourceStrict(), type("Point")),
                                field("radius", SourceUnpack(), SourceStrict(), type("Double"))}));
    Value polygon =
        RecC(n("Polygon"),
             list({field("vertices", NoSourceUnpackedness(), NoSourceStrictness(), listOf(type("Point"))),
                   field("closed", NoSourceUnpackedness(), SourceLazy(), type("Bool"))}));
    return DataD(list({}), n("Shape"), list({}), nothing(), list({circle, polygon}),
                 list({deriving(nothing(), {type("Eq"), type("Show")}),
                       deriving(just(AnyclassStrategy()), {type("NFData")})}));
}

// newtype Area = Area Double deriving newtype (Num, Ord)
Value areaType() {
    Value field = pair(Bang(NoSourceUnpackedness(), NoSourceStrictness()), type("Double"));
    return NewtypeD(list({}), n("Area"), list({}), nothing(), NormalC(n("Area"), list({field})),
                    list({deriving(just(NewtypeStrategy()), {type("Num"), type("Ord")})}));
}

// class Measurable a where { area :: a -> Area; perimeter :: a -> Double; perimeter _ = 0 }
Value measurableClass() {
    Value a = VarT(n("a"));
    return ClassD(
        list({}), n("Measurable"), list({PlainTV(n("a"), BndrReq())}), list({}),
        list({SigD(n("area"), arrow(a, type("Area"))), SigD(n("perimeter"), arrow(a, type("Double"))),
              function("perimeter", {clause({WildP()}, integerLit(0))})}));
}

// instance Measurable Shape where area ... (one clause per constructor)
Value measurableShape() {
    Value circleArea = call(con("Area"), {infix(infix(var("pi"), "*", var("r")), "*", var("r"))});
    Value polygonArea = call(
        con("Area"), {infix(call(var("abs"), {call(var("shoelace"), {var("vs")})}), "/", integerLit(2))});
    Value area = function("area", {clause({pcon("Circle", {WildP(), pvar("r")})}, circleArea),
                                   clause({pcon("Polygon", {pvar("vs"), WildP()})}, polygonArea)});
    return InstanceD(nothing(), list({}), tyApp(type("Measurable"), type("Shape")), list({area}));
}

// classify s | a > 100 = "large" | a > 10 = "medium" | otherwise = "small" where Area a = area s
Value classify() {
    Value guards = GuardedB(list({pair(NormG(infix(var("a"), ">", integerLit(100))), stringLit("large")),
                                  pair(NormG(infix(var("a"), ">", integerLit(10))), stringLit("medium")),
                                  pair(NormG(var("otherwise")), stringLit("small"))}));
    Value local = value(pcon("Area", {pvar("a")}), call(var("area"), {var("s")}));
    return FunD(n("classify"), list({Clause(list({pvar("s")}), guards, list({local}))}));
}

// describe shapes = do { let {...}; forM_ shapes (\s -> case s of {...}); print total }
Value describe() {
    Value s = mkNameU("s", 7301), shape = mkNameU("s", 7302);
    Value comprehension =
        CompE(list({BindS(VarP(shape), var("shapes")),
                    LetS(list({value(pcon("Area", {pvar("a")}), call(var("area"), {VarE(shape)}))})),
                    NoBindS(infix(var("a"), ">", integerLit(0))), NoBindS(var("a"))}));
    Value total = value(pvar("total"), call(var("sum"), {comprehension}));
    Value count = value(pvar("count"), call(var("length"), {var("shapes")}));
    Value alternatives = list(
        {Match(pcon("Circle", {WildP(), pvar("r")}),
               NormalB(call(var("putStrLn"),
                            {infix(stringLit("circle of radius "), "++", call(var("show"), {var("r")}))})),
               noDecs()),
         Match(pcon("Polygon", {pvar("vs"), WildP()}),
               NormalB(call(var("putStrLn"), {infix(stringLit("polygon of "), "++",
                                                    call(var("show"), {call(var("length"), {var("vs")})}))})),
               noDecs())});
    Value each = LamE(list({VarP(s)}), CaseE(VarE(s), alternatives));
    Value body =
        DoE(nothing(),
            list({LetS(list({total, count})), NoBindS(call(var("forM_"), {var("shapes"), each})),
                  NoBindS(call(var("print"), {TupE(list({just(var("count")), just(var("total"))}))}))}));
    return function("describe", {clause({pvar("shapes")}, body)});
}

// main = describe [Circle (Point 0 0) 1, Polygon [] False] with a local let
Value mainFunction() {
    Value origin = call(con("Point"), {integerLit(0), integerLit(0)});
    Value shapes = ListE(list({call(con("Circle"), {var("origin"), integerLit(12)}),
                               call(con("Polygon"), {ListE(list({})), con("False")})}));
    Value body = LetE(list({value(pvar("origin"), origin)}), call(var("describe"), {shapes}));
    return function("main", {clause({}, body)});
}

// type family Coordinate a where ...
Value coordinateFamily() {
    Value head =
        TypeFamilyHead(n("Coordinate"), list({PlainTV(n("a"), BndrReq())}), KindSig(StarT()), nothing());
    Value pairOfDoubles = tyApp(tyApp(TupleT(int_(2)), type("Double")), type("Double"));
    return ClosedTypeFamilyD(
        head, list({TySynEqn(nothing(), tyApp(type("Coordinate"), type("Shape")), type("Double")),
                    TySynEqn(nothing(), tyApp(type("Coordinate"), type("Point")), pairOfDoubles)}));
}

// foreign import ccall unsafe "math.h sin" c_sin :: Double -> Double
Value sinImport() {
    return ForeignD(
        ImportF(CCall(), Unsafe(), str("math.h sin"), n("c_sin"), arrow(type("Double"), type("Double"))));
}

Value moduleDecs() {
    return list({shapeType(), areaType(), measurableClass(), measurableShape(),
                 SigD(n("classify"), arrow(type("Shape"), type("String"))), classify(),
                 PragmaD(InlineP(n("classify"), Inline(), FunLike(), AllPhases())), sinImport(),
                 SigD(n("describe"), arrow(listOf(type("Shape")), tyApp(type("IO"), TupleT(int_(0))))),
                 describe(), mainFunction(), coordinateFamily()});
}

}  // namespace

int main() {
    Value text = pprint(inst_Ppr_List(inst_Ppr_Dec()), moduleDecs());
    std::printf("%s\n", VUX::Internal::List::toUtf8(text).c_str());
    return 0;
}
