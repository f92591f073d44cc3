// Opening files by native path on real files in a temporary directory: the flags of each mode,
// openers and brackets in each masking state, annotated errors, closing on every exit, finalizers,
// temporary files and descriptor counts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Data/ByteString.h"
#include "Data/ByteString/Lazy.h"
#include "Data/Either.h"
#include "FileIOTesting.h"
#include "System/File/OsPath.h"
#include "System/File/Platform.h"
#include "System/File/PlatformPath.h"
#include "System/Posix/IO.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Mask.h"
#include "rts/Profiling.h"
#include "rts/Weak.h"

using namespace file_io_testing;
using namespace VUX::Internal::HandleTypes;
namespace OsPath = System::File::OsPath::Internal;
namespace PlatformPath = System::File::PlatformPath::Internal;
namespace Platform = System::File::Platform;
namespace Posix = System::Posix::IO;
namespace Handle = VUX::Internal::Handle;
namespace IOError = VUX::Internal::IOError;
namespace Exception = VUX::Internal::Exception;
namespace BS = Data::ByteString;
namespace LBS = Data::ByteString::Lazy;
using vux::testing::str;
using vux::testing::to_string;

namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }
bool isClosed(const Value& h) { return Handle::handleFd(h) == -1; }

class FileIO : public ::testing::Test {
  protected:
    vux::testing::TempDirectory dir;
    Value at(const std::string& name) { return osp(dir / name); }
    // An action of one argument from a C++ body run on the handle.
    static Value act(std::function<Value(const Value&)> body) {
        return rts::fun<1>(
            [body](const Value& h) { return VUX::Internal::IO::io([body, h] { return body(h); }); });
    }
};

// ---------------------------------------------------------------------------------------------
// Flags

struct ModeCase {
    uint8_t mode;
    int access;
    int openFileExtra;      // what openFile_ adds with the default record
    int openExistingExtra;  // what openExistingFile_ adds
};
constexpr int kBase = O_NOCTTY | O_NONBLOCK;
const ModeCase kModes[] = {
    {ReadMode_tag, O_RDONLY, 0, 0},
    {WriteMode_tag, O_WRONLY, O_TRUNC | O_CREAT, O_TRUNC},
    {AppendMode_tag, O_WRONLY, O_APPEND | O_CREAT, O_APPEND},
    {ReadWriteMode_tag, O_RDWR, O_CREAT, 0},
};

TEST_F(FileIO, EachModeChoosesTheFlagsOfItsRow) {
    for (const ModeCase& c : kModes) {
        for (bool existing : {false, true}) {
            for (bool cloexec : {false, true}) {
                Value base = cloexec ? Platform::closeOnExecFileFlags() : Platform::defaultFileFlags_prime();
                Value choice = rts::force(Platform::openFlagsFor(existing, base, IOMode(c.mode)));
                Posix::OpenBits bits = Posix::openBits(rts::field(choice, 0), rts::field(choice, 1));
                int expected = c.access | kBase | (existing ? c.openExistingExtra : c.openFileExtra) |
                               (cloexec ? O_CLOEXEC : 0);
                SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " existing " << existing);
                EXPECT_EQ(bits.flags, expected);
                EXPECT_EQ(bits.mode, (expected & O_CREAT) ? 0666u : 0u);
            }
        }
    }
}

TEST_F(FileIO, DescriptorsCarryTheFlagsReadBackWithFcntl) {
    for (const ModeCase& c : kModes) {
        for (bool cloexec : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " cloexec " << cloexec);
            std::string path = dir / ("f" + std::to_string(c.mode));
            writeBytes(path, "old");
            Value h = run(cloexec ? Platform::openExistingFileWithCloseOnExec(osp(path), IOMode(c.mode))
                                  : Platform::openExistingFile(osp(path), IOMode(c.mode)));
            int fd = Handle::handleFd(h);
            int fl = ::fcntl(fd, F_GETFL);
            EXPECT_EQ(fl & O_ACCMODE, c.access);
            EXPECT_EQ(fl & (O_APPEND | O_NONBLOCK), (c.openExistingExtra & O_APPEND) | O_NONBLOCK);
            EXPECT_EQ((::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0, cloexec);
            EXPECT_EQ(readBytes(path).size(),
                      c.mode == WriteMode_tag ? 0u : 3u);  // O_TRUNC only in WriteMode
            run(Handle::hClose(h));
            // openFile_ creates a missing file (0666 less the mask) except in ReadMode; the
            // existing-only form never does.
            std::string missing = dir / ("m" + std::to_string(c.mode));
            EXPECT_TRUE(
                raisedIOError([&] { run(Platform::openExistingFile(osp(missing), IOMode(c.mode))); }));
            EXPECT_FALSE(exists(missing));
            if (c.mode == ReadMode_tag) {
                EXPECT_TRUE(raisedIOError([&] { run(Platform::openFile(osp(missing), IOMode(c.mode))); }));
                EXPECT_FALSE(exists(missing));
            } else {
                mode_t mask = ::umask(022);
                run(Handle::hClose(run(Platform::openFile(osp(missing), IOMode(c.mode)))));
                ::umask(mask);
                struct stat st {};
                ASSERT_EQ(::stat(missing.c_str(), &st), 0);
                EXPECT_EQ(st.st_mode & 0777, 0644u);
                ::unlink(missing.c_str());
            }
        }
    }
    // The two default records are the same record.
    for (size_t f = 0; f < 10; ++f)
        EXPECT_EQ(rts::force(rts::field(rts::force(Platform::defaultExistingFileFlags()), f))->tag,
                  rts::force(rts::field(rts::force(Platform::defaultFileFlags_prime()), f))->tag);
}

TEST_F(FileIO, HandlesAreBinaryAndAppendWritesAtTheEnd) {
    writeBytes(dir / "a", "12");
    Value h = run(OsPath::openFile(at("a"), AppendMode()));
    EXPECT_TRUE(VUX::Internal::Maybe::isNothing(rts::force(run(Handle::hGetEncoding(h)))));
    run(Handle::hPutStr(h, str("\xe9\n")));  // one byte per character, no translation
    run(Handle::hClose(h));
    EXPECT_EQ(readBytes(dir / "a"), "12\xe9\n");
}

// ---------------------------------------------------------------------------------------------
// Masking

const rts::MaskingState kStates[] = {rts::MaskingState::Unmasked, rts::MaskingState::MaskedInterruptible,
                                     rts::MaskingState::MaskedUninterruptible};

TEST_F(FileIO, OpenersAndBracketsInEachMaskingState) {
    writeBytes(dir / "m", "data");
    for (rts::MaskingState state : kStates) {
        SCOPED_TRACE(int(state));
        rts::with_masking_state(state, [&] {
            Value h = run(OsPath::openFile(at("m"), ReadMode()));
            EXPECT_EQ(rts::masking_state(), state);
            run(Handle::hClose(h));
            // The action runs in the caller's state; the bracket leaves the state as it found it.
            for (Value (*bracket)(Value, Value, Value) :
                 {&OsPath::withFile, &OsPath::withBinaryFile, &OsPath::withFile_prime,
                  &OsPath::withBinaryFile_prime}) {
                rts::MaskingState seen{};
                Value kept;
                run(bracket(at("m"), ReadMode(), act([&](const Value& g) {
                                seen = rts::masking_state();
                                kept = g;
                                return VUX::Tuple::Unit();
                            })));
                EXPECT_EQ(seen, state);
                EXPECT_EQ(rts::masking_state(), state);
                bool closesFinally = bracket == &OsPath::withFile || bracket == &OsPath::withBinaryFile;
                EXPECT_EQ(isClosed(kept), closesFinally);
                if (!closesFinally) run(Handle::hClose(kept));
            }
            return 0;
        });
    }
}

// ---------------------------------------------------------------------------------------------
// Errors

std::string annotated(const std::string& path, const std::string& location, const std::string& what,
                      int line = 232, int col = 46) {
    return path + ": " + location + ": " + what +
           "\nCallStack (from HasCallStack):\n  ioError, called at "
           "libraries/vux-file-io/System/File/OsPath/Internal:" +
           std::to_string(line) + ":" + std::to_string(col) +
           " in vux-file-io-0.1.5-e05b:System.File.OsPath.Internal";
}
const std::string kNoSuchFile = "does not exist (No such file or directory)";

TEST_F(FileIO, OpenErrorsNameTheOperationAndThePath) {
    std::string missing = dir / "missing";
    struct Case {
        std::string location;
        std::function<Value()> action;
    };
    Value none = osp(missing);
    const std::vector<Case> cases = {
        {"openFile", [&] { return OsPath::openFile(none, ReadMode()); }},
        {"openBinaryFile", [&] { return OsPath::openBinaryFile(none, ReadMode()); }},
        {"openExistingFile", [&] { return OsPath::openExistingFile(none, WriteMode()); }},
        {"openFileWithCloseOnExec", [&] { return OsPath::openFileWithCloseOnExec(none, ReadMode()); }},
        {"openExistingFileWithCloseOnExec",
         [&] { return OsPath::openExistingFileWithCloseOnExec(none, ReadWriteMode()); }},
        {"withFile'", [&] { return OsPath::readFile(none); }},
        {"withFile", [&] { return OsPath::readFile_prime(none); }},
        {"openFile", [&] { return PlatformPath::openFile(none, ReadMode()); }},
        {"withFile'", [&] { return PlatformPath::readFile(none); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(raisedText([&] { run(c.action()); }), annotated(missing, c.location, kNoSuchFile));
        EXPECT_FALSE(exists(missing));
    }
    // The writers fail on a missing directory, each with withFile's name.
    std::string deep = dir / "no/such";
    for (auto write : {&OsPath::writeFile_prime, &OsPath::appendFile_prime})
        EXPECT_EQ(raisedText([&] { run(write(osp(deep), BS::fromBytes("x"))); }),
                  annotated(deep, "withFile", kNoSuchFile));
    for (auto write : {&OsPath::writeFile, &OsPath::appendFile})
        EXPECT_EQ(raisedText([&] { run(write(osp(deep), LBS::fromBytes("x"))); }),
                  annotated(deep, "withFile", kNoSuchFile));
    // A directory opened as a file: the handle layer refuses it, and the annotation names the path.
    Value refused = raisedIOError([&] { run(OsPath::openFile(osp(dir.path()), ReadMode())); });
    ASSERT_TRUE(refused);
    EXPECT_EQ(to_string(IOError::ioeGetLocation(refused)), "openFile");
    EXPECT_EQ(to_string(rts::field(rts::force(IOError::ioeGetFileName(refused)), 0)), dir.path());
}

TEST_F(FileIO, APathHoldingNulIsAnInvalidArgumentNamingIt) {
    std::string withNul = (dir / "a") + std::string(1, '\0') + "b";
    for (Value (*open)(Value, Value) : {&OsPath::openFile, &OsPath::openExistingFile}) {
        Value e = raisedIOError([&] { run(open(osp(withNul), WriteMode())); });
        ASSERT_TRUE(e);
        EXPECT_EQ(IOError::ioErrorKind(e), IOError::InvalidArgument_tag);
        EXPECT_EQ(vux::testing::code_points(rts::field(rts::force(IOError::ioeGetFileName(e)), 0)).size(),
                  withNul.size());
    }
    EXPECT_FALSE(exists(dir / "a"));
}

TEST_F(FileIO, AnnotationKeepsTheKindDescriptionAndErrno) {
    Value e = IOError::errnoToIOError(str("inner"), EACCES, VUX::Internal::Maybe::Nothing(),
                                      VUX::Internal::Maybe::Just(str("other")));
    Value a = OsPath::addFilePathToIOError(str("op"), osp("p\xff"), e);
    EXPECT_EQ(to_string(VUX::Internal::Show::show(IOError::inst_Show_IOException(), a)),
              "p\xef\xbf\xbd: op: permission denied (Permission denied)");
    // The byte that is not UTF-8 stays recoverable in the file name (the file-system escape).
    EXPECT_EQ(vux::testing::code_points(rts::field(rts::force(IOError::ioeGetFileName(a)), 0)),
              (std::vector<uint32_t>{'p', 0xDCFF}));
    EXPECT_EQ(IOError::ioeGetErrno(a), EACCES);
    // Exceptions other than I/O errors pass augmentError unchanged.
    Value failing =
        VUX::Internal::IO::io([]() -> Value { VUX::Internal::Err::errorWithoutStackTrace(str("boom")); });
    EXPECT_EQ(raisedText([&] { run(OsPath::augmentError(str("op"), osp("p"), failing)); }), "boom");
}

// ---------------------------------------------------------------------------------------------
// Brackets: how they end

TEST_F(FileIO, TheActionsIOErrorsPassUnannotated) {
    writeBytes(dir / "empty", "");
    struct Case {
        Value (*bracket)(Value, Value, Value);
        int line;
        bool closes;
    };
    for (const Case& c :
         {Case{&OsPath::withFile, 56, true}, Case{&OsPath::withBinaryFile, 61, true},
          Case{&OsPath::withFile_prime, 71, false}, Case{&OsPath::withBinaryFile_prime, 77, false},
          Case{&PlatformPath::withFile, 56, true}}) {
        Value kept;
        std::string text = raisedText([&] {
            run(c.bracket(at("empty"), ReadMode(), act([&](const Value& h) {
                              kept = h;
                              return run(Handle::hGetLine(h));
                          })));
        });
        EXPECT_EQ(text, annotated(dir / "empty", "hGetLine", "end of file", c.line, 14));
        EXPECT_EQ(isClosed(kept), c.closes);
        if (!c.closes) run(Handle::hClose(kept));
    }
}

TEST_F(FileIO, OtherExceptionsCloseTheHandleInEveryBracket) {
    writeBytes(dir / "f", "x");
    for (Value (*bracket)(Value, Value, Value) : {&OsPath::withFile, &OsPath::withBinaryFile,
                                                  &OsPath::withFile_prime, &OsPath::withBinaryFile_prime}) {
        Value kept;
        std::string text = raisedText([&] {
            run(bracket(at("f"), ReadMode(), act([&](const Value& h) -> Value {
                            kept = h;
                            VUX::Internal::Err::errorWithoutStackTrace(str("action failed"));
                        })));
        });
        EXPECT_EQ(text, "action failed");
        EXPECT_TRUE(isClosed(kept));
    }
}

TEST_F(FileIO, WholeFilesRoundTrip) {
    std::string bytes("a\0\xff\r\n", 5);
    run(OsPath::writeFile_prime(at("w"), BS::fromBytes(bytes)));
    run(OsPath::appendFile(at("w"), LBS::fromBytes("tail")));
    EXPECT_EQ(BS::toStdString(run(OsPath::readFile_prime(at("w")))), bytes + "tail");
    run(OsPath::writeFile(at("w"), LBS::append(LBS::fromBytes("one"), LBS::fromBytes("two"))));
    run(OsPath::appendFile_prime(at("w"), BS::fromBytes("!")));
    EXPECT_EQ(LBS::toStdString(run(OsPath::readFile(at("w")))), "onetwo!");
    EXPECT_EQ(BS::toStdString(run(PlatformPath::readFile_prime(at("w")))), "onetwo!");
}

// ---------------------------------------------------------------------------------------------
// Finalizers and descriptor counts

TEST_F(FileIO, DroppedHandlesAreClosedByTheirFinalizers) {
    int before = openDescriptors();
    for (int i = 0; i < 100; ++i) {
        Value h = run(OsPath::openFile(at("d" + std::to_string(i % 5)), WriteMode()));
        run(Handle::hPutStr(h, str("kept")));
        Value kept = run(OsPath::withFile_prime(at("e"), WriteMode(), act([](const Value& g) { return g; })));
    }
    for (int i = 0; i < 100; ++i) rts::force(run(OsPath::readFile(at("d1"))));  // lazy reads half done
    rts::wait_for_finalizers();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(readBytes(dir / "d3"), "kept");
    // The building blocks: a finalizer of one's own, and handleFinalizer closing through the cell.
    auto seen = std::make_shared<std::string>();
    {
        Value h = run(OsPath::openFile(at("own"), WriteMode()));
        run(OsPath::addHandleFinalizer(h, rts::fun<3>([seen](const Value& p, const Value& c, const Value& t) {
                                           *seen = to_string(p);
                                           return rts::apply(OsPath::handleFinalizer(p, c), t);
                                       })));
    }
    rts::wait_for_finalizers();
    EXPECT_EQ(*seen, dir / "own");
}

TEST_F(FileIO, NoDescriptorLeaksOverManyCycles) {
    writeBytes(dir / "r", "line\n");
    writeBytes(dir / "empty", "");
    Value ok = at("r"), empty = at("empty"), missing = at("missing"), folder = osp(dir.path());
    Value unit = act([](const Value&) { return VUX::Tuple::Unit(); });
    Value failing = act([](const Value& h) { return run(Handle::hGetLine(h)); });
    Value throwing = act([](const Value&) -> Value { VUX::Internal::Err::errorWithoutStackTrace(str("x")); });
    int before = openDescriptors();
    constexpr int kCycles = 10000;
    auto cycles = [&](const char* what, const std::function<void()>& once) {
        for (int i = 0; i < kCycles; ++i) once();
        rts::wait_for_finalizers();
        EXPECT_EQ(openDescriptors(), before) << what;
    };
    cycles("openFile", [&] { run(Handle::hClose(run(OsPath::openFile(ok, ReadMode())))); });
    cycles("openExistingFileWithCloseOnExec",
           [&] { run(Handle::hClose(run(OsPath::openExistingFileWithCloseOnExec(ok, ReadMode())))); });
    cycles("failed opens", [&] {
        raisedIOError([&] { run(OsPath::openFile(missing, ReadMode())); });
        raisedIOError([&] { run(OsPath::openBinaryFile(folder, ReadMode())); });
    });
    cycles("withFile", [&] { run(OsPath::withFile(ok, ReadMode(), unit)); });
    cycles("withBinaryFile failing", [&] {
        raisedIOError([&] { run(OsPath::withBinaryFile(ok, ReadMode(), throwing)); });
        raisedIOError([&] { run(OsPath::withFile_prime(ok, ReadMode(), throwing)); });
    });
    cycles("I/O errors of the action", [&] {
        raisedIOError([&] { run(OsPath::withFile(empty, ReadMode(), failing)); });
        raisedIOError(
            [&] { run(OsPath::withFile_prime(empty, ReadMode(), failing)); });  // left to the finalizer
    });
    // Writers truncate an empty file: truncating one with data costs the file system a flush.
    cycles("writers", [&] {
        run(OsPath::writeFile_prime(at("w"), BS::empty()));
        run(OsPath::writeFile(at("w"), LBS::empty()));
        run(OsPath::appendFile_prime(at("a"), BS::fromBytes("x")));
        run(OsPath::appendFile(at("a"), LBS::fromBytes("y")));
    });
    cycles("readers", [&] {
        rts::force(run(OsPath::readFile_prime(ok)));
        LBS::toStdString(run(OsPath::readFile(ok)));
    });
    cycles("temporary files", [&] {
        Value pair = rts::force(run(OsPath::openBinaryTempFile(osp(dir.path()), osp("t.tmp"))));
        run(Handle::hClose(rts::field(pair, 1)));
    });
    cycles("temporary files failing", [&] {
        raisedIOError([&] { run(OsPath::openTempFile(missing, osp("t"))); });
        raisedIOError([&] { run(OsPath::openTempFile(folder, osp("a/b"))); });
    });
}

// ---------------------------------------------------------------------------------------------
// Temporary files

std::string pathOf(const Value& pair) {
    return System::OsString::toStdString(rts::field(rts::force(pair), 0));
}

TEST_F(FileIO, TemporaryFileNamesAndModes) {
    mode_t mask = ::umask(0);
    struct Case {
        Value (*open)(Value, Value);
        uint32_t mode;
        bool binary;
    };
    for (const Case& c :
         {Case{&OsPath::openTempFile, 0600, false}, Case{&OsPath::openBinaryTempFile, 0600, true},
          Case{&OsPath::openTempFileWithDefaultPermissions, 0666, false},
          Case{&OsPath::openBinaryTempFileWithDefaultPermissions, 0666, true}}) {
        int64_t counter = Platform::tempCounter().load();
        Value pair = run(c.open(osp(dir.path()), osp("report.tar.gz")));
        std::string path = pathOf(pair);
        // dir/report.tar<pid>-<counter>-<ticks>.gz, in lowercase hexadecimal.
        std::ostringstream prefix;
        prefix << dir.path() << "/report.tar" << std::hex << ::getpid() << "-" << counter << "-";
        EXPECT_EQ(path.substr(0, prefix.str().size()), prefix.str());
        std::string ticks = path.substr(prefix.str().size());
        ASSERT_GE(ticks.size(), 4u);
        EXPECT_EQ(ticks.substr(ticks.size() - 3), ".gz");
        ticks.resize(ticks.size() - 3);
        EXPECT_EQ(ticks.find_first_not_of("0123456789abcdef"), std::string::npos) << ticks;
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, c.mode);
        Value h = rts::field(rts::force(pair), 1);
        EXPECT_EQ(::fcntl(Handle::handleFd(h), F_GETFL) & (O_ACCMODE | O_NONBLOCK), O_RDWR | O_NONBLOCK);
        run(Handle::hClose(h));
    }
    ::umask(mask);
    // An empty template is the generated text alone.
    int64_t next = Platform::tempCounter().load();
    Value pair = run(OsPath::openTempFile(osp(dir.path()), osp("")));
    std::ostringstream expected;
    expected << dir.path() << "/" << std::hex << ::getpid() << "-" << next << "-";
    EXPECT_EQ(pathOf(pair).substr(0, expected.str().size()), expected.str());
    run(Handle::hClose(rts::field(rts::force(pair), 1)));
}

TEST_F(FileIO, TemplateErrors) {
    int64_t counter = Platform::tempCounter().load();
    std::string text = raisedText([&] { run(OsPath::openTempFile(osp(dir.path()), osp("a/b"))); });
    EXPECT_EQ(text,
              "user error (openTempFile': Template string must not contain path separator characters: a/b)"
              "\nCallStack (from HasCallStack):\n  throwIO, called at "
              "libraries/vux-file-io/System/File/OsPath/Internal:239:7 in "
              "vux-file-io-0.1.5-e05b:System.File.OsPath.Internal");
    // Not UTF-8: shown one character per byte.
    EXPECT_NE(raisedText([&] {
                  run(OsPath::openBinaryTempFile(osp(dir.path()), osp("\xe9/")));
              }).find("characters: \xc3\xa9/)\n"),
              std::string::npos);
    EXPECT_EQ(Platform::tempCounter().load(), counter);
    // A missing directory: the operation's name and the directory.
    std::string missing = dir / "none";
    EXPECT_EQ(raisedText([&] { run(OsPath::openTempFileWithDefaultPermissions(osp(missing), osp("t"))); }),
              missing + ": openTempFileWithDefaultPermissions: " + kNoSuchFile +
                  "\nCallStack (from HasCallStack):\n  ioError, called at "
                  "libraries/vux-file-io/posix/System/File/Platform:99:13 in "
                  "vux-file-io-0.1.5-e05b:System.File.Platform");
    // A NUL byte in the template or the directory: refused, nothing created.
    for (const auto& place : {std::pair{dir.path(), std::string("x\0y", 3)},
                              std::pair{dir.path() + std::string(1, '\0'), std::string("t")}}) {
        Value e = raisedIOError([&] { run(OsPath::openTempFile(osp(place.first), osp(place.second))); });
        ASSERT_TRUE(e);
        EXPECT_EQ(IOError::ioErrorKind(e), IOError::InvalidArgument_tag);
        EXPECT_EQ(to_string(IOError::ioeGetLocation(e)), "openTempFile");
    }
    EXPECT_EQ(countEntries(dir.path()), 0);
}

// ---------------------------------------------------------------------------------------------
// Profiling

#ifdef VUX_PROFILING
TEST(Profiling, EveryModuleRegistersItsCostCentresAtLoad) {
    const std::vector<std::string> modules = {"System.File.Platform", "System.File.OsPath.Internal",
                                              "System.File.OsPath", "System.File.PlatformPath.Internal",
                                              "System.File.PlatformPath"};
    std::vector<rts::prof::Registration> ours;
    for (const auto& r : rts::prof::registrations())
        if (std::find(modules.begin(), modules.end(), r.module) != modules.end() &&
            r.kind == rts::prof::ListKind::CostCentres)
            ours.push_back(r);
    ASSERT_EQ(ours.size(), modules.size());
    for (size_t i = 0; i < modules.size(); ++i) {
        EXPECT_EQ(ours[i].module, modules[i]);
        EXPECT_EQ(ours[i].labels.front(), "CAF");
    }
    auto has = [](const rts::prof::Registration& r, const std::string& label) {
        return std::find(r.labels.begin(), r.labels.end(), label) != r.labels.end();
    };
    for (const char* label : {"openFile_", "openExistingFile_", "fdToHandle_", "rand_string", "findTempName"})
        EXPECT_TRUE(has(ours[0], label)) << label;
    for (const char* label : {"openFile", "withFile", "withFile'", "readFile", "writeFile'", "openTempFile'",
                              "withOpenFile'", "augmentError"})
        EXPECT_TRUE(has(ours[1], label)) << label;
}
#else
TEST(Plain, RegistersNothing) { EXPECT_TRUE(rts::prof::registrations().empty()); }
#endif

}  // namespace
