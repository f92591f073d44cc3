// Reading values back from their standard text forms: the `Read` record, the readers' building
// blocks and the instances for the basic types.
//
// The record `C_Read` holds, in order: `readsPrec` (precedence, input -> [(value, rest)]),
// `readList` (input -> [(list, rest)]), `readPrec` (a ReadPrec parser) and `readListPrec` (the
// ReadPrec parser of a list). Every reader accepts its form inside any number of parentheses,
// inside which the precedence restarts at 0, with white space before every lexeme; input that
// matches no form gives no parse, never an error.
//
// A type whose form is derived from its declaration gets both its Show and its Read record from
// one description of its constructors: see Derived.h.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "VUX/Internal/Text/ParserCombinators/ReadP.h"
#include "VUX/Internal/Text/ParserCombinators/ReadPrec.h"
#include "VUX/Internal/Text/Read/Lex.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace VUX::Internal::Read {

using rts::Value;
using Text::ParserCombinators::ReadP::Parse;
using Text::ParserCombinators::ReadP::Parser;
using Text::ParserCombinators::ReadP::Parses;
namespace Lex = Text::Read::Lex;

// ---------------------------------------------------------------------------------------------
// The record

VUX_CLASS(Read, (), readsPrec, readList, readPrec, readListPrec);

// A record from the parser of one value: readsPrec runs it, readListPrec is `list` of it, readList
// runs that at precedence 0. The second form takes the list parser too (characters read a list
// as a string literal as well).
Value readRecord(const Parser& readPrec);
Value readRecord(const Parser& readPrec, const Parser& readListPrec);

// A record from a hand-written readsPrec (precedence -> ReadS), the others by their defaults:
// readPrec runs readsPrec, readListPrec is `list` of it, readList runs that at 0.
Value readsPrecRecord(Value readsPrec);

// The parsers of a record, which is evaluated only when they run (a record may refer to itself).
Parser readPrecOf(Value dRead);
Parser readListPrecOf(Value dRead);

// Calling through a record: the lists of (value, rest) pairs.
Value readsPrec(const Value& dRead, int64_t d, const Value& input);
Value readList(const Value& dRead, const Value& input);

// ---------------------------------------------------------------------------------------------
// Building blocks of readers (ReadPrec parsers)

// `lexP`: one lexeme; `expectP l`: unit when the next lexeme is l. The token forms take the kind
// and text: expectP(Lex::Punc_tag, "{").
Parser lexP();
Parser expectP(Lex::Token l);
Parser expectP(uint8_t kind, std::string_view text);
// `paren p`: "(" p ")", p at precedence 0. `parens p`: p, or p in any number of parentheses.
Parser paren(Parser p);
Parser parens(Parser p);
// `parens` around a reader that starts with one lexeme: the lexeme is read once and given to
// `k` with the input after it; "(" also goes to k before the parenthesised forms are tried.
using LexemeReader = std::function<void(int64_t d, const Lex::Token& first, const Value& rest, Parses& out)>;
Parser parensLexeme(LexemeReader k);
// `choose pairs`: an identifier or symbol equal to one of the names gives its value.
Parser choose(std::vector<std::pair<std::string, Value>> pairs);
// `list p`: "[", elements read by p at precedence 0 separated by ",", "]", in parentheses or not.
Parser list(Parser elem);
// `readField name p`: the identifier name, "=", then p.
Parser readField(std::string name, Parser value);
// One step of a sequence: a parser run at a fixed precedence whose value is kept, or a lexeme
// that must come next.
struct Step {
    Parser parser;
    int64_t prec = 0;
    bool keep = true;
};
Step lexemeStep(uint8_t kind, std::string_view text);
// Runs the steps one after another over every open parse and gives each complete parse's kept
// values, in order, with the input after it.
void sequence(const std::vector<Step>& steps, const Value& input,
              const std::function<void(std::vector<Value>& values, Value rest)>& done);

// `readParen b g`: the ReadS function of g's parses inside any number of parentheses, at least
// one pair when b.
Value readParen(bool mandatory, Value g);

// `readNumber convert`: a number lexeme converted by `convert` (which appends its values: none
// for a lexeme it does not take), or "-" and such a lexeme when the precedence is 6 or less,
// negated by `negate`; in parentheses or not.
Parser readNumber(std::function<void(const Lex::Token&, std::vector<Value>&)> convert,
                  std::function<Value(const Value&)> negate);

// ---------------------------------------------------------------------------------------------
// Whole readers

// `reads`: readsPrec at 0. `readEither`: Right the one value that the whole input gives (up to
// trailing white space), or Left "Prelude.read: no parse" / "Prelude.read: ambiguous parse".
// `readMaybe`: Just or Nothing the same way. `read`: the value, or the error exception with that
// message and no call stack.
Value reads(const Value& dRead, const Value& input);
Value readEither(const Value& dRead, const Value& input);
Value readMaybe(const Value& dRead, const Value& input);
Value read(const Value& dRead, const Value& input);
// The same as language functions taking the record first.
extern const rts::StaticFun reads_closure;
extern const rts::StaticFun readEither_closure;
extern const rts::StaticFun readMaybe_closure;
extern const rts::StaticFun read_closure;

// ---------------------------------------------------------------------------------------------
// Instances (static records)

// Integral numbers: a decimal, hexadecimal (0x) or octal (0o) literal, "-" before it at
// precedence 6 or less. Int, Word and the fixed-width types keep the low bits of the value
// (arithmetic modulo 2^width, as their fromInteger); Natural rejects a negative number.
VUX_STATIC_INSTANCE(inst_Read_Int, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Word, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Int8, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Int16, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Int32, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Int64, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Word8, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Word16, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Word32, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Word64, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Integer, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Natural, C_Read_class);
// Floating point: any number literal, rounded to the nearest value, "NaN" and "Infinity".
VUX_STATIC_INSTANCE(inst_Read_Double, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Float, C_Read_class);
// A character literal; a String (list of Char) reads as a string literal or a list of characters.
VUX_STATIC_INSTANCE(inst_Read_Char, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Bool, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Ordering, C_Read_class);
VUX_STATIC_INSTANCE(inst_Read_Unit, C_Read_class);

// Compound types: functions of the component records.
Value inst_Read_List(Value dRead);
Value inst_Read_Maybe(Value dRead);
Value inst_Read_Either(Value dReadA, Value dReadB);
// Tuples of 2 to 15 components: "(a,b,...)", components at precedence 0.
Value inst_Read_Tuple(std::vector<Value> components);
Value inst_Read_Tuple2(Value a, Value b);
Value inst_Read_Tuple3(Value a, Value b, Value c);

// ---------------------------------------------------------------------------------------------
// Static records from a parser built once: `Make` returns the parser (built on first use, never
// freed), `MakeList` the list parser (by default `list` of it).
//   const Parser& myParser();
//   VUX_STATIC_INSTANCE(inst_Read_T, C_Read_class);                                   (header)
//   constinit const VUX::Record::Static<C_Read_class> inst_Read_T_closure = staticReadRecord<&myParser>();

// The list parser of a parser given by its maker, built on first use.
template <const Parser& (*Make)()>
const Parser& listParserOf() {
    static const Parser& p = *new Parser(list(Make()));
    return p;
}
template <const Parser& (*Make)(), const Parser& (*MakeList)()>
struct StaticReadOps {
    using Fun = Text::ParserCombinators::ReadPrec::StaticParserFun;
    static constexpr Fun readPrec_closure{Make};
    static constexpr Fun readListPrec_closure{MakeList};
    static Value readList(const Value& input) {
        return Text::ParserCombinators::ReadP::parsesToList(MakeList().parse(0, input));
    }
    static constexpr rts::StaticFun readList_closure{rts::static_fun_info<&readList>};
};
// readsPrec and readPrec have the same form here, so one function serves both fields.
template <const Parser& (*Make)(), const Parser& (*MakeList)() = &listParserOf<Make>>
constexpr VUX::Record::Static<C_Read_class> staticReadRecord() {
    using Ops = StaticReadOps<Make, MakeList>;
    return VUX::Record::Static<C_Read_class>(
        rts::ref_slot(Ops::readPrec_closure.object()), rts::ref_slot(Ops::readList_closure.object()),
        rts::ref_slot(Ops::readPrec_closure.object()), rts::ref_slot(Ops::readListPrec_closure.object()));
}

}  // namespace VUX::Internal::Read
