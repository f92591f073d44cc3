#include "Text/Printf.h"

#include <cstdio>
#include <string>

#include "VUX/Internal/Err.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/List.h"
#include "VUX/Num/BigNat.h"
#include "VUX/Num/Integer.h"
#include "VUX/Types.h"

namespace Text::Printf {

namespace List = VUX::Internal::List;
using namespace VUX::Types;
using rts::force;
using Text = std::u32string;

namespace {

[[noreturn]] void failure(const std::string& what) {
    VUX::Internal::Err::errorWithoutStackTrace(List::fromBytes("printf: " + what));
}

struct Directive {
    bool left = false, plus = false, space = false, zero = false, alt = false;
    int width = -1, precision = -1;
    char32_t conversion = 0;
};

Text ascii(const std::string& s) { return Text(s.begin(), s.end()); }

// Digits of a magnitude given as 64-bit limbs (least significant first) in base 2, 8 or 16.
std::string powerOfTwoDigits(const std::vector<uint64_t>& limbs, int bitsPerDigit, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    size_t totalBits = limbs.size() * 64;
    std::string out;
    for (size_t bit = 0; bit < totalBits; bit += static_cast<size_t>(bitsPerDigit)) {
        unsigned d = 0;
        for (int k = 0; k < bitsPerDigit && bit + static_cast<size_t>(k) < totalBits; ++k) {
            size_t b = bit + static_cast<size_t>(k);
            d |= static_cast<unsigned>((limbs[b / 64] >> (b % 64)) & 1) << k;
        }
        out += digits[d];
    }
    while (out.size() > 1 && out.back() == '0') out.pop_back();
    if (out.empty()) out = "0";
    return std::string(out.rbegin(), out.rend());
}

// An integer argument as sign and magnitude (limbs); bounded types give their two's complement
// at their width for the unsigned conversions.
struct Integral {
    bool negative = false;
    std::vector<uint64_t> limbs;  // magnitude
    Value integer;                // the Integer, for decimal digits
};

Integral integralOf(const PrintfArg& a, bool unsignedConversion) {
    Integral r;
    const Value& v = force(a.value);
    int64_t n = 0;
    uint64_t bits = 64;
    switch (a.type) {
        case PrintfArg::Type::Int: n = intOf(v); break;
        case PrintfArg::Type::Int32:
            n = static_cast<int32_t>(intOf(v));
            bits = 32;
            break;
        case PrintfArg::Type::Char: n = charOf(v); break;
        case PrintfArg::Type::Word: {
            uint64_t w = wordOf(v);
            r.limbs = {w};
            r.integer = VUX::Num::Integer::integerFromWord_hash(w);
            return r;
        }
        case PrintfArg::Type::Integer: {
            auto [sign, magnitude] = VUX::Num::Integer::integerToBigNatSign_hash(v);
            r.negative = sign != 0;
            uint64_t size = VUX::Num::BigNat::bigNatSize_hash(magnitude);
            for (uint64_t i = 0; i < size; ++i)
                r.limbs.push_back(VUX::Num::BigNat::bigNatIndex_hash(magnitude, static_cast<int64_t>(i)));
            if (r.limbs.empty()) r.limbs = {0};
            r.integer = v;
            return r;
        }
        default: failure("bad argument");
    }
    if (unsignedConversion && n < 0) {
        uint64_t u = static_cast<uint64_t>(n);
        if (bits < 64) u &= (uint64_t(1) << bits) - 1;
        r.limbs = {u};
        r.integer = VUX::Num::Integer::integerFromWord_hash(u);
        return r;
    }
    r.negative = n < 0;
    r.limbs = {n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n)};
    r.integer = VUX::Num::Integer::IS(n);
    return r;
}

// Pads `body` (after its sign or prefix `lead`) to the width.
Text pad(const Directive& s, const Text& lead, Text body, bool numeric) {
    size_t width = s.width < 0 ? 0 : static_cast<size_t>(s.width);
    size_t len = lead.size() + body.size();
    if (len >= width) return lead + body;
    Text fill(width - len, numeric && s.zero && !s.left ? U'0' : U' ');
    if (s.left) return lead + body + Text(width - len, U' ');
    if (numeric && s.zero) return lead + fill + body;
    return fill + lead + body;
}

Text formatIntegral(const Directive& s, const PrintfArg& a) {
    char32_t c = s.conversion;
    bool isUnsigned = c == U'u' || c == U'x' || c == U'X' || c == U'o' || c == U'b';
    Integral n = integralOf(a, isUnsigned);
    std::string digits;
    std::string prefix;
    bool nonZero = n.limbs.size() > 1 || n.limbs[0] != 0;
    switch (c) {
        case U'x':
        case U'X':
            digits = powerOfTwoDigits(n.limbs, 4, c == U'X');
            if (s.alt && nonZero) prefix = c == U'x' ? "0x" : "0X";
            break;
        case U'o':
            digits = powerOfTwoDigits(n.limbs, 3, false);
            if (s.alt && nonZero) prefix = "0";
            break;
        case U'b':
            digits = powerOfTwoDigits(n.limbs, 1, false);
            if (s.alt && nonZero) prefix = "0b";
            break;
        default: {
            digits = VUX::Num::Integer::integerToDecimal(n.integer);
            if (!digits.empty() && digits[0] == '-') digits.erase(0, 1);
        }
    }
    if (s.precision >= 0 && digits.size() < static_cast<size_t>(s.precision))
        digits.insert(0, static_cast<size_t>(s.precision) - digits.size(), '0');
    std::string sign = n.negative ? "-" : (s.plus ? "+" : (s.space ? " " : ""));
    Directive padding = s;
    if (s.precision >= 0) padding.zero = false;
    return pad(padding, ascii(sign + prefix), ascii(digits), true);
}

Text formatDouble(const Directive& s, const PrintfArg& a) {
    if (a.type != PrintfArg::Type::Double) failure("bad argument");
    double d = doubleOf(force(a.value));
    char conv = s.conversion == U'v' ? 'g' : static_cast<char>(s.conversion);
    std::string fmt = "%";
    if (s.plus) fmt += '+';
    if (s.space) fmt += ' ';
    if (s.alt) fmt += '#';
    if (s.precision >= 0) fmt += "." + std::to_string(s.precision);
    fmt += conv;
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt.c_str(), d);
    std::string text = buf;
    std::string sign;
    if (!text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) {
        sign = text.substr(0, 1);
        text.erase(0, 1);
    }
    return pad(s, ascii(sign), ascii(text), true);
}

Text codePoints(const Value& chars) {
    Text out;
    Value cur = chars;
    for (;;) {
        const Value& cell = force(cur);
        if (cell->tag == Nil_tag) return out;
        out += static_cast<char32_t>(charOf(force(rts::field(cell, 0))));
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
}

Text formatOne(const Directive& s, const PrintfArg& a) {
    using T = PrintfArg::Type;
    char32_t c = s.conversion;
    if (c == U'v') {
        if (a.type == T::Char)
            c = U'c';
        else if (a.type == T::String)
            c = U's';
        else if (a.type == T::Double)
            c = U'g';
        else
            c = U'd';
    }
    Directive directive = s;
    directive.conversion = c;
    switch (c) {
        case U'c':
            if (a.type != T::Char) failure("bad argument");
            return pad(directive, Text(), Text(1, static_cast<char32_t>(charOf(force(a.value)))), false);
        case U's': {
            if (a.type != T::String) failure("bad argument");
            Text str = codePoints(a.value);
            if (s.precision >= 0 && str.size() > static_cast<size_t>(s.precision))
                str.resize(static_cast<size_t>(s.precision));
            return pad(directive, Text(), str, false);
        }
        case U'e':
        case U'f':
        case U'g': return formatDouble(directive, a);
        case U'd':
        case U'i':
        case U'u':
        case U'x':
        case U'X':
        case U'o':
        case U'b':
            if (a.type == T::Double || a.type == T::String) failure("bad argument");
            return formatIntegral(directive, a);
        default: {
            std::string shown =
                "'" + List::toUtf8(List::fromBytes(std::string(1, static_cast<char>(c)))) + "'";
            failure("bad formatting char " + shown);
        }
    }
}

// Reads a directive's flags, width and precision from `fmt` at `i` (after the '%').
Directive readDirective(const Text& fmt, size_t& i) {
    Directive s;
    for (; i < fmt.size(); ++i) {
        char32_t c = fmt[i];
        if (c == U'-')
            s.left = true;
        else if (c == U'+')
            s.plus = true;
        else if (c == U' ')
            s.space = true;
        else if (c == U'0')
            s.zero = true;
        else if (c == U'#')
            s.alt = true;
        else
            break;
    }
    auto number = [&] {
        int n = 0;
        while (i < fmt.size() && fmt[i] >= U'0' && fmt[i] <= U'9' && n < 100000)
            n = n * 10 + static_cast<int>(fmt[i++] - U'0');
        return n;
    };
    if (i < fmt.size() && fmt[i] >= U'1' && fmt[i] <= U'9') s.width = number();
    if (i < fmt.size() && fmt[i] == U'.') {
        ++i;
        s.precision = number();
    }
    if (i >= fmt.size()) failure("formatting string ended prematurely");
    s.conversion = fmt[i++];
    return s;
}

Text format(const Value& formatChars, const std::vector<PrintfArg>& args) {
    Text fmt = codePoints(formatChars);
    Text out;
    size_t next = 0;
    for (size_t i = 0; i < fmt.size();) {
        if (fmt[i] != U'%') {
            out += fmt[i++];
            continue;
        }
        ++i;
        if (i < fmt.size() && fmt[i] == U'%') {
            out += U'%';
            ++i;
            continue;
        }
        Directive s = readDirective(fmt, i);
        if (next >= args.size()) failure("argument list ended prematurely");
        out += formatOne(s, args[next++]);
    }
    if (next < args.size()) failure("formatting string ended prematurely");
    return out;
}

Value toList(const Text& t) {
    List::ListBuilder b;
    for (char32_t c : t) b.pushChar(static_cast<uint32_t>(c));
    return b.finish(Nil());
}

}  // namespace

Value printf(Value formatChars, std::vector<PrintfArg> args) {
    return rts::delay([formatChars, args = std::move(args)] { return toList(format(formatChars, args)); });
}

Value hPrintf(Value handle, Value formatChars, std::vector<PrintfArg> args) {
    return VUX::Internal::Handle::hPutStr(std::move(handle), printf(std::move(formatChars), std::move(args)));
}

}  // namespace Text::Printf
