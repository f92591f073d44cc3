#include "VUX/Magic/Dict.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Magic.Dict");

namespace VUX::Magic::Dict {

constinit const rts::StaticFun withDict_closure{rts::static_fun_info<&withDict>};

}  // namespace VUX::Magic::Dict
