// A post and a wait on a named semaphore through System.Semaphore (releaseSemaphore s 1, then
// waitOnSemaphore s, as prebuilt actions) against sem_post and sem_wait called directly on a
// semaphore opened with sem_open, in one run. The names are removed at the start.
#include <fcntl.h>
#include <semaphore.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "System/Semaphore.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Types.h"
#include "runtime_bench.h"

namespace {

using rts::Value;
namespace S = System::Semaphore;
using VUX::Internal::IO::runIO;

std::string benchName(const char* tag) {
    return "/vux-semaphore-bench-" + std::to_string(getpid()) + "-" + tag;
}

void BM_LibraryPostWait(benchmark::State& state) {
    std::string name = benchName("library");
    Value s = runIO(S::createSemaphore(VUX::Internal::List::fromBytes(name), VUX::Types::I_hash(0)));
    sem_unlink(name.c_str());
    Value post = S::releaseSemaphore(s, VUX::Types::I_hash(1));
    Value wait = S::waitOnSemaphore(s);
    for (auto _ : state) {
        runIO(post);
        runIO(wait);
    }
}
BENCHMARK(BM_LibraryPostWait);

void BM_DirectPostWait(benchmark::State& state) {
    std::string name = benchName("direct");
    sem_t* s = sem_open(name.c_str(), O_CREAT | O_EXCL, 0600, 0);
    if (s == SEM_FAILED) std::abort();
    sem_unlink(name.c_str());
    for (auto _ : state) {
        sem_post(s);
        sem_wait(s);
    }
    sem_close(s);
}
BENCHMARK(BM_DirectPostWait);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv, {{"BM_LibraryPostWait", "BM_DirectPostWait"}});
}
