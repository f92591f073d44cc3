// Reading and writing a file as characters through handles, strict and lazy, against building the
// same lazy character list from memory and against read(2)/write(2) of the bytes, in one run.
//
//   handle_io [--size <bytes>] [benchmark flags]     (default size: 10^8 bytes)
//
// The file is ASCII text in lines of 64 bytes, read and written as UTF-8. Ratios are printed at
// the end: each character operation per reference. The strict read holds the whole list at once
// (32 bytes a character: 3.2 GB at the default size), so it is also compared with the same list
// built from memory and held. The lazy write consumes its string (hPutChars), in flat memory.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Types.h"
#include "runtime_bench.h"

namespace {

using namespace VUX::Internal;
using rts::Value;

size_t g_size = 100'000'000;
std::string g_dir;
std::string g_text;  // the file's contents, in memory

constexpr size_t kChunk = 32 * 1024;

std::string inputPath() { return g_dir + "/input.txt"; }
std::string outputPath() { return g_dir + "/output.txt"; }

void prepare() {
    char tmpl[] = "/tmp/vux-handle-bench-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) std::abort();
    g_dir = tmpl;
    std::string line = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-\n";
    g_text.reserve(g_size);
    while (g_text.size() < g_size) g_text.append(line, 0, std::min(line.size(), g_size - g_text.size()));
    int fd = ::open(inputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (size_t at = 0; at < g_text.size();) {
        ssize_t k = ::write(fd, g_text.data() + at, g_text.size() - at);
        if (k <= 0) std::abort();
        at += static_cast<size_t>(k);
    }
    ::close(fd);
}

Value run(const Value& action) { return IO::runIO(action); }
Value path(const std::string& p) { return List::fromBytes(p); }

// Walks a character list to its end, dropping the cells behind; answers the number of newlines.
size_t consume(Value list) {
    size_t newlines = 0;
    Value cur = std::move(list);
    for (;;) {
        Value cell = rts::force(std::move(cur));
        if (cell->tag == VUX::Types::Nil_tag) return newlines;
        newlines += VUX::Types::charOf(rts::force(rts::field(cell, 0))) == '\n';
        cur = rts::field(cell, 1);
    }
}

// The reference: the same characters as a lazy list built from memory a block at a time, each
// block's cells made when the list reaches it.
Value memoryList(size_t from) {
    return rts::delay([from]() -> Value {
        if (from >= g_text.size()) return VUX::Types::Nil();
        size_t end = std::min(g_text.size(), from + kChunk);
        List::ListBuilder b;
        for (size_t i = from; i < end; ++i) b.push(List::boxChar(static_cast<unsigned char>(g_text[i])));
        return b.finish(memoryList(end));
    });
}

Value openUtf8(const std::string& p, Value mode) {
    Value h = run(Handle::openFile(path(p), std::move(mode)));
    run(Handle::hSetEncoding(h, Encoding::utf8()));
    return h;
}

void setCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_size));
    state.counters["ns_per_char"] =
        benchmark::Counter(static_cast<double>(state.iterations() * g_size),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MemoryList(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(consume(memoryList(0)));
    setCounters(state);
}

// The reference of a strict read: the whole list built from memory and held, then walked.
void BM_MemoryListHeld(benchmark::State& state) {
    for (auto _ : state) {
        Value list = memoryList(0);
        benchmark::DoNotOptimize(List::length(list));
        benchmark::DoNotOptimize(consume(std::move(list)));
    }
    setCounters(state);
}

void BM_ReadSyscall(benchmark::State& state) {
    std::string buf(kChunk, '\0');
    for (auto _ : state) {
        int fd = ::open(inputPath().c_str(), O_RDONLY);
        size_t newlines = 0;
        for (;;) {
            ssize_t k = ::read(fd, buf.data(), buf.size());
            if (k <= 0) break;
            for (ssize_t i = 0; i < k; ++i) newlines += buf[static_cast<size_t>(i)] == '\n';
        }
        ::close(fd);
        benchmark::DoNotOptimize(newlines);
    }
    setCounters(state);
}

void BM_LazyRead(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            consume(run(Handle::hGetContents(openUtf8(inputPath(), HandleTypes::ReadMode())))));
    setCounters(state);
}

void BM_StrictRead(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            consume(run(Handle::hGetContents_prime(openUtf8(inputPath(), HandleTypes::ReadMode())))));
    setCounters(state);
}

void BM_WriteSyscall(benchmark::State& state) {
    for (auto _ : state) {
        int fd = ::open(outputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (size_t at = 0; at < g_text.size(); at += kChunk)
            if (::write(fd, g_text.data() + at, std::min(kChunk, g_text.size() - at)) < 0) std::abort();
        ::close(fd);
    }
    setCounters(state);
}

// Writing a list produced while it is written (lazy) and one built before the timing (strict).
void BM_LazyWrite(benchmark::State& state) {
    for (auto _ : state) {
        Value h = openUtf8(outputPath(), HandleTypes::WriteMode());
        Handle::hPutChars(h, memoryList(0));
        run(Handle::hClose(h));
    }
    setCounters(state);
}

void BM_StrictWrite(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Value list = memoryList(0);
        benchmark::DoNotOptimize(VUX::Internal::List::length(list));
        Value h = openUtf8(outputPath(), HandleTypes::WriteMode());
        state.ResumeTiming();
        run(Handle::hPutStr(h, list));
        run(Handle::hClose(h));
        state.PauseTiming();
        list = Value();
        state.ResumeTiming();
    }
    setCounters(state);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--size") == 0) {
            g_size = std::strtoull(argv[i + 1], nullptr, 10);
            for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
            argc -= 2;
            break;
        }
    prepare();
    for (auto [name, fn] : {std::pair{"BM_MemoryList", &BM_MemoryList},
                            {"BM_MemoryListHeld", &BM_MemoryListHeld},
                            {"BM_ReadSyscall", &BM_ReadSyscall},
                            {"BM_LazyRead", &BM_LazyRead},
                            {"BM_StrictRead", &BM_StrictRead},
                            {"BM_WriteSyscall", &BM_WriteSyscall},
                            {"BM_LazyWrite", &BM_LazyWrite},
                            {"BM_StrictWrite", &BM_StrictWrite}})
        benchmark::RegisterBenchmark(name, fn)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
    const std::string suffix = "/iterations:2/real_time";
    auto n = [&](const char* base) { return base + suffix; };
    int rc = rts_bench::run(argc, argv,
                            {{n("BM_LazyRead"), n("BM_MemoryList")},
                             {n("BM_StrictRead"), n("BM_MemoryList")},
                             {n("BM_StrictRead"), n("BM_MemoryListHeld")},
                             {n("BM_LazyRead"), n("BM_ReadSyscall")},
                             {n("BM_StrictRead"), n("BM_ReadSyscall")},
                             {n("BM_LazyWrite"), n("BM_MemoryList")},
                             {n("BM_StrictWrite"), n("BM_MemoryList")},
                             {n("BM_LazyWrite"), n("BM_WriteSyscall")},
                             {n("BM_StrictWrite"), n("BM_WriteSyscall")}});
    std::system(("rm -rf '" + g_dir + "'").c_str());
    return rc;
}
