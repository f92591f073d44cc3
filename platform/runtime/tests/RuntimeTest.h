// Small helpers shared by the runtime's own tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "Testing.h"
#include "rts/rts.h"

namespace rts_test {

using rts::Value;

// A boxed machine integer, built with the runtime alone.
inline Value box(int64_t i) { return rts::con_word(0, static_cast<uint64_t>(i)); }
inline int64_t unbox(const Value& v) { return rts::int_word(rts::force(v), 0); }

inline uint32_t count_of(const Value& v) { return v->rc.load(); }

// A value whose destruction is observable: its closure holds a token that counts destructions.
struct DestroyCounter {
    std::shared_ptr<std::atomic<int>> n = std::make_shared<std::atomic<int>>(0);
    struct Token {
        std::shared_ptr<std::atomic<int>> n;
        Token(std::shared_ptr<std::atomic<int>> c) : n(std::move(c)) {}
        Token(Token&& t) noexcept = default;
        Token(const Token&) = delete;
        ~Token() {
            if (n) ++*n;
        }
    };
    Token token() const { return Token(n); }
    int destroyed() const { return n->load(); }
};

// Runs `body` and returns the runtime exception it raised; fails the test if it raised none.
inline rts::Exception raised_by(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        return e;
    }
    ADD_FAILURE() << "no exception was raised";
    return rts::Exception(Value(), rts::RtsError::None, false);
}

// A chain of n suspended computations, each demanding the one before it, so forcing the last
// nests n evaluations. Its value is n.
inline Value nested_chain(int64_t n) {
    Value t = box(0);
    for (int64_t i = 0; i < n; ++i) {
        t = rts::delay([prev = std::move(t)]() { return box(unbox(prev) + 1); });
    }
    return t;
}

}  // namespace rts_test
