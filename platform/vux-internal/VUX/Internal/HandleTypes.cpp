#include "VUX/Internal/HandleTypes.h"

#include "VUX/Classes.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"

namespace VUX::Internal::HandleTypes {

using namespace VUX::Types;
using rts::force;
using VUX::Record::fn;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Internal.HandleTypes");
VUX_DEFINE_TYCON(tcHandle, trModule, "Handle", 0, kindType);
VUX_DEFINE_TYCON(tcIOMode, trModule, "IOMode", 0, kindType);
VUX_DEFINE_TYCON(tcBufferMode, trModule, "BufferMode", 0, kindType);

bool eqHandle(const Value& a, const Value& b) {
    return rts::same(handleWriteCell(force(a)), handleWriteCell(force(b)));
}

namespace {
Value eqHandleOp(const Value& a, const Value& b) { return fromBool(eqHandle(a, b)); }
}  // namespace

constinit const Record::Static<Classes::C_Eq_class> inst_Eq_Handle_closure{
    fn<&eqHandleOp>, fn<&Classes::default_op_slash_eq, &inst_Eq_Handle_closure>};

Value showsHandle(int64_t, const Value& h, Value s) {
    Value rest = Show::showText("}", std::move(s));
    return Show::showText("{handle: ", List::op_plus_plus(handlePath(force(h)), std::move(rest)));
}
constinit const Record::Static<Show::C_Show_class> inst_Show_Handle_closure{
    fn<&Show::showsPrecWith<&showsHandle>>, fn<&Show::default_show, &inst_Show_Handle_closure>,
    fn<&Show::default_showList, &inst_Show_Handle_closure>};

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
constinit const Record::Static<Show::C_Show_class> inst_Show_IOMode_closure{
    fn<&Show::showsPrecWith<&showsIOMode>>, fn<&Show::default_show, &inst_Show_IOMode_closure>,
    fn<&Show::default_showList, &inst_Show_IOMode_closure>};

constinit const rts::StaticNullary NoBuffering_closure{NoBuffering_tag};
constinit const rts::StaticNullary LineBuffering_closure{LineBuffering_tag};

}  // namespace VUX::Internal::HandleTypes
