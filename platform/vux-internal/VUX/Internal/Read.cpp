#include "VUX/Internal/Read.h"

#include <cmath>
#include <limits>

#include "Data/Either.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Int.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Word.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::Read {

using namespace VUX::Types;
using rts::force;
namespace ReadP = Text::ParserCombinators::ReadP;
namespace ReadPrec = Text::ParserCombinators::ReadPrec;
namespace I = VUX::Num::Integer;

// ---------------------------------------------------------------------------------------------
// Records

Value readRecord(const Parser& p, const Parser& listP) {
    Value readPrec = ReadPrec::toReadPrec(p);
    Value readListPrec = ReadPrec::toReadPrec(listP);
    return C_Read(readPrec, ReadP::readP_to_S(listP), readPrec, readListPrec);
}

Value readRecord(const Parser& p) { return readRecord(p, list(p)); }

Value readsPrecRecord(Value readsPrec) {
    Parser p = ReadPrec::readS_to_Prec(readsPrec);
    Parser listP = list(p);
    return C_Read(std::move(readsPrec), ReadP::readP_to_S(listP), ReadPrec::toReadPrec(p),
                  ReadPrec::toReadPrec(listP));
}

Value readParen(bool mandatory, Value g) {
    Parser inner = ReadP::readS_to_P(std::move(g));
    return ReadP::readP_to_S(mandatory ? paren(parens(inner)) : parens(inner));
}

Parser readPrecOf(Value dRead) {
    return Parser([dRead](int64_t d, const Value& in, Parses& out) {
        ReadPrec::runReadPrec(readPrec(dRead), d, in, out);
    });
}

Parser readListPrecOf(Value dRead) {
    return Parser([dRead](int64_t d, const Value& in, Parses& out) {
        ReadPrec::runReadPrec(readListPrec(dRead), d, in, out);
    });
}

Value readsPrec(const Value& dRead, int64_t d, const Value& input) {
    return rts::apply(readsPrec(dRead), Show::precBox(d), input);
}

Value readList(const Value& dRead, const Value& input) { return rts::apply(readList(dRead), input); }

// ---------------------------------------------------------------------------------------------
// Building blocks

namespace {
bool isLexeme(const Lex::Token& t, uint8_t kind, std::string_view text) {
    return t.kind == kind && t.text == text;
}

// The input after the lexeme `text` of kind `kind`, or nothing when another lexeme comes next.
bool skipLexeme(const Value& in, uint8_t kind, std::string_view text, Value& rest) {
    Lex::Token tok;
    return Lex::lexToken(in, tok, rest) && isLexeme(tok, kind, text);
}
}  // namespace

Parser lexP() { return ReadP::lexeme(); }
Parser expectP(Lex::Token l) { return ReadP::expect(std::move(l)); }
Parser expectP(uint8_t kind, std::string_view text) {
    return Parser([kind, text = std::string(text)](int64_t, const Value& in, Parses& out) {
        Value rest;
        if (skipLexeme(in, kind, text, rest)) out.push_back({VUX::Tuple::Unit(), std::move(rest)});
    });
}

namespace {
// The parses of `inner` (run at 0 after the "(") that a ")" closes.
void closeParen(const Parses& inner, Parses& out) {
    for (const Parse& r : inner) {
        Value rest;
        if (skipLexeme(r.rest, Lex::Punc_tag, ")", rest)) out.push_back({r.value, std::move(rest)});
    }
}

void parensRun(const Parser& p, int64_t d, const Value& in, Parses& out) {
    rts::stack_check();
    p.run(d, in, out);
    Value rest;
    if (!skipLexeme(in, Lex::Punc_tag, "(", rest)) return;
    Parses inner;
    parensRun(p, 0, rest, inner);
    closeParen(inner, out);
}

void parensLexemeRun(const LexemeReader& k, int64_t d, const Value& in, Parses& out) {
    rts::stack_check();
    Lex::Token tok;
    Value rest;
    if (!Lex::lexToken(in, tok, rest)) return;
    k(d, tok, rest, out);
    if (!isLexeme(tok, Lex::Punc_tag, "(")) return;
    Parses inner;
    parensLexemeRun(k, 0, rest, inner);
    closeParen(inner, out);
}
}  // namespace

Parser paren(Parser p) {
    return Parser([p](int64_t, const Value& in, Parses& out) {
        Value rest;
        if (skipLexeme(in, Lex::Punc_tag, "(", rest)) closeParen(p.parse(0, rest), out);
    });
}

Parser parens(Parser p) {
    return Parser([p](int64_t d, const Value& in, Parses& out) { parensRun(p, d, in, out); });
}

Parser parensLexeme(LexemeReader k) {
    return Parser([k](int64_t d, const Value& in, Parses& out) { parensLexemeRun(k, d, in, out); });
}

Parser choose(std::vector<std::pair<std::string, Value>> pairs) {
    return Parser([pairs](int64_t, const Value& in, Parses& out) {
        Lex::Token tok;
        Value rest;
        if (!Lex::lexToken(in, tok, rest) || (tok.kind != Lex::Ident_tag && tok.kind != Lex::Symbol_tag))
            return;
        for (const auto& [name, value] : pairs)
            if (tok.text == name) out.push_back({value, rest});
    });
}

Parser readField(std::string name, Parser value) {
    return Parser([name, value](int64_t d, const Value& in, Parses& out) {
        Value afterName, afterEq;
        if (skipLexeme(in, Lex::Ident_tag, name, afterName) &&
            skipLexeme(afterName, Lex::Punc_tag, "=", afterEq))
            value.run(d, afterEq, out);
    });
}

Step lexemeStep(uint8_t kind, std::string_view text) { return Step{expectP(kind, text), 0, false}; }

namespace {
struct Open {
    std::vector<Value> values;
    Value rest;
};
}  // namespace

void sequence(const std::vector<Step>& steps, const Value& input,
              const std::function<void(std::vector<Value>& values, Value rest)>& done) {
    std::vector<Open> open;
    open.push_back({{}, input});
    for (const Step& s : steps) {
        std::vector<Open> next;
        for (Open& o : open) {
            Parses rs = s.parser.parse(s.prec, o.rest);
            for (size_t i = 0; i < rs.size(); ++i) {
                Open g{i + 1 == rs.size() ? std::move(o.values) : o.values, std::move(rs[i].rest)};
                if (s.keep) g.values.push_back(std::move(rs[i].value));
                next.push_back(std::move(g));
            }
        }
        open = std::move(next);
        if (open.empty()) return;
    }
    for (Open& o : open) done(o.values, std::move(o.rest));
}

// `list`: "[" then "]", or elements separated by "," then "]" (the repetition runs as a loop).
Parser list(Parser elem) {
    Parser close = expectP(Lex::Punc_tag, "]");
    Parser elems = ReadP::sepBy1Till(ReadPrec::reset(std::move(elem)), expectP(Lex::Punc_tag, ","), close);
    Parser rest = ReadP::alt(ReadP::then(close, ReadP::result(Nil())), std::move(elems));
    return parens(ReadP::then(expectP(Lex::Punc_tag, "["), std::move(rest)));
}

Parser readNumber(std::function<void(const Lex::Token&, std::vector<Value>&)> convert,
                  std::function<Value(const Value&)> negate) {
    return parensLexeme(
        [convert, negate](int64_t d, const Lex::Token& first, const Value& rest, Parses& out) {
            std::vector<Value> values;
            if (isLexeme(first, Lex::Symbol_tag, "-")) {
                if (d > 6) return;
                Lex::Token tok;
                Value after;
                if (!Lex::lexToken(rest, tok, after)) return;
                convert(tok, values);
                for (const Value& v : values) out.push_back({negate(v), after});
                return;
            }
            convert(first, values);
            for (Value& v : values) out.push_back({std::move(v), rest});
        });
}

// ---------------------------------------------------------------------------------------------
// Whole readers

Value reads(const Value& dRead, const Value& input) { return readsPrec(dRead, 0, input); }

namespace {
constexpr std::string_view kNoParse = "Prelude.read: no parse";
constexpr std::string_view kAmbiguous = "Prelude.read: ambiguous parse";

// The values of the parses that take the whole input up to trailing white space: none, one, or
// two (the second only to say there are several).
std::vector<Value> completeParses(const Value& dRead, const Value& input) {
    Parses all = readPrecOf(dRead).parse(0, input);
    std::vector<Value> complete;
    for (Parse& r : all) {
        if (!Lex::onlySpaces(r.rest)) continue;
        complete.push_back(std::move(r.value));
        if (complete.size() == 2) break;
    }
    return complete;
}
}  // namespace

Value readEither(const Value& dRead, const Value& input) {
    std::vector<Value> vs = completeParses(dRead, input);
    if (vs.size() == 1) return Data::Either::Right(vs[0]);
    return Data::Either::Left(List::fromBytes(vs.empty() ? kNoParse : kAmbiguous));
}

Value readMaybe(const Value& dRead, const Value& input) {
    std::vector<Value> vs = completeParses(dRead, input);
    return vs.size() == 1 ? Maybe::Just(vs[0]) : Maybe::Nothing();
}

Value read(const Value& dRead, const Value& input) {
    std::vector<Value> vs = completeParses(dRead, input);
    if (vs.size() != 1) Err::errorWithoutStackTrace(List::fromBytes(vs.empty() ? kNoParse : kAmbiguous));
    return vs[0];
}

constinit const rts::StaticFun reads_closure{rts::static_fun_info<&reads>};
constinit const rts::StaticFun readEither_closure{rts::static_fun_info<&readEither>};
constinit const rts::StaticFun readMaybe_closure{rts::static_fun_info<&readMaybe>};
constinit const rts::StaticFun read_closure{rts::static_fun_info<&read>};

// ---------------------------------------------------------------------------------------------
// Instances

namespace {

// Integral types of a fixed width: the low bits of the literal's value.
template <Value (*Box)(uint64_t)>
const Parser& fixedParser() {
    static const Parser& p = *new Parser(readNumber(
        [](const Lex::Token& t, std::vector<Value>& out) {
            if (t.kind != Lex::Number_tag) return;
            if (auto w = Lex::numberToWord64(t.text)) out.push_back(Box(*w));
        },
        [](const Value& v) { return Box(0 - rts::word(force(v), 0)); }));
    return p;
}
Value boxInt(uint64_t w) { return I_hash(static_cast<int64_t>(w)); }
Value boxWord(uint64_t w) { return W_hash(w); }
template <int Bits>
Value boxIntN(uint64_t w) {
    return Int::intN<Bits>(static_cast<int64_t>(w));
}
template <int Bits>
Value boxWordN(uint64_t w) {
    return Word::wordN<Bits>(w);
}

void integerOf(const Lex::Token& t, std::vector<Value>& out) {
    if (t.kind != Lex::Number_tag) return;
    if (auto i = Lex::numberToInteger(t.text)) out.push_back(std::move(*i));
}
const Parser& integerParser() {
    static const Parser& p =
        *new Parser(readNumber(&integerOf, [](const Value& v) { return I::integerNegate(v); }));
    return p;
}
// Natural: an Integer that is not negative.
const Parser& naturalParser() {
    static const Parser& p = *new Parser(Parser([](int64_t d, const Value& in, Parses& out) {
        for (Parse& r : integerParser().parse(d, in)) {
            if (I::integerIsNegative_hash(r.value)) continue;
            out.push_back({I::integerToNatural(r.value), std::move(r.rest)});
        }
    }));
    return p;
}

template <class T>
void floatingOf(const Lex::Token& t, std::vector<Value>& out) {
    T x;
    if (t.kind == Lex::Number_tag) {
        if constexpr (std::is_same_v<T, double>)
            x = Lex::numberToDouble(t.text);
        else
            x = Lex::numberToFloat(t.text);
    } else if (t.kind == Lex::Ident_tag && t.text == "NaN") {
        x = std::numeric_limits<T>::quiet_NaN();
    } else if (t.kind == Lex::Ident_tag && t.text == "Infinity") {
        x = std::numeric_limits<T>::infinity();
    } else {
        return;
    }
    if constexpr (std::is_same_v<T, double>)
        out.push_back(D_hash(x));
    else
        out.push_back(F_hash(x));
}
const Parser& doubleParser() {
    static const Parser& p = *new Parser(
        readNumber(&floatingOf<double>, [](const Value& v) { return D_hash(-doubleOf(force(v))); }));
    return p;
}
const Parser& floatParser() {
    static const Parser& p = *new Parser(
        readNumber(&floatingOf<float>, [](const Value& v) { return F_hash(-floatOf(force(v))); }));
    return p;
}

// Parsers that take one lexeme of a kind and give a value made from it, in parentheses or not.
Parser literalOf(uint8_t kind) {
    return parensLexeme([kind](int64_t, const Lex::Token& t, const Value& rest, Parses& out) {
        if (t.kind == kind) out.push_back({t.value, rest});
    });
}
const Parser& charParser() {
    static const Parser& p = *new Parser(literalOf(Lex::Char_tag));
    return p;
}
// A string: a string literal, or a list of characters.
const Parser& stringParser() {
    static const Parser& p = *new Parser(ReadP::alt(literalOf(Lex::String_tag), list(charParser())));
    return p;
}

const Parser& boolParser() {
    static const Parser& p = *new Parser(parens(choose({{"False", False()}, {"True", True()}})));
    return p;
}
const Parser& orderingParser() {
    static const Parser& p = *new Parser(parens(choose({{"LT", LT()}, {"EQ", EQ()}, {"GT", GT()}})));
    return p;
}
// "()": the parentheses are the value's own.
const Parser& unitParser() {
    static const Parser& p = *new Parser(parens(paren(ReadP::result(VUX::Tuple::Unit()))));
    return p;
}

}  // namespace

constinit const VUX::Record::Static<C_Read_class> inst_Read_Int_closure =
    staticReadRecord<&fixedParser<&boxInt>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Word_closure =
    staticReadRecord<&fixedParser<&boxWord>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Int8_closure =
    staticReadRecord<&fixedParser<&boxIntN<8>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Int16_closure =
    staticReadRecord<&fixedParser<&boxIntN<16>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Int32_closure =
    staticReadRecord<&fixedParser<&boxIntN<32>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Int64_closure =
    staticReadRecord<&fixedParser<&boxIntN<64>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Word8_closure =
    staticReadRecord<&fixedParser<&boxWordN<8>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Word16_closure =
    staticReadRecord<&fixedParser<&boxWordN<16>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Word32_closure =
    staticReadRecord<&fixedParser<&boxWordN<32>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Word64_closure =
    staticReadRecord<&fixedParser<&boxWordN<64>>>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Integer_closure =
    staticReadRecord<&integerParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Natural_closure =
    staticReadRecord<&naturalParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Double_closure =
    staticReadRecord<&doubleParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Float_closure = staticReadRecord<&floatParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Char_closure =
    staticReadRecord<&charParser, &stringParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Bool_closure = staticReadRecord<&boolParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Ordering_closure =
    staticReadRecord<&orderingParser>();
constinit const VUX::Record::Static<C_Read_class> inst_Read_Unit_closure = staticReadRecord<&unitParser>();

Value inst_Read_List(Value d) {
    Parser elems = readListPrecOf(d);
    return readRecord(elems, list(elems));
}

Value inst_Read_Maybe(Value d) {
    return Derived::deriveRead({{"Nothing"}, {"Just", {Derived::readOnly(std::move(d))}}});
}

Value inst_Read_Either(Value a, Value b) {
    return Derived::deriveRead(
        {{"Left", {Derived::readOnly(std::move(a))}}, {"Right", {Derived::readOnly(std::move(b))}}});
}

Value inst_Read_Tuple(std::vector<Value> components) {
    std::vector<Step> steps;
    for (const Value& c : components) {
        if (!steps.empty()) steps.push_back(lexemeStep(Lex::Punc_tag, ","));
        steps.push_back(Step{readPrecOf(c), 0, true});
    }
    steps.push_back(lexemeStep(Lex::Punc_tag, ")"));
    Parser tuple = parensLexeme([steps](int64_t, const Lex::Token& first, const Value& rest, Parses& out) {
        if (!isLexeme(first, Lex::Punc_tag, "(")) return;
        sequence(steps, rest, [&out](std::vector<Value>& vs, Value after) {
            rts::Object* t = rts::alloc_con(VUX::Tuple::Tuple_tag, static_cast<uint8_t>(vs.size()), 0);
            for (size_t i = 0; i < vs.size(); ++i) rts::con_slots(t)[i].ref = vs[i].detach();
            out.push_back({Value::adopt(t), std::move(after)});
        });
    });
    return readRecord(tuple);
}

Value inst_Read_Tuple2(Value a, Value b) { return inst_Read_Tuple({std::move(a), std::move(b)}); }
Value inst_Read_Tuple3(Value a, Value b, Value c) {
    return inst_Read_Tuple({std::move(a), std::move(b), std::move(c)});
}

}  // namespace VUX::Internal::Read
