// Foreign declarations and pattern-synonym signatures.
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
Value pprForeign(const Value&) {
    notProvided("VUX.Boot.TH.Ppr.ppr: the foreign declaration printer is not provided yet");
}
}  // namespace

Value pprPatSynSig(const Value&, const Value&) {
    notProvided("VUX.Boot.TH.Ppr.pprPatSynSig: not provided yet");
}
Value pprPatSynType(const Value&) { notProvided("VUX.Boot.TH.Ppr.pprPatSynType: not provided yet"); }

VUX_PPR_INSTANCE(Foreign, pprForeign)

}  // namespace VUX::Boot::TH::Ppr
