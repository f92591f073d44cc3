#include "VUX/Internal/HandleTypes.h"

#include "VUX/Classes.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"

namespace VUX::Internal::HandleTypes {

using namespace VUX::Types;
using rts::force;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Internal.HandleTypes");
VUX_DEFINE_TYCON(tcHandle, trModule, "Handle", 0, kindType);
VUX_DEFINE_TYCON(tcIOMode, trModule, "IOMode", 0, kindType);
VUX_DEFINE_TYCON(tcBufferMode, trModule, "BufferMode", 0, kindType);

bool eqHandle(const Value& a, const Value& b) {
    return rts::same(handleWriteCell(force(a)), handleWriteCell(force(b)));
}

namespace {
Value eqHandleOp(const Value& a, const Value& b) { return fromBool(eqHandle(a, b)); }
Value neHandleOp(const Value& a, const Value& b) { return fromBool(!eqHandle(a, b)); }
}  // namespace

constinit const rts::StaticCon<2> inst_Eq_Handle(Classes::C_Eq_tag, Base::static_fun_slot<&eqHandleOp>(),
                                                 Base::static_fun_slot<&neHandleOp>());

Value showsHandle(int64_t, const Value& h, Value s) {
    Value rest = Show::showText("}", std::move(s));
    return Show::showText("{handle: ", List::op_plus_plus(handlePath(force(h)), std::move(rest)));
}
constinit const rts::StaticCon<3> inst_Show_Handle = Show::staticShowRecord<&showsHandle>();

namespace {
constinit const rts::StaticNullary modes[4] = {rts::StaticNullary{0}, rts::StaticNullary{1},
                                               rts::StaticNullary{2}, rts::StaticNullary{3}};
Value showsIOMode(int64_t, const Value& m, Value s) {
    static constexpr const char* names[4] = {"ReadMode", "WriteMode", "AppendMode", "ReadWriteMode"};
    return Show::showText(names[force(m)->tag], std::move(s));
}
}  // namespace

constinit rts::Object* const IOMode_closure_tbl[4] = {modes[0].object(), modes[1].object(), modes[2].object(),
                                                      modes[3].object()};
constinit const rts::StaticCon<3> inst_Show_IOMode = Show::staticShowRecord<&showsIOMode>();

constinit const rts::StaticNullary NoBuffering_closure{NoBuffering_tag};
constinit const rts::StaticNullary LineBuffering_closure{LineBuffering_tag};

}  // namespace VUX::Internal::HandleTypes
