// A lazy hGetContents consumed as it is read keeps peak memory flat. Its own program, so that the
// process's peak resident size reflects this read alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "Testing.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"

#if defined(__SANITIZE_ADDRESS__)
#define VUX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VUX_ASAN 1
#endif
#endif
#ifdef VUX_ASAN
// Freed memory is reused soon, so the peak shows what is live rather than the quarantine.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=4"; }
constexpr size_t kMiB = 4;  // instrumented cells are slow to make; held, these would still take 128 MB
#else
constexpr size_t kMiB = 16;
#endif

using namespace VUX::Internal;
using rts::Value;

namespace {

// Peak resident size of the process, in bytes (VmHWM).
size_t peakResident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
    return 0;
}

TEST(LazyRead, PeakMemoryStaysFlat) {
    vux::testing::TempDirectory temp;
    std::string path = (temp / "big.txt");
    // Held as a list, 16 MiB of text would take half a gigabyte of cells.
    constexpr size_t kSize = kMiB << 20;
    {
        std::ofstream out(path, std::ios::binary);
        std::string line = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-\n";
        for (size_t at = 0; at < kSize; at += line.size()) out << line;
    }
    Value h = IO::runIO(Handle::openBinaryFile(vux::testing::str(path), HandleTypes::ReadMode()));
    size_t before = peakResident();
    Value cur = IO::runIO(Handle::hGetContents(h));
    size_t count = 0, newlines = 0;
    for (;;) {
        Value cell = rts::force(std::move(cur));
        if (cell->tag == VUX::Types::Nil_tag) break;
        ++count;
        newlines += VUX::Types::charOf(rts::force(rts::field(cell, 0))) == '\n';
        cur = rts::field(cell, 1);
    }
    size_t growth = peakResident() - before;
    EXPECT_EQ(count, kSize);
    EXPECT_EQ(newlines, kSize / 64);
    EXPECT_LT(growth, size_t(32) << 20) << "peak grew by " << growth << " bytes";
    EXPECT_TRUE(VUX::Types::isTrue(rts::force(IO::runIO(Handle::hIsClosed(h)))));
}

}  // namespace
