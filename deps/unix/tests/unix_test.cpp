// Descriptors opened with flag records (read back with fcntl), named semaphores within one
// process and across a fork, process times and the creation mask.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "System/OsString.h"
#include "System/Posix/Files.h"
#include "System/Posix/IO.h"
#include "System/Posix/Process.h"
#include "System/Posix/Semaphore.h"
#include "Testing.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Types.h"

namespace {

using rts::Value;
namespace IO = System::Posix::IO;
namespace Sem = System::Posix::Semaphore;
using VUX::Types::fromBool;

std::string errorText(const rts::Exception& e) {
    return VUX::Internal::Exception::displaySomeException(VUX::Internal::Exception::exceptionValue(e));
}
template <class F>
std::string failure(F&& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        return errorText(e);
    }
    return "no error";
}

using vux::testing::TempDirectory;

Value os(const std::string& s) { return System::OsString::fromBytes(s); }

// A flag record from bits: bit i sets the i-th Bool field (creat excluded), plus a creation mode.
Value flagsFrom(unsigned bits, int creatMode) {
    Value f[10];
    for (size_t i = 0; i < 10; ++i) f[i] = fromBool(bits & (1u << i));
    f[IO::creat] = creatMode < 0 ? VUX::Internal::Maybe::Nothing()
                                 : VUX::Internal::Maybe::Just(IO::FileMode(static_cast<uint32_t>(creatMode)));
    return IO::OpenFileFlags(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]);
}

TEST(OpenFlags, DescriptorFlagsReadBackMatchTheRecord) {
    TempDirectory dir;
    std::string path = dir / "data";
    close(::open(path.c_str(), O_CREAT | O_WRONLY, 0644));
    std::mt19937 rng(5);
    const Value modes[] = {IO::ReadOnly(), IO::WriteOnly(), IO::ReadWrite()};
    const int access[] = {O_RDONLY, O_WRONLY, O_RDWR};
    // The flags that the open file description keeps, and what fcntl(F_GETFL) shows of them.
    const std::pair<IO::OpenFileFlagsField, int> kept[] = {
        {IO::append, O_APPEND}, {IO::nonBlock, O_NONBLOCK}, {IO::sync, O_SYNC}};
    for (int round = 0; round < 96; ++round) {
        unsigned bits = 0;
        for (auto f : {IO::append, IO::nonBlock, IO::sync, IO::cloexec, IO::noctty})
            if (rng() & 1) bits |= 1u << f;
        int m = round % 3;
        Value flags = flagsFrom(bits, -1);
        Value fd = IO::openFd(os(path), modes[m], flags);
        int raw = IO::fdOf(fd);
        int fl = fcntl(raw, F_GETFL);
        EXPECT_EQ(fl & O_ACCMODE, access[m]);
        for (auto [field, bit] : kept)
            EXPECT_EQ((fl & bit) == bit, (bits >> field) & 1) << round << " field " << field;
        EXPECT_EQ((fcntl(raw, F_GETFD) & FD_CLOEXEC) != 0, (bits >> IO::cloexec) & 1) << round;
        IO::closeFd(fd);
    }
}

TEST(OpenFlags, CreationExclusiveTruncationAndRefusals) {
    TempDirectory dir;
    uint32_t old = System::Posix::Files::setFileCreationMask(022);
    EXPECT_EQ(System::Posix::Files::getFileCreationMask(), 022u);
    std::string path = dir / "new";
    // creat with 0o666 under the mask 0o022 gives 0o644.
    Value fd = IO::openFd(os(path), IO::ReadWrite(), flagsFrom(1u << IO::exclusive, 0666));
    ASSERT_EQ(::write(IO::fdOf(fd), "hello", 5), 5);
    IO::closeFd(fd);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(System::Posix::Files::setFileCreationMask(old), 022u);
    // Exclusive creation of an existing file fails; trunc empties it; without creat a missing file
    // is not created.
    EXPECT_EQ(failure([&] { IO::openFd(os(path), IO::ReadWrite(), flagsFrom(1u << IO::exclusive, 0600)); }),
              path + ": openAt: already exists (File exists)");
    // The error is an IOException carrying the errno and the path as file name.
    try {
        IO::openFd(os(path), IO::ReadWrite(), flagsFrom(1u << IO::exclusive, 0600));
    } catch (const rts::Exception& e) {
        Value ioe = VUX::Internal::IOError::ioExceptionOf(e);
        ASSERT_TRUE(ioe);
        EXPECT_EQ(VUX::Internal::IOError::ioeGetErrno(ioe), EEXIST);
        EXPECT_TRUE(VUX::Internal::IOError::isAlreadyExistsError(ioe));
        EXPECT_EQ(vux::testing::to_string(VUX::Internal::IOError::ioeGetLocation(ioe)), "openAt");
    }
    IO::closeFd(IO::openFd(os(path), IO::WriteOnly(), flagsFrom(1u << IO::trunc, -1)));
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(failure([&] { IO::openFd(os(dir / "missing"), IO::ReadOnly(), IO::defaultFileFlags()); }),
              (dir / "missing") + ": openAt: does not exist (No such file or directory)");
    EXPECT_NE(access((dir / "missing").c_str(), F_OK), 0);
    // nofollow refuses a symbolic link, directory a plain file.
    ASSERT_EQ(symlink(path.c_str(), (dir / "link").c_str()), 0);
    EXPECT_NE(
        failure([&] { IO::openFd(os(dir / "link"), IO::ReadOnly(), flagsFrom(1u << IO::nofollow, -1)); }),
        "no error");
    EXPECT_NE(failure([&] { IO::openFd(os(path), IO::ReadOnly(), flagsFrom(1u << IO::directory, -1)); }),
              "no error");
    // A NUL byte inside a path is refused rather than cut there.
    EXPECT_EQ(failure([&] {
                  IO::openFd(os(path + std::string("\0x", 2)), IO::ReadOnly(), IO::defaultFileFlags());
              }),
              path + std::string("\0x", 2) + ": openAt: invalid argument (Invalid argument)");
    // openat relative to a directory descriptor.
    Value dirFd = IO::Fd(::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY));
    Value rel =
        IO::openat(VUX::Internal::Maybe::Just(dirFd), os("new"), IO::ReadOnly(), IO::defaultFileFlags());
    IO::closeFd(rel);
    IO::closeFd(dirFd);
    EXPECT_EQ(failure([&] { IO::closeFd(dirFd); }), "closeFd: invalid argument (Bad file descriptor)");
}

// Named semaphores created by a test: unlinked when the test ends, whatever happened.
class SemNames {
  public:
    std::string make(const std::string& tag) {
        names_.push_back("/vux-test-" + std::to_string(getpid()) + "-" + tag);
        return names_.back();
    }
    ~SemNames() {
        for (const std::string& n : names_) sem_unlink(n.c_str());
    }

  private:
    std::vector<std::string> names_;
};

Value semCreate(const std::string& name, int64_t value) {
    return Sem::semOpen(vux::testing::str(name), Sem::OpenSemFlags(true, true), IO::FileMode(0600), value);
}
Value semAttach(const std::string& name) {
    return Sem::semOpen(vux::testing::str(name), Sem::OpenSemFlags(false, false), IO::FileMode(0), 0);
}

TEST(Semaphores, SharedBetweenParentAndForkedChild) {
    SemNames names;
    std::string toParent = names.make("up"), toChild = names.make("down");
    Value up = semCreate(toParent, 0), down = semCreate(toChild, 0);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // The child opens both by name, posts three times and waits for the parent's answer.
        int code = 0;
        try {
            Value u = semAttach(toParent), d = semAttach(toChild);
            for (int i = 0; i < 3; ++i) Sem::semPost(u);
            Sem::semWait(d);
            if (Sem::semTryWait(d)) code = 2;
        } catch (...) {
            code = 1;
        }
        _exit(code);
    }
    for (int i = 0; i < 3; ++i) Sem::semThreadWait(up);
    EXPECT_EQ(Sem::semGetValue(up), 0);
    EXPECT_FALSE(Sem::semTryWait(up));
    Sem::semPost(down);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // After unlinking, the name is gone but the open semaphore still works.
    Sem::semUnlink(vux::testing::str(toParent));
    EXPECT_EQ(failure([&] { semAttach(toParent); }),
              toParent + ": semOpen: does not exist (No such file or directory)");
    Sem::semPost(up);
    EXPECT_EQ(Sem::semGetValue(up), 1);
    Sem::semUnlink(vux::testing::str(toChild));
}

TEST(Semaphores, ExclusiveCreationClosingAndValues) {
    SemNames names;
    std::string name = names.make("x");
    Value s = semCreate(name, 2);
    EXPECT_EQ(failure([&] { semCreate(name, 0); }), name + ": semOpen: already exists (File exists)");
    EXPECT_TRUE(Sem::semTryWait(s));
    EXPECT_TRUE(Sem::semTryWait(s));
    EXPECT_FALSE(Sem::semTryWait(s));
    Value again = semAttach(name);  // a second handle on the same semaphore
    Sem::semPost(again);
    EXPECT_EQ(Sem::semGetValue(s), 1);
    Sem::semClose(again);
    EXPECT_EQ(failure([&] { Sem::semPost(again); }), "semPost: invalid argument (Invalid argument)");
    EXPECT_EQ(failure([&] { Sem::semClose(again); }), "semClose: invalid argument (Invalid argument)");
    EXPECT_EQ(Sem::semGetValue(s), 1);
    EXPECT_NE(failure([&] { semCreate(names.make("big"), int64_t{1} << 40); }), "no error");
    Sem::semUnlink(vux::testing::str(name));
    EXPECT_NE(failure([&] { Sem::semUnlink(vux::testing::str(name)); }), "no error");
}

TEST(Process, TimesAndIdentity) {
    Value t = System::Posix::Process::getProcessTimes();
    for (auto f : {System::Posix::Process::elapsedTime, System::Posix::Process::userTime,
                   System::Posix::Process::systemTime, System::Posix::Process::childUserTime,
                   System::Posix::Process::childSystemTime})
        EXPECT_GE(System::Posix::Process::processTime(t, f), 0);
    EXPECT_EQ(System::Posix::Process::processId(), getpid());
    EXPECT_EQ(rts::int_word(System::Posix::Process::getProcessID(), 0), getpid());
    EXPECT_EQ(IO::fileModeOf(System::Posix::Files::stdFileMode()), 0666u);
}

}  // namespace
