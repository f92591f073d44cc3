// Declarations: every form alone and as a member of a where block, data types with their
// constructors and deriving clauses, families, and declarations inside let and where blocks.
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
std::string alone(const Value& d) { return rendered(ppr(inst_Ppr_Dec(), d)); }
std::string member(const Value& d) { return rendered(ppr_dec(false, d)); }
std::string con(const Value& c) { return rendered(ppr(inst_Ppr_Con(), c)); }

Value n(const char* s) { return mkName(s); }
Value tc(const char* s) { return ConT(mkName(s)); }
Value tv(const char* s) { return VarT(mkName(s)); }
Value app(Value f, Value x) { return AppT(f, x); }
Value fn(Value a, Value b) { return AppT(AppT(ArrowT(), a), b); }
Value ev(const char* s) { return VarE(mkName(s)); }
Value pv(const char* s) { return VarP(mkName(s)); }
Value noDecs() { return list({}); }
Value val(const char* name, Value e) { return ValD(pv(name), NormalB(e), noDecs()); }
Value clause(std::initializer_list<Value> ps, Value e) { return Clause(list(ps), NormalB(e), noDecs()); }

// Binders: a required one of a declaration head, a unit-flagged one, a specified one.
Value req(const char* s) { return PlainTV(n(s), BndrReq()); }
Value plain(const char* s) { return PlainTV(n(s), unit()); }
Value spec(const char* s) { return PlainTV(n(s), SpecifiedSpec()); }

Value bang(Value u, Value s) { return Bang(u, s); }
Value lazyField(Value t) { return pair(bang(NoSourceUnpackedness(), NoSourceStrictness()), t); }
Value strictField(Value t) { return pair(bang(NoSourceUnpackedness(), SourceStrict()), t); }
Value normal(const char* c, std::initializer_list<Value> fields) { return NormalC(n(c), list(fields)); }
Value deriving(Value strategy, std::initializer_list<Value> classes) {
    return DerivClause(strategy, list(classes));
}

// f x = x; f _ = y
Value twoClauses() { return FunD(n("f"), list({clause({pv("x")}, ev("x")), clause({WildP()}, ev("y"))})); }
Value gadtCons() {
    return list({GadtC(list({n("A")}), list({}), app(tc("T"), tv("a"))),
                 GadtC(list({n("B")}), list({lazyField(tc("Int"))}), app(tc("T"), tc("Int")))});
}
Value familyHead(Value sig, Value inj) { return TypeFamilyHead(n("F"), list({req("a")}), sig, inj); }
Value fInt() { return app(tc("F"), tc("Int")); }

struct Row {
    Value dec;
    const char* text;
};
void expectAlone(std::initializer_list<Row> rows) {
    for (const Row& r : rows) EXPECT_EQ(alone(r.dec), r.text);
}

TEST(PprDec, ValuesSignaturesAndSmallForms) {
    Value ab = app(app(tc("C"), tv("a")), tv("b"));
    expectAlone({
        {val("a", ev("x")), "a = x"},
        {FunD(n("+"), list({clause({pv("a"), pv("b")}, ev("a"))})), "(+) a b = a"},
        {FunD(n("f"), list({})), ""},
        {SigD(n("f"), fn(tv("a"), tv("a"))), "f :: a -> a"},
        {SigD(n("<+>"), tc("Doc")), "(<+>) :: Doc"},
        {KiSigD(n("T"), fn(StarT(), StarT())), "type T :: * -> *"},
        {InfixD(Fixity(int_(9), InfixL()), NoNamespaceSpecifier(), n("+")), ""},
        {InfixD(Fixity(int_(9), InfixR()), NoNamespaceSpecifier(), n("+")), "infixr 9 +"},
        {InfixD(Fixity(int_(4), InfixN()), TypeNamespaceSpecifier(), n("elem")), "infix 4 type `elem`"},
        {DefaultD(list({})), "default ()"},
        {DefaultD(list({tc("Integer"), tc("Double")})), "default (Integer, Double)"},
        {RoleAnnotD(n("T"), list({})), "type role T"},
        {RoleAnnotD(n("T"), list({NominalR(), RepresentationalR(), PhantomR(), InferR()})),
         "type role T nominal representational phantom _"},
        {StandaloneDerivD(nothing(), list({}), app(tc("Eq"), tc("T"))), "deriving instance Eq T"},
        {StandaloneDerivD(just(StockStrategy()), list({app(tc("Eq"), tv("a"))}),
                          app(tc("Eq"), app(tc("T"), tv("a")))),
         "deriving stock instance Eq a => Eq (T a)"},
        {StandaloneDerivD(just(ViaStrategy(app(tc("M"), tc("Int")))), list({}), app(tc("Monoid"), tc("T"))),
         "deriving via (M Int) instance Monoid T"},
        {DefaultSigD(n("m"), fn(tv("a"), tv("a"))), "default m :: a -> a"},
        {DefaultSigD(n("==="), tc("T")), "default (===) :: T"},
        {ImplicitParamBindD(str("cmp"), AppE(ev("f"), ev("x"))), "?cmp = f x"},
        // classes: context, dependencies, members in a where block
        {ClassD(list({}), n("C"), list({req("a")}), list({}), noDecs()), "class C a"},
        {ClassD(list({app(tc("Eq"), tv("a"))}), n("C"), list({req("a"), req("b")}),
                list({FunDep(list({n("a")}), list({n("b")}))}), list({SigD(n("m"), fn(tv("a"), tv("b")))})),
         "class Eq a => C a b | a -> b\n    where {m :: a -> b}"},
        {ClassD(list({app(tc("Eq"), tv("a")), app(tc("Show"), tv("a"))}), n("C"), list({req("a")}), list({}),
                noDecs()),
         "class (Eq a, Show a) => C a"},
        {InstanceD(nothing(), list({}), app(tc("C"), tc("Int")), noDecs()), "instance C Int"},
        {InstanceD(just(Overlapping()), list({app(tc("C"), tv("a"))}), app(tc("C"), ListT()),
                   list({val("m", ev("x")), twoClauses()})),
         "instance {-# OVERLAPPING #-} C a => C []\n    where {m = x; f x = x; f _ = y}"},
        {InstanceD(just(Incoherent()), list({}), ab, noDecs()), "instance {-# INCOHERENT #-} C a b"},
    });
}

TEST(PprDec, PatternSynonyms) {
    Value tuple = TupP(list({pv("a"), pv("b")}));
    Value justA = ConP(n("Just"), list({}), list({pv("a")}));
    Value back = clause({pv("a")}, AppE(ConE(n("Just")), ev("a")));
    expectAlone({
        {PatSynD(n("P"), PrefixPatSyn(list({n("a"), n("b")})), ImplBidir(), tuple), "pattern P a b = (a, b)"},
        {PatSynD(n(":+"), InfixPatSyn(n("a"), n("b")), Unidir(), tuple), "pattern a :+ b <- (a, b)"},
        {PatSynD(n("Pair"), InfixPatSyn(n("a"), n("b")), Unidir(), tuple), "pattern a `Pair` b <- (a, b)"},
        {PatSynD(n("P"), RecordPatSyn(list({n("x"), n("y")})), Unidir(), tuple),
         "pattern P {x, y} <- (a, b)"},
        {PatSynD(n("P"), PrefixPatSyn(list({n("a")})), ExplBidir(list({back})), justA),
         "pattern P a <- Just a where P a = Just a"},
    });
    // an explicitly bidirectional synonym whose clauses do not fit after "where"
    Value wide = ev(std::string(50, 'w').c_str());
    Value wideClauses = list({clause({pv("a")}, wide), clause({WildP()}, wide)});
    EXPECT_EQ(alone(PatSynD(n("P"), PrefixPatSyn(list({n("a")})), ExplBidir(wideClauses), justA)),
              "pattern P a <- Just a where\n                   P a = " + std::string(50, 'w') +
                  "\n                   P _ = " + std::string(50, 'w'));
}

// Foreign declarations, pragmas and pattern-synonym signatures, alone and as members.
TEST(PprDec, FormsWithPrintersOfTheirOwn) {
    Value doubleToDouble = fn(tc("Double"), tc("Double"));
    Value inlineM = PragmaD(InlineP(n("m"), Inline(), FunLike(), AllPhases()));
    expectAlone({
        {ForeignD(ImportF(CCall(), Unsafe(), str("math.h sin"), n("c_sin"), doubleToDouble)),
         "foreign import ccall unsafe \"math.h sin\" c_sin :: Double -> Double"},
        {ForeignD(ExportF(CApi(), str("hs_f"), n("f"), tc("Int"))), "foreign export capi \"hs_f\" f :: Int"},
        {inlineM, "{-# INLINE m #-}"},
        {PatSynSigD(n("P"), fn(tv("a"), app(tc("T"), tv("a")))), "pattern P :: a -> T a"},
        {PatSynSigD(n(":>"), tc("T")), "pattern (:>) :: T"},
        {InstanceD(nothing(), list({}), app(tc("C"), tc("T")), list({inlineM, val("m", ev("x"))})),
         "instance C T\n    where {{-# INLINE m #-}; m = x}"},
    });
}

// The forms whose text depends on standing alone or in a where block.
TEST(PprDec, FlagTable) {
    Value kindStar = just(StarT());
    struct FlagRow {
        Value dec;
        const char* alone;
        const char* member;
    };
    const FlagRow rows[] = {
        {twoClauses(), "f x = x\nf _ = y", "f x = x; f _ = y"},
        {DataD(list({}), n("T"), list({req("a")}), nothing(), gadtCons(), list({})),
         "data T a where\n    A :: T a\n    B :: Int -> T Int",
         "data T a where {A :: T a; B :: Int -> T Int}"},
        {NewtypeD(list({}), n("N"), list({}), nothing(),
                  GadtC(list({n("N")}), list({lazyField(tc("Int"))}), tc("N")), list({})),
         "newtype N where N :: Int -> N", "newtype N where {N :: Int -> N}"},
        {TypeDataD(n("K"), list({}), nothing(), list({GadtC(list({n("A"), n("B")}), list({}), tc("K"))})),
         "type data K where A, B :: K", "type data K where {A, B :: K}"},
        {DataFamilyD(n("D"), list({req("a")}), kindStar), "data family D a :: *", "data D a :: *"},
        {DataFamilyD(n("D"), list({}), nothing()), "data family D", "data D"},
        {DataInstD(list({}), nothing(), app(tc("D"), tc("Int")), nothing(), list({normal("DInt", {})}),
                   list({})),
         "data instance D Int = DInt", "data D Int = DInt"},
        {DataInstD(list({}), just(list({plain("a")})), app(tc("D"), AppT(ListT(), tv("a"))), nothing(),
                   list({GadtC(list({n("DL")}), list({}), app(tc("D"), AppT(ListT(), tv("a"))))}), list({})),
         "data instance forall a. D [a] where DL :: D [a]", "data forall a. D [a] where {DL :: D [a]}"},
        {NewtypeInstD(list({}), nothing(), app(tc("D"), tc("Bool")), nothing(),
                      normal("DB", {lazyField(tc("Int"))}), list({deriving(nothing(), {tc("Eq")})})),
         "newtype instance D Bool = DB Int deriving Eq", "newtype D Bool = DB Int deriving Eq"},
        {TySynInstD(TySynEqn(nothing(), fInt(), tc("Bool"))), "type instance F Int = Bool",
         "type F Int = Bool"},
        {TySynInstD(TySynEqn(just(list({})), fInt(), tc("Bool"))), "type instance forall. F Int = Bool",
         "type forall. F Int = Bool"},
        {TySynInstD(TySynEqn(just(list({plain("a"), plain("b")})), app(tc("F"), tv("a")), tv("b"))),
         "type instance forall a b. F a = b", "type forall a b. F a = b"},
        {OpenTypeFamilyD(familyHead(NoSig(), nothing())), "type family F a", "type F a"},
    };
    for (const FlagRow& r : rows) {
        EXPECT_EQ(alone(r.dec), r.alone);
        EXPECT_EQ(member(r.dec), r.member);
    }
}

TEST(PprDec, WhereBlocks) {
    EXPECT_EQ(rendered(where_clause(list({}))), "");
    // members on one line when they fit, else one per line aligned after "{"
    EXPECT_EQ(alone(ValD(pv("a"), NormalB(ev("b")), list({val("b", ev("x")), twoClauses()}))),
              "a = b\n    where {b = x; f x = x; f _ = y}");
    Value wide = ev(std::string(60, 'w').c_str());
    EXPECT_EQ(
        alone(ValD(pv("a"), NormalB(ev("b")), list({val("b", wide), val("c", wide)}))),
        "a = b\n    where {b = " + std::string(60, 'w') + ";\n           c = " + std::string(60, 'w') + "}");
    // a where block inside a where block, and a GADT declaration as a member
    Value inner = ValD(pv("b"), NormalB(ev("c")), list({val("c", ev("x"))}));
    EXPECT_EQ(alone(ValD(pv("a"), NormalB(ev("b")), list({inner}))),
              "a = b\n    where {b = c\n               where {c = x}}");
    EXPECT_EQ(alone(ClassD(list({}), n("C"), list({req("a")}), list({}),
                           list({DataFamilyD(n("D"), list({req("a")}), nothing()),
                                 OpenTypeFamilyD(familyHead(KindSig(StarT()), nothing())),
                                 TySynInstD(TySynEqn(nothing(), fInt(), tc("Bool")))}))),
              "class C a\n    where {data D a; type F a :: *; type F Int = Bool}");
}

TEST(PprDec, DataDeclarations) {
    Value eq = tc("Eq"), shw = tc("Show");
    expectAlone({
        {DataD(list({}), n("T"), list({}), nothing(), list({}), list({})), "data T"},
        {DataD(list({}), n("T"), list({req("a")}), just(fn(StarT(), StarT())), list({}), list({})),
         "data T a :: * -> *"},
        {DataD(list({}), n("T"), list({req("a")}), nothing(), list({normal("C", {lazyField(tv("a"))})}),
               list({deriving(nothing(), {eq})})),
         "data T a = C a deriving Eq"},
        {DataD(
             list({}), n("T"), list({req("a")}), nothing(),
             list({normal("C", {}), normal("D", {lazyField(tv("a")), lazyField(app(tc("Maybe"), tv("a")))})}),
             list({deriving(nothing(), {eq}), deriving(just(StockStrategy()), {eq, shw})})),
         "data T a\n    = C\n    | D a (Maybe a)\n    deriving Eq\n    deriving stock (Eq, Show)"},
        // a kind and GADT constructors: "where" after the kind
        {DataD(list({}), n("T"), list({req("a")}), just(StarT()), gadtCons(), list({})),
         "data T a :: * where\n    A :: T a\n    B :: Int -> T Int"},
        // a mixed list is not in GADT form: every constructor gets its "=" or "|"
        {DataD(list({}), n("T"), list({req("a")}), nothing(),
               list({normal("C", {}), GadtC(list({n("A")}), list({}), app(tc("T"), tv("a")))}), list({})),
         "data T a\n    = C\n    | A :: T a"},
        {DataD(list({app(eq, tv("a"))}), n("T"), list({req("a"), PlainTV(n("k"), BndrInvis())}), nothing(),
               list({}), list({})),
         "data Eq a => T a @k"},
        {NewtypeD(list({app(eq, tv("a"))}), n("N"), list({req("a")}), nothing(),
                  normal("N", {lazyField(tv("a"))}), list({deriving(just(NewtypeStrategy()), {tc("Num")})})),
         "newtype Eq a => N a = N a deriving newtype Num"},
        {TypeDataD(n("K"), list({}), nothing(), list({normal("A", {}), normal("B", {})})),
         "type data K\n    = A\n    | B"},
        {TySynD(n("S"), list({req("a")}), app(tc("Maybe"), tv("a"))), "type S a = Maybe a"},
        {TySynD(n("S"), list({}), tc("Int")), "type S = Int"},
    });
    // newtype binders share one line when they fit, else stand one per line
    std::string longName(40, 'v');
    Value wideBinders =
        list({req(longName.c_str()), req((longName + "w").c_str()), req((longName + "x").c_str())});
    EXPECT_EQ(
        alone(NewtypeD(list({}), n("N"), wideBinders, nothing(), normal("N", {}), list({}))),
        "newtype N " + longName + "\n          " + longName + "w\n          " + longName + "x\n    = N");
    EXPECT_EQ(alone(DataD(list({}), n("N"), wideBinders, nothing(), list({}), list({}))),
              "data N " + longName + " " + longName + "w " + longName + "x");
}

TEST(PprDec, DerivingClauses) {
    Value mInt = app(tc("M"), tc("Int"));
    const std::pair<Value, const char*> rows[] = {
        {deriving(nothing(), {}), "deriving ()"},
        {deriving(nothing(), {tc("Eq")}), "deriving Eq"},
        {deriving(nothing(), {app(tc("C"), tc("Int"))}), "deriving (C Int)"},
        {deriving(just(StockStrategy()), {tc("Eq"), tc("Ord")}), "deriving stock (Eq, Ord)"},
        {deriving(just(AnyclassStrategy()), {tc("ToJSON")}), "deriving anyclass ToJSON"},
        {deriving(just(NewtypeStrategy()), {}), "deriving newtype ()"},
        {deriving(just(ViaStrategy(mInt)), {tc("Monoid")}), "deriving Monoid via (M Int)"},
        {deriving(just(ViaStrategy(tc("M"))), {tc("Eq"), tc("Ord")}), "deriving (Eq, Ord) via M"},
    };
    for (const auto& [clause, text] : rows) EXPECT_EQ(rendered(ppr_deriv_clause(clause)), text);
    EXPECT_EQ(rendered(ppr_deriv_strategy(ViaStrategy(tc("M")))), "via M");
    EXPECT_EQ(rendered(ppr_deriv_strategy(AnyclassStrategy())), "anyclass");
}

TEST(PprDec, ConstructorsAndFields) {
    Value t = app(tc("T"), tv("a"));
    Value unpackStrict = pair(bang(SourceUnpack(), SourceStrict()), tc("Int"));
    Value unpackOnly = pair(bang(SourceUnpack(), NoSourceStrictness()), tc("Int"));
    Value noUnpackLazy = pair(bang(SourceNoUnpack(), SourceLazy()), tv("a"));
    Value lazyMark = pair(bang(NoSourceUnpackedness(), SourceLazy()), app(tc("Maybe"), tv("a")));
    Value showA = app(tc("Show"), tv("a"));
    const std::pair<Value, const char*> rows[] = {
        {normal("C", {}), "C"},
        {normal("C", {lazyField(tc("Int")), lazyField(app(tc("Maybe"), tv("a")))}), "C Int (Maybe a)"},
        {normal("C", {strictField(tc("Int")), lazyMark}), "C !Int ~(Maybe a)"},
        {normal("C", {unpackStrict, unpackOnly, noUnpackLazy}),
         "C {-# UNPACK #-} !Int {-# UNPACK #-} Int {-# NOUNPACK #-} ~a"},
        {RecC(n("R"), list({})), "R {}"},
        {RecC(n("R"), list({triple(n("x"), bang(NoSourceUnpackedness(), SourceStrict()), tc("Int")),
                            triple(n("y"), bang(NoSourceUnpackedness(), NoSourceStrictness()), t)})),
         "R {x :: !Int, y :: (T a)}"},
        {InfixC(lazyField(tc("Int")), n(":+"), strictField(tv("a"))), "Int :+ !a"},
        {InfixC(lazyField(tc("Int")), n("Plus"), lazyField(tc("Int"))), "Int `Plus` Int"},
        {GadtC(list({n("A")}), list({}), t), "A :: T a"},
        {GadtC(list({n("A"), n("B")}), list({lazyField(tv("a")), strictField(tc("Int"))}), t),
         "A, B :: a -> !Int -> T a"},
        {RecGadtC(list({n("R")}),
                  list({triple(n("x"), bang(NoSourceUnpackedness(), NoSourceStrictness()), tv("a"))}), t),
         "R :: {x :: a} -> T a"},
        {RecGadtC(list({n("R")}), list({}), t), "R :: {} -> T a"},
        // foralls: after "::" in GADT form, before the constructor otherwise
        {ForallC(list({spec("a")}), list({showA}), GadtC(list({n("A")}), list({lazyField(tv("a"))}), t)),
         "A :: forall a . Show a => a -> T a"},
        {ForallC(list({spec("a")}), list({}),
                 RecGadtC(list({n("R")}),
                          list({triple(n("x"), bang(NoSourceUnpackedness(), NoSourceStrictness()), tv("a"))}),
                          t)),
         "R :: forall a . {x :: a} -> T a"},
        {ForallC(list({spec("a")}), list({showA}), normal("C", {lazyField(tv("a"))})),
         "forall a . Show a => C a"},
        {ForallC(list({}), list({showA}), normal("C", {lazyField(tv("a"))})), "Show a => C a"},
        {ForallC(list({}), list({}), normal("C", {})), "C"},
        {ForallC(list({PlainTV(n("a"), InferredSpec())}), list({}),
                 InfixC(lazyField(tv("a")), n(":|"), lazyField(tv("a")))),
         "forall {a} . a :| a"},
        {ForallC(list({spec("a")}), list({}),
                 ForallC(list({spec("b")}), list({}), GadtC(list({n("A")}), list({}), t))),
         "forall a . A :: forall b . T a"},
    };
    for (const auto& [c, text] : rows) EXPECT_EQ(con(c), text);
    EXPECT_EQ(rendered(pprStrictType(unpackStrict)), "{-# UNPACK #-} !Int");
    EXPECT_EQ(
        rendered(pprVarStrictType(triple(n("+++"), bang(NoSourceUnpackedness(), SourceLazy()), tv("a")))),
        "(+++) :: ~a");
    EXPECT_EQ(rendered(ppr_list(inst_Ppr_Con(), list({normal("A", {}), normal("B", {})}))), "A\nB");
}

TEST(PprDec, GadtAndRecordLayouts) {
    // GADT fields one per line, each followed by " ->", when the signature does not fit
    std::string wide(40, 'W');
    Value wideT = tc(wide.c_str());
    Value wideFields = list({lazyField(wideT), lazyField(wideT)});
    EXPECT_EQ(rendered(pprGadtRHS(wideFields, tc("R"))), wide + " ->\n" + wide + " -> R");
    EXPECT_EQ(rendered(pprGadtRHS(list({lazyField(tc("A")), strictField(tc("B"))}), tc("R"))),
              "A -> !B -> R");
    EXPECT_EQ(
        con(GadtC(list({n("A")}), list({lazyField(wideT), lazyField(wideT), lazyField(wideT)}), tc("R"))),
        "A :: " + wide + " ->\n     " + wide + " ->\n     " + wide + " -> R");
    EXPECT_EQ(rendered(pprRecFields(list({}), tc("R"))), "{} -> R");
    // a record declaration whose fields do not fit on one line
    Value fields = list({triple(n("first"), bang(NoSourceUnpackedness(), SourceStrict()), wideT),
                         triple(n("second"), bang(NoSourceUnpackedness(), NoSourceStrictness()), wideT)});
    EXPECT_EQ(
        alone(DataD(list({}), n("R"), list({}), nothing(), list({RecC(n("R"), fields)}),
                    list({deriving(nothing(), {tc("Show")})}))),
        "data R\n    = R {first :: !" + wide + ",\n         second :: " + wide + "}\n    deriving Show");
    // the same constructor in GADT record form, alone and in a where block
    Value rec = DataD(list({}), n("R"), list({}), nothing(),
                      list({RecGadtC(list({n("R")}), fields, tc("R"))}), list({}));
    EXPECT_EQ(alone(rec),
              "data R where\n    R :: {first :: !" + wide + ",\n          second :: " + wide + "} -> R");
    EXPECT_EQ(member(rec),
              "data R where\n    {R :: {first :: !" + wide + ",\n           second :: " + wide + "} -> R}");
}

TEST(PprDec, Families) {
    Value kinded = KindedTV(n("r"), unit(), StarT());
    Value inj = just(InjectivityAnn(n("r"), list({n("a")})));
    expectAlone({
        {OpenTypeFamilyD(TypeFamilyHead(n("F"), list({}), NoSig(), nothing())), "type family F"},
        {OpenTypeFamilyD(familyHead(KindSig(StarT()), nothing())), "type family F a :: *"},
        {OpenTypeFamilyD(familyHead(TyVarSig(plain("r")), nothing())), "type family F a = r"},
        {OpenTypeFamilyD(familyHead(TyVarSig(kinded), inj)), "type family F a = (r :: *) | r -> a"},
        {ClosedTypeFamilyD(familyHead(NoSig(), nothing()), list({})), "type family F a where"},
        {ClosedTypeFamilyD(familyHead(NoSig(), nothing()), list({TySynEqn(nothing(), fInt(), tc("Bool"))})),
         "type family F a where F Int = Bool"},
        {ClosedTypeFamilyD(familyHead(KindSig(StarT()), nothing()),
                           list({TySynEqn(nothing(), fInt(), tc("Bool")),
                                 TySynEqn(just(list({plain("a")})), app(tc("F"), tv("a")), tv("a"))})),
         "type family F a :: * where\n    F Int = Bool\n    forall a. F a = a"},
    });
    // a closed family keeps its keyword and layout inside a where block
    Value closed =
        ClosedTypeFamilyD(familyHead(NoSig(), nothing()), list({TySynEqn(nothing(), fInt(), tc("Bool"))}));
    EXPECT_EQ(member(closed), alone(closed));
    EXPECT_EQ(rendered(ppr(inst_Ppr_FamilyResultSig(), NoSig())), "");
    EXPECT_EQ(rendered(ppr_tf_head(familyHead(KindSig(StarT()), inj))), "F a :: * | r -> a");
    EXPECT_EQ(rendered(ppr_tySyn(L::empty(), nothing(), L::empty(), tc("Int"))), "type = Int");
}

// A declaration is evaluated when its computation runs, each time it runs in the same way.
TEST(PprDec, EvaluatedWhenRun) {
    vux::testing::Counter runs;
    Value doc = ppr(inst_Ppr_Dec(), vux::testing::counting(runs, SigD(n("f"), tc("T"))));
    EXPECT_EQ(runs.count(), 0);
    EXPECT_EQ(rendered(doc), "f :: T");
    EXPECT_EQ(rendered(doc), "f :: T");
    EXPECT_EQ(runs.count(), 1);
    Value failing = ppr_dec(false, ValD(pv("a"), NormalB(ev("x")), list({vux::testing::failing()})));
    EXPECT_THROW(rendered(failing), rts::Exception);
}

// Lets nested 10^5 deep, through their declarations and through their bodies: a catchable stack
// overflow on an ordinary thread; on a large stack the text begins as it should. (The whole text
// grows with the square of the depth, every level indenting the lines below it.)
TEST(PprDec, DeepNesting) {
    const int depth = 100000;
    Value inDeclarations = ev("x"), inBodies = ev("x");
    for (int i = 0; i < depth; ++i) {
        inDeclarations = LetE(list({val("x", inDeclarations)}), ev("x"));
        inBodies = LetE(list({val("x", ev("y"))}), inBodies);
    }
    for (const Value& e : {inDeclarations, inBodies}) {
        try {
            rendered(pprExp(noPrec, e));
            ADD_FAILURE() << "printed lets nested 10^5 deep on an ordinary thread";
        } catch (const rts::Exception& ex) {
            EXPECT_EQ(ex.kind(), rts::RtsError::StackOverflow);
        }
    }
    // The first characters of a text (a lazy character list).
    auto prefix = [](const Value& chars, size_t count) {
        std::string out;
        for (Value l = rts::force(chars); l->tag == VUX::Types::Cons_tag && out.size() < count;) {
            out += char(VUX::Types::charOf(rts::force(rts::field(l, 0))));
            Value next = rts::force(rts::field(l, 1));
            l = std::move(next);
        }
        return out;
    };
    std::string first, second;
    rts::run_on_large_stack([&] {
        first = prefix(L::show(pprExp(noPrec, inDeclarations)), 24);
        second = prefix(L::show(pprExp(noPrec, inBodies)), 35);
    });
    EXPECT_EQ(first, "let x = let x = let x = ");
    EXPECT_EQ(second, "let x = y\n in let x = y\n     in let");
}

}  // namespace
