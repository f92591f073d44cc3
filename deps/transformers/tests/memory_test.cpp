// Long loops over IO in flat memory: the StateT counter and the continuation-passing writer keep
// what one step needs, however many steps run. A program of its own, so that no earlier test has
// raised the process's memory: residency is compared after a run of 10^5 steps and after one of
// 10^6 steps.
#include <gtest/gtest.h>

#include <cstdio>

#include "Control/Monad/Trans/State/Lazy.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Loops.h"

namespace {

using namespace trans_test;
namespace T = Control::Monad::Trans;
using VUX::Internal::IO::runIO;

// Resident memory grows by at most 8 MiB from a run of kSteps / 10 steps to a run of kSteps.
#ifdef RTS_SANITIZED
template <class Run>
void expectFlatMemory(Run) {
    GTEST_SKIP() << "the sanitizers hold freed memory back, so residency says nothing here";
}
#else
long residentKiB() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long size = 0, resident = 0;
    if (!f || std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
    if (f) std::fclose(f);
    return resident * 4;
}

template <class Run>
void expectFlatMemory(Run run) {
    run(kSteps / 10);
    long small = residentKiB();
    run(kSteps);
    EXPECT_LE(residentKiB(), small + 8 * 1024);
}
#endif

TEST(FlatMemory, StateTCounter) {
    for (Value d :
         {T::State::Lazy::inst_Monad_StateT_Lazy(io()), T::State::Strict::inst_Monad_StateT_Strict(io())})
        expectFlatMemory([&](int64_t n) { runIO(T::State::Shared::runStateT(counter(d, n - 1), I(0))); });
}

TEST(FlatMemory, ContinuationPassingWriter) {
    Value w = sumMonoid(), d = T::Writer::CPS::inst_Monad_WriterT_CPS(io());
    auto tell = [w](int64_t n) { return T::Writer::CPS::tell(w, io(), I(n)); };
    expectFlatMemory([&](int64_t n) { runIO(T::Writer::CPS::runWriterT(w, teller(d, tell, n - 1))); });
}

}  // namespace
