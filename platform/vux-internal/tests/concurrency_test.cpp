// Handlers, masking, bracketing, threads and mailboxes as IO actions of the base layer.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Data/Either.h"
#include "Testing.h"
#include "VUX/Internal/Conc.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "rts/Mask.h"
#include "rts/Threads.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using rts::MaskingState;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;

namespace {

namespace Ex = VUX::Internal::Exception;

Value unit() { return VUX::Tuple::Unit(); }
Value run(const Value& action) { return IO::runIO(action); }

// The language's MaskingState tag of the calling thread, and of each runtime state.
uint8_t maskingTagNow() { return rts::force(run(Ex::getMaskingState()))->tag; }
uint8_t tagOf(MaskingState s) {
    switch (s) {
        case MaskingState::Unmasked: return Ex::Unmasked_tag;
        case MaskingState::MaskedInterruptible: return Ex::MaskedInterruptible_tag;
        case MaskingState::MaskedUninterruptible: return Ex::MaskedUninterruptible_tag;
    }
    return 255;
}
const MaskingState kStates[] = {MaskingState::Unmasked, MaskingState::MaskedInterruptible,
                                MaskingState::MaskedUninterruptible};

// An action that records the masking state it runs in and answers unit.
Value recordState(std::vector<uint8_t>& seen) {
    return IO::io([&seen] {
        seen.push_back(maskingTagNow());
        return unit();
    });
}
// An action that appends `what` to the log and answers `result`.
Value logging(std::vector<std::string>& log, std::string what, Value result = Value()) {
    return IO::io([&log, what, result] {
        log.push_back(what);
        return result ? result : unit();
    });
}
Value errorCall(const std::string& message) {
    return IO::io([message]() -> Value { Err::errorWithoutStackTrace(str(message)); });
}
Value asyncValue(uint8_t tag) { return Value::adopt(Ex::AsyncException_closure_tbl[tag]); }

TEST(Handlers, RunMaskedAndTheCallersStateIsRestored) {
    // Unmasked callers get handlers masked interruptibly; masked callers keep their state.
    Value dErr = Ex::inst_Exception_ErrorCall();
    for (MaskingState outer : kStates) {
        SCOPED_TRACE(int(outer));
        const uint8_t expected = outer == MaskingState::MaskedUninterruptible ? Ex::MaskedUninterruptible_tag
                                                                              : Ex::MaskedInterruptible_tag;
        std::vector<uint8_t> seen;
        rts::with_masking_state(outer, [&] {
            Value handler = rts::fun<1>([&seen](const Value&) { return recordState(seen); });
            run(Ex::catch_(dErr, errorCall("x"), handler));
            run(Ex::handle(dErr, handler, errorCall("x")));
            Value handler2 = rts::fun<2>([&seen](const Value&, const Value&) { return recordState(seen); });
            run(Ex::catch2(dErr, errorCall("x"), handler2));
            // The action itself runs in the caller's state.
            run(Ex::catch_(dErr, recordState(seen), handler));
            EXPECT_EQ(rts::masking_state(), outer);
        });
        EXPECT_EQ(seen, (std::vector<uint8_t>{expected, expected, expected, tagOf(outer)}));
    }
}

TEST(Handlers, AnExceptionNotTakenPassesOnUnchanged) {
    // A runtime thread-killed failure through a handler of another type keeps its kind and
    // asynchrony (a forked thread ends silently on it; an interrupted computation reruns).
    Value killed = IO::io([]() -> Value { throw rts::Exception(Value(), rts::RtsError::ThreadKilled, true); });
    Value handler = rts::fun<1>([](const Value&) { return IO::returnIO(unit()); });
    for (const Value& act : {Ex::catch_(Ex::inst_Exception_ArithException(), killed, handler),
                             Ex::try_(Ex::inst_Exception_ErrorCall(), killed),
                             Ex::onException(killed, IO::returnIO(unit()))}) {
        try {
            run(act);
            ADD_FAILURE() << "nothing raised";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), rts::RtsError::ThreadKilled);
            EXPECT_TRUE(e.is_async());
            EXPECT_TRUE(Ex::isThreadKilled(e));
        }
    }
    // The same value thrown as a language exception is recognised too.
    try {
        Ex::throw_(Ex::inst_Exception_AsyncException(), asyncValue(Ex::ThreadKilled_tag));
    } catch (const rts::Exception& e) {
        EXPECT_EQ(e.kind(), rts::RtsError::None);
        EXPECT_TRUE(Ex::isThreadKilled(e));
    }
}

TEST(Masking, MaskRestoreAndInterruptibleInEveryState) {
    for (MaskingState outer : kStates) {
        SCOPED_TRACE(int(outer));
        const uint8_t o = tagOf(outer);
        const uint8_t masked = outer == MaskingState::Unmasked ? Ex::MaskedInterruptible_tag : o;
        std::vector<uint8_t> seen;
        // io restore = record; restore record.
        Value io = rts::fun<1>([&seen](const Value& restore) {
            return IO::thenIO(recordState(seen), rts::apply(restore, recordState(seen)));
        });
        rts::with_masking_state(outer, [&] {
            run(Ex::mask(io));
            run(Ex::uninterruptibleMask(io));
            run(Ex::mask_(recordState(seen)));
            run(Ex::uninterruptibleMask_(recordState(seen)));
            run(Ex::interruptible(recordState(seen)));
            EXPECT_EQ(rts::masking_state(), outer);
        });
        const uint8_t interruptible = outer == MaskingState::MaskedInterruptible ? Ex::Unmasked_tag : o;
        EXPECT_EQ(seen, (std::vector<uint8_t>{masked, o, Ex::MaskedUninterruptible_tag, o, masked,
                                              Ex::MaskedUninterruptible_tag, interruptible}));
    }
    // The state is restored when the masked action raises.
    EXPECT_THROW(run(Ex::mask_(errorCall("inside"))), rts::Exception);
    EXPECT_EQ(maskingTagNow(), Ex::Unmasked_tag);
}

TEST(Bracketing, CleanupRunsOnEveryExitAndMasked) {
    using Log = std::vector<std::string>;
    Value dErr = Ex::inst_Exception_ErrorCall();
    auto thing = [](Log& log, bool fails) {
        return rts::fun<1>([&log, fails](const Value& a) -> Value {
            log.push_back("thing " + to_string(a));
            return fails ? errorCall("thing failed") : IO::returnIO(str("result"));
        });
    };
    auto after = [](Log& log) {
        return rts::fun<1>([&log](const Value& a) {
            log.push_back("after " + to_string(a) + " " + std::to_string(maskingTagNow()));
            return IO::returnIO(unit());
        });
    };
    auto resultOf = [&](const Value& act) -> std::string {
        Value r = run(Ex::try_(dErr, act));
        const Value& e = rts::force(r);
        const Value& x = rts::field(e, 0);
        if (e->tag == Data::Either::Left_tag) return "raised " + to_string(rts::field(rts::force(x), 0));
        return to_string(x);
    };
    const std::string masked = std::to_string(Ex::MaskedInterruptible_tag);
    struct Case {
        const char* name;
        bool fails;
        std::string result;
        Log log;
    };
    const Case cases[] = {
        {"bracket", false, "result", {"before", "thing res", "after res " + masked}},
        {"bracket", true, "raised thing failed", {"before", "thing res", "after res " + masked}},
        {"bracketOnError", false, "result", {"before", "thing res"}},
        {"bracketOnError", true, "raised thing failed", {"before", "thing res", "after res " + masked}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.fails ? " failing" : ""));
        Log log;
        Value before = logging(log, "before", str("res"));
        Value act = std::string(c.name) == "bracket" ? Ex::bracket(before, after(log), thing(log, c.fails))
                                                     : Ex::bracketOnError(before, after(log), thing(log, c.fails));
        EXPECT_EQ(resultOf(act), c.result);
        EXPECT_EQ(log, c.log);
    }
    // finally and onException, and the states the parts run in.
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        Log log;
        Value act = fails ? errorCall("act failed") : logging(log, "act", str("done"));
        EXPECT_EQ(resultOf(Ex::finally(act, logging(log, "sequel"))), fails ? "raised act failed" : "done");
        EXPECT_EQ(resultOf(Ex::onException(act, logging(log, "what"))), fails ? "raised act failed" : "done");
        EXPECT_EQ(log, (fails ? Log{"sequel", "what"} : Log{"act", "sequel", "act"}));
    }
    std::vector<uint8_t> states;
    Value recordingThing = rts::fun<1>([&states](const Value&) { return recordState(states); });
    Value recordingAfter = rts::fun<1>([&states](const Value&) { return recordState(states); });
    run(Ex::bracket(recordState(states), recordingAfter, recordingThing));
    run(Ex::bracket_(recordState(states), recordState(states), recordState(states)));
    const uint8_t m = Ex::MaskedInterruptible_tag, u = Ex::Unmasked_tag;
    EXPECT_EQ(states, (std::vector<uint8_t>{m, u, m, m, u, m}));
}

// Records what escapes forked threads (the runtime reports escaping exceptions through this).
struct Uncaught {
    static inline std::mutex lock;
    static inline std::vector<std::string> texts;
    static void record(uint64_t, const rts::Exception& e) {
        std::lock_guard<std::mutex> g(lock);
        texts.push_back(rts::display(e));
    }
    static std::vector<std::string> take() {
        std::lock_guard<std::mutex> g(lock);
        return std::move(texts);
    }
};

class Threads : public ::testing::Test {
  protected:
    void SetUp() override { rts::set_uncaught_handler(&Uncaught::record); }
    void TearDown() override { rts::set_uncaught_handler(nullptr); }
    static void waitBlocked(const Value& t) {
        while (rts::thread_status(t) != rts::ThreadStatus::Blocked) std::this_thread::yield();
    }
};

TEST_F(Threads, ForkAndTalkThroughMailboxes) {
    Value box = run(Conc::newEmptyMVar());
    Value child = run(Conc::forkIO(IO::bindIO(Conc::myThreadId(), rts::fun<1>([box](const Value& me) {
        return Conc::putMVar(box, me);
    }))));
    EXPECT_TRUE(same(run(Conc::takeMVar(box)), child));
    EXPECT_FALSE(same(run(Conc::myThreadId()), child));

    // The non-blocking operations.
    EXPECT_EQ(rts::force(run(Conc::tryTakeMVar(box)))->tag, Maybe::Nothing_tag);
    EXPECT_TRUE(isTrue(rts::force(run(Conc::isEmptyMVar(box)))));
    EXPECT_TRUE(isTrue(rts::force(run(Conc::tryPutMVar(box, str("a"))))));
    EXPECT_FALSE(isTrue(rts::force(run(Conc::tryPutMVar(box, str("b"))))));
    EXPECT_EQ(to_string(run(Conc::readMVar(box))), "a");
    EXPECT_EQ(to_string(rts::field(rts::force(run(Conc::tryReadMVar(box))), 0)), "a");
    EXPECT_EQ(to_string(rts::field(rts::force(run(Conc::tryTakeMVar(box))), 0)), "a");
    EXPECT_EQ(to_string(run(Conc::takeMVar(run(Conc::newMVar(str("full")))))), "full");
    rts::wait_thread(child);
    EXPECT_TRUE(Uncaught::take().empty());
}

TEST_F(Threads, ThrowToAndKillReachBlockedThreadsAndKilledThreadsEndSilently) {
    // A handler in the target catches what is thrown to it, here an ErrorCall.
    Value dErr = Ex::inst_Exception_ErrorCall();
    Value gate = run(Conc::newEmptyMVar());
    Value answer = run(Conc::newEmptyMVar());
    Value handler = rts::fun<1>([answer](const Value& e) { return Conc::putMVar(answer, rts::field(rts::force(e), 0)); });
    Value t = run(Conc::forkIO(Ex::catch_(dErr, Conc::takeMVar(gate), handler)));
    waitBlocked(t);
    run(Conc::throwTo(dErr, t, Ex::ErrorCall(str("stop"))));
    EXPECT_EQ(to_string(run(Conc::takeMVar(answer))), "stop");

    // The ThreadKilled value thrown by language code, killThread, and a handler that catches the
    // kill and raises it again with throwIO: each ends its thread without a report.
    Value dAsync = Ex::inst_Exception_AsyncException();
    Value rethrow = rts::fun<1>([dAsync](const Value& e) { return Ex::throwIO(dAsync, e); });
    std::vector<Value> threads;
    for (int i = 0; i < 3; ++i) {
        Value body = i == 2 ? Ex::catch_(dAsync, Conc::takeMVar(gate), rethrow) : Conc::takeMVar(gate);
        Value target = run(Conc::forkIO(body));
        waitBlocked(target);
        if (i == 0) run(Conc::throwTo(dAsync, target, asyncValue(Ex::ThreadKilled_tag)));
        else run(Conc::killThread(target));
        threads.push_back(target);
    }
    // An ErrorCall escaping a thread is reported.
    Value failing = run(Conc::forkIO(errorCall("escaped")));
    for (const Value& th : threads) rts::wait_thread(th);
    rts::wait_thread(failing);
    rts::wait_thread(t);
    EXPECT_EQ(Uncaught::take(), (std::vector<std::string>{"escaped"}));
}

TEST_F(Threads, AKilledBracketStillReleasesAndMaskedCodeFinishesFirst) {
    // The thread blocks inside bracket's thing; the kill interrupts it and after still runs.
    Value gate = run(Conc::newEmptyMVar());
    Value released = run(Conc::newEmptyMVar());
    Value after = rts::fun<1>([released](const Value& a) { return Conc::putMVar(released, a); });
    Value thing = rts::fun<1>([gate](const Value&) { return Conc::takeMVar(gate); });
    Value t = run(Conc::forkIO(Ex::bracket(IO::returnIO(str("handle")), after, thing)));
    waitBlocked(t);
    run(Conc::killThread(t));
    EXPECT_EQ(to_string(run(Conc::takeMVar(released))), "handle");

    // A thread busy inside mask_ is not interrupted there: the kill arrives when mask_ ends, so
    // the masked part completes and what follows it never runs.
    std::atomic<bool> inMask{false}, go{false}, finishedMasked{false}, ranAfter{false};
    Value busy = IO::io([&] {
        inMask = true;
        while (!go.load()) rts::safe_point();
        finishedMasked = true;
        return unit();
    });
    Value after_mask = IO::io([&] {
        ranAfter = true;
        return unit();
    });
    Value worker = run(Conc::forkIO(IO::thenIO(Ex::mask_(busy), after_mask)));
    while (!inMask.load()) std::this_thread::yield();
    Value killer = run(Conc::forkIO(Conc::killThread(worker)));
    while (!rts::async_exception_pending(worker)) std::this_thread::yield();
    go = true;
    rts::wait_thread(worker);
    rts::wait_thread(killer);
    EXPECT_TRUE(finishedMasked.load());
    EXPECT_FALSE(ranAfter.load());
    EXPECT_TRUE(Uncaught::take().empty());
}

TEST_F(Threads, ModifyingAMailboxPutsTheOldValueBackOnFailure) {
    Value m = run(Conc::newMVar(str("old")));
    Value failing = rts::fun<1>([](const Value&) { return errorCall("modify failed"); });
    EXPECT_THROW(run(Conc::modifyMVar_(m, failing)), rts::Exception);
    EXPECT_THROW(run(Conc::withMVar(m, failing)), rts::Exception);
    EXPECT_EQ(to_string(run(Conc::readMVar(m))), "old");

    Value append = rts::fun<1>([](const Value& s) { return IO::returnIO(str(to_string(s) + "+")); });
    run(Conc::modifyMVar_(m, append));
    EXPECT_EQ(to_string(run(Conc::withMVar(m, rts::fun<1>([](const Value& s) { return IO::returnIO(s); })))), "old+");
    // modifyMVar: the pair's first component goes back, the second is the result.
    Value split = rts::fun<1>([](const Value& s) {
        return IO::returnIO(VUX::Tuple::Tuple2(str("new"), str("was " + to_string(s))));
    });
    EXPECT_EQ(to_string(run(Conc::modifyMVar(m, split))), "was old+");
    EXPECT_EQ(to_string(run(Conc::takeMVar(m))), "new");
}

// ---------------------------------------------------------------------------------------------
// Readers and derived forms used from several threads at once, from their first use on: the
// parsers and records built on first use are built once and shared.

namespace D = VUX::Internal::Derived;
VUX_DERIVE_TEXT_FORMS(Pair, {"Pair", {{D::Int(), "left"}, {D::listOf(D::maybeOf(D::Integer())), "right"}}})

TEST(Readers, SharedByThreadsFromTheFirstUse) {
    const std::string text = "[Pair {left = 1, right = [Just (-2),Nothing]},Pair {left = -3, right = []}]";
    std::vector<std::string> shown(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < shown.size(); ++i) {
        threads.emplace_back([&, i] {
            Value dRead = Read::inst_Read_List(inst_Read_Pair());
            Value dShow = Show::inst_Show_List(inst_Show_Pair());
            shown[i] = List::toUtf8(Show::showsPrec(dShow, 0, Read::read(dRead, str(text)), Nil()));
        });
    }
    for (std::thread& t : threads) t.join();
    for (const std::string& s : shown) EXPECT_EQ(s, text);
}

// ---------------------------------------------------------------------------------------------
// Packed text read by several threads at once: runs that all of them hold are forced once and read
// as cells, or read in place by the last thread still holding one; runs a thread holds alone are
// read in place. Every thread reads the whole text.

TEST(PackedText, ReadByThreadsAtOnce) {
    constexpr int kLines = 300;
    std::string expected;
    auto makeText = [&expected] {
        expected.clear();
        List::TextBuilder b;
        for (int line = 0; line < kLines; ++line) {
            b.pushChar('\n');
            b.pushSpaces(line % 50 * 3);
            expected += '\n' + std::string(line % 50 * 3, ' ');
            for (char c : "line \xe9" + std::to_string(line)) {
                b.pushChar(static_cast<unsigned char>(c));
                expected += c == '\xe9' ? "\u00e9" : std::string(1, c);
            }
        }
        return b.finish(Nil());
    };
    constexpr size_t kThreads = 8;
    std::vector<Value> own, sharedCopies;
    for (size_t i = 0; i < kThreads; ++i) own.push_back(makeText());
    Value shared = makeText();
    for (size_t i = 0; i < kThreads; ++i) sharedCopies.push_back(shared);
    shared = Value();  // the threads hold the only references
    rts::share_with_threads();
    std::vector<std::string> fromShared(kThreads), fromOwn(kThreads);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            fromShared[i] = List::toUtf8(std::move(sharedCopies[i]));
            fromOwn[i] = List::toUtf8(std::move(own[i]));
        });
    }
    for (std::thread& t : threads) t.join();
    for (size_t i = 0; i < kThreads; ++i) {
        EXPECT_EQ(fromShared[i], expected) << i;
        EXPECT_EQ(fromOwn[i], expected) << i;
    }
}

}  // namespace
