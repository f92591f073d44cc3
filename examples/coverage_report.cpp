// A program that measures its own coverage: two modules register their counters, the program
// runs, then writes its tick-count file and the module-information files, reads them back,
// matches each module's counts with its information by hash and prints which points were reached.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Data/Either.h"
#include "Data/Time/Clock.h"
#include "Trace/Cover/Mix.h"
#include "Trace/Cover/Reflect.h"
#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Types.h"
#include "rts/Cover.h"

namespace {

namespace Mix = Trace::Cover::Mix;
namespace Tix = Trace::Cover::Tix;
namespace Util = Trace::Cover::Util;
namespace List = VUX::Internal::List;
using rts::Value;
using VUX::Internal::IO::runIO;

// ---------------------------------------------------------------------------------------------
// The instrumented modules: their coverage points and counters

struct Module {
    const char* name;
    const char* source;
    std::vector<Value> entries;  // (span, label) pairs, one per counter
};

Value entry(int64_t l1, int64_t c1, int64_t l2, int64_t c2, Value label) {
    return rts::con(0, Util::P(l1, c1, l2, c2), std::move(label));
}
Value names(const char* n) { return List::fromValues({List::fromBytes(n)}); }

// The two modules (built in main, so that their values are released before the program ends).
Module geoArea() {
    using VUX::Types::False;
    using VUX::Types::True;
    return {"Geo.Area",
            "src/Geo/Area.hs",
            {entry(3, 1, 5, 20, Mix::TopLevelBox(names("area"))),
             entry(4, 5, 4, 9, Mix::BinBox(Mix::GuardBinBox(), True())),
             entry(4, 5, 4, 9, Mix::BinBox(Mix::GuardBinBox(), False())),
             entry(5, 7, 5, 20, Mix::ExpBox(False()))}};
}
Module mainModule() {
    return {"Main",
            "src/Main.hs",
            {entry(1, 1, 3, 30, Mix::TopLevelBox(names("main"))),
             entry(2, 3, 2, 40, Mix::ExpBox(VUX::Types::True())),
             entry(3, 3, 3, 30, Mix::LocalBox(names("report")))}};
}

uint64_t geoCounters[4], mainCounters[3];

// The hash of a module's entries, which its information file and its counters both carry.
uint32_t entriesHash(const Module& m) {
    static const Value& dEntries = *new Value(Util::inst_CoverHash_List(
        Util::inst_CoverHash_Tuple2(Util::inst_CoverHash_CoverPos(), Mix::inst_CoverHash_BoxLabel())));
    return Util::hashOf(dEntries, List::fromValues(m.entries));
}

// ---------------------------------------------------------------------------------------------
// The program being measured

double area(double w, double h) {
    hs_cover_tick(geoCounters, 0);
    if (w >= 0 && h >= 0) {
        hs_cover_tick(geoCounters, 1);
        return w * h;
    }
    hs_cover_tick(geoCounters, 2);
    hs_cover_tick(geoCounters, 3);
    return 0;
}

void program() {
    hs_cover_tick(mainCounters, 0);
    double total = 0;
    for (int i = 1; i <= 3; ++i) {
        hs_cover_tick(mainCounters, 1);
        total += area(i, 2.5);
    }
    std::printf("Total area: %g\n\n", total);
}

// ---------------------------------------------------------------------------------------------
// The report

std::string text(const Value& chars) { return List::toUtf8(chars); }

void report(const Value& tixModule, const Value& mix) {
    std::vector<Value> counts = List::toValues(Tix::tixModuleTixs(tixModule));
    std::vector<Value> entries = List::toValues(rts::field(rts::force(mix), 4));
    size_t reached = 0;
    std::string missed;
    for (size_t i = 0; i < counts.size() && i < entries.size(); ++i) {
        uint64_t n = VUX::Num::Integer::integerToWord_hash(rts::force(counts[i]));
        const Value& e = rts::force(entries[i]);
        if (n > 0) {
            ++reached;
            continue;
        }
        missed += "    never reached: " +
                  text(VUX::Internal::Show::show(Util::inst_Show_CoverPos(), rts::field(e, 0))) + " " +
                  text(VUX::Internal::Show::show(Mix::inst_Show_BoxLabel(), rts::field(e, 1))) + "\n";
    }
    std::printf("%s (%s): %zu of %zu points reached (%zu%%)\n%s", text(Tix::tixModuleName(tixModule)).c_str(),
                text(rts::field(rts::force(mix), 0)).c_str(), reached, counts.size(),
                counts.empty() ? 100 : reached * 100 / counts.size(), missed.c_str());
}

int run(const std::string& dir, const std::vector<Module>& modules) {
    Value now = runIO(Data::Time::Clock::getCurrentTime());
    Value mixDir = List::fromUtf8(dir + "/mix");
    std::filesystem::create_directories(dir + "/mix");
    for (const Module& m : modules) {
        Value mix = Mix::Mix(List::fromBytes(m.source), now, Util::Hash(entriesHash(m)),
                             VUX::Types::I_hash(8), List::fromValues(m.entries));
        runIO(Mix::mixCreate(mixDir, List::fromBytes(m.name), mix));
    }

    Value tixPath = Tix::getTixFileName(List::fromUtf8(dir + "/coverage_report.exe"));
    runIO(Tix::writeTix(tixPath, runIO(Trace::Cover::Reflect::examineTix())));
    std::printf("Wrote %s and the module files in %s/mix.\n\n", text(tixPath).c_str(), dir.c_str());

    const Value& read = rts::force(runIO(Tix::readTix(tixPath)));
    if (read->tag != VUX::Internal::Maybe::Just_tag) {
        std::printf("The tick-count file could not be read.\n");
        return 1;
    }
    for (const Value& tixModule : List::toValues(rts::field(rts::force(rts::field(read, 0)), 0))) {
        Value mix = runIO(Mix::readMix(List::fromValues({mixDir}), Data::Either::Right(tixModule)));
        report(tixModule, mix);
    }
    return 0;
}

}  // namespace

int main() {
    std::vector<Module> modules{geoArea(), mainModule()};
    rts::cover::ModuleRecord geoRecord{modules[0].name, 4, entriesHash(modules[0]), geoCounters};
    rts::cover::ModuleRecord mainRecord{modules[1].name, 3, entriesHash(modules[1]), mainCounters};
    hs_cover_registerModule(&mainRecord);
    hs_cover_registerModule(&geoRecord);

    program();

    char pattern[] = "/tmp/coverage_report.XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    int status = run(pattern, modules);
    std::filesystem::remove_all(pattern);
    return status;
}
