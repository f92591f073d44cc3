// Pragmas and rule binders.
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
Value pprPragma(const Value&) { notProvided("VUX.Boot.TH.Ppr.ppr: the pragma printer is not provided yet"); }
Value pprRuleBndr(const Value&) {
    notProvided("VUX.Boot.TH.Ppr.ppr: the rule binder printer is not provided yet");
}
}  // namespace

VUX_PPR_INSTANCE(Pragma, pprPragma)
VUX_PPR_INSTANCE(RuleBndr, pprRuleBndr)

}  // namespace VUX::Boot::TH::Ppr
