// Deep evaluation: the `NFData` record (its one operation `rnf`, the record itself), `deepseq`
// and `force`. Walks over lists and other spines are loops, so long lists cost no stack.
#pragma once

#include "VUX/Record.h"
#include "rts/rts.h"

namespace Control::DeepSeq {

using rts::Value;

// `rnf d x`: evaluates x completely as the record d says; returns unit.
Value rnf(const Value& dNFData, const Value& x);
// `deepseq d a b`: b after evaluating a completely. `force d x`: x, evaluated completely.
Value deepseq(const Value& dNFData, const Value& a, Value b);
Value force(const Value& dNFData, const Value& x);

// Scalars (Int, Word, Char, Double, Float, Bool, Ordering, unit, Integer, Natural, Rational):
// evaluation to weak head normal form is complete.
VUX_STATIC_INSTANCE(inst_NFData_Scalar, VUX::Record::Operation);
// Compound types: functions of the element records.
Value inst_NFData_List(Value dElem);
Value inst_NFData_Maybe(Value dElem);
Value inst_NFData_Either(Value dLeft, Value dRight);
Value inst_NFData_Tuple2(Value a, Value b);
// Functions are in normal form as soon as they are evaluated.
VUX_STATIC_INSTANCE(inst_NFData_Function, VUX::Record::Operation);

}  // namespace Control::DeepSeq
