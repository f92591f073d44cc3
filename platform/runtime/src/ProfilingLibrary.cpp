// The registration unit of a profiling library: vux_add_library compiles this file into every
// profiling variant and links it last, so that when its constructor runs, the static initialisers of
// all the library's other files have recorded their modules and cost centres. It then registers the
// library's modules, in link order.
#include "rts/Profiling.h"

namespace {

[[gnu::constructor]] void register_this_library() { rts::prof::register_library(&__dso_handle); }

}  // namespace
