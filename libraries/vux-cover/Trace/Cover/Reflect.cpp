#include "Trace/Cover/Reflect.h"

#include <string>
#include <vector>

#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Cover.h"
#include "rts/Profiling.h"

VUX_MODULE("Trace.Cover.Reflect");

namespace Trace::Cover::Reflect {

namespace {
// The library's copy of one runtime record.
struct ModuleInfo {
    std::string name;
    uint32_t tickCount;
    uint32_t hash;
    uint64_t* counters;
};

// The runtime's list, walked on first use (once, also when threads race) and kept.
const std::vector<ModuleInfo>& modInfo() {
    static const std::vector<ModuleInfo> infos = [] {
        std::vector<ModuleInfo> out;
        for (rts::cover::ModuleRecord* r = hs_cover_rootModule(); r; r = rts::cover::nextOf(r))
            out.push_back({r->name, r->tickCount, r->hash, r->counters});
        return out;
    }();
    return infos;
}

[[noreturn]] void updateFailed(int64_t line, int64_t startCol, int64_t endCol) {
    Util::errorIn("Trace.Cover.Reflect", "libraries/vux-cover/Trace/Cover/Reflect",
                  VUX::Internal::List::fromBytes("updateTix failed"), line, startCol, endCol);
}

bool sameName(const ModuleInfo& info, const Value& name) {
    Value runtimeName = VUX::Internal::List::fromUtf8(info.name);
    return VUX::Types::isTrue(
        rts::force(rts::apply(VUX::Classes::op_eq_eq(VUX::Classes::inst_Eq_List_Char()), runtimeName, name)));
}

// The counts of a module that matches `info`, each modulo 2^64; empty with `ok` false otherwise.
std::vector<uint64_t> matchingCounts(const ModuleInfo& info, const Value& tixModule, bool& ok) {
    const Value& m = rts::force(tixModule);
    ok = sameName(info, rts::field(m, 0)) &&
         VUX::Types::intOf(rts::force(rts::field(m, 2))) == static_cast<int64_t>(info.tickCount) &&
         Util::hashWord(rts::field(m, 1)) == info.hash;
    std::vector<uint64_t> counts;
    if (!ok) return counts;
    // At most one count more than the ticks is looked at.
    Value l = rts::force(rts::field(m, 3));
    while (l->tag == VUX::Types::Cons_tag && counts.size() <= info.tickCount) {
        counts.push_back(VUX::Num::Integer::integerToWord_hash(rts::force(rts::field(l, 0))));
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    ok = counts.size() == info.tickCount;
    return counts;
}
}  // namespace

using VUX::Internal::IO::io;

Value examineTix() {
    VUX_FUNCTION;
    return io([] {
        std::vector<Value> modules;
        for (const ModuleInfo& info : modInfo()) {
            std::vector<Value> counts(info.tickCount);
            for (uint32_t i = info.tickCount; i-- > 0;)
                counts[i] = VUX::Num::Integer::integerFromWord_hash(rts::cover::load(&info.counters[i]));
            modules.push_back(Tix::TixModule(VUX::Internal::List::fromUtf8(info.name), Util::Hash(info.hash),
                                             VUX::Types::I_hash(info.tickCount),
                                             VUX::Internal::List::fromValues(counts)));
        }
        return Tix::Tix(VUX::Internal::List::fromValues(modules));
    });
}

Value clearTix() {
    VUX_FUNCTION;
    return io([] {
        for (const ModuleInfo& info : modInfo())
            for (uint32_t i = 0; i < info.tickCount; ++i) rts::cover::store(&info.counters[i], 0);
        return VUX::Tuple::Unit();
    });
}

Value updateTix(Value tix) {
    VUX_FUNCTION;
    return io([tix = std::move(tix)] {
        std::vector<Value> modules = VUX::Internal::List::toValues(rts::field(rts::force(tix), 0));
        const std::vector<ModuleInfo>& infos = modInfo();
        if (modules.size() != infos.size()) updateFailed(63, 41, 46);
        // Every module is checked before any counter is written.
        std::vector<std::vector<uint64_t>> counts;
        for (size_t m = 0; m < infos.size(); ++m) {
            bool ok = false;
            counts.push_back(matchingCounts(infos[m], modules[m], ok));
            if (!ok) updateFailed(72, 24, 29);
        }
        for (size_t m = 0; m < infos.size(); ++m)
            for (uint32_t i = 0; i < infos[m].tickCount; ++i)
                rts::cover::store(&infos[m].counters[i], counts[m][i]);
        return VUX::Tuple::Unit();
    });
}

}  // namespace Trace::Cover::Reflect
