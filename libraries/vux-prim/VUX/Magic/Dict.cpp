#include "VUX/Magic/Dict.h"

namespace VUX::Magic::Dict {

constinit const rts::StaticFun withDict_closure{rts::static_fun_info<&withDict>};

}  // namespace VUX::Magic::Dict
