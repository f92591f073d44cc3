// Every machine-level helper is exported from the built shared object under its exact name: each is
// looked up with dlsym in the library (the plain or the profiling build, whichever this test was
// built for) and called once through the C declaration that generated code uses.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#ifndef VUX_PRIM_LIBRARY
#error "VUX_PRIM_LIBRARY must name the shared object under test"
#endif

namespace {

class ExportedSymbols : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { handle_ = dlopen(VUX_PRIM_LIBRARY, RTLD_NOW | RTLD_LOCAL); }
    static void TearDownTestSuite() {
        if (handle_) dlclose(handle_);
    }
    void SetUp() override { ASSERT_NE(handle_, nullptr) << VUX_PRIM_LIBRARY << ": " << dlerror(); }

    // The symbol `name` as a pointer of type F; fails the test when it is missing.
    template <class F>
    F find(const std::string& name) {
        void* p = dlsym(handle_, name.c_str());
        EXPECT_NE(p, nullptr) << name << " is not exported";
        return reinterpret_cast<F>(p);
    }

    static void* handle_;
};
void* ExportedSymbols::handle_ = nullptr;

using Unary = uint64_t (*)(uint64_t);
using Binary = uint64_t (*)(uint64_t, uint64_t);
using Ternary = uint64_t (*)(uint64_t, uint64_t, uint64_t);
using Store = void (*)(uint64_t, uint64_t);

constexpr unsigned kWidths[] = {8, 16, 32, 64};
uint64_t width_mask(unsigned w) { return w == 64 ? ~uint64_t{0} : (uint64_t{1} << w) - 1; }
uint64_t address_of(uint64_t* p) { return reinterpret_cast<uintptr_t>(p); }

TEST_F(ExportedSymbols, AtomicReadModifyWrite) {
    struct Op {
        const char* name;
        uint64_t (*after)(uint64_t contents, uint64_t val);
    };
    const Op ops[] = {
        {"hs_atomic_add", [](uint64_t c, uint64_t v) { return c + v; }},
        {"hs_atomic_sub", [](uint64_t c, uint64_t v) { return c - v; }},
        {"hs_atomic_and", [](uint64_t c, uint64_t v) { return c & v; }},
        {"hs_atomic_nand", [](uint64_t c, uint64_t v) { return ~(c & v); }},
        {"hs_atomic_or", [](uint64_t c, uint64_t v) { return c | v; }},
        {"hs_atomic_xor", [](uint64_t c, uint64_t v) { return c ^ v; }},
        {"hs_xchg", [](uint64_t, uint64_t v) { return v; }},
    };
    for (const Op& op : ops)
        for (unsigned w : kWidths) {
            const std::string name = op.name + std::to_string(w);
            Binary fn = find<Binary>(name);
            if (!fn) continue;
            uint64_t word = 0xF0;
            EXPECT_EQ(fn(address_of(&word), 0x3C), 0xF0u) << name;
            EXPECT_EQ(word, op.after(0xF0, 0x3C) & width_mask(w)) << name;
        }
}

TEST_F(ExportedSymbols, AtomicCompareExchangeReadWrite) {
    for (unsigned w : kWidths) {
        const std::string n = std::to_string(w);
        uint64_t word = 5;
        if (auto cas = find<Ternary>("hs_cmpxchg" + n)) {
            EXPECT_EQ(cas(address_of(&word), 5, 9), 5u) << w;
            EXPECT_EQ(word, 9u) << w;
        }
        if (auto read = find<Unary>("hs_atomicread" + n)) {
            EXPECT_EQ(read(address_of(&word)), 9u) << w;
        }
        if (auto write = find<Store>("hs_atomicwrite" + n)) {
            write(address_of(&word), ~uint64_t{0});
            EXPECT_EQ(word, width_mask(w)) << w;
        }
    }
}

TEST_F(ExportedSymbols, BitOperations) {
    struct Case {
        const char* name;
        uint64_t x;
        uint64_t expected;
    };
    const Case unary[] = {
        {"hs_bswap64", 0x0102030405060708, 0x0807060504030201},
        {"hs_bitrev8", 0x101, 0x80},
        {"hs_bitrev64", 1, uint64_t{1} << 63},
        {"hs_clz8", 0x100, 8},
        {"hs_clz16", 1, 15},
        {"hs_clz32", 1, 31},
        {"hs_clz64", 1, 63},
        {"hs_ctz8", 0x100, 8},
        {"hs_ctz16", 0x10000, 16},
        {"hs_ctz32", 0x80000000, 31},
        {"hs_ctz64", 0, 64},
        {"hs_popcnt8", 0x1FF, 8},
        {"hs_popcnt16", 0x1FFFF, 16},
        {"hs_popcnt32", ~uint64_t{0}, 32},
        {"hs_popcnt64", ~uint64_t{0}, 64},
        {"hs_popcnt", 0xF0F0, 8},
    };
    for (const Case& c : unary)
        if (auto fn = find<Unary>(c.name)) {
            EXPECT_EQ(fn(c.x), c.expected) << c.name;
        }

    if (auto fn = find<uint16_t (*)(uint16_t)>("hs_bswap16")) {
        EXPECT_EQ(fn(0x1122), 0x2211);
    }
    if (auto fn = find<uint32_t (*)(uint32_t)>("hs_bswap32")) {
        EXPECT_EQ(fn(0x11223344), 0x44332211u);
    }
    if (auto fn = find<uint16_t (*)(uint16_t)>("hs_bitrev16")) {
        EXPECT_EQ(fn(1), 0x8000);
    }
    if (auto fn = find<uint32_t (*)(uint32_t)>("hs_bitrev32")) {
        EXPECT_EQ(fn(1), 0x80000000u);
    }

    for (unsigned w : kWidths) {
        if (auto pdep = find<Binary>("hs_pdep" + std::to_string(w))) {
            EXPECT_EQ(pdep(0b101, 0xF0), 0x50u) << w;
        }
        if (auto pext = find<Binary>("hs_pext" + std::to_string(w))) {
            EXPECT_EQ(pext(0xF0, 0x30), 3u) << w;
        }
    }
    if (auto fn = find<Binary>("hs_mulIntMayOflo")) {
        EXPECT_EQ(fn(uint64_t{1} << 31, 1), 1u);
    }
    if (auto fn = find<float (*)(uint64_t)>("hs_word2float32")) {
        EXPECT_EQ(fn(~uint64_t{0}), 18446744073709551616.0f);
    }
    if (auto fn = find<double (*)(uint64_t)>("hs_word2float64")) {
        EXPECT_EQ(fn(uint64_t{1} << 63), 9223372036854775808.0);
    }
    if (auto table = find<const uint8_t*>("popcount_tab")) {
        EXPECT_EQ(table[0], 0);
        EXPECT_EQ(table[0xB7], 6);
        EXPECT_EQ(table[255], 8);
    }
}

TEST_F(ExportedSymbols, DebugOutput) {
    using Output = void (*)(const char*);
    auto out = find<Output>("debugLn");
    auto err = find<Output>("debugErrLn");
    ASSERT_TRUE(out && err);
    ::testing::internal::CaptureStdout();
    out("to standard output");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "to standard output\n");
    ::testing::internal::CaptureStderr();
    err("to standard error");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to standard error\n");
}

}  // namespace
