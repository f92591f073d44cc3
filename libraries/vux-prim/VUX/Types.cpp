#include "VUX/Types.h"

namespace VUX::Types {

constinit const rts::StaticNullary False_closure{False_tag};
constinit const rts::StaticNullary True_closure{True_tag};
constinit rts::Object* const Bool_closure_tbl[2] = {False_closure.object(), True_closure.object()};

constinit const rts::StaticNullary LT_closure{LT_tag};
constinit const rts::StaticNullary EQ_closure{EQ_tag};
constinit const rts::StaticNullary GT_closure{GT_tag};
constinit rts::Object* const Ordering_closure_tbl[3] = {LT_closure.object(), EQ_closure.object(), GT_closure.object()};

constinit const rts::StaticNullary Nil_closure{Nil_tag};

}  // namespace VUX::Types
