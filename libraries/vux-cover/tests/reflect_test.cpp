// The live counters: registration, snapshots, clearing and updating (all or nothing).
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Testing.h"
#include "Trace/Cover/Reflect.h"
#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Types.h"
#include "rts/Cover.h"

using namespace Trace::Cover::Reflect;
using Trace::Cover::Tix::Tix;
using VUX::Internal::IO::runIO;
using vux::testing::list;
using vux::testing::str;
using vux::testing::to_string;

namespace {

uint64_t mainCounters[3], libCounters[2], lateCounters[1];
rts::cover::ModuleRecord mainRecord{"Main", 3, 977, mainCounters};
rts::cover::ModuleRecord libRecord{"Lib", 2, 5, libCounters};
rts::cover::ModuleRecord emptyRecord{"Empty", 0, 9, nullptr};
rts::cover::ModuleRecord lateRecord{"Late", 1, 1, lateCounters};

std::string shown(const Value& tix) {
    return to_string(VUX::Internal::Show::show(Trace::Cover::Tix::inst_Show_Tix(), tix));
}

Value module(const char* name, int64_t hash, int64_t ticks, const Value& counts) {
    return Trace::Cover::Tix::TixModule(str(name), Trace::Cover::Util::Hash(static_cast<uint32_t>(hash)),
                                        VUX::Types::I_hash(ticks), counts);
}
Value integers(const std::vector<int64_t>& xs) {
    std::vector<Value> items;
    for (int64_t x : xs) items.push_back(VUX::Num::Integer::integerFromInt_hash(x));
    return list(items);
}

std::vector<uint64_t> allCounters() {
    std::vector<uint64_t> out(mainCounters, mainCounters + 3);
    out.insert(out.end(), libCounters, libCounters + 2);
    return out;
}

TEST(Reflect, CountersSeenThroughTix) {
    hs_cover_registerModule(&mainRecord);
    hs_cover_registerModule(&libRecord);
    hs_cover_registerModule(&emptyRecord);
    ASSERT_EQ(hs_cover_rootModule(), &mainRecord);
    hs_cover_tick(mainCounters, 0);
    hs_cover_tick(mainCounters, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i) hs_cover_tick(libCounters, 1);
        });
    for (auto& t : threads) t.join();
    const std::string snapshot =
        "Tix [TixModule \"Main\" 977 3 [2,0,0],TixModule \"Lib\" 5 2 [0,4000],TixModule \"Empty\" 9 0 []]";
    EXPECT_EQ(shown(runIO(examineTix())), snapshot);

    // Registered after the first use: never seen.
    hs_cover_registerModule(&lateRecord);
    hs_cover_tick(lateCounters, 0);
    EXPECT_EQ(shown(runIO(examineTix())), snapshot);

    // Every kind of mismatch fails, and leaves all counters as they were.
    Value mainOk = module("Main", 977, 3, integers({7, 8, 9}));
    Value libOk = module("Lib", 5, 2, integers({1, 2}));
    Value emptyOk = module("Empty", 9, 0, integers({}));
    struct Row {
        const char* what;
        Value tix;
    } rows[] = {
        {"fewer modules", Tix(list({mainOk, libOk}))},
        {"more modules", Tix(list({mainOk, libOk, emptyOk, emptyOk}))},
        {"another order", Tix(list({libOk, mainOk, emptyOk}))},
        {"another name", Tix(list({mainOk, libOk, module("Empty2", 9, 0, integers({}))}))},
        {"another tick count", Tix(list({mainOk, module("Lib", 5, 3, integers({1, 2, 3})), emptyOk}))},
        {"negative tick count", Tix(list({mainOk, libOk, module("Empty", 9, -1, integers({}))}))},
        {"another hash", Tix(list({mainOk, libOk, module("Empty", 10, 0, integers({}))}))},
        {"too few counts", Tix(list({mainOk, module("Lib", 5, 2, integers({1})), emptyOk}))},
        {"too many counts", Tix(list({mainOk, libOk, module("Empty", 9, 0, integers({1}))}))},
    };
    std::vector<uint64_t> before = allCounters();
    for (const Row& r : rows) {
        try {
            runIO(updateTix(r.tix));
            ADD_FAILURE() << r.what;
        } catch (const rts::Exception& e) {
            EXPECT_EQ(rts::display(e).rfind("updateTix failed\nCallStack", 0), 0u)
                << r.what << ": " << rts::display(e);
        }
        EXPECT_EQ(allCounters(), before) << r.what;
    }
    // A count that fails when evaluated propagates, before anything was written.
    try {
        runIO(updateTix(Tix(list({mainOk, module("Lib", 5, 2, list({vux::testing::failing()})), emptyOk}))));
        ADD_FAILURE();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e));
    }
    EXPECT_EQ(allCounters(), before);

    // A matching Tix is stored modulo 2^64, and a snapshot written back changes nothing.
    runIO(updateTix(Tix(list({mainOk, module("Lib", 5, 2, integers({-1, 0})), emptyOk}))));
    EXPECT_EQ(allCounters(), (std::vector<uint64_t>{7, 8, 9, 18446744073709551615u, 0}));
    EXPECT_EQ(
        shown(runIO(examineTix())),
        "Tix [TixModule \"Main\" 977 3 [7,8,9],TixModule \"Lib\" 5 2 [18446744073709551615,0],TixModule "
        "\"Empty\" 9 0 []]");
    runIO(updateTix(runIO(examineTix())));
    EXPECT_EQ(allCounters(), (std::vector<uint64_t>{7, 8, 9, 18446744073709551615u, 0}));

    runIO(clearTix());
    EXPECT_EQ(allCounters(), (std::vector<uint64_t>(5, 0)));
    EXPECT_EQ(lateCounters[0], 1u);  // not in the cached list
}

}  // namespace
