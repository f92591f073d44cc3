// Reified information about a name.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/List.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace {
[[noreturn]] void notProvided(const char* what) {
    VUX::Internal::Err::errorWithoutStackTrace(VUX::Internal::List::fromBytes(what));
}
Value pprInfo(const Value&) {
    notProvided("VUX.Boot.TH.Ppr.ppr: the reified-information printer is not provided yet");
}
}  // namespace

VUX_PPR_INSTANCE(Info, pprInfo)

}  // namespace VUX::Boot::TH::Ppr
