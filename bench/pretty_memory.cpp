// Peak memory of rendering a lazily produced document while its text is consumed.
//
//   pretty_memory LINES   renders vcat of LINES sep groups, produced on demand, counts the
//                         characters of the result as they arrive (keeping none), and prints the
//                         peak resident set size of the process;
//   pretty_memory         runs itself for 10^6 and 10^7 lines, each in its own process, and
//                         prints both peaks and their ratio (flat memory means a ratio near 1).
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Internal/List.h"
#include "rts/Stack.h"

namespace {

namespace D = Text::PrettyPrint::Annotated::Drovane;
using rts::Value;
using VUX::Types::Cons;
using VUX::Types::Nil;

Value text(std::string_view s) { return D::text(VUX::Internal::List::fromBytes(s)); }

Value lines(int64_t i, int64_t n) {
    if (i == n) return Nil();
    Value group = D::sep(Cons(text("entry_" + std::to_string(i)), Cons(text("="), Cons(text("value"), Nil()))));
    return Cons(std::move(group), rts::delay([i, n] { return lines(i + 1, n); }));
}

long peakKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;  // kilobytes on Linux
}

int measure(int64_t n) {
    uint64_t chars = 0, newlines = 0;
    auto t0 = std::chrono::steady_clock::now();
    rts::run_on_large_stack([&] {
        Value text;
        {
            Value doc = D::vcat(lines(0, n));  // the list is referenced only from the document
            text = D::render(doc);
        }
        for (;;) {
            const Value& cell = rts::force(text);
            if (cell->tag == VUX::Types::Nil_tag) break;
            ++chars;
            if (VUX::Types::charOf(rts::force(rts::field(cell, 0))) == '\n') ++newlines;
            Value next = rts::field(cell, 1);
            text = std::move(next);
        }
    });
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (newlines + 1 != static_cast<uint64_t>(n)) {
        std::fprintf(stderr, "expected %lld lines, rendered %llu\n", static_cast<long long>(n),
                     static_cast<unsigned long long>(newlines + 1));
        return 1;
    }
    std::printf("%lld lines, %llu characters, %.2f s, peak RSS %ld KiB\n", static_cast<long long>(n),
                static_cast<unsigned long long>(chars), seconds, peakKiB());
    return 0;
}

// Runs this program for `n` lines in a child process and returns its peak, or -1.
long childPeak(int64_t n) {
    char self[4096];
    ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
    if (len <= 0) return -1;
    self[len] = '\0';
    std::string cmd = std::string("'") + self + "' " + std::to_string(n);
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[512];
    long peak = -1;
    while (std::fgets(buf, sizeof buf, p)) {
        std::fputs(buf, stdout);
        if (const char* at = std::strstr(buf, "peak RSS ")) peak = std::strtol(at + 9, nullptr, 10);
    }
    return pclose(p) == 0 ? peak : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) return measure(std::stoll(argv[1]));
    long small = childPeak(1'000'000), large = childPeak(10'000'000);
    if (small <= 0 || large <= 0) return 1;
    std::printf("peak RSS at 10^7 lines / at 10^6 lines: %.2f\n", static_cast<double>(large) / small);
    return 0;
}
