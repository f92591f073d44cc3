#include "VUX/Magic.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Magic");

namespace VUX::Magic {

constinit const rts::StaticNullary realWorld_hash_closure{0};

Value runRW_hash(const Value& f) { VUX_SCC("runRW#"); return rts::apply(f, realWorld_hash()); }

constinit const rts::StaticFun inline_closure{rts::static_fun_info<&inline_>};
constinit const rts::StaticFun noinline_closure{rts::static_fun_info<&noinline>};
constinit const rts::StaticFun lazy_closure{rts::static_fun_info<&lazy>};
constinit const rts::StaticFun oneShot_closure{rts::static_fun_info<&oneShot>};
constinit const rts::StaticFun runRW_hash_closure{rts::static_fun_info<&runRW_hash>};
constinit const rts::StaticFun dataToTag_hash_closure{rts::static_fun_info<&dataToTag_hash>};

}  // namespace VUX::Magic
