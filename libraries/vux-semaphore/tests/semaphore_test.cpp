// Named semaphores in one process and between a parent and its child: creating, opening, counting,
// removing, the refused names, and fresh names with their retries.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <limits>
#include <regex>
#include <set>

#include "System/OsString.h"
#include "VUX/Internal/List.h"
#include "rts/Mask.h"
#include "semaphore_test.h"

namespace {

using namespace semaphore_test;
namespace IOError = VUX::Internal::IOError;
namespace Exc = VUX::Internal::Exception;

TEST(Semaphore, CountsAfterReleasesAndWaits) {
    Names names;
    std::string n = names.make("count");
    Value s = create(n, 0);
    EXPECT_EQ(nameOf(s), n);
    EXPECT_EQ(valueOf(s), 0);
    EXPECT_FALSE(VUX::Types::isTrue(rts::force(run(S::tryWaitOnSemaphore(s)))));
    // Releases of zero or fewer posts change nothing; one and many add that many.
    for (int64_t n : {int64_t{0}, int64_t{-3}, std::numeric_limits<int64_t>::min()}) {
        run(S::releaseSemaphore(s, boxed(n)));
        EXPECT_EQ(valueOf(s), 0) << n;
    }
    run(S::releaseSemaphore(s, boxed(1)));
    EXPECT_EQ(valueOf(s), 1);
    run(S::releaseSemaphore(s, boxed(3)));
    EXPECT_EQ(valueOf(s), 4);
    EXPECT_TRUE(VUX::Types::isTrue(rts::force(run(S::tryWaitOnSemaphore(s)))));
    run(S::waitOnSemaphore(s));
    EXPECT_EQ(valueOf(s), 2);
    // A second Semaphore opened by the name is the same semaphore.
    Value t = open(n);
    run(S::releaseSemaphore(t, boxed(5)));
    EXPECT_EQ(valueOf(s), 7);
}

TEST(Semaphore, CreateAndOpenFailures) {
    Names names;
    std::string n = names.make("taken");
    Value s = create(n, 2);
    EXPECT_EQ(ioErrorKind([&] { create(n, 0); }), IOError::AlreadyExists_tag);
    EXPECT_EQ(valueOf(s), 2);  // the existing one is left as it was
    EXPECT_EQ(ioErrorKind([&] { open(names.make("missing")); }), IOError::NoSuchThing_tag);
    // A count above the system's maximum is refused by the open.
    EXPECT_EQ(ioErrorKind([&] { create(names.make("huge"), int64_t{1} << 40); }),
              IOError::InvalidArgument_tag);
}

TEST(Semaphore, DestroyRemovesTheNameOnly) {
    Names names;
    std::string n = names.make("destroy");
    Value s = create(n, 1);
    Value other = open(n);
    run(S::destroySemaphore(s));
    EXPECT_EQ(ioErrorKind([&] { open(n); }), IOError::NoSuchThing_tag);
    EXPECT_EQ(ioErrorKind([&] { run(S::destroySemaphore(s)); }), IOError::NoSuchThing_tag);
    // Both open Semaphores still reach the one semaphore.
    run(S::releaseSemaphore(s, boxed(2)));
    EXPECT_EQ(valueOf(other), 3);
    run(S::waitOnSemaphore(other));
    EXPECT_EQ(valueOf(s), 2);
    // The name is free again for a new semaphore.
    Value again = create(n, 0);
    EXPECT_EQ(valueOf(again), 0);
}

TEST(Semaphore, ParentAndForkedChildCoordinate) {
    Names names;
    std::string up = names.make("up"), down = names.make("down");
    Value toParent = create(up, 0), toChild = create(down, 0);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // The child opens both by name, posts three at once, then waits for the parent's answer
        // and finds nothing more after it.
        int code = 0;
        try {
            Value u = open(up), d = open(down);
            run(S::releaseSemaphore(u, boxed(3)));
            run(S::waitOnSemaphore(d));
            if (VUX::Types::isTrue(rts::force(run(S::tryWaitOnSemaphore(d))))) code = 2;
        } catch (...) {
            code = 1;
        }
        _exit(code);
    }
    for (int i = 0; i < 3; ++i) run(S::waitOnSemaphore(toParent));
    EXPECT_EQ(valueOf(toParent), 0);
    run(S::releaseSemaphore(toChild, boxed(1)));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(valueOf(toChild), 0);
}

TEST(Semaphore, NamesAreEncodedAlikeForCreatingAndRemoving) {
    Names names;
    // U+0101 and U+0001 agree in their low 8 bits: removing the first must not touch the second.
    std::string wide = names.make("wide-\xC4\x81"), narrow = names.make("wide-\x01");
    Value w = create(wide, 0), n = create(narrow, 0);
    run(S::destroySemaphore(w));
    EXPECT_EQ(ioErrorKind([&] { open(wide); }), IOError::NoSuchThing_tag);
    EXPECT_EQ(valueOf(open(narrow)), 0);
    EXPECT_EQ(nameOf(n), narrow);
}

TEST(Semaphore, UnusableNamesAreRefused) {
    Names names;
    std::string base = names.prefix() + "bad";
    Value withNul = name(std::string(base) + std::string(1, '\0') + "tail");
    Value unencodable = System::OsString::fromCodePoints(std::u32string(U"/vux-bad-") + char32_t{0xD800});
    std::string nulText = base + std::string(1, '\0') + "tail";
    for (const Value& bad : {withNul, unencodable}) {
        EXPECT_EQ(ioErrorKind([&] { run(S::createSemaphore(bad, boxed(0))); }), IOError::InvalidArgument_tag);
        EXPECT_EQ(ioErrorKind([&] { run(S::openSemaphore(bad)); }), IOError::InvalidArgument_tag);
    }
    // Removing goes by the record's name: a record carrying an unusable name is refused too, and
    // the semaphore whose name is a prefix of it is left alone.
    Value s = create(names.remember(base), 0);
    Value forged = S::Semaphore(withNul, S::semaphore(s));
    EXPECT_EQ(failure([&] { run(S::destroySemaphore(forged)); }),
              nulText + ": destroySemaphore: invalid argument (semaphore name holds a NUL)");
    EXPECT_EQ(valueOf(open(base)), 0);
    EXPECT_EQ(
        failure([&] { run(S::openSemaphore(unencodable)); }),
        "/vux-bad-\xEF\xBF\xBD: openSemaphore: invalid argument (semaphore name cannot be encoded in the "
        "file-system encoding)");
}

TEST(Semaphore, RecordForcesNameThenSemaphore) {
    try {
        S::Semaphore(vux::testing::failing("name"), vux::testing::failing("semaphore"));
        FAIL() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "name"));
    }
}

TEST(AbstractSem, ReleasesHoweverTheBodyEnds) {
    Names names;
    Value s = create(names.make("abstract"), 1);
    std::vector<rts::MaskingState> acquireStates;
    Value acquire = VUX::Internal::IO::io([&] {
        acquireStates.push_back(rts::masking_state());
        return run(S::waitOnSemaphore(s));
    });
    Value sem = S::AbstractSem(acquire, S::releaseSemaphore(s, boxed(1)));
    Value result = run(S::withAbstractSem(sem, VUX::Internal::IO::io([&] {
                                              EXPECT_EQ(rts::masking_state(), rts::MaskingState::Unmasked);
                                              return boxed(valueOf(s));
                                          })));
    EXPECT_EQ(VUX::Types::intOf(rts::force(result)), 0);  // held while the body ran
    EXPECT_EQ(valueOf(s), 1);
    try {
        run(S::withAbstractSem(sem, VUX::Internal::IO::io([]() -> Value {
                                   rts::force(vux::testing::failing("body"));
                                   return {};
                               })));
        ADD_FAILURE() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "body"));
    }
    EXPECT_EQ(valueOf(s), 1);
    EXPECT_EQ(acquireStates, (std::vector<rts::MaskingState>(2, rts::MaskingState::MaskedInterruptible)));
}

Value failingIO(const char* message) {
    return IOError::ioError(IOError::userError(VUX::Internal::List::fromBytes(message)));
}

TEST(AbstractSem, BodyFailureCarriesTheBracketCallStack) {
    Names names;
    std::string n = names.make("stack");
    Value s = create(n, 1);
    Value sem = S::AbstractSem(S::waitOnSemaphore(s), S::releaseSemaphore(s, boxed(1)));
    EXPECT_EQ(failure([&] { run(S::withAbstractSem(sem, failingIO("body failed"))); }),
              "user error (body failed)\n"
              "CallStack (from HasCallStack):\n"
              "  bracket_, called at libraries/vux-semaphore/src/System/Semaphore:320:23 in "
              "vux-semaphore-1.0.0-7fe2:System.Semaphore");
    EXPECT_EQ(valueOf(s), 1);
    // Failures of the acquiring action, and of creation, are not re-raised: they keep their own.
    Value failingAcquire = S::AbstractSem(failingIO("acquire failed"), S::releaseSemaphore(s, boxed(1)));
    EXPECT_EQ(failure([&] { run(S::withAbstractSem(failingAcquire, S::waitOnSemaphore(s))); }),
              "user error (acquire failed)");
    std::string taken = failure([&] { create(n, 0); });
    EXPECT_EQ(taken.find("CallStack"), std::string::npos) << taken;
}

// ---------------------------------------------------------------------------------------------
// Fresh names

TEST(FreshName, Digits) {
    const int64_t min = std::numeric_limits<int64_t>::min(), max = std::numeric_limits<int64_t>::max();
    struct Case {
        int64_t seed, attempt;
        const char* name;
    } cases[] = {{0, 0, "build_0"},
                 {0, 1, "build_1"},
                 {0, 2, "build_2"},
                 {9, 0, "build_9"},
                 {10, 0, "build_a"},
                 {36, 0, "build_A"},
                 {61, 0, "build_Z"},
                 {62, 0, "build_10"},
                 {-5, 0, "build_5"},
                 {-5, 1, "build_4"},
                 {-5, 5, "build_0"},
                 {min, 0, "build_aZl8N0y58M7"},
                 {max, 1, "build_aZl8N0y58M7"},
                 {min, 1, "build_aZl8N0y58M7"},
                 {max, 0, "build_aZl8N0y58M7"},
                 {3843, 0, "build_ZZ"},
                 {3844, 0, "build_100"}};
    for (const Case& c : cases)
        EXPECT_EQ(
            vux::testing::to_string(S::freshSemaphoreName(vux::testing::str("build"), c.seed, c.attempt)),
            c.name)
            << c.seed << " + " << c.attempt;
}

TEST(FreshName, DistinctOverAThousandAttemptsAndOfTheForm) {
    std::set<std::string> seen;
    const std::regex form("p_[0-9a-zA-Z]+");
    for (int64_t seed : {int64_t{0}, int64_t{123456789}}) {
        seen.clear();
        for (int64_t i = 0; i < 1000; ++i) {
            std::string n = vux::testing::to_string(S::freshSemaphoreName(vux::testing::str("p"), seed, i));
            EXPECT_TRUE(std::regex_match(n, form)) << n;
            seen.insert(n);
        }
        EXPECT_EQ(seen.size(), 1000u);
    }
}

TEST(FreshSemaphore, CreatesDistinctLiveSemaphores) {
    Names names;
    std::string prefix = names.prefix() + "fresh";
    const std::regex form(prefix + "_[0-9a-zA-Z]+");
    std::set<std::string> seen;
    std::vector<Value> live;
    for (int i = 0; i < 20; ++i) {
        Value s = run(S::freshSemaphore(name(prefix), boxed(i)));
        std::string n = names.remember(nameOf(s));
        EXPECT_TRUE(std::regex_match(n, form)) << n;
        EXPECT_EQ(valueOf(s), i);
        seen.insert(n);
        live.push_back(s);
    }
    EXPECT_EQ(seen.size(), 20u);
}

// A creation step that counts its calls and otherwise is createSemaphore.
Value countingCreate(int* calls) {
    return rts::fun<2>([calls](const Value& n, const Value& count) {
        ++*calls;
        return S::createSemaphore(n, count);
    });
}

TEST(FreshSemaphore, TakenNamesLeadToTheNext) {
    Names names;
    std::string prefix = names.prefix() + "retry";
    names.remember(prefix + "_Z");
    names.remember(prefix + "_10");
    Value taken = create(prefix + "_Z", 0);
    int calls = 0;
    Value s = run(S::freshSemaphoreFrom(countingCreate(&calls), name(prefix), 61, boxed(4)));
    names.remember(nameOf(s));
    EXPECT_EQ(nameOf(s), prefix + "_10");
    EXPECT_EQ(valueOf(s), 4);
    EXPECT_EQ(calls, 2);
}

TEST(FreshSemaphore, GivesUpAfterThirtyThreeTakenNames) {
    Names names;
    std::string prefix = names.prefix() + "full";
    std::vector<Value> taken;
    for (int64_t i = 0; i < 34; ++i) {
        std::string n = vux::testing::to_string(S::freshSemaphoreName(name(prefix), 0, i));
        taken.push_back(create(names.remember(n), 0));
    }
    int calls = 0;
    std::string last = vux::testing::to_string(S::freshSemaphoreName(name(prefix), 0, 32));
    EXPECT_EQ(failure([&] { run(S::freshSemaphoreFrom(countingCreate(&calls), name(prefix), 0, boxed(0))); }),
              last + ": semOpen: already exists (File exists)");
    EXPECT_EQ(calls, 33);
}

TEST(FreshSemaphore, OtherFailuresAreNotRetried) {
    Names names;
    // A name too long for the system: the open's own error, after one attempt.
    int calls = 0;
    std::string longPrefix = "/" + std::string(300, 'x');
    EXPECT_EQ(ioErrorKind(
                  [&] { run(S::freshSemaphoreFrom(countingCreate(&calls), name(longPrefix), 0, boxed(0))); }),
              IOError::InvalidArgument_tag);
    EXPECT_EQ(calls, 1);
    // Asynchronous exceptions, raised as such or raised synchronously with an asynchronous
    // exception's value, pass through unchanged.
    Value threadKilled =
        Exc::toException(Exc::inst_Exception_AsyncException(),
                         Value::adopt(Exc::AsyncException_closure_tbl[Exc::ThreadKilled_tag]));
    for (bool async : {true, false}) {
        int attempts = 0;
        Value raising = rts::fun<2>([&attempts, threadKilled, async](const Value&, const Value&) -> Value {
            ++attempts;
            if (async) rts::raise_async(threadKilled);
            rts::raise(threadKilled);
        });
        try {
            run(S::freshSemaphoreFrom(raising, name(names.prefix() + "async"), 0, boxed(0)));
            ADD_FAILURE() << "no exception";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.is_async(), async);
            EXPECT_TRUE(Exc::isThreadKilled(e));
        }
        EXPECT_EQ(attempts, 1) << async;
    }
}

}  // namespace
