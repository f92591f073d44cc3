#include <gtest/gtest.h>
#include "rts/rts.h"
TEST(Smoke, Works) {
  int runs = 0;
  rts::Value t = rts::delay([&runs] { ++runs; return rts::con_word(0, 42); });
  EXPECT_EQ(rts::word(rts::force(t), 0), 42u);
  EXPECT_EQ(rts::word(rts::force(t), 0), 42u);
  EXPECT_EQ(runs, 1);
  rts::Value add = rts::fun<2>([](const rts::Value& a, const rts::Value& b) {
    return rts::con_word(0, rts::word(rts::force(a), 0) + rts::word(rts::force(b), 0)); });
  rts::Value p = rts::apply(add, rts::con_word(0, 1));
  EXPECT_EQ(rts::word(rts::apply(p, rts::con_word(0, 2)), 0), 3u);
}
