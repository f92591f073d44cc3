// Errors with call stacks, their standard text, and catching exceptions by type.
#include <gtest/gtest.h>

#include "Data/Either.h"
#include "Testing.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Stack.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;

namespace {

const Stack::Loc kMixLoc{"vux-cover-0.7.0.2-c685", "Trace.Cover.Mix", "libraries/vux-cover/Trace/Cover/Mix", 60, 27, 60, 32};

std::string textOf(const rts::Exception& e) { return rts::display(e); }

TEST(Errors, ErrorTextWithCallStack) {
    Value stack = Stack::callStack({{"error", kMixLoc}});
    Value failing = Err::errorValue(str("updateTix failed"), stack);
    try {
        rts::force(failing);
        FAIL() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_EQ(textOf(e),
                  "updateTix failed\n"
                  "CallStack (from HasCallStack):\n"
                  "  error, called at libraries/vux-cover/Trace/Cover/Mix:60:27 in vux-cover-0.7.0.2-c685:Trace.Cover.Mix");
        // The exception is kept: a second demand raises the same value without running again.
        try {
            rts::force(failing);
        } catch (const rts::Exception& again) {
            EXPECT_TRUE(same(again.value(), e.value()));
        }
    }
}

TEST(Errors, TwoEntriesAndNoStack) {
    Value stack = Stack::callStack({{"lastError", {"vux-internal", "VUX.Internal.List", "platform/vux-internal/VUX/Internal/List", 1646, 29, 1646, 38}},
                                    {"last", {"vux-boot-th", "VUX.Boot.TH.Ppr", "libraries/vux-boot-th/VUX/Boot/TH/Ppr", 12, 3, 12, 7}}});
    EXPECT_EQ(to_string(Stack::prettyCallStack(stack)),
              "CallStack (from HasCallStack):\n"
              "  lastError, called at platform/vux-internal/VUX/Internal/List:1646:29 in vux-internal:VUX.Internal.List\n"
              "  last, called at libraries/vux-boot-th/VUX/Boot/TH/Ppr:12:3 in vux-boot-th:VUX.Boot.TH.Ppr");
    try {
        Err::errorWithoutStackTrace(str("stimes: positive multiplier expected"));
    } catch (const rts::Exception& e) {
        EXPECT_EQ(textOf(e), "stimes: positive multiplier expected");
    }
    // `last` of an empty list pushes lastError's own entry onto the caller's stack.
    Value caller = Stack::callStack({{"last", {"vux-boot-th", "VUX.Boot.TH.Ppr", "libraries/vux-boot-th/VUX/Boot/TH/Ppr", 12, 3, 12, 7}}});
    try {
        List::last(Nil(), caller);
        FAIL();
    } catch (const rts::Exception& e) {
        const Value& some = rts::force(e.value());
        EXPECT_EQ(List::length(Stack::getCallStack(Exception::someExceptionContext(some))), 2);
        EXPECT_EQ(textOf(e).substr(0, 25), "Prelude.last: empty list\n");
    }
}

TEST(Errors, FrozenStacksIgnorePushes) {
    Value base = Stack::callStack({{"ioError", kMixLoc}, {"throwError", kMixLoc}});
    Value seen;
    Value f = rts::fun<1>([&seen](const Value& s) {
        seen = s;
        return I_hash(0);
    });
    Stack::withFrozenCallStack(base, f);
    Value pushed = Stack::pushCallStack(str("x"), Stack::srcLoc(kMixLoc), seen);
    EXPECT_EQ(List::length(Stack::getCallStack(pushed)), 1);
    EXPECT_EQ(to_string(rts::field(rts::force(vux::testing::items(Stack::getCallStack(pushed))[0]), 0)), "throwError");
}

Value runCatchArith(Value act) {
    Value handler = rts::fun<1>([](const Value& e) { return IO::returnIO(I_hash(100 + rts::force(e)->tag)); });
    return IO::runIO(Exception::catch_(Exception::inst_Exception_ArithException(), act, handler));
}

TEST(Exceptions, CatchByTypeLetsOthersPass) {
    // A runtime failure arrives as the language's ArithException.
    Value divide = IO::io([]() -> Value { rts::raise(rts::RtsError::DivideByZero); });
    EXPECT_EQ(intOf(rts::force(runCatchArith(divide))), 100 + Exception::DivideByZero_tag);

    // An error call is not an ArithException: it passes the handler unchanged.
    Value err = IO::io([]() -> Value { Err::errorWithoutStackTrace(str("boom")); });
    try {
        runCatchArith(err);
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_EQ(textOf(e), "boom");
    }
    // A value that is not a SomeException at all passes too.
    Value marker = IO::io([]() -> Value { return rts::force(vux::testing::failing("marker")); });
    try {
        runCatchArith(marker);
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "marker"));
    }
    // catching SomeException catches everything.
    Value all = Exception::catch_(Exception::inst_Exception_SomeException(), err,
                                  rts::fun<1>([](const Value& some) {
                                      return IO::returnIO(Exception::displaySomeExceptionText(some));
                                  }));
    EXPECT_EQ(to_string(IO::runIO(all)), "boom");
}

TEST(Exceptions, TryThrowIOEvaluate) {
    Value dErr = Exception::inst_Exception_ErrorCall();
    Value ok = IO::runIO(Exception::try_(dErr, IO::returnIO(I_hash(3))));
    ASSERT_EQ(rts::force(ok)->tag, Data::Either::Right_tag);
    Value thrown = IO::runIO(Exception::try_(dErr, Exception::throwIO(dErr, Exception::ErrorCall(str("io")))));
    ASSERT_EQ(rts::force(thrown)->tag, Data::Either::Left_tag);
    EXPECT_EQ(to_string(rts::field(rts::force(rts::field(rts::force(thrown), 0)), 0)), "io");
    // Building the action raises nothing; evaluate raises when run.
    Value act = Exception::evaluate(Err::errorValue(str("late"), Stack::EmptyCallStack()));
    Value caught = IO::runIO(Exception::try_(dErr, act));
    EXPECT_EQ(rts::force(caught)->tag, Data::Either::Left_tag);
}

// Which handler type catches a runtime failure, and what it sees.
TEST(Exceptions, RuntimeFailuresAreTheLanguagesExceptionValues) {
    enum Type { Arith, Async, Loop };
    struct Case {
        rts::RtsError kind;
        Type type;
        uint8_t tag;  // constructor of ArithException or AsyncException
        const char* text;
    };
    const Case cases[] = {
        {rts::RtsError::Overflow, Arith, Exception::Overflow_tag, "arithmetic overflow"},
        {rts::RtsError::Underflow, Arith, Exception::Underflow_tag, "arithmetic underflow"},
        {rts::RtsError::DivideByZero, Arith, Exception::DivideByZero_tag, "divide by zero"},
        {rts::RtsError::NonTermination, Loop, 0, "<<loop>>"},
        {rts::RtsError::StackOverflow, Async, Exception::StackOverflow_tag, "stack overflow"},
        {rts::RtsError::HeapOverflow, Async, Exception::HeapOverflow_tag, "heap overflow"},
        {rts::RtsError::ThreadKilled, Async, Exception::ThreadKilled_tag, "thread killed"},
    };
    const Value records[] = {Exception::inst_Exception_ArithException(),
                             Exception::inst_Exception_AsyncException(),
                             Exception::inst_Exception_NonTermination()};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Value raising = IO::io([kind = c.kind]() -> Value { rts::raise(kind); });
        try {
            IO::runIO(raising);
            FAIL();
        } catch (const rts::Exception& e) {
            EXPECT_EQ(textOf(e), c.text);
            ASSERT_TRUE(Exception::isSomeException(e.value()));
        }
        // Exactly the handler of its own type takes it, and sees the constructor; the others
        // let it pass.
        for (int t = Arith; t <= Loop; ++t) {
            Value attempt = Exception::try_(records[t], raising);
            if (t != c.type) {
                EXPECT_THROW(IO::runIO(attempt), rts::Exception) << "caught by the handler of type " << t;
                continue;
            }
            Value r = IO::runIO(attempt);
            const Value& either = rts::force(r);
            ASSERT_EQ(either->tag, Data::Either::Left_tag);
            EXPECT_EQ(rts::force(rts::field(either, 0))->tag, c.tag);
        }
        // Asynchronous ones travel in a SomeAsyncException, which a handler of that type takes;
        // it shows and displays as the exception inside.
        Value someAsync = Exception::try_(Exception::inst_Exception_SomeAsyncException(), raising);
        if (c.type != Async) {
            EXPECT_THROW(IO::runIO(someAsync), rts::Exception);
            continue;
        }
        Value layer = IO::runIO(someAsync);
        const Value& either = rts::force(layer);
        ASSERT_EQ(either->tag, Data::Either::Left_tag);
        const Value& inner = rts::field(either, 0);
        EXPECT_EQ(to_string(Exception::displayException(Exception::inst_Exception_SomeAsyncException(), inner)),
                  c.text);
        EXPECT_EQ(to_string(Show::showsPrec(Exception::inst_Show_SomeAsyncException(), 11, inner, str("!"))),
                  std::string(c.text) + "!");
    }
    // An AsyncException thrown by language code has the same shape as the runtime's.
    Value userInterrupt = Value::adopt(Exception::AsyncException_closure_tbl[Exception::UserInterrupt_tag]);
    Value thrown = IO::runIO(Exception::try_(Exception::inst_Exception_SomeAsyncException(),
                                             Exception::throwIO(records[Async], userInterrupt)));
    ASSERT_EQ(rts::force(thrown)->tag, Data::Either::Left_tag);
    EXPECT_TRUE(same(rts::field(rts::force(rts::field(rts::force(thrown), 0)), 1), userInterrupt));
}

TEST(Errors, ErrorAtNamesTheCallersSourceLine) {
    const int line = __LINE__ + 2;
    try {
        Err::errorAt("layout failed", "vux-pretty-1.1.3.6", "Text.PrettyPrint.Annotated.Drovane");
    } catch (const rts::Exception& e) {
        const std::string expected = "layout failed\n"
                                     "CallStack (from HasCallStack):\n"
                                     "  error, called at platform/vux-internal/tests/error_test.cpp:" +
                                     std::to_string(line) + ":";
        const std::string text = textOf(e);
        EXPECT_EQ(text.substr(0, expected.size()), expected);
        const std::string site = " in vux-pretty-1.1.3.6:Text.PrettyPrint.Annotated.Drovane";
        ASSERT_GT(text.size(), expected.size() + site.size());
        EXPECT_EQ(text.substr(text.size() - site.size()), site);
    }
}

}  // namespace
