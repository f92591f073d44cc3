// Static Eq and Ord records of a totally ordered type, built from one three-way comparison.
//
// `Compare(x, y)` answers a negative number, 0 or a positive number and evaluates its operands as
// the type's comparison does (a derived one: both constructors, then the fields left to right).
// Every operation of both records goes through it; `max` answers the second operand and `min` the
// first when the two are equal.
//
//   int compareT(const Value& x, const Value& y);
//   VUX_STATIC_INSTANCE(inst_Eq_T, VUX::Classes::C_Eq_class);       // header
//   VUX_STATIC_INSTANCE(inst_Ord_T, VUX::Classes::C_Ord_class);
//   constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_T_closure =
//       eqRecord<&compareT>();
//   constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_T_closure =
//       ordRecord<&inst_Eq_T_closure, &compareT>();
#pragma once

#include "VUX/Classes.h"
#include "VUX/Record.h"

namespace VUX::Internal::OrdRecord {

using rts::Value;

template <int (*Compare)(const Value&, const Value&)>
struct TotalOrder {
    static Value eq(const Value& x, const Value& y) { return Types::fromBool(Compare(x, y) == 0); }
    static Value ne(const Value& x, const Value& y) { return Types::fromBool(Compare(x, y) != 0); }
    static Value compare(const Value& x, const Value& y) {
        int c = Compare(x, y);
        return c < 0 ? Types::LT() : c == 0 ? Types::EQ() : Types::GT();
    }
    static Value lt(const Value& x, const Value& y) { return Types::fromBool(Compare(x, y) < 0); }
    static Value le(const Value& x, const Value& y) { return Types::fromBool(Compare(x, y) <= 0); }
    static Value gt(const Value& x, const Value& y) { return Types::fromBool(Compare(x, y) > 0); }
    static Value ge(const Value& x, const Value& y) { return Types::fromBool(Compare(x, y) >= 0); }
    static Value max(const Value& x, const Value& y) { return Value(rts::force(Compare(x, y) <= 0 ? y : x)); }
    static Value min(const Value& x, const Value& y) { return Value(rts::force(Compare(x, y) <= 0 ? x : y)); }
};

template <int (*Compare)(const Value&, const Value&)>
constexpr Record::Static<Classes::C_Eq_class> eqRecord() {
    using O = TotalOrder<Compare>;
    return {Record::fn<&O::eq>, Record::fn<&O::ne>};
}

template <const Record::Static<Classes::C_Eq_class>* EqRecord, int (*Compare)(const Value&, const Value&)>
constexpr Record::Static<Classes::C_Ord_class> ordRecord() {
    using O = TotalOrder<Compare>;
    return {Record::ref(*EqRecord), Record::fn<&O::compare>, Record::fn<&O::lt>,  Record::fn<&O::le>,
            Record::fn<&O::gt>,     Record::fn<&O::ge>,      Record::fn<&O::max>, Record::fn<&O::min>};
}

}  // namespace VUX::Internal::OrdRecord
