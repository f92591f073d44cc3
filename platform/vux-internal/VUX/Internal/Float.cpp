#include "VUX/Internal/Float.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"

namespace VUX::Internal::Float {

using namespace VUX::Types;
using rts::force;

namespace {

// Lays out the shortest digits of a finite nonzero magnitude. `sci` is the shortest scientific
// text from std::to_chars ("d.ddde+XX" or "de-XX").
size_t layout(std::string_view sci, bool negative, char* out) {
    char digits[32];
    size_t n = 0;
    size_t i = 0;
    for (; i < sci.size() && sci[i] != 'e'; ++i)
        if (sci[i] != '.') digits[n++] = sci[i];
    int exp10 = 0;
    std::from_chars(sci.data() + i + 1 + (sci[i + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exp10);
    const int e = exp10 + 1;  // x = 0.d1...dn * 10^e
    char* p = out;
    if (negative) *p++ = '-';
    if (e >= 1 && e <= 7) {
        const size_t ue = static_cast<size_t>(e);
        for (size_t k = 0; k < ue; ++k) *p++ = k < n ? digits[k] : '0';
        *p++ = '.';
        if (n > ue) {
            for (size_t k = ue; k < n; ++k) *p++ = digits[k];
        } else {
            *p++ = '0';
        }
    } else if (e == 0) {
        *p++ = '0';
        *p++ = '.';
        for (size_t k = 0; k < n; ++k) *p++ = digits[k];
    } else {
        *p++ = digits[0];
        *p++ = '.';
        if (n > 1) {
            for (size_t k = 1; k < n; ++k) *p++ = digits[k];
        } else {
            *p++ = '0';
        }
        *p++ = 'e';
        p = std::to_chars(p, p + 8, e - 1).ptr;
    }
    return static_cast<size_t>(p - out);
}

template <class T>
size_t format(T x, char* out) {
    if (std::isnan(x)) {
        std::memcpy(out, "NaN", 3);
        return 3;
    }
    const bool negative = std::signbit(x);
    if (std::isinf(x)) {
        if (negative) {
            std::memcpy(out, "-Infinity", 9);
            return 9;
        }
        std::memcpy(out, "Infinity", 8);
        return 8;
    }
    if (x == 0) {
        if (negative) {
            std::memcpy(out, "-0.0", 4);
            return 4;
        }
        std::memcpy(out, "0.0", 3);
        return 3;
    }
    char sci[48];
    auto r = std::to_chars(sci, sci + sizeof sci, negative ? -x : x, std::chars_format::scientific);
    return layout(std::string_view(sci, static_cast<size_t>(r.ptr - sci)), negative, out);
}

template <class T>
Value showSigned(int64_t d, T x, Value s) {
    char buf[48];
    size_t n = format(x, buf);
    if (d > 6 && buf[0] == '-') {
        Value t = Cons(List::boxChar(')'), std::move(s));
        return Cons(List::boxChar('('), List::prependBytes(std::string_view(buf, n), std::move(t)));
    }
    return List::prependBytes(std::string_view(buf, n), std::move(s));
}

Value writeDouble(int64_t d, const Value& x, Value s) { return showSigned(d, doubleOf(force(x)), std::move(s)); }
Value writeFloat(int64_t d, const Value& x, Value s) { return showSigned(d, floatOf(force(x)), std::move(s)); }

}  // namespace

size_t formatDouble(double x, char* buf) { return format(x, buf); }
size_t formatFloat(float x, char* buf) { return format(x, buf); }

Value showFloat(double x, Value s) { return showSigned(0, x, std::move(s)); }
Value showFloat(float x, Value s) { return showSigned(0, x, std::move(s)); }
Value showSignedFloat(int64_t d, double x, Value s) { return showSigned(d, x, std::move(s)); }
Value showSignedFloat(int64_t d, float x, Value s) { return showSigned(d, x, std::move(s)); }

constinit const VUX::Record::Static<Show::C_Show_class> inst_Show_Double_closure{
    VUX::Record::fn<&Show::showsPrecWith<&writeDouble>>, VUX::Record::fn<&Show::default_show, &inst_Show_Double_closure>,
    VUX::Record::fn<&Show::default_showList, &inst_Show_Double_closure>};
constinit const VUX::Record::Static<Show::C_Show_class> inst_Show_Float_closure{
    VUX::Record::fn<&Show::showsPrecWith<&writeFloat>>, VUX::Record::fn<&Show::default_show, &inst_Show_Float_closure>,
    VUX::Record::fn<&Show::default_showList, &inst_Show_Float_closure>};

}  // namespace VUX::Internal::Float
