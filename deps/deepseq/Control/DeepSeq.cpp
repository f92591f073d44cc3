#include "Control/DeepSeq.h"

#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace Control::DeepSeq {

using namespace VUX::Types;

Value rnf(const Value& d, const Value& x) { return rts::apply(d, x); }

Value deepseq(const Value& d, const Value& a, Value b) {
    rts::force(rnf(d, a));
    return b;
}

Value force(const Value& d, const Value& x) {
    rts::force(rnf(d, x));
    return rts::force(x);
}

namespace {
Value rnfScalar(const Value& x) {
    rts::force(x);
    return VUX::Tuple::Unit();
}
}  // namespace

constinit const rts::StaticFun inst_NFData_Scalar_closure{rts::static_fun_info<&rnfScalar>};
constinit const rts::StaticFun inst_NFData_Function_closure{rts::static_fun_info<&rnfScalar>};

Value inst_NFData_List(Value dElem) {
    return rts::fun<1>([dElem](const Value& xs) -> Value {
        Value cur = xs;
        for (;;) {
            const Value& c = rts::force(cur);
            if (c->tag == Nil_tag) return VUX::Tuple::Unit();
            rts::force(rts::apply(dElem, rts::field(c, 0)));
            Value next = rts::field(c, 1);
            cur = std::move(next);
        }
    });
}

Value inst_NFData_Maybe(Value dElem) {
    return rts::fun<1>([dElem](const Value& m) -> Value {
        const Value& v = rts::force(m);
        if (v->nptrs == 1) rts::force(rts::apply(dElem, rts::field(v, 0)));
        return VUX::Tuple::Unit();
    });
}

Value inst_NFData_Either(Value dLeft, Value dRight) {
    return rts::fun<1>([dLeft, dRight](const Value& e) -> Value {
        const Value& v = rts::force(e);
        rts::force(rts::apply(v->tag == 0 ? dLeft : dRight, rts::field(v, 0)));
        return VUX::Tuple::Unit();
    });
}

Value inst_NFData_Tuple2(Value a, Value b) {
    return rts::fun<1>([a, b](const Value& p) -> Value {
        const Value& v = rts::force(p);
        rts::force(rts::apply(a, rts::field(v, 0)));
        rts::force(rts::apply(b, rts::field(v, 1)));
        return VUX::Tuple::Unit();
    });
}

}  // namespace Control::DeepSeq
