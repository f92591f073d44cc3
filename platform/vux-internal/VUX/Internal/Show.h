// Textual forms of values: the `Show` record and its machinery.
//
// A text is produced lazily as a character list. `ShowS` is a function from the text that
// follows to the whole text, so `showsPrec d x s` writes x at surrounding precedence d in front
// of s. Numbers, names and punctuation are written at once (a few cells); the text of a value's
// parts is suspended, so a deep or endless value is shown as far as it is read, in constant stack.
//
// The record `C_Show` holds, in order: `showsPrec` (Int, value, following text), `show` (value),
// `showList` (list, following text).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>
#include <string_view>

#include "VUX/Internal/List.h"
#include "VUX/Record.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Internal::Show {

using rts::Value;

VUX_CLASS(Show, (), showsPrec, show, showList);

// Calling through a record.
Value showsPrec(const Value& dShow, int64_t d, const Value& x, Value s);
Value show(const Value& dShow, const Value& x);
Value showList(const Value& dShow, const Value& xs, Value s);

// A record from a showsPrec function alone (arity 3): `show x = showsPrec 0 x ""` and `showList`
// the list form with each element at precedence 0.
Value showRecord(Value showsPrec);
// The same defaults through a record, for static records:
//   constinit const VUX::Record::Static<C_Show_class> inst_Show_T_closure{
//       fn<&showsPrecWith<&writeT>>, fn<&default_show, &inst_Show_T_closure>,
//       fn<&default_showList, &inst_Show_T_closure>};
Value default_show(const Value& dShow, const Value& x);
Value default_showList(const Value& dShow, const Value& xs, const Value& s);
// The showsPrec operation of a C++ writer `Value w(int64_t d, const Value& x, Value s)` (x not yet
// evaluated; the precedence is evaluated first).
template <Value (*Writer)(int64_t, const Value&, Value)>
Value showsPrecWith(const Value& d, const Value& x, const Value& s) {
    return Writer(VUX::Types::intOf(rts::force(d)), x, s);
}

// ---------------------------------------------------------------------------------------------
// Machinery

// `showString str s`: str (a character list) in front of s, the cells of str copied on demand.
Value showString(Value str, Value s);
// A C++ string (one character per byte) in front of s, built at once.
inline Value showText(std::string_view text, Value s) { return List::prependBytes(text, std::move(s)); }
// `showParen b p s`: p s, in parentheses when b. `p` is a ShowS.
Value showParen(bool b, const Value& p, Value s);
// `showList__ showx xs s`: "[", the elements written by showx (a ShowS-producing function of one
// element) separated by ",", "]", then s. The elements are written on demand.
Value showList__(Value showx, Value xs, Value s);
// `showListWith` is the same with the arguments of a record's showsPrec at precedence 0.
Value showListOfRecord(const Value& dShow, Value xs, Value s);
// `showSpace`, `showCommaSpace`.
Value showSpace(Value s);
Value showCommaSpace(Value s);

// `itos n s`: the digits of n, "-" before a negative n, never parenthesised.
Value itos(int64_t n, Value s);
// Signed integral form: parenthesised when n < 0 and d > 6.
Value showSignedInt(int64_t d, int64_t n, Value s);
Value showWord(uint64_t w, Value s);

// ---------------------------------------------------------------------------------------------
// Characters and strings

// `showLitChar c s`: the escape of c as in a literal (see the standard forms); a numeric escape
// followed by a digit in s, or "\SO" followed by 'H', gets "\&" between them.
Value showLitChar(uint32_t c, Value s);
// `showLitString str s`: the escapes of str with '"' written as \", then s; produced on demand.
Value showLitString(Value str, Value s);
// `showMultiLineString str`: the lines of the literal form, broken after each newline (never empty).
Value showMultiLineString(Value str);
// `show` of a character and of a string.
Value showCharLiteral(uint32_t c, Value s);
Value showStringLiteral(Value str, Value s);

// ---------------------------------------------------------------------------------------------
// Forms written by hand (a type whose form is derived from its declaration gets its Show and
// Read records from one description instead: see Derived.h)

// A constructor application written by hand: name, then each field at precedence 11, separated
// by spaces, in parentheses when d >= 11 (no parentheses without fields). Each field is a ShowS.
Value showsConApp(int64_t d, std::string_view name, std::initializer_list<Value> fieldShowS, Value s);
// A record: "C {f = v, g = w}" with fields at precedence 0 given as ShowS, parenthesised at d >= 11.
struct RecordField {
    std::string_view name;
    Value shows;
};
Value showsRecordForm(int64_t d, std::string_view name, std::initializer_list<RecordField> fields, Value s);

// `showsPrec d x` as a ShowS (a suspended application), for composing the helpers above.
Value showsPrecS(const Value& dShow, int64_t d, Value x);

// The boxed Int of a precedence (static for 0 to 11).
Value precBox(int64_t d);

// ---------------------------------------------------------------------------------------------
// Instances for the basic types (static records)

VUX_STATIC_INSTANCE(inst_Show_Int, C_Show_class);
VUX_STATIC_INSTANCE(inst_Show_Word, C_Show_class);
VUX_STATIC_INSTANCE(inst_Show_Char, C_Show_class);  // showList writes a string literal
VUX_STATIC_INSTANCE(inst_Show_Bool, C_Show_class);
VUX_STATIC_INSTANCE(inst_Show_Ordering, C_Show_class);
VUX_STATIC_INSTANCE(inst_Show_Unit, C_Show_class);
// Double and Float are in Float.h; Integer and Natural in Num.h; Rational in Real.h.

// Instances for compound types: functions of the element records.
Value inst_Show_List(Value dShow);
Value inst_Show_Maybe(Value dShow);
Value inst_Show_Either(Value dShowA, Value dShowB);
Value inst_Show_Tuple2(Value a, Value b);
Value inst_Show_Tuple3(Value a, Value b, Value c);
// Tuples of up to 15 components: the records in component order.
Value inst_Show_Tuple(std::vector<Value> components);

}  // namespace VUX::Internal::Show
