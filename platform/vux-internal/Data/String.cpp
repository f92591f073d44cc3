#include "Data/String.h"

namespace Data::String {

namespace {
Value fromStringList(const Value& s) { return s; }
}  // namespace

constinit const rts::StaticFun inst_IsString_List{rts::static_fun_info<&fromStringList>};

}  // namespace Data::String
