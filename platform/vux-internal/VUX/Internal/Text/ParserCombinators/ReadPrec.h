// The precedence layer over the parsers of ReadP.h.
//
// A `ReadPrec a` reads at a surrounding precedence: its language form is a function of two
// arguments, the precedence (an Int) and the input, giving the list of (value, rest) pairs. In C++
// it is a ReadP `Parser`, whose precedence argument these combinators set:
//   prec n p   fails when the surrounding precedence is above n, else runs p at n
//   step p     runs p one precedence higher
//   reset p    runs p at the lowest precedence (`minPrec`, 0)
//   lift p     runs the ReadP parser p whatever the precedence
#pragma once

#include <cstdint>

#include "VUX/Internal/Text/ParserCombinators/ReadP.h"
#include "rts/rts.h"

namespace VUX::Internal::Text::ParserCombinators::ReadPrec {

using ReadP::Parser;
using rts::Value;

inline constexpr int64_t minPrec = 0;

Parser prec(int64_t n, Parser p);
Parser step(Parser p);
Parser reset(Parser p);
Parser lift(Parser p);
// `get`, `look`, `pfail`, `+++`, `<++` are those of ReadP, lifted: a ReadP parser already
// passes its precedence on unchanged.

// The language value of a parser (precedence -> input -> [(value, rest)]), and the parser of such
// a value. The value is not evaluated until the parser runs.
Value toReadPrec(const Parser& p);
Parser fromReadPrec(Value readPrec);
// Runs a ReadPrec value at precedence d (a parser made in C++ directly, any other function through
// its list of parses).
void runReadPrec(const Value& readPrec, int64_t d, const Value& input, ReadP::Parses& out);

// `readPrec_to_S p n`: the ReadS function of a ReadPrec value at precedence n.
Value readPrec_to_S(const Value& readPrec, int64_t n);
// `readS_to_Prec f`: the parser of a function from a precedence to a ReadS function.
Parser readS_to_Prec(Value f);

// A static ReadPrec value that runs a parser made once by `make` (a function returning the same
// parser on every call). The C++ readers recognise it and call the parser directly.
struct ParserFunInfo {
    rts::FunInfo info;
    const Parser& (*make)();
};
Value runParserFun(rts::Object* self, const Value* args);
struct alignas(16) StaticParserFun {
    ParserFunInfo info;
    rts::FunObject obj;
    constexpr explicit StaticParserFun(const Parser& (*make)())
        : info{{&runParserFun, nullptr, sizeof(rts::FunObject), 2}, make}, obj(0, &info.info) {}
    StaticParserFun(const StaticParserFun&) = delete;
    Value value() const { return Value::adopt(object()); }
    constexpr rts::Object* object() const { return const_cast<rts::Object*>(&obj.header); }
};

}  // namespace VUX::Internal::Text::ParserCombinators::ReadPrec
