// The ways compiled code stops the program (each checked in a child process) and the constants
// that raise the arithmetic exceptions.
#include <gtest/gtest.h>

#include "VUX/Prim/Exception.h"
#include "VUX/Prim/Panic.h"

namespace {

using namespace VUX::Prim;

class PanicDeathTest : public ::testing::Test {
  protected:
    // The runtime may have started threads; re-executing the test binary is the safe way to fork.
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(PanicDeathTest, PanicErrorReportsTheMessageAndStops) {
    EXPECT_DEATH(Panic::panicError("the impossible happened"), "the impossible happened\n");
}

TEST_F(PanicDeathTest, AbsentSumFieldStopsWhenEvaluated) {
    EXPECT_DEATH(Panic::absentSumFieldError.get(), "entered absent sum field!\n");
}

TEST_F(PanicDeathTest, AbsentSumFieldIsHarmlessUntilEvaluated) {
    // Holding or passing the constant around is fine; only demanding it stops the program.
    EXPECT_EXIT(
        {
            rts::Value v = Panic::absentSumFieldError.value();
            rts::Value copy = v;
            std::exit(rts::is_evaluated(copy) ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(PanicDeathTest, AbsentErrorsReportTheMessageAndStop) {
    EXPECT_DEATH(Panic::absentError("argument x of f"), "argument x of f\n");
    EXPECT_DEATH(Panic::absentConstraintError("Show a of g"), "Show a of g\n");
}

TEST_F(PanicDeathTest, APanicCannotBeCaught) {
    EXPECT_DEATH(
        {
            try {
                Panic::panicError("not an exception");
            } catch (...) {
                std::exit(0);
            }
        },
        "not an exception");
}

struct RaiserCase {
    const char* name;
    rts::Constant* constant;
    rts::RtsError kind;
};

class ArithmeticException : public ::testing::TestWithParam<RaiserCase> {};

TEST_P(ArithmeticException, RaisedOnEveryDemand) {
    const RaiserCase& c = GetParam();
    rts::Value v = c.constant->value();  // taking the value evaluates nothing
    EXPECT_FALSE(rts::is_evaluated(v));
    for (int demand = 0; demand < 2; ++demand) {
        try {
            rts::force(v);
            ADD_FAILURE() << c.name << " returned";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.name;
            EXPECT_FALSE(e.is_async()) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Raisers, ArithmeticException,
    ::testing::Values(RaiserCase{"raiseOverflow", &Exception::raiseOverflow, rts::RtsError::Overflow},
                      RaiserCase{"raiseUnderflow", &Exception::raiseUnderflow, rts::RtsError::Underflow},
                      RaiserCase{"raiseDivZero", &Exception::raiseDivZero, rts::RtsError::DivideByZero}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
