// The syntax tree's shared static objects, its C++ helpers, names and their text forms.
#include "VUX/Internal/TH/Syntax.h"

#include <vector>

#include "VUX/Classes.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Num.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::TH::Syntax {

using VUX::Types::C_hash;
using VUX::Types::Cons;
using VUX::Types::Nil;

constinit const rts::StaticNullary nullary_closure_tbl[kNullaryTags] = {
#define VUX_TH_NULLARY(I) rts::StaticNullary(I),
    VUX_TH_NULLARY(0) VUX_TH_NULLARY(1) VUX_TH_NULLARY(2) VUX_TH_NULLARY(3) VUX_TH_NULLARY(4)
        VUX_TH_NULLARY(5) VUX_TH_NULLARY(6) VUX_TH_NULLARY(7) VUX_TH_NULLARY(8) VUX_TH_NULLARY(9)
            VUX_TH_NULLARY(10) VUX_TH_NULLARY(11) VUX_TH_NULLARY(12) VUX_TH_NULLARY(13) VUX_TH_NULLARY(14)
                VUX_TH_NULLARY(15) VUX_TH_NULLARY(16) VUX_TH_NULLARY(17) VUX_TH_NULLARY(18) VUX_TH_NULLARY(19)
                    VUX_TH_NULLARY(20) VUX_TH_NULLARY(21) VUX_TH_NULLARY(22) VUX_TH_NULLARY(23)
                        VUX_TH_NULLARY(24) VUX_TH_NULLARY(25) VUX_TH_NULLARY(26) VUX_TH_NULLARY(27)
                            VUX_TH_NULLARY(28) VUX_TH_NULLARY(29) VUX_TH_NULLARY(30) VUX_TH_NULLARY(31)
#undef VUX_TH_NULLARY
};

// ---------------------------------------------------------------------------------------------
// Helpers

namespace {
// The character list of code points.
Value fromCodePoints(const std::u32string& cs, Value tail = Nil()) {
    for (auto it = cs.rbegin(); it != cs.rend(); ++it) tail = Cons(C_hash(*it), std::move(tail));
    return tail;
}
// The code points of a character list, evaluated.
std::u32string codePoints(const Value& chars) {
    std::u32string out;
    for (Value l = rts::force(chars); l->tag == VUX::Types::Cons_tag;) {
        rts::stack_check();
        out.push_back(VUX::Types::charOf(rts::force(rts::field(l, 0))));
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    return out;
}
}  // namespace

Value str(std::string_view utf8) { return VUX::Internal::List::fromUtf8(utf8); }
Value list(std::initializer_list<Value> items) {
    Value l = Nil();
    for (auto it = std::rbegin(items); it != std::rend(items); ++it) l = Cons(*it, std::move(l));
    return l;
}
Value just(Value x) { return VUX::Internal::Maybe::Just(std::move(x)); }
Value nothing() { return VUX::Internal::Maybe::Nothing(); }
Value pair(Value a, Value b) { return VUX::Tuple::Tuple2(std::move(a), std::move(b)); }
Value triple(Value a, Value b, Value c) {
    return VUX::Tuple::Tuple3(std::move(a), std::move(b), std::move(c));
}
Value nonEmpty(Value head, Value tail) {
    return VUX::Internal::Base::op_colon_bar(std::move(head), std::move(tail));
}
Value int_(int64_t n) { return VUX::Types::I_hash(n); }
Value integer(int64_t n) { return VUX::Num::Integer::integerFromInt_hash(n); }
Value unit() { return VUX::Tuple::Unit(); }

Value mkName(std::string_view occ) { return Name(str(occ), NameS()); }
Value mkNameQ(std::string_view module, std::string_view occ) { return Name(str(occ), NameQ(str(module))); }
Value mkNameU(std::string_view occ, int64_t unique) { return Name(str(occ), NameU(integer(unique))); }
Value mkNameL(std::string_view occ, int64_t unique) { return Name(str(occ), NameL(integer(unique))); }
Value mkNameG(Value nameSpace, std::string_view package, std::string_view module, std::string_view occ) {
    return Name(str(occ), NameG(std::move(nameSpace), str(package), str(module)));
}

// ---------------------------------------------------------------------------------------------
// Text of names

bool okSymChar(uint32_t c) {
    constexpr std::u32string_view symbols = U"!#$%&*+./<=>?@\\^|-~:";
    return symbols.find(static_cast<char32_t>(c)) != std::u32string_view::npos;
}
bool isVarSymChar(uint32_t c) { return c != ':' && okSymChar(c); }

namespace {
// The decimal digits of an Integer.
std::u32string decimal(const Value& i) { return codePoints(VUX::Internal::Num::showsInteger(0, i, Nil())); }

// The name's text without regard to position: module qualification or unique suffix.
std::u32string plainText(const Value& name) {
    std::u32string occ = codePoints(nameOcc(name));
    const Value& flavour = nameFlavour(name);
    switch (flavour->tag) {
        case NameQ_tag: return codePoints(rts::field(flavour, 0)) + U"." + occ;
        case NameG_tag: return codePoints(rts::field(flavour, 2)) + U"." + occ;
        case NameU_tag:
        case NameL_tag: return occ + U"_" + decimal(rts::field(flavour, 0));
        default: return occ;
    }
}

// Operators start with a symbol character (':' included); an empty occurrence is no operator.
bool isOperatorOcc(const std::u32string& occ) { return !occ.empty() && okSymChar(occ[0]); }
}  // namespace

Value showName_prime(const Value& position, const Value& name) {
    std::u32string text = plainText(name);
    std::u32string occ = codePoints(nameOcc(name));
    bool wrapped = !text.empty() && (text[0] == U'(' || text[0] == U'`');
    switch (rts::force(position)->tag) {
        case Applied_tag:
            if (isOperatorOcc(occ) && !wrapped) return fromCodePoints(U"(" + text + U")");
            break;
        case Infix_tag:
            if (!occ.empty() && !isOperatorOcc(occ) && !wrapped) return fromCodePoints(U"`" + text + U"`");
            break;
        default: break;
    }
    return fromCodePoints(text);
}
Value showName(const Value& name) { return showName_prime(Alone(), name); }

Value mk_tup_name(int64_t arity, const Value& nameSpace, bool boxed) {
    bool data = rts::force(nameSpace)->tag == DataName_tag;
    std::u32string commas(arity > 1 ? static_cast<size_t>(arity - 1) : 0, U',');
    std::u32string occ;
    if (boxed)
        occ = arity == 1 ? (data ? U"MkSolo" : U"Solo") : U"(" + commas + U")";
    else
        occ = arity == 1 ? U"Solo#" : arity == 0 ? U"(# #)" : U"(#" + commas + U"#)";
    return Name(fromCodePoints(occ),
                NameG(nameSpace, str("vux-prim"), str(boxed ? "VUX.Tuple" : "VUX.Prim")));
}
Value oneName() { return mkNameG(DataName(), "vux-prim", "VUX.Types", "One"); }
Value manyName() { return mkNameG(DataName(), "vux-prim", "VUX.Types", "Many"); }

// ---------------------------------------------------------------------------------------------
// Equality and order

namespace {
int compareChars(const Value& a, const Value& b) {
    std::u32string x = codePoints(a), y = codePoints(b);
    return x < y ? -1 : x > y ? 1 : 0;
}
int compareTags(const Value& a, const Value& b) { return (a->tag > b->tag) - (a->tag < b->tag); }

int compareNameSpace(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (int c = compareTags(a, b)) return c;
    return a->tag == FldName_tag ? compareChars(rts::field(a, 0), rts::field(b, 0)) : 0;
}

int compareFlavour(const Value& a, const Value& b) {
    if (int c = compareTags(a, b)) return c;
    switch (a->tag) {
        case NameQ_tag: return compareChars(rts::field(a, 0), rts::field(b, 0));
        case NameU_tag:
        case NameL_tag: return VUX::Num::Integer::fast::cmp(rts::field(a, 0), rts::field(b, 0));
        case NameG_tag:
            if (int c = compareNameSpace(rts::field(a, 0), rts::field(b, 0))) return c;
            if (int c = compareChars(rts::field(a, 1), rts::field(b, 1))) return c;
            return compareChars(rts::field(a, 2), rts::field(b, 2));
        default: return 0;
    }
}
}  // namespace

int compareName(const Value& a, const Value& b) {
    if (int c = compareFlavour(nameFlavour(a), nameFlavour(b))) return c;
    return compareChars(nameOcc(a), nameOcc(b));
}
bool eqName(const Value& a, const Value& b) { return compareName(a, b) == 0; }

namespace {
using VUX::Types::fromBool;
Value nameEq(const Value& a, const Value& b) { return fromBool(eqName(a, b)); }
Value nameNe(const Value& a, const Value& b) { return fromBool(!eqName(a, b)); }
Value nameCompare(const Value& a, const Value& b) {
    int c = compareName(a, b);
    return c < 0 ? VUX::Types::LT() : c > 0 ? VUX::Types::GT() : VUX::Types::EQ();
}
Value nameLt(const Value& a, const Value& b) { return fromBool(compareName(a, b) < 0); }
Value nameLe(const Value& a, const Value& b) { return fromBool(compareName(a, b) <= 0); }
Value nameGt(const Value& a, const Value& b) { return fromBool(compareName(a, b) > 0); }
Value nameGe(const Value& a, const Value& b) { return fromBool(compareName(a, b) >= 0); }
Value nameMax(const Value& a, const Value& b) {
    return compareName(a, b) <= 0 ? rts::force(b) : rts::force(a);
}
Value nameMin(const Value& a, const Value& b) {
    return compareName(a, b) <= 0 ? rts::force(a) : rts::force(b);
}
}  // namespace

using VUX::Record::fn;
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Name_closure{fn<&nameEq>, fn<&nameNe>};
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_Name_closure{
    VUX::Record::ref(inst_Eq_Name_closure),
    fn<&nameCompare>,
    fn<&nameLt>,
    fn<&nameLe>,
    fn<&nameGt>,
    fn<&nameGe>,
    fn<&nameMax>,
    fn<&nameMin>};

// ---------------------------------------------------------------------------------------------
// Text forms of the enumerations

VUX_DERIVE_TEXT_FORMS(Callconv, {"CCall"}, {"StdCall"}, {"CApi"}, {"Prim"}, {"JavaScript"})
VUX_DERIVE_TEXT_FORMS(Safety, {"Unsafe"}, {"Safe"}, {"Interruptible"})
VUX_DERIVE_TEXT_FORMS(Inline, {"NoInline"}, {"Inline"}, {"Inlinable"})
VUX_DERIVE_TEXT_FORMS(RuleMatch, {"ConLike"}, {"FunLike"})
VUX_DERIVE_TEXT_FORMS(Overlap, {"Overlappable"}, {"Overlapping"}, {"Overlaps"}, {"Incoherent"})
VUX_DERIVE_TEXT_FORMS(FixityDirection, {"InfixL"}, {"InfixR"}, {"InfixN"})
VUX_DERIVE_TEXT_FORMS(NamespaceSpecifier, {"NoNamespaceSpecifier"}, {"TypeNamespaceSpecifier"},
                      {"DataNamespaceSpecifier"})
VUX_DERIVE_TEXT_FORMS(Role, {"NominalR"}, {"RepresentationalR"}, {"PhantomR"}, {"InferR"})
VUX_DERIVE_TEXT_FORMS(Specificity, {"SpecifiedSpec"}, {"InferredSpec"})
VUX_DERIVE_TEXT_FORMS(BndrVis, {"BndrReq"}, {"BndrInvis"})
VUX_DERIVE_TEXT_FORMS(SourceUnpackedness, {"NoSourceUnpackedness"}, {"SourceNoUnpack"}, {"SourceUnpack"})
VUX_DERIVE_TEXT_FORMS(SourceStrictness, {"NoSourceStrictness"}, {"SourceLazy"}, {"SourceStrict"})
VUX_DERIVE_TEXT_FORMS(DecidedStrictness, {"DecidedLazy"}, {"DecidedStrict"}, {"DecidedUnpack"})
VUX_DERIVE_TEXT_FORMS(NameIs, {"Alone"}, {"Applied"}, {"Infix"})

}  // namespace VUX::Internal::TH::Syntax
