// Handles on real files in a temporary directory: encodings both ways, decoding and encoding
// failures, lines and end of input, closed handles, file names through the file-system encoding,
// byte input/output, finalizers and descriptor counts.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "System/IO.h"
#include "Testing.h"
#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "rts/MVar.h"
#include "rts/Weak.h"

using namespace VUX::Internal;
using namespace VUX::Types;
using namespace VUX::Internal::HandleTypes;
using rts::Value;
using vux::testing::code_points;
using vux::testing::str;
using vux::testing::to_string;

namespace {

Value run(const Value& action) { return IO::runIO(action); }
Value fs(const std::string& bytes) { return Encoding::decodeString(Encoding::Codec::Utf8Roundtrip, bytes); }

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The text of the IOException an action raises, or what went wrong instead.
std::string ioErrorText(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        Value ioe = IOError::ioExceptionOf(e);
        if (!ioe) return "not an IOException: " + rts::display(e);
        return to_string(Show::show(IOError::inst_Show_IOException(), ioe));
    }
    return "no exception";
}
Value caughtIOError(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        return IOError::ioExceptionOf(e);
    }
    return Value();
}

int openDescriptors() {
    int n = 0;
    DIR* d = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(d))
        if (e->d_name[0] != '.') ++n;
    ::closedir(d);
    return n;
}

class HandleTest : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return temp / name; }
    Value open(const std::string& name, Value mode) {
        return run(Handle::openFile(str(path(name)), std::move(mode)));
    }
    Value openWith(const std::string& name, Value mode, Value encoding) {
        Value h = open(name, std::move(mode));
        run(Handle::hSetEncoding(h, std::move(encoding)));
        return h;
    }
    vux::testing::TempDirectory temp;
    const std::string& dir = temp.path();
};

// ---------------------------------------------------------------------------------------------
// Encodings

TEST_F(HandleTest, EachEncodingWritesAndReadsBack) {
    struct Case {
        const char* name;
        Value encoding;
        std::vector<uint32_t> text;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"utf8",
         Encoding::utf8(),
         {'a', 0xE9, 0x20AC, 0x1F600, '\n'},
         "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n"},
        {"latin1", Encoding::latin1(), {'a', 0xE9, 0xFF, 0x80, '\n'}, "a\xE9\xFF\x80\n"},
        {"latin1_checked", Encoding::latin1_checked(), {0x00, 0xA0, 'z'}, std::string("\0\xA0z", 3)},
        {"char8", Encoding::char8(), {0x41, 0xFE}, "A\xFE"},
        {"roundtrip",
         Encoding::utf8_roundtrip_closure.value(),
         {'x', 0xDCFF, 0xE9, 0xDC80},
         "x\xFF\xC3\xA9\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        List::ListBuilder b;
        for (uint32_t cp : c.text) b.pushChar(cp);
        Value text = b.finish(Nil());
        Value w = openWith(c.name, WriteMode(), c.encoding);
        run(Handle::hPutStr(w, text));
        run(Handle::hClose(w));
        EXPECT_EQ(readBytes(path(c.name)), c.bytes);
        Value r = openWith(c.name, ReadMode(), c.encoding);
        EXPECT_EQ(code_points(run(Handle::hGetContents_prime(r))), c.text);
        EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsClosed(r)))));
    }
}

TEST_F(HandleTest, EncodingsAreNamedSettableAndGettable) {
    Value utf8 = run(Encoding::mkTextEncoding(str("utf8")));
    EXPECT_EQ(to_string(Encoding::textEncodingName(utf8)), "UTF-8");
    EXPECT_EQ(to_string(Encoding::textEncodingName(run(Encoding::mkTextEncoding(str("UTF-8//ROUNDTRIP"))))),
              "UTF-8//ROUNDTRIP");
    EXPECT_EQ(to_string(Encoding::textEncodingName(run(Encoding::mkTextEncoding(str("latin1"))))),
              "ISO-8859-1");
    EXPECT_EQ(ioErrorText([&] { run(Encoding::mkTextEncoding(str("EBCDIC"))); }),
              "mkTextEncoding: does not exist (unknown encoding:EBCDIC)");
    // New text handles take the locale's encoding as it is when they are opened.
    Value before = run(Encoding::getLocaleEncoding());
    run(Encoding::setLocaleEncoding(Encoding::latin1()));
    Value h = open("loc.txt", WriteMode());
    run(Encoding::setLocaleEncoding(before));
    EXPECT_EQ(to_string(Encoding::textEncodingName(rts::field(rts::force(run(Handle::hGetEncoding(h))), 0))),
              "ISO-8859-1");
    run(Handle::hPutStr(h, vux::testing::utf8("\xC3\xA9")));
    run(Handle::hClose(h));
    EXPECT_EQ(readBytes(path("loc.txt")), "\xE9");
    // The file-system encoding decides how names become bytes.
    Value fsBefore = run(Encoding::getFileSystemEncoding());
    run(Encoding::setFileSystemEncoding(Encoding::latin1()));
    run(System::IO::writeFile(vux::testing::utf8(path("\xC3\xA9")), str("x")));
    run(Encoding::setFileSystemEncoding(fsBefore));
    EXPECT_EQ(readBytes(path("\xE9")), "x");
    EXPECT_EQ(to_string(Encoding::textEncodingName(run(Encoding::getFileSystemEncoding()))),
              "UTF-8//ROUNDTRIP");
}

TEST_F(HandleTest, WithFileClosesOnEveryExit) {
    Value seen;
    Value failing = rts::fun<1>([&seen](const Value& h) {
        seen = h;
        return IO::io([]() -> Value { Err::errorWithoutStackTrace(str("inside")); });
    });
    try {
        run(System::IO::withFile(str(path("wf.txt")), WriteMode(), failing));
        FAIL() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_EQ(rts::display(e), "inside");
    }
    ASSERT_TRUE(seen);
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsClosed(seen)))));
    Value write = rts::fun<1>([&seen](const Value& h) {
        seen = h;
        return Handle::hPutStr(h, str("body"));
    });
    run(System::IO::withFile(str(path("wf.txt")), WriteMode(), write));
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsClosed(seen)))));
    EXPECT_EQ(readBytes(path("wf.txt")), "body");
}

TEST_F(HandleTest, BinaryModeIsOneBytePerCharacter) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    writeBytes(path("bin"), all);
    Value h = run(Handle::openBinaryFile(str(path("bin")), ReadMode()));
    EXPECT_TRUE(Maybe::isNothing(rts::force(run(Handle::hGetEncoding(h)))));
    EXPECT_EQ(to_string(run(Handle::hGetContents_prime(h))), all);
    // Writing in binary mode keeps each character's low byte.
    Value w = run(Handle::openBinaryFile(str(path("out")), WriteMode()));
    run(Handle::hPutStr(w, vux::testing::utf8("\xC4\x80z")));  // U+0100 then 'z'
    run(Handle::hClose(w));
    EXPECT_EQ(readBytes(path("out")), std::string("\0z", 2));
}

TEST_F(HandleTest, BadUtf8ByteIsAnIOErrorNamingTheFile) {
    writeBytes(path("bad.txt"),
               "ab\xFF"
               "cd\n");
    // Lazily: the characters before the bad byte arrive, then the error.
    Value h = openWith("bad.txt", ReadMode(), Encoding::utf8());
    Value text = run(Handle::hGetContents(h));
    const Value& first = rts::force(text);
    EXPECT_EQ(charOf(rts::force(rts::field(first, 0))), 'a');
    std::string expected =
        path("bad.txt") +
        ": hGetContents: invalid argument (cannot decode byte sequence starting from byte 0xff)";
    EXPECT_EQ(ioErrorText([&] { code_points(text); }), expected);
    // The failure closed the handle.
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsClosed(h)))));
    // Strictly, by line, and through the strict whole-file read.
    Value l = openWith("bad.txt", ReadMode(), Encoding::utf8());
    EXPECT_EQ(ioErrorText([&] { run(Handle::hGetLine(l)); }),
              path("bad.txt") +
                  ": hGetLine: invalid argument (cannot decode byte sequence starting from byte 0xff)");
    run(Handle::hClose(l));
    // A sequence cut off by the end of the file is malformed as well.
    writeBytes(path("cut.txt"), "ok\xE2\x82");
    Value c = openWith("cut.txt", ReadMode(), Encoding::utf8());
    EXPECT_EQ(ioErrorText([&] { run(Handle::hGetContents_prime(c)); }),
              path("cut.txt") +
                  ": hGetContents': invalid argument (cannot decode byte sequence starting from byte 0xe2)");
}

TEST_F(HandleTest, MalformedUtf8FormsAreRejected) {
    // Overlong, surrogate, above U+10FFFF, stray continuation, bad second byte.
    for (std::string bad :
         {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE2\x28\xA1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Encoding::decodeString(Encoding::Codec::Utf8, bad));
        // The roundtrip decoding escapes them and encodes them back to the same bytes.
        std::string back;
        ASSERT_TRUE(Encoding::encodeString(Encoding::Codec::Utf8Roundtrip, fs(bad), back));
        EXPECT_EQ(back, bad);
    }
}

TEST_F(HandleTest, CharactersTheEncodingCannotHoldAreAnError) {
    Value h = openWith("l1.txt", WriteMode(), Encoding::latin1());
    EXPECT_EQ(ioErrorText([&] { run(Handle::hPutStr(h, vux::testing::utf8("ok\xC4\x80rest"))); }),
              path("l1.txt") + ": hPutStr: invalid argument (cannot encode character '\\256')");
    run(Handle::hClose(h));
    EXPECT_EQ(readBytes(path("l1.txt")), "ok");  // what came before is written
    Value u = openWith("u.txt", WriteMode(), Encoding::utf8());
    List::ListBuilder b;
    b.pushChar(0xD800);
    EXPECT_EQ(ioErrorText([&] { run(Handle::hPutStr(u, b.finish(Nil()))); }),
              path("u.txt") + ": hPutStr: invalid argument (cannot encode character '\\55296')");
}

TEST_F(HandleTest, FailureWhileEvaluatingTheStringKeepsWhatCameBefore) {
    Value h = openWith("part.txt", WriteMode(), Encoding::utf8());
    Value text = List::op_plus_plus(str("before"), vux::testing::failing("boom"));
    try {
        run(Handle::hPutStr(h, text));
        FAIL() << "no exception";
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "boom"));
    }
    run(Handle::hClose(h));
    EXPECT_EQ(readBytes(path("part.txt")), "before");
}

// ---------------------------------------------------------------------------------------------
// Lines, end of input, closed handles

TEST_F(HandleTest, LinesAndEndOfInput) {
    writeBytes(path("lines.txt"), "one\n\nlast without newline");
    Value h = openWith("lines.txt", ReadMode(), Encoding::utf8());
    EXPECT_EQ(to_string(run(Handle::hGetLine(h))), "one");
    EXPECT_EQ(to_string(run(Handle::hGetLine(h))), "");
    EXPECT_FALSE(isTrue(rts::force(run(Handle::hIsEOF(h)))));
    EXPECT_EQ(to_string(run(Handle::hGetLine(h))), "last without newline");
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsEOF(h)))));
    Value eof = caughtIOError([&] { run(Handle::hGetLine(h)); });
    ASSERT_TRUE(eof);
    EXPECT_TRUE(IOError::isEOFError(eof));
    EXPECT_EQ(to_string(Show::show(IOError::inst_Show_IOException(), eof)),
              path("lines.txt") + ": hGetLine: end of file");
    run(Handle::hClose(h));
    // A line longer than the buffer, and an empty file.
    std::string longLine(100000, 'x');
    writeBytes(path("long.txt"), longLine + "\nend");
    Value l = open("long.txt", ReadMode());
    EXPECT_EQ(to_string(run(Handle::hGetLine(l))), longLine);
    EXPECT_EQ(to_string(run(Handle::hGetLine(l))), "end");
    writeBytes(path("empty.txt"), "");
    EXPECT_EQ(to_string(run(Handle::hGetContents_prime(open("empty.txt", ReadMode())))), "");
}

TEST_F(HandleTest, ClosedAndSemiClosedHandlesGiveTheStandardErrors) {
    writeBytes(path("c.txt"), "data\n");
    Value h = open("c.txt", ReadWriteMode());
    run(Handle::hClose(h));
    run(Handle::hClose(h));  // closing again does nothing
    std::string p = path("c.txt");
    EXPECT_EQ(ioErrorText([&] { run(Handle::hGetLine(h)); }),
              p + ": hGetLine: illegal operation (handle is closed)");
    EXPECT_EQ(ioErrorText([&] { run(Handle::hPutStr(h, str("x"))); }),
              p + ": hPutStr: illegal operation (handle is closed)");
    EXPECT_EQ(ioErrorText([&] { run(Handle::hFlush(h)); }),
              p + ": hFlush: illegal operation (handle is closed)");
    char byte;
    EXPECT_EQ(ioErrorText([&] { Handle::hGetBuf(h, &byte, 1); }),
              p + ": hGetBuf: illegal operation (handle is closed)");
    Value closedError = caughtIOError([&] { run(Handle::hIsEOF(h)); });
    ASSERT_TRUE(closedError);
    EXPECT_TRUE(IOError::isIllegalOperation(closedError));
    EXPECT_TRUE(HandleTypes::eqHandle(rts::field(rts::force(IOError::ioeGetHandle(closedError)), 0), h));

    Value r = open("c.txt", ReadMode());
    Value contents = run(Handle::hGetContents(r));
    EXPECT_EQ(ioErrorText([&] { run(Handle::hGetLine(r)); }),
              p + ": hGetLine: illegal operation (handle is semi-closed)");
    run(Handle::hClose(r));
    EXPECT_EQ(ioErrorText([&] { code_points(contents); }),
              p + ": hGetContents: illegal operation (delayed read on closed handle)");
    Value w = open("w.txt", WriteMode());
    EXPECT_EQ(ioErrorText([&] { run(Handle::hGetLine(w)); }),
              path("w.txt") + ": hGetLine: illegal operation (handle is not open for reading)");
    Value rd = open("c.txt", ReadMode());
    EXPECT_EQ(ioErrorText([&] { run(Handle::hPutStr(rd, str("x"))); }),
              p + ": hPutStr: illegal operation (handle is not open for writing)");
}

TEST_F(HandleTest, OpenFailuresNameTheFile) {
    std::string missing = path("missing.txt");
    Value e = caughtIOError([&] { open("missing.txt", ReadMode()); });
    ASSERT_TRUE(e);
    EXPECT_TRUE(IOError::isDoesNotExistError(e));
    EXPECT_EQ(IOError::ioeGetErrno(e), ENOENT);
    EXPECT_EQ(to_string(Show::show(IOError::inst_Show_IOException(), e)),
              missing + ": openFile: does not exist (No such file or directory)");
    EXPECT_NE(::access(missing.c_str(), F_OK), 0);  // ReadMode creates nothing
    EXPECT_EQ(ioErrorText([&] { run(Handle::openFile(str(dir), ReadMode())); }),
              dir + ": openFile: inappropriate type (is a directory)");
    EXPECT_EQ(ioErrorText([&] { run(Handle::openBinaryFile(str(path("no/such/dir")), WriteMode())); }),
              path("no/such/dir") + ": openBinaryFile: does not exist (No such file or directory)");
}

TEST_F(HandleTest, ModesCreateTruncateAndAppend) {
    run(System::IO::writeFile(str(path("m.txt")), str("first\n")));
    run(System::IO::appendFile(str(path("m.txt")), str("second\n")));
    EXPECT_EQ(readBytes(path("m.txt")), "first\nsecond\n");
    EXPECT_EQ(to_string(run(System::IO::readFile_prime(str(path("m.txt"))))), "first\nsecond\n");
    EXPECT_EQ(to_string(run(System::IO::readFile(str(path("m.txt"))))), "first\nsecond\n");
    run(System::IO::writeFile(str(path("m.txt")), str("over")));
    EXPECT_EQ(readBytes(path("m.txt")), "over");
    // Read-write: a write after a read lands where the reader stopped.
    writeBytes(path("rw.txt"), "line1\nline2\n");
    Value h = open("rw.txt", ReadWriteMode());
    EXPECT_EQ(to_string(run(Handle::hGetLine(h))), "line1");
    run(Handle::hPutStr(h, str("LINE2")));
    run(Handle::hClose(h));
    EXPECT_EQ(readBytes(path("rw.txt")), "line1\nLINE2\n");
}

TEST_F(HandleTest, EveryHighByteInAFileNameSurvivesTheFileSystemEncoding) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        std::string raw = "name-" + std::string(1, static_cast<char>(b)) + ".txt";
        Value name = fs(path(raw));
        run(System::IO::writeFile(name, str("x")));
        struct stat st;
        ASSERT_EQ(::stat(path(raw).c_str(), &st), 0) << "byte " << b;
        EXPECT_EQ(to_string(run(System::IO::readFile_prime(name))), "x");
        std::string back;
        ASSERT_TRUE(Encoding::encodeString(Encoding::Codec::Utf8Roundtrip, name, back));
        EXPECT_EQ(back, path(raw));
    }
    // A well-formed UTF-8 name decodes to its characters.
    EXPECT_EQ(code_points(fs("\xC3\xA9")), std::vector<uint32_t>{0xE9});
}

// ---------------------------------------------------------------------------------------------
// Bytes

TEST_F(HandleTest, BytesWrittenAndReadInPiecesOfEverySize) {
    std::string data;
    for (int i = 0; i < 200000; ++i) data += static_cast<char>((i * 7919) >> 3);
    Value w = run(Handle::openBinaryFile(str(path("b.bin")), WriteMode()));
    size_t at = 0;
    for (size_t piece : {1u, 100u, 40000u, 7u, 70000u, 0u}) {
        Handle::hPutBuf(w, data.data() + at, piece);
        at += piece;
    }
    Handle::hPutBuf(w, data.data() + at, data.size() - at);
    run(Handle::hClose(w));
    EXPECT_EQ(readBytes(path("b.bin")), data);

    Value r = run(Handle::openBinaryFile(str(path("b.bin")), ReadMode()));
    std::string back(data.size() + 10, '\0');
    size_t got = Handle::hGetBuf(r, back.data(), 5);
    got += Handle::hGetBufSome(r, back.data() + got, 3);
    got += Handle::hGetBuf(r, back.data() + got, 100000);
    got += Handle::hGetBuf(r, back.data() + got, back.size() - got);
    EXPECT_EQ(got, data.size());
    back.resize(got);
    EXPECT_EQ(back, data);
    EXPECT_EQ(Handle::hGetBufSome(r, back.data(), 10), 0u);
}

TEST_F(HandleTest, BufferingModes) {
    Value h = open("buf.txt", WriteMode());
    run(Handle::hSetBuffering(h, LineBuffering()));
    run(Handle::hPutStr(h, str("a\nb")));
    EXPECT_EQ(readBytes(path("buf.txt")), "a\n");  // a line end sends the line, the rest waits
    run(Handle::hSetBuffering(h, BlockBuffering(Maybe::Nothing())));  // changing it flushes
    EXPECT_EQ(readBytes(path("buf.txt")), "a\nb");
    run(Handle::hPutStr(h, str("c\n")));
    EXPECT_EQ(readBytes(path("buf.txt")), "a\nb");
    run(Handle::hFlush(h));
    EXPECT_EQ(readBytes(path("buf.txt")), "a\nbc\n");
    run(Handle::hSetBuffering(h, NoBuffering()));
    run(Handle::hPutStr(h, str("d")));
    EXPECT_EQ(readBytes(path("buf.txt")), "a\nbc\nd");
    EXPECT_EQ(rts::force(run(Handle::hGetBuffering(h)))->tag, NoBuffering_tag);
}

// ---------------------------------------------------------------------------------------------
// Descriptors and finalizers

TEST_F(HandleTest, NoDescriptorLeaks) {
    writeBytes(path("f.txt"), "x\n");
    rts::wait_for_finalizers();  // handles dropped by earlier tests close first
    int before = openDescriptors();
    for (int i = 0; i < 10000; ++i) run(Handle::hClose(open("f.txt", ReadMode())));
    EXPECT_EQ(openDescriptors(), before);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_TRUE(caughtIOError([&] { open("missing", ReadMode()); }));
        EXPECT_TRUE(caughtIOError([&] { run(Handle::openFile(str(dir), ReadMode())); }));
    }
    EXPECT_EQ(openDescriptors(), before);
    // Handles dropped while open are closed by their finalizers, their output written first.
    for (int i = 0; i < 1000; ++i) {
        Value h = open("dropped" + std::to_string(i % 10), WriteMode());
        run(Handle::hPutStr(h, str("kept")));
    }
    rts::wait_for_finalizers();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(readBytes(path("dropped3")), "kept");
    // A lazy read dropped half way.
    for (int i = 0; i < 100; ++i) rts::force(run(System::IO::readFile(str(path("f.txt")))));
    rts::wait_for_finalizers();
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(HandleTest, HandlesFromDescriptors) {
    int fd = ::open(path("fd.txt").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    Value h = run(Handle::fdToHandle_prime(fd, Maybe::Nothing(), false, str("named"), WriteMode(), true));
    EXPECT_EQ(to_string(Show::show(HandleTypes::inst_Show_Handle(), h)), "{handle: named}");
    EXPECT_EQ(Handle::handleFd(h), fd);
    run(Handle::hPutStr(h, str("via fd")));
    run(Handle::hClose(h));
    EXPECT_EQ(Handle::handleFd(h), -1);
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);  // the handle closed the descriptor
    EXPECT_EQ(readBytes(path("fd.txt")), "via fd");
    // A directory is refused, and the caller keeps its descriptor.
    int d = ::open(dir.c_str(), O_RDONLY);
    EXPECT_EQ(ioErrorText([&] {
                  run(Handle::fdToHandle_prime(d, Maybe::Nothing(), false, str("dir"), ReadMode(), false));
              }),
              "dir: fdToHandle': inappropriate type (is a directory)");
    EXPECT_EQ(::close(d), 0);
}

TEST_F(HandleTest, FinalizerBuildingBlocks) {
    // hClose_help closes a state taken out of its cell and reports no failure.
    Value h = open("a.txt", WriteMode());
    run(Handle::hPutStr(h, str("flushed")));
    const Value& cell = handleWriteCell(rts::force(h));
    Value state = rts::takeMVar_hash(cell);
    Value result = rts::force(run(Handle::hClose_help(state)));
    EXPECT_TRUE(Maybe::isNothing(rts::force(rts::field(result, 1))));
    rts::putMVar_hash(cell, rts::field(result, 0));
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsClosed(h)))));
    EXPECT_EQ(readBytes(path("a.txt")), "flushed");
    // handleFinalizer does the same through the cell.
    Value g = open("b.txt", WriteMode());
    run(Handle::hPutStr(g, str("too")));
    run(Handle::handleFinalizer(handlePath(rts::force(g)), handleWriteCell(rts::force(g))));
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsClosed(g)))));
    EXPECT_EQ(readBytes(path("b.txt")), "too");
    // A finalizer of one's own runs with the path and the cell once the handle is dropped.
    auto seen = std::make_shared<std::string>();
    Value finalizer = rts::fun<3>([seen](const Value& p, const Value& c, const Value& token) {
        *seen = to_string(p);
        return rts::apply(Handle::handleFinalizer(p, c), token);
    });
    {
        Value d = open("c.txt", WriteMode());
        Handle::addHandleFinalizer(d, finalizer);
    }
    rts::wait_for_finalizers();
    EXPECT_EQ(*seen, path("c.txt"));
}

TEST(StandardHandles, NamesAndModes) {
    EXPECT_EQ(to_string(Show::show(HandleTypes::inst_Show_Handle(), Handle::stdout_())),
              "{handle: <stdout>}");
    EXPECT_TRUE(isTrue(rts::force(run(Handle::hIsWritable(Handle::stderr_())))));
    EXPECT_FALSE(isTrue(rts::force(run(Handle::hIsWritable(Handle::stdin_())))));
    EXPECT_EQ(rts::force(run(Handle::hGetBuffering(Handle::stderr_())))->tag, NoBuffering_tag);
}

// Output still in the standard output's buffer is written when the program exits (checked in a
// child process, whose standard output is a file).
TEST(StandardHandlesDeathTest, BufferedOutputIsWrittenAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this test again from the start: it finds the file through the environment.
    if (std::getenv("VUX_STDOUT_FILE") == nullptr) {
        char tmpl[] = "/tmp/vux-stdout-XXXXXX";
        int made = ::mkstemp(tmpl);
        ASSERT_GE(made, 0);
        ::close(made);
        ::setenv("VUX_STDOUT_FILE", tmpl, 1);
    }
    std::string file = std::getenv("VUX_STDOUT_FILE");
    EXPECT_EXIT(
        {
            std::fflush(stdout);  // the C library's own buffer goes where it was meant to
            ::dup2(::open(file.c_str(), O_WRONLY | O_TRUNC), 1);
            run(System::IO::putStr(str("written at exit")));
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readBytes(file), "written at exit");
    ::unlink(file.c_str());
    ::unsetenv("VUX_STDOUT_FILE");
}

}  // namespace
