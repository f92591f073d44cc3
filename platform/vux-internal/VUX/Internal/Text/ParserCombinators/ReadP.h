// Parsers that keep every parse.
//
// A parser reads a value from the front of a character list and gives every way of doing so,
// each with the text that remains. The language's form of a parser is `ReadS a`, a function from
// the input to the list of (value, rest) pairs; `ReadP a` has the same form here. In C++ a parser
// is a `Parser`, which also receives a precedence: the parsers of this module ignore it, the
// precedence layer (ReadPrec.h) passes it on and changes it.
//
// Parsing is eager: a parser runs to the end of what it reads and collects its parses in a
// vector; the values it builds are not evaluated further (a field read by a reader that defers
// its work stays deferred). Repetition (`many`, `sepBy`, lists) runs as a loop over the open
// parses, so long inputs run in constant stack; nesting (parentheses, nested values) recurses
// and raises the runtime's "stack overflow" when it goes too deep.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "VUX/Internal/Text/Read/Lex.h"
#include "rts/rts.h"

namespace VUX::Internal::Text::ParserCombinators::ReadP {

using rts::Value;
namespace Lex = VUX::Internal::Text::Read::Lex;

// One parse: the value read and the input after it.
struct Parse {
    Value value;
    Value rest;
};
using Parses = std::vector<Parse>;

// What a parser does: appends every parse of `input` at precedence `prec` to `out`.
using Run = std::function<void(int64_t prec, const Value& input, Parses& out)>;

class Parser {
  public:
    Parser() = default;  // fails on every input
    explicit Parser(Run run) : run_(std::make_shared<const Run>(std::move(run))) {}
    void run(int64_t prec, const Value& input, Parses& out) const {
        rts::stack_check();
        if (run_) (*run_)(prec, input, out);
    }
    Parses parse(int64_t prec, const Value& input) const {
        Parses out;
        run(prec, input, out);
        return out;
    }

  private:
    std::shared_ptr<const Run> run_;
};

// ---------------------------------------------------------------------------------------------
// Building blocks

Parser pfail();
// `return x`: x without reading anything.
Parser result(Value x);
// `p +++ q`: the parses of both. `p <++ q`: the parses of p, or of q when p has none.
Parser alt(Parser p, Parser q);
Parser leftAlt(Parser p, Parser q);
// Every parse of p, its value mapped by f (a C++ function of the value).
Parser fmap(std::function<Value(const Value&)> f, Parser p);
// `p >>= k`: each parse of p continued by the parser k gives for its value.
Parser bind(Parser p, std::function<Parser(const Value&)> k);
// `p >> q` keeping q's value, and keeping p's value.
Parser then(Parser p, Parser q);
Parser before(Parser p, Parser q);

// `get`: one character. `look`: the whole remaining input, read nothing. `eof`: unit at the end.
Parser get();
Parser look();
Parser eof();
// `satisfy p`, `char c`, `string s`: characters that match.
Parser satisfy(std::function<bool(uint32_t)> pred);
Parser char_(uint32_t c);
Parser string(std::string_view s);
// `munch p`: the longest run of matching characters (possibly empty); `munch1` at least one.
Parser munch(std::function<bool(uint32_t)> pred);
Parser munch1(std::function<bool(uint32_t)> pred);
// `skipSpaces`: unit after the leading white space.
Parser skipSpaces();
// `many p`: every number of repetitions, 0 first; `many1 p` at least one; the values as a list.
Parser many(Parser p);
Parser many1(Parser p);
// `sepBy p sep`, `sepBy1`: repetitions of p separated by sep, as a list.
Parser sepBy(Parser p, Parser sep);
Parser sepBy1(Parser p, Parser sep);
// `sepBy1 p sep` followed by `end`, the list of p's values (cheaper than `sepBy1` then `end`: a
// list is built only for the counts that `end` closes).
Parser sepBy1Till(Parser p, Parser sep, Parser end);
// `between open close p`, `option x p` (x, or p), `optional p` (unit with or without p).
Parser between(Parser open, Parser close, Parser p);
Parser option(Value x, Parser p);
Parser optional(Parser p);
// `choice ps`: the parses of all.
Parser choice(std::vector<Parser> ps);

// The lexer: one lexeme (as a language `Lexeme`), and `expect l`: unit when the next lexeme is l.
Parser lexeme();
Parser expect(Lex::Token l);
// The C++ token of the next lexeme, for readers that dispatch on it without building a value;
// the parse's value is empty and `k` receives the token.
Parser withToken(std::function<Parser(const Lex::Token&)> k);

// ---------------------------------------------------------------------------------------------
// Language values

// The list of (value, rest) pairs of some parses, and back.
Value parsesToList(const Parses& ps);
void listToParses(const Value& list, Parses& out);

// `readP_to_S p`: the parser as a ReadS function (input -> [(value, rest)]).
Value readP_to_S(const Parser& p);
// `readS_to_P f`: the parser of a ReadS function. The function is not evaluated until the parser
// runs, so a record may hold a reader that refers to itself.
Parser readS_to_P(Value f);

}  // namespace VUX::Internal::Text::ParserCombinators::ReadP
