#include "VUX/Internal/Text/Read/Lex.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "VUX/Internal/List.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::Text::Read::Lex {

using namespace VUX::Types;
using List::fromBytes;
using rts::force;
namespace I = VUX::Num::Integer;

constinit const rts::StaticNullary EOF_closure{EOF_tag};

namespace {

// A position in a character list. Cells are borrowed from the list the reader was given, which
// the caller holds for the whole read, so walking costs no reference counting.
class Cursor {
  public:
    explicit Cursor(const Value& list) : pos_(&list) { load(); }
    bool end() const { return cell_ == nullptr; }
    uint32_t ch() const { return ch_; }
    void advance() {
        pos_ = &rts::field(*cell_, 1);
        load();
    }
    // The character after the current one (0 at the end), without moving.
    uint32_t peekNext() const {
        Cursor c = *this;
        c.advance();
        return c.end() ? 0 : c.ch();
    }
    Value rest() const { return *pos_; }

  private:
    void load() {
        const Value& c = force(*pos_);
        if (c->tag == Nil_tag) {
            cell_ = nullptr;
            return;
        }
        cell_ = &c;
        ch_ = charOf(force(rts::field(c, 0)));
    }
    const Value* pos_;
    const Value* cell_ = nullptr;
    uint32_t ch_ = 0;
};

bool isSpace(uint32_t c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0xA0; }
bool isDigit(uint32_t c) { return c >= '0' && c <= '9'; }
bool isOctDigit(uint32_t c) { return c >= '0' && c <= '7'; }
bool isHexDigit(uint32_t c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isAlpha(uint32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isIdStart(uint32_t c) { return isAlpha(c) || c == '_'; }
bool isIdChar(uint32_t c) { return isAlpha(c) || isDigit(c) || c == '_' || c == '\''; }
bool isPuncChar(uint32_t c) {
    return c < 128 && c != 0 && std::strchr(",;()[]{}`", static_cast<int>(c)) != nullptr;
}
bool isSymbolChar(uint32_t c) {
    return c < 128 && c != 0 && std::strchr("!@#$%&*+./<=>?\\^|:-~", static_cast<int>(c)) != nullptr;
}
uint32_t digitValue(uint32_t c) {
    if (isDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}

void skipWhite(Cursor& c) {
    while (!c.end() && isSpace(c.ch())) c.advance();
}

template <class Pred>
void munchInto(Cursor& c, std::string& text, Pred pred) {
    while (!c.end() && pred(c.ch())) {
        text.push_back(static_cast<char>(c.ch()));
        c.advance();
    }
}

constexpr uint32_t kMaxChar = 0x10FFFF;

// The ASCII control names of escapes, with their codes ("SOH" is tried before "SO").
struct AsciiName {
    const char* name;
    uint32_t code;
};
constexpr AsciiName kAsciiNames[] = {
    {"NUL", 0},  {"SOH", 1},  {"STX", 2},  {"ETX", 3},  {"EOT", 4},  {"ENQ", 5},   {"ACK", 6},
    {"BEL", 7},  {"DLE", 16}, {"DC1", 17}, {"DC2", 18}, {"DC3", 19}, {"DC4", 20},  {"NAK", 21},
    {"SYN", 22}, {"ETB", 23}, {"CAN", 24}, {"SUB", 26}, {"ESC", 27}, {"DEL", 127}, {"BS", 8},
    {"HT", 9},   {"LF", 10},  {"VT", 11},  {"FF", 12},  {"CR", 13},  {"SO", 14},   {"SI", 15},
    {"EM", 25},  {"FS", 28},  {"GS", 29},  {"RS", 30},  {"US", 31},  {"SP", 32}};

// A numeric escape in the given base (at least one digit); -1 when above the largest character.
int64_t numericEscape(Cursor& c, uint32_t base) {
    auto isBaseDigit = [base](uint32_t ch) {
        return base == 8 ? isOctDigit(ch) : base == 16 ? isHexDigit(ch) : isDigit(ch);
    };
    if (c.end() || !isBaseDigit(c.ch())) return -1;
    uint64_t v = 0;
    bool tooBig = false;
    while (!c.end() && isBaseDigit(c.ch())) {
        v = v * base + digitValue(c.ch());
        if (v > kMaxChar) {
            tooBig = true;
            v = kMaxChar + 1;
        }
        c.advance();
    }
    return tooBig ? -1 : static_cast<int64_t>(v);
}

// The character of an escape whose backslash is already read; -1 when it is not an escape.
int64_t escape(Cursor& c) {
    if (c.end()) return -1;
    uint32_t ch = c.ch();
    static constexpr char kSingle[] = "abfnrtv\\\"'";
    static constexpr uint32_t kSingleCodes[] = {7, 8, 12, 10, 13, 9, 11, '\\', '"', '\''};
    for (size_t i = 0; kSingle[i]; ++i) {
        if (ch == static_cast<uint32_t>(kSingle[i])) {
            c.advance();
            return kSingleCodes[i];
        }
    }
    if (ch == '^') {
        c.advance();
        if (c.end() || c.ch() < '@' || c.ch() > '_') return -1;
        uint32_t code = c.ch() - '@';
        c.advance();
        return code;
    }
    if (isDigit(ch)) return numericEscape(c, 10);
    if (ch == 'o' || ch == 'x') {
        c.advance();
        return numericEscape(c, ch == 'o' ? 8 : 16);
    }
    // An ASCII name: the longest name that the next characters spell.
    char ahead[4] = {};
    Cursor probe = c;
    for (int i = 0; i < 3 && !probe.end() && probe.ch() < 128; ++i, probe.advance())
        ahead[i] = static_cast<char>(probe.ch());
    for (const AsciiName& n : kAsciiNames) {
        size_t len = std::strlen(n.name);
        if (std::strncmp(ahead, n.name, len) == 0) {
            for (size_t i = 0; i < len; ++i) c.advance();
            return n.code;
        }
    }
    return -1;
}

bool lexCharLiteral(Cursor& c, Token& tok) {
    c.advance();  // the opening quote
    if (c.end() || c.ch() == '\'') return false;
    int64_t code;
    if (c.ch() == '\\') {
        c.advance();
        code = escape(c);
        if (code < 0) return false;
    } else {
        code = c.ch();
        c.advance();
    }
    if (c.end() || c.ch() != '\'') return false;
    c.advance();
    tok.kind = Char_tag;
    tok.value = List::boxChar(static_cast<uint32_t>(code));
    return true;
}

bool lexStringLiteral(Cursor& c, Token& tok) {
    c.advance();  // the opening quote
    List::ListBuilder chars;
    for (;;) {
        if (c.end()) return false;
        uint32_t ch = c.ch();
        if (ch == '"') break;
        if (ch != '\\') {
            chars.pushChar(ch);
            c.advance();
            continue;
        }
        c.advance();
        if (c.end()) return false;
        if (c.ch() == '&') {  // the empty escape
            c.advance();
            continue;
        }
        if (isSpace(c.ch())) {  // a gap: white space up to the next backslash
            skipWhite(c);
            if (c.end() || c.ch() != '\\') return false;
            c.advance();
            continue;
        }
        int64_t code = escape(c);
        if (code < 0) return false;
        chars.pushChar(static_cast<uint32_t>(code));
    }
    c.advance();  // the closing quote
    tok.kind = String_tag;
    tok.value = chars.finish(Nil());
    return true;
}

void lexNumber(Cursor& c, std::string& text) {
    uint32_t marker = c.peekNext() | 0x20;
    if (c.ch() == '0' && (marker == 'x' || marker == 'o')) {
        Cursor probe = c;
        probe.advance();
        uint32_t m = probe.ch();
        probe.advance();
        auto digit = marker == 'x' ? isHexDigit : isOctDigit;
        if (!probe.end() && digit(probe.ch())) {
            text.push_back('0');
            text.push_back(static_cast<char>(m));
            c = probe;
            munchInto(c, text, digit);
            return;
        }
    }
    munchInto(c, text, isDigit);
    if (!c.end() && c.ch() == '.' && isDigit(c.peekNext())) {
        text.push_back('.');
        c.advance();
        munchInto(c, text, isDigit);
    }
    if (!c.end() && (c.ch() | 0x20) == 'e') {
        Cursor probe = c;
        std::string exp(1, static_cast<char>(probe.ch()));
        probe.advance();
        if (!probe.end() && (probe.ch() == '-' || probe.ch() == '+')) {
            exp.push_back(static_cast<char>(probe.ch()));
            probe.advance();
        }
        if (!probe.end() && isDigit(probe.ch())) {
            munchInto(probe, exp, isDigit);
            text += exp;
            c = probe;
        }
    }
}

bool isReservedOp(std::string_view s) {
    static constexpr std::string_view kReserved[] = {"..", "::", "=", "\\", "|", "<-", "->", "@", "~", "=>"};
    for (std::string_view r : kReserved)
        if (s == r) return true;
    return false;
}

}  // namespace

bool lexToken(const Value& input, Token& tok, Value& rest) {
    Cursor c(input);
    skipWhite(c);
    tok.text.clear();
    tok.value = Value();
    if (c.end()) {
        tok.kind = EOF_tag;
        rest = c.rest();
        return true;
    }
    uint32_t ch = c.ch();
    if (isPuncChar(ch)) {
        tok.kind = Punc_tag;
        tok.text.push_back(static_cast<char>(ch));
        c.advance();
    } else if (ch == '\'') {
        if (!lexCharLiteral(c, tok)) return false;
    } else if (ch == '"') {
        if (!lexStringLiteral(c, tok)) return false;
    } else if (isIdStart(ch)) {
        tok.kind = Ident_tag;
        munchInto(c, tok.text, isIdChar);
    } else if (isSymbolChar(ch)) {
        munchInto(c, tok.text, isSymbolChar);
        tok.kind = isReservedOp(tok.text) ? Punc_tag : Symbol_tag;
    } else if (isDigit(ch)) {
        tok.kind = Number_tag;
        lexNumber(c, tok.text);
    } else {
        return false;
    }
    rest = c.rest();
    return true;
}

Value skipSpaces(const Value& input) {
    Cursor c(input);
    skipWhite(c);
    return c.rest();
}

bool onlySpaces(const Value& input) {
    Cursor c(input);
    skipWhite(c);
    return c.end();
}

Value lexemeValue(const Token& tok) {
    switch (tok.kind) {
        case Char_tag: return Char(tok.value);
        case String_tag: return String(tok.value);
        case EOF_tag: return EOF_();
        default: return rts::con(tok.kind, fromBytes(tok.text));
    }
}

Token tokenOf(const Value& lexeme) {
    const Value& l = force(lexeme);
    Token tok;
    tok.kind = l->tag;
    if (l->tag == Char_tag || l->tag == String_tag)
        tok.value = rts::field(l, 0);
    else if (l->tag != EOF_tag)
        tok.text = List::toUtf8(rts::field(l, 0));
    return tok;
}

bool sameLexeme(const Token& a, const Token& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == Char_tag) return charOf(force(a.value)) == charOf(force(b.value));
    if (a.kind == String_tag) return List::eqString(a.value, b.value);
    return a.text == b.text;
}

// ---------------------------------------------------------------------------------------------
// Numbers

namespace {

struct Radix {
    uint32_t base;
    std::string_view digits;  // without the 0x/0o prefix
};

// The base and digits of an integral literal; nullopt for one with a fraction or exponent.
std::optional<Radix> integralDigits(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] | 0x20) == 'x') return Radix{16, text.substr(2)};
    if (text.size() > 2 && text[0] == '0' && (text[1] | 0x20) == 'o') return Radix{8, text.substr(2)};
    if (text.find_first_of(".eE") != std::string_view::npos) return std::nullopt;
    return Radix{10, text};
}

}  // namespace

std::optional<uint64_t> numberToWord64(std::string_view text) {
    auto r = integralDigits(text);
    if (!r) return std::nullopt;
    uint64_t v = 0;
    for (char ch : r->digits) v = v * r->base + digitValue(static_cast<unsigned char>(ch));
    return v;
}

std::optional<Value> numberToInteger(std::string_view text) {
    auto r = integralDigits(text);
    if (!r) return std::nullopt;
    if (r->base == 10) return I::integerFromDecimal(r->digits);
    // Hexadecimal and octal: 60 bits at a time.
    const size_t chunk = r->base == 16 ? 15 : 20;
    Value acc = I::IS(0);
    std::string_view ds = r->digits;
    while (!ds.empty()) {
        size_t n = std::min(chunk, ds.size());
        int64_t part = 0;
        for (size_t i = 0; i < n; ++i) part = part * r->base + digitValue(static_cast<unsigned char>(ds[i]));
        acc = I::integerAdd(I::integerMul(acc, I::IS(int64_t(1) << (n * (r->base == 16 ? 4 : 3)))),
                            I::IS(part));
        ds.remove_prefix(n);
    }
    return acc;
}

namespace {

// Whether a decimal literal that does not fit the format is too large (rather than too small).
bool decimalOverflows(std::string_view text) {
    size_t e = text.find_first_of("eE");
    std::string_view mantissa = text.substr(0, e);
    int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view ex = text.substr(e + 1);
        bool neg = !ex.empty() && ex[0] == '-';
        if (!ex.empty() && (ex[0] == '-' || ex[0] == '+')) ex.remove_prefix(1);
        for (char ch : ex) {
            exponent = exponent * 10 + (ch - '0');
            if (exponent > (int64_t(1) << 40)) break;
        }
        if (neg) exponent = -exponent;
    }
    // The position of the first non-zero digit relative to the decimal point.
    size_t dot = mantissa.find('.');
    std::string_view whole = mantissa.substr(0, dot);
    size_t firstNonZero = whole.find_first_not_of('0');
    int64_t magnitude;
    if (firstNonZero != std::string_view::npos) {
        magnitude = static_cast<int64_t>(whole.size() - firstNonZero);
    } else {
        std::string_view frac = dot == std::string_view::npos ? std::string_view() : mantissa.substr(dot + 1);
        size_t nz = frac.find_first_not_of('0');
        if (nz == std::string_view::npos) return false;  // zero
        magnitude = -static_cast<int64_t>(nz);
    }
    return magnitude + exponent > 0;
}

template <class T>
T numberTo(std::string_view text) {
    if (auto r = integralDigits(text); r && r->base != 10) {
        Value i = *numberToInteger(text);
        if constexpr (std::is_same_v<T, double>)
            return I::integerToDouble_hash(i);
        else
            return I::integerToFloat_hash(i);
    }
    T x{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), x);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        return decimalOverflows(text) ? std::numeric_limits<T>::infinity() : T(0);
    return x;
}

}  // namespace

double numberToDouble(std::string_view text) { return numberTo<double>(text); }
float numberToFloat(std::string_view text) { return numberTo<float>(text); }

// ---------------------------------------------------------------------------------------------
// The language's lex

Value lex(const Value& input) {
    Token tok;
    Value rest;
    if (!lexToken(input, tok, rest)) return Nil();
    return Cons(VUX::Tuple::Tuple2(lexemeValue(tok), std::move(rest)), Nil());
}

constinit const rts::StaticFun lex_closure{rts::static_fun_info<&lex>};

}  // namespace VUX::Internal::Text::Read::Lex
