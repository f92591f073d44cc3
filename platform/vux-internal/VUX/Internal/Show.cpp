#include "VUX/Internal/Show.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "Data/Either.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Tuple.h"

namespace VUX::Internal::Show {

using namespace VUX::Types;
using List::boxChar;
using List::prependBytes;
using rts::force;

namespace {
template <size_t... I>
constexpr std::array<rts::StaticCon<0, 1>, sizeof...(I)> make_ints(std::index_sequence<I...>) {
    return {rts::StaticCon<0, 1>(I_hash_tag, rts::word_slot(I))...};
}
constinit const std::array<rts::StaticCon<0, 1>, 12> prec_boxes = make_ints(std::make_index_sequence<12>{});

inline Value consChar(uint32_t c, Value s) { return Cons(boxChar(c), std::move(s)); }
}  // namespace

Value precBox(int64_t d) {
    if (d >= 0 && d < 12) return prec_boxes[static_cast<size_t>(d)].value();
    return I_hash(d);
}

Value showsPrec(const Value& dShow, int64_t d, const Value& x, Value s) {
    return rts::apply(showsPrec(dShow), precBox(d), x, s);
}
Value show(const Value& dShow, const Value& x) { return rts::apply(show(dShow), x); }
Value showList(const Value& dShow, const Value& xs, Value s) { return rts::apply(showList(dShow), xs, s); }

Value showsPrecS(const Value& dShow, int64_t d, Value x) { return rts::apply(showsPrec(dShow), precBox(d), x); }

Value showRecord(Value sp) {
    Value show = rts::fun<1>([sp](const Value& x) { return rts::apply(sp, precBox(0), x, Nil()); });
    Value showList = rts::fun<2>([sp](const Value& xs, const Value& s) {
        return showList__(rts::apply(sp, precBox(0)), xs, s);
    });
    return C_Show(std::move(sp), std::move(show), std::move(showList));
}

Value default_show(const Value& dShow, const Value& x) { return showsPrec(dShow, 0, x, Nil()); }
Value default_showList(const Value& dShow, const Value& xs, const Value& s) { return showListOfRecord(dShow, xs, s); }

// ---------------------------------------------------------------------------------------------
// Machinery

Value showString(Value str, Value s) { return List::op_plus_plus(std::move(str), std::move(s)); }

Value showParen(bool b, const Value& p, Value s) {
    if (!b) return rts::apply(p, s);
    Value inner = rts::delay([p, s]() { return rts::apply(p, consChar(')', s)); });
    return consChar('(', std::move(inner));
}

namespace {
// "," then the next element and the rest, or "]" at the end; produced when reached.
Value showListRest(Value showx, Value xs, Value s) {
    const Value& c = force(xs);
    if (c->tag == Nil_tag) return consChar(']', std::move(s));
    Value rest = rts::delay([showx, t = rts::field(c, 1), s]() { return showListRest(showx, t, s); });
    Value elem = rts::delay([showx, x = rts::field(c, 0), rest]() { return rts::apply(showx, x, rest); });
    return consChar(',', std::move(elem));
}
}  // namespace

Value showList__(Value showx, Value xs, Value s) {
    const Value& c = force(xs);
    if (c->tag == Nil_tag) return prependBytes("[]", std::move(s));
    Value rest = rts::delay([showx, t = rts::field(c, 1), s]() { return showListRest(showx, t, s); });
    Value elem = rts::delay([showx, x = rts::field(c, 0), rest]() { return rts::apply(showx, x, rest); });
    return consChar('[', std::move(elem));
}

Value showListOfRecord(const Value& dShow, Value xs, Value s) {
    return showList__(rts::apply(showsPrec(dShow), precBox(0)), std::move(xs), std::move(s));
}

Value showSpace(Value s) { return consChar(' ', std::move(s)); }
Value showCommaSpace(Value s) { return prependBytes(", ", std::move(s)); }

// ---------------------------------------------------------------------------------------------
// Integral numbers

namespace {
// Writes the decimal digits of v ending at `end`; returns the first digit's position.
char* digitsBackwards(uint64_t v, char* end) {
    do {
        *--end = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    return end;
}
}  // namespace

Value itos(int64_t n, Value s) {
    char buf[24];
    char* end = buf + sizeof buf;
    uint64_t mag = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    char* p = digitsBackwards(mag, end);
    if (n < 0) *--p = '-';
    return prependBytes(std::string_view(p, static_cast<size_t>(end - p)), std::move(s));
}

Value showSignedInt(int64_t d, int64_t n, Value s) {
    if (n < 0 && d > 6) return consChar('(', itos(n, consChar(')', std::move(s))));
    return itos(n, std::move(s));
}

Value showWord(uint64_t w, Value s) {
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = digitsBackwards(w, end);
    return prependBytes(std::string_view(p, static_cast<size_t>(end - p)), std::move(s));
}

// ---------------------------------------------------------------------------------------------
// Characters and strings

namespace {

enum Protect : uint8_t { kNone, kDigit, kLetterH };

struct Escape {
    char text[12];
    uint8_t len;
    Protect protect;  // what must not follow directly (a "\&" goes between)
};

constexpr const char* kAsciiNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "a",  "b",  "t",  "n",
                                         "v",   "f",   "r",   "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                         "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

Escape escapeOf(uint32_t c) {
    Escape e{};
    auto put = [&](const char* t) {
        for (; *t; ++t) e.text[e.len++] = *t;
    };
    if (c > 127) {
        e.text[e.len++] = '\\';
        char buf[12];
        char* end = buf + sizeof buf;
        char* p = digitsBackwards(c, end);
        while (p != end) e.text[e.len++] = *p++;
        e.protect = kDigit;
    } else if (c == 127) {
        put("\\DEL");
    } else if (c == '\\') {
        put("\\\\");
    } else if (c >= 32) {
        e.text[e.len++] = static_cast<char>(c);
    } else {
        e.text[e.len++] = '\\';
        put(kAsciiNames[c]);
        if (c == 14) e.protect = kLetterH;
    }
    return e;
}

// Whether text beginning with character c must be separated from an escape by "\&".
inline bool clashes(Protect p, uint32_t c) {
    return (p == kDigit && c >= '0' && c <= '9') || (p == kLetterH && c == 'H');
}

Value separateIfNeeded(const Value& s, Protect p) {
    const Value& c = force(s);
    if (c->tag == Cons_tag && clashes(p, charOf(force(rts::field(c, 0))))) return prependBytes("\\&", c);
    return c;
}

// s, with "\&" in front when its first character would run into the preceding escape. Checked
// when the text is reached, not before.
Value protectedTail(Value s, Protect p) {
    if (p == kNone) return s;
    if (rts::is_evaluated(s)) {
        const Value& c = force(s);
        if (c->tag == Nil_tag || rts::is_evaluated(rts::field(c, 0))) return separateIfNeeded(s, p);
    }
    return rts::delay([s, p]() { return separateIfNeeded(s, p); });
}

constexpr int kChunk = 64;

// The escaped characters of str (with '"' escaped), then s. `pending` is the protection the
// previous escape asked for.
Value litString(Value str, Value s, Protect pending) {
    List::ListBuilder b;
    Value cur = std::move(str);
    for (int k = 0;; ++k) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return b.finish(protectedTail(std::move(s), pending));
        uint32_t ch = charOf(force(rts::field(c, 0)));
        if (clashes(pending, ch)) {
            b.pushChar('\\');
            b.pushChar('&');
        }
        if (ch == '"') {
            b.pushChar('\\');
            b.pushChar('"');
            pending = kNone;
        } else {
            Escape e = escapeOf(ch);
            for (uint8_t i = 0; i < e.len; ++i) b.pushChar(static_cast<unsigned char>(e.text[i]));
            pending = e.protect;
        }
        Value next = rts::field(c, 1);
        if (k >= kChunk || !rts::is_evaluated(next)) {
            return b.finish(rts::delay([next, s, pending]() { return litString(next, s, pending); }));
        }
        cur = std::move(next);
    }
}

}  // namespace

Value showLitChar(uint32_t c, Value s) {
    Escape e = escapeOf(c);
    return prependBytes(std::string_view(e.text, e.len), protectedTail(std::move(s), e.protect));
}

Value showLitString(Value str, Value s) { return litString(std::move(str), std::move(s), kNone); }

Value showCharLiteral(uint32_t c, Value s) {
    if (c == '\'') return prependBytes("'\\''", std::move(s));
    Escape e = escapeOf(c);  // a quote follows, so no escape needs protecting
    return consChar('\'', prependBytes(std::string_view(e.text, e.len), consChar('\'', std::move(s))));
}

Value showStringLiteral(Value str, Value s) {
    return consChar('"', showLitString(std::move(str), consChar('"', std::move(s))));
}

namespace {
// The lines of the literal form from `str` on; `first` opens the line ('"' or '\').
Value multiLineFrom(Value str, uint32_t first) {
    List::ListBuilder line;
    Value cur = std::move(str);
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) {
            return Cons(consChar(first, showLitString(line.finish(Nil()), prependBytes("\"", Nil()))), Nil());
        }
        const Value& ch = force(rts::field(c, 0));
        Value next = rts::field(c, 1);
        if (charOf(ch) == '\n') {
            if (force(next)->tag == Nil_tag)
                return Cons(consChar(first, showLitString(line.finish(Nil()), prependBytes("\\n\"", Nil()))), Nil());
            Value text = consChar(first, showLitString(line.finish(Nil()), prependBytes("\\n\\", Nil())));
            Value rest = rts::delay([next]() { return multiLineFrom(next, '\\'); });
            return Cons(std::move(text), std::move(rest));
        }
        line.push(ch);
        cur = std::move(next);
    }
}
}  // namespace

Value showMultiLineString(Value str) { return multiLineFrom(std::move(str), '"'); }

// ---------------------------------------------------------------------------------------------
// Forms written by hand

Value showsConApp(int64_t d, std::string_view name, std::initializer_list<Value> fields, Value s) {
    bool paren = d >= 11 && fields.size() > 0;
    Value t = paren ? consChar(')', std::move(s)) : std::move(s);
    for (auto it = fields.end(); it != fields.begin();) {
        --it;
        Value f = *it;
        t = consChar(' ', rts::delay([f, t]() { return rts::apply(f, t); }));
    }
    t = prependBytes(name, std::move(t));
    return paren ? consChar('(', std::move(t)) : t;
}

Value showsRecordForm(int64_t d, std::string_view name, std::initializer_list<RecordField> fields, Value s) {
    bool paren = d >= 11;
    Value t = consChar('}', paren ? consChar(')', std::move(s)) : std::move(s));
    size_t i = fields.size();
    for (auto it = fields.end(); it != fields.begin();) {
        --it;
        --i;
        Value f = it->shows;
        t = rts::delay([f, t]() { return rts::apply(f, t); });
        t = prependBytes(it->name, prependBytes(" = ", std::move(t)));
        if (i > 0) t = prependBytes(", ", std::move(t));
    }
    t = prependBytes(name, prependBytes(" {", std::move(t)));
    return paren ? consChar('(', std::move(t)) : t;
}

// ---------------------------------------------------------------------------------------------
// Instances

namespace {
Value writeInt(int64_t d, const Value& x, Value s) { return showSignedInt(d, intOf(force(x)), std::move(s)); }
Value writeWord(int64_t, const Value& x, Value s) { return showWord(wordOf(force(x)), std::move(s)); }
Value writeChar(int64_t, const Value& x, Value s) { return showCharLiteral(charOf(force(x)), std::move(s)); }
Value writeBool(int64_t, const Value& x, Value s) {
    return prependBytes(isTrue(force(x)) ? "True" : "False", std::move(s));
}
Value writeOrdering(int64_t, const Value& x, Value s) {
    static constexpr const char* names[3] = {"LT", "EQ", "GT"};
    return prependBytes(names[force(x)->tag], std::move(s));
}
Value writeUnit(int64_t, const Value& x, Value s) {
    force(x);
    return prependBytes("()", std::move(s));
}

// Char lists show as string literals.
Value charShowList(const Value& xs, const Value& s) { return showStringLiteral(xs, s); }
}  // namespace

using Record::fn;
constinit const Record::Static<C_Show_class> inst_Show_Int_closure{
    fn<&showsPrecWith<&writeInt>>, fn<&default_show, &inst_Show_Int_closure>,
    fn<&default_showList, &inst_Show_Int_closure>};
constinit const Record::Static<C_Show_class> inst_Show_Word_closure{
    fn<&showsPrecWith<&writeWord>>, fn<&default_show, &inst_Show_Word_closure>,
    fn<&default_showList, &inst_Show_Word_closure>};
constinit const Record::Static<C_Show_class> inst_Show_Char_closure{
    fn<&showsPrecWith<&writeChar>>, fn<&default_show, &inst_Show_Char_closure>, fn<&charShowList>};
constinit const Record::Static<C_Show_class> inst_Show_Bool_closure{
    fn<&showsPrecWith<&writeBool>>, fn<&default_show, &inst_Show_Bool_closure>,
    fn<&default_showList, &inst_Show_Bool_closure>};
constinit const Record::Static<C_Show_class> inst_Show_Ordering_closure{
    fn<&showsPrecWith<&writeOrdering>>, fn<&default_show, &inst_Show_Ordering_closure>,
    fn<&default_showList, &inst_Show_Ordering_closure>};
constinit const Record::Static<C_Show_class> inst_Show_Unit_closure{
    fn<&showsPrecWith<&writeUnit>>, fn<&default_show, &inst_Show_Unit_closure>,
    fn<&default_showList, &inst_Show_Unit_closure>};

Value inst_Show_List(Value d) {
    Value sp = rts::fun<3>([d](const Value&, const Value& xs, const Value& s) { return showList(d, xs, s); });
    Value show = rts::fun<1>([d](const Value& xs) { return showList(d, xs, Nil()); });
    Value showl = rts::fun<2>([d](const Value& xss, const Value& s) {
        Value one = rts::fun<2>([d](const Value& xs, const Value& t) { return showList(d, xs, t); });
        return showList__(std::move(one), xss, s);
    });
    return C_Show(std::move(sp), std::move(show), std::move(showl));
}

Value inst_Show_Maybe(Value d) {
    return Derived::deriveShow({{"Nothing"}, {"Just", {Derived::showOnly(std::move(d))}}});
}
Value inst_Show_Either(Value a, Value b) {
    return Derived::deriveShow(
        {{"Left", {Derived::showOnly(std::move(a))}}, {"Right", {Derived::showOnly(std::move(b))}}});
}

Value inst_Show_Tuple(std::vector<Value> components) {
    auto shows = std::make_shared<const std::vector<Value>>(std::move(components));
    Value sp = rts::fun<3>([shows](const Value&, const Value& x, const Value& s) -> Value {
        const Value& v = force(x);
        const auto& ds = *shows;
        Value t = consChar(')', s);
        for (size_t i = ds.size(); i-- > 0;) {
            Value sp_i = showsPrec(ds[i]);
            t = rts::delay([sp_i, f = rts::field(v, i), t]() { return rts::apply(sp_i, precBox(0), f, t); });
            t = consChar(i == 0 ? '(' : ',', std::move(t));
        }
        return t;
    });
    return showRecord(std::move(sp));
}
Value inst_Show_Tuple2(Value a, Value b) { return inst_Show_Tuple({std::move(a), std::move(b)}); }
Value inst_Show_Tuple3(Value a, Value b, Value c) { return inst_Show_Tuple({std::move(a), std::move(b), std::move(c)}); }

}  // namespace VUX::Internal::Show
