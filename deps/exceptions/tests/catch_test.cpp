// Control.Monad.Catch over IO: throwM, catch by type, try, and bracket_ releasing on return, on
// a synchronous exception and on an asynchronous one (a killed thread).
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Control/Monad/Catch.h"
#include "Data/Either.h"
#include "Testing.h"
#include "VUX/Internal/Conc.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Tuple.h"
#include "rts/Threads.h"

namespace {

using rts::Value;
using namespace Control::Monad::Catch;
namespace IO = VUX::Internal::IO;
namespace Ex = VUX::Internal::Exception;
namespace Conc = VUX::Internal::Conc;
using vux::testing::str;
using vux::testing::to_string;

Value run(const Value& act) { return IO::runIO(act); }
Value unit() { return VUX::Tuple::Unit(); }
Value errorCalls() { return Ex::inst_Exception_ErrorCall(); }
Value arith() { return Ex::inst_Exception_ArithException(); }
Value divideByZero() { return Value::adopt(Ex::ArithException_closure_tbl[Ex::DivideByZero_tag]); }
Value raising(const std::string& message) {
    return throwM(inst_MonadThrow_IO(), errorCalls(), Ex::ErrorCall(str(message)));
}

// An action that appends `what` to the log.
Value logging(std::vector<std::string>& log, std::string what) {
    return IO::io([&log, what] {
        log.push_back(what);
        return unit();
    });
}

TEST(Catch, ThrowCatchAndTryByType) {
    Value dCatch = inst_MonadCatch_IO();
    Value message = rts::fun<1>([](const Value& e) { return IO::returnIO(rts::field(rts::force(e), 0)); });
    EXPECT_EQ(to_string(run(catch_(dCatch, errorCalls(), raising("boom"), message))), "boom");
    // An exception of another type passes the handler by.
    EXPECT_THROW(run(catch_(dCatch, arith(), raising("boom"), message)), rts::Exception);
    const Value& caught = rts::force(run(try_(dCatch, errorCalls(), raising("boom"))));
    ASSERT_EQ(caught->tag, Data::Either::Left_tag);
    EXPECT_EQ(to_string(rts::field(rts::force(rts::field(caught, 0)), 0)), "boom");
    const Value& fine = rts::force(run(try_(dCatch, errorCalls(), IO::returnIO(str("ok")))));
    ASSERT_EQ(fine->tag, Data::Either::Right_tag);
    EXPECT_EQ(to_string(rts::field(fine, 0)), "ok");
    EXPECT_THROW(run(try_(dCatch, errorCalls(), throwM(inst_MonadThrow_IO(), arith(), divideByZero()))),
                 rts::Exception);
    // Building the action raises nothing; running it does.
    Value thrown = throwM(inst_MonadThrow_IO(), errorCalls(), Ex::ErrorCall(str("later")));
    EXPECT_THROW(run(thrown), rts::Exception);
}

TEST(Bracket, ReleasesAfterReturnAndAfterASynchronousException) {
    Value dMask = inst_MonadMask_IO();
    std::vector<std::string> log;
    Value result =
        run(bracket_(dMask, logging(log, "acquire"), logging(log, "release"), IO::returnIO(str("done"))));
    EXPECT_EQ(to_string(result), "done");
    EXPECT_EQ(log, (std::vector<std::string>{"acquire", "release"}));
    log.clear();
    Value failing = IO::thenIO(logging(log, "use"), raising("use failed"));
    try {
        run(bracket_(dMask, logging(log, "acquire"), logging(log, "release"), failing));
        ADD_FAILURE() << "the exception was lost";
    } catch (const rts::Exception& e) {
        EXPECT_EQ(to_string(rts::field(rts::force(Ex::someExceptionValue(Ex::exceptionValue(e))), 0)),
                  "use failed");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"acquire", "use", "release"}));
}

TEST(Bracket, GeneralBracketReportsHowUseEnded) {
    Value dMask = inst_MonadMask_IO();
    std::vector<uint8_t> exits;
    Value release = rts::fun<2>([&exits](const Value&, const Value& exit) {
        return IO::io([&exits, exit] {
            exits.push_back(rts::force(exit)->tag);
            return VUX::Types::I_hash(7);
        });
    });
    Value use = rts::fun<1>([](const Value& a) { return IO::returnIO(a); });
    Value both = run(rts::apply(generalBracket(dMask), IO::returnIO(str("res")), release, use));
    EXPECT_EQ(to_string(rts::field(rts::force(both), 0)), "res");
    EXPECT_EQ(VUX::Types::intOf(rts::force(rts::field(rts::force(both), 1))), 7);
    Value useFails = rts::fun<1>([](const Value&) { return raising("no"); });
    EXPECT_THROW(run(rts::apply(generalBracket(dMask), IO::returnIO(str("res")), release, useFails)),
                 rts::Exception);
    EXPECT_EQ(exits, (std::vector<uint8_t>{ExitCaseSuccess_tag, ExitCaseException_tag}));
}

TEST(Bracket, ReleasesWhenTheThreadIsKilled) {
    // The thread blocks inside bracket_'s action; killing it interrupts the wait and the release
    // still runs, masked.
    Value dMask = inst_MonadMask_IO();
    Value gate = run(Conc::newEmptyMVar());
    Value released = run(Conc::newEmptyMVar());
    Value t = run(Conc::forkIO(bracket_(dMask, IO::returnIO(unit()), Conc::putMVar(released, str("released")),
                                        Conc::takeMVar(gate))));
    while (rts::thread_status(t) != rts::ThreadStatus::Blocked) std::this_thread::yield();
    run(Conc::killThread(t));
    EXPECT_EQ(to_string(run(Conc::takeMVar(released))), "released");
    rts::wait_thread(t);
}

}  // namespace
