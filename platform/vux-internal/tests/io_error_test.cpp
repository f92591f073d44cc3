// I/O error values (text, kinds, accessors, catching them alone), formatted text and processor time.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "Data/Either.h"
#include "System/CPUTime.h"
#include "Testing.h"
#include "Text/Printf.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/HandleTypes.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Num/Integer.h"
#include "rts/MVar.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;

namespace {

Value run(const Value& action) { return IO::runIO(action); }
std::string shown(const Value& e) { return to_string(Show::show(IOError::inst_Show_IOException(), e)); }
Value just(Value v) { return Maybe::Just(std::move(v)); }
Value nothing() { return Maybe::Nothing(); }
Value someHandle(const std::string& path) { return HandleTypes::FileHandle(str(path), rts::newMVar_hash()); }

TEST(IOErrorText, PartsThatArePresent) {
    using namespace IOError;
    struct Case {
        Value error;
        std::string text;
    };
    std::vector<Case> cases = {
        {userError(str("boom")), "user error (boom)"},
        {IOError::IOError(nothing(), IOErrorType(NoSuchThing_tag), str("openFile"),
                          str("No such file or directory"), nothing(), just(str("a.txt"))),
         "a.txt: openFile: does not exist (No such file or directory)"},
        {IOError::IOError(just(someHandle("h.txt")), IOErrorType(EOF_tag), str("hGetLine"), str(""),
                          nothing(), nothing()),
         "{handle: h.txt}: hGetLine: end of file"},
        {IOError::IOError(just(someHandle("h.txt")), IOErrorType(EOF_tag), str(""), str(""), nothing(),
                          just(str("file wins"))),
         "file wins: end of file"},
        {IOError::IOError(nothing(), IOErrorType(ResourceVanished_tag), str(""), str(""), nothing(),
                          nothing()),
         "resource vanished"},
        {errnoToIOError(str("loc"), EACCES, nothing(), just(str("p"))),
         "p: loc: permission denied (Permission denied)"},
        {errnoToIOError(str("write"), EPIPE, nothing(), nothing()), "write: resource vanished (Broken pipe)"},
    };
    for (const Case& c : cases) EXPECT_EQ(shown(c.error), c.text);
}

TEST(IOErrorText, EveryKindHasItsText) {
    std::vector<std::string> expected = {"already exists",
                                         "does not exist",
                                         "resource busy",
                                         "resource exhausted",
                                         "end of file",
                                         "illegal operation",
                                         "permission denied",
                                         "user error",
                                         "unsatisfied constraints",
                                         "system error",
                                         "protocol error",
                                         "failed",
                                         "invalid argument",
                                         "inappropriate type",
                                         "hardware fault",
                                         "unsupported operation",
                                         "timeout",
                                         "resource vanished",
                                         "interrupted"};
    for (size_t t = 0; t < IOError::kIOErrorTypes; ++t)
        EXPECT_EQ(to_string(Show::show(IOError::inst_Show_IOErrorType(), IOError::IOErrorType(uint8_t(t)))),
                  expected[t]);
}

TEST(IOErrorValues, ErrnoKindsAccessorsAndSetters) {
    using namespace IOError;
    Value e = errnoToIOError(str("openFile"), ENOENT, nothing(), just(str("x")));
    EXPECT_TRUE(isDoesNotExistError(e));
    EXPECT_EQ(ioeGetErrno(e), ENOENT);
    EXPECT_EQ(to_string(ioeGetErrorString(e)), "does not exist");
    EXPECT_EQ(to_string(ioeGetLocation(e)), "openFile");
    EXPECT_EQ(to_string(rts::field(rts::force(ioeGetFileName(e)), 0)), "x");
    EXPECT_TRUE(isAlreadyExistsError(errnoToIOError(str(""), EEXIST, nothing(), nothing())));
    EXPECT_TRUE(isPermissionError(errnoToIOError(str(""), EACCES, nothing(), nothing())));
    EXPECT_TRUE(isFullError(errnoToIOError(str(""), ENOSPC, nothing(), nothing())));
    EXPECT_TRUE(isAlreadyInUseError(errnoToIOError(str(""), EBUSY, nothing(), nothing())));
    EXPECT_EQ(ioErrorKind(errnoToIOError(str(""), EISDIR, nothing(), nothing())), InappropriateType_tag);
    EXPECT_EQ(ioErrorKind(errnoToIOError(str(""), 9999, nothing(), nothing())), OtherError_tag);

    Value changed = ioeSetFileName(ioeSetLocation(ioeSetErrorString(e, str("why")), str("here")), str("y"));
    EXPECT_EQ(shown(changed), "y: here: does not exist (why)");
    EXPECT_EQ(shown(ioeSetErrorType(changed, IOErrorType(EOF_tag))), "y: here: end of file (why)");
    EXPECT_EQ(to_string(ioeGetErrorString(userError(str("msg")))), "msg");
    EXPECT_TRUE(isUserError(userError(str("msg"))));
    Value annotated = annotateIOError(userError(str("m")), str("loc"), nothing(), just(str("f")));
    EXPECT_EQ(shown(annotated), "f: loc: user error (m)");
    // Annotating keeps a file name that is already there.
    EXPECT_EQ(shown(annotateIOError(annotated, str("loc2"), nothing(), just(str("g")))),
              "f: loc2: user error (m)");
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_eq_eq(IOError::inst_Eq_IOException()), e, e));
    EXPECT_FALSE(VUX::Record::test(VUX::Classes::op_eq_eq(IOError::inst_Eq_IOException()), e, changed));
}

TEST(IOErrorCatching, CatchesIOExceptionsAlone) {
    Value handler = rts::fun<1>([](const Value& e) { return IO::returnIO(IOError::ioeGetErrorString(e)); });
    Value caught = run(IOError::catchIOError(IOError::ioError(IOError::userError(str("oops"))), handler));
    EXPECT_EQ(to_string(caught), "oops");
    // An error call passes through the handler.
    Value failing = IO::io([]() -> Value { Err::errorWithoutStackTrace(str("not io")); });
    try {
        run(IOError::catchIOError(failing, handler));
        FAIL() << "the error call was caught";
    } catch (const rts::Exception& e) {
        EXPECT_FALSE(IOError::ioExceptionOf(e));
        EXPECT_EQ(rts::display(e), "not io");
    }
    Value left = rts::force(run(IOError::tryIOError(IOError::ioError(IOError::userError(str("t"))))));
    EXPECT_EQ(left->tag, Data::Either::Left_tag);
    // modifyIOError rewrites what escapes.
    Value rename = rts::fun<1>([](const Value& e) { return IOError::ioeSetLocation(e, str("renamed")); });
    Value e = rts::field(rts::force(run(IOError::tryIOError(IOError::modifyIOError(
                             rename, IOError::ioError(IOError::userError(str("u"))))))),
                         0);
    EXPECT_EQ(shown(e), "renamed: user error (u)");
}

TEST(IOErrorCatching, IoErrorCarriesTheCallStackGiven) {
    Value stack = Stack::callStack({{"ioError", {"pkg", "Mod", "src/Mod", 7, 3, 7, 10}}});
    try {
        run(IOError::ioError(IOError::userError(str("x")), stack));
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_EQ(
            rts::display(e),
            "user error (x)\nCallStack (from HasCallStack):\n  ioError, called at src/Mod:7:3 in pkg:Mod");
    }
}

TEST(IOErrorValues, ErrnoAccess) {
    errno = EPERM;
    EXPECT_EQ(__hscore_get_errno(), EPERM);
    __hscore_set_errno(ENOENT);
    EXPECT_EQ(errno, ENOENT);
}

// ---------------------------------------------------------------------------------------------
// printf

std::string formatted(const char* format, std::vector<Text::Printf::PrintfArg> args) {
    return to_string(Text::Printf::printf(str(format), std::move(args)));
}
Value integer(const char* decimal) { return *VUX::Num::Integer::integerFromDecimal(decimal); }

TEST(Printf, TemporaryFileNameFormat) {
    using namespace Text::Printf;
    EXPECT_EQ(formatted("%x-%x-%x", {argInt32(I_hash(4660)), argInt(I_hash(0)), argInteger(integer("2748"))}),
              "1234-0-abc");
    EXPECT_EQ(formatted("%x-%x-%x", {argInt32(I_hash(-1)), argInt(I_hash(-1)), argInteger(integer("-255"))}),
              "ffffffff-ffffffffffffffff--ff");
    EXPECT_EQ(formatted("%x", {argInteger(integer("340282366920938463463374607431768211457"))}),
              "100000000000000000000000000000001");
}

TEST(Printf, Directives) {
    using namespace Text::Printf;
    struct Case {
        const char* format;
        std::vector<PrintfArg> args;
        std::string text;
    };
    std::vector<Case> cases = {
        {"%d|%5d|%-5d|%05d|%+d|% d",
         {argInt(I_hash(42)), argInt(I_hash(42)), argInt(I_hash(42)), argInt(I_hash(-42)), argInt(I_hash(7)),
          argInt(I_hash(7))},
         "42|   42|42   |-0042|+7| 7"},
        {"%X %o %b %#x %#o %.4x",
         {argInt(I_hash(255)), argInt(I_hash(8)), argInt(I_hash(5)), argInt(I_hash(255)), argInt(I_hash(8)),
          argInt(I_hash(10))},
         "FF 10 101 0xff 010 000a"},
        {"%u", {argInt(I_hash(-1))}, "18446744073709551615"},
        {"%c%s|%5s|%-3s|%.2s",
         {argChar(C_hash('a')), argString(str("bc")), argString(str("x")), argString(str("y")),
          argString(str("long"))},
         "abc|    x|y  |lo"},
        {"%v %v %v", {argInt(I_hash(3)), argChar(C_hash('q')), argString(str("s"))}, "3 q s"},
        {"%.2f %e", {argDouble(D_hash(3.14159)), argDouble(D_hash(1500.0))}, "3.14 1.500000e+03"},
        {"100%%", {}, "100%"},
        {"%d", {argInteger(integer("-123456789012345678901234567890"))}, "-123456789012345678901234567890"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatted(c.format, c.args), c.text) << c.format;
}

TEST(Printf, FailuresAreRaisedWhenTheTextIsDemanded) {
    using namespace Text::Printf;
    struct Case {
        const char* format;
        std::vector<PrintfArg> args;
        std::string message;
    };
    std::vector<Case> cases = {
        {"%q", {argInt(I_hash(1))}, "printf: bad formatting char 'q'"},
        {"%d %d", {argInt(I_hash(1))}, "printf: argument list ended prematurely"},
        {"%d", {argInt(I_hash(1)), argInt(I_hash(2))}, "printf: formatting string ended prematurely"},
        {"%", {argInt(I_hash(1))}, "printf: formatting string ended prematurely"},
        {"%s", {argInt(I_hash(1))}, "printf: bad argument"},
    };
    for (const Case& c : cases) {
        Value text = printf(str(c.format), c.args);  // building it raises nothing
        try {
            to_string(text);
            ADD_FAILURE() << c.format;
        } catch (const rts::Exception& e) {
            EXPECT_EQ(rts::display(e), c.message);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Processor time

TEST(CPUTime, AdvancesInPicoseconds) {
    namespace N = VUX::Num::Integer;
    Value precision = System::CPUTime::cpuTimePrecision();
    EXPECT_EQ(N::integerSignum_hash(precision), 1);
    Value before = run(System::CPUTime::getCPUTime());
    volatile uint64_t sink = 0;
    for (uint64_t i = 0; i < 50000000; ++i) sink = sink + i;
    Value after = run(System::CPUTime::getCPUTime());
    // Busy work of some milliseconds shows as at least one precision step, and as less than a
    // minute of picoseconds.
    Value used = N::integerSub(after, before);
    EXPECT_GE(N::fast::cmp(used, precision), 0);
    EXPECT_LT(N::fast::cmp(used, N::IS(60 * 1000000000000LL)), 0);
    Value times = rts::force(run(System::CPUTime::getProcessTimes()));
    EXPECT_GT(intOf(rts::force(rts::field(times, 1))) + intOf(rts::force(rts::field(times, 2))), -1);
    EXPECT_GT(System::CPUTime::clockTicks(), 0);
}

}  // namespace
