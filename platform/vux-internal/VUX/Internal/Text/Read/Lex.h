// The lexer of the standard text forms.
//
// Input is a character list. White space (space, tab, newline, carriage return, form feed,
// vertical tab, no-break space) is skipped before every lexeme. The lexemes:
//   Char    a character literal 'c' with the escapes of the written form
//   String  a string literal "..." with those escapes, plus "\&" (read as nothing) and gaps
//           (white space between two backslashes, read as nothing)
//   Punc    one of , ; ( ) [ ] { } and the backquote, or a reserved operator
//           (.. :: = \ | <- -> @ ~ =>)
//   Ident   a letter or '_', then letters, digits, '_' and '\''
//   Symbol  a run of !@#$%&*+./<=>?\^|:-~ that is not a reserved operator
//   Number  decimal digits with an optional fraction (".digits") and exponent ("e", optional
//           sign, digits), or 0x/0X hexadecimal and 0o/0O octal digits
//   EOF     the end of the input
// Letters and digits are ASCII: any other character outside a literal starts no lexeme, and the
// lexer gives no parse there. Every lexeme is read whole (longest match), so the lexer is
// deterministic: at most one lexeme at any position.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rts/rts.h"

namespace VUX::Internal::Text::Read::Lex {

using rts::Value;

// The lexeme type, constructors in declaration order. Char holds a boxed character, String a
// character list, Number its literal text, the others their text as a character list.
inline constexpr uint8_t Char_tag = 0;
inline constexpr uint8_t String_tag = 1;
inline constexpr uint8_t Punc_tag = 2;
inline constexpr uint8_t Ident_tag = 3;
inline constexpr uint8_t Symbol_tag = 4;
inline constexpr uint8_t Number_tag = 5;
inline constexpr uint8_t EOF_tag = 6;
inline Value Char(Value c) { return rts::con(Char_tag, std::move(c)); }
inline Value String(Value s) { return rts::con(String_tag, std::move(s)); }
inline Value Punc(Value s) { return rts::con(Punc_tag, std::move(s)); }
inline Value Ident(Value s) { return rts::con(Ident_tag, std::move(s)); }
inline Value Symbol(Value s) { return rts::con(Symbol_tag, std::move(s)); }
inline Value Number(Value s) { return rts::con(Number_tag, std::move(s)); }
extern const rts::StaticNullary EOF_closure;
inline Value EOF_() { return EOF_closure.value(); }

// A lexeme as the C++ readers see it: its kind (a tag above), its text (Punc, Ident, Symbol,
// Number; ASCII) and its value (Char: the boxed character; String: the character list).
struct Token {
    uint8_t kind = EOF_tag;
    std::string text;
    Value value;
};

// Reads the lexeme at the front of `input` (after white space) into `tok`, and the text after it
// into `rest`. False when no lexeme starts there (a bad character or escape, an unterminated
// literal); `tok` and `rest` are then unspecified.
bool lexToken(const Value& input, Token& tok, Value& rest);
// The input after its leading white space.
Value skipSpaces(const Value& input);
// Whether `input` holds nothing but white space.
bool onlySpaces(const Value& input);

// The language value of a token, and the token of an evaluated lexeme value.
Value lexemeValue(const Token& tok);
Token tokenOf(const Value& lexeme);
// Whether two tokens are the same lexeme (strings and characters compared by value).
bool sameLexeme(const Token& a, const Token& b);

// Number lexemes. `numberToInteger` gives the value of an integral literal (decimal, hexadecimal
// or octal, no fraction or exponent) as an Integer; `numberToDouble` and `numberToFloat` the
// nearest value of any numeric literal (huge exponents give infinity or zero).
std::optional<Value> numberToInteger(std::string_view text);
double numberToDouble(std::string_view text);
float numberToFloat(std::string_view text);
// The value of a decimal or hexadecimal/octal integral literal modulo 2^64 (the low 64 bits),
// without building an Integer; nullopt for a literal with a fraction or exponent.
std::optional<uint64_t> numberToWord64(std::string_view text);

// `lex`: the ReadP parser of one lexeme, as a language value: input -> [(Lexeme, rest)].
extern const rts::StaticFun lex_closure;
Value lex(const Value& input);

}  // namespace VUX::Internal::Text::Read::Lex
