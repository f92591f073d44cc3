// Creating nested directories (also from two threads at once), the errors of things in the way,
// and file tests and removal, through both path types.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "System/Directory.h"
#include "System/Directory/OsPath.h"
#include "System/OsString.h"
#include "Testing.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/List.h"

namespace {

using rts::Value;
namespace Dir = System::Directory::OsPath;

using vux::testing::TempDirectory;

Value os(const std::string& s) { return System::OsString::fromBytes(s); }
void touch(const std::string& path) { close(::open(path.c_str(), O_CREAT | O_WRONLY, 0644)); }

template <class F>
std::string failure(F&& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        return VUX::Internal::Exception::displaySomeException(VUX::Internal::Exception::exceptionValue(e));
    }
    return "no error";
}

TEST(Directory, TwoThreadsCreatingTheSameNestedPathBothSucceed) {
    for (int round = 0; round < 20; ++round) {
        TempDirectory dir;
        std::string target = dir / "a/b/c/d/e/f";
        std::atomic<int> ready{0}, failures{0};
        auto create = [&] {
            ++ready;
            while (ready.load() < 2) {
            }
            try {
                Dir::createDirectoryIfMissingBytes(true, target);
            } catch (const rts::Exception&) {
                ++failures;
            }
        };
        std::thread t1(create), t2(create);
        t1.join();
        t2.join();
        ASSERT_EQ(failures.load(), 0) << round;
        ASSERT_TRUE(Dir::doesDirectoryExistBytes(target));
    }
}

TEST(Directory, ExistingDirectoriesAreFineAndOtherThingsInTheWayAreNot) {
    TempDirectory dir;
    Dir::createDirectoryIfMissing(true, os(dir / "x/y/"));
    Dir::createDirectoryIfMissing(true, os(dir / "x/y"));   // again: nothing to do
    Dir::createDirectoryIfMissing(false, os(dir / "x/y"));  // without parents, existing
    Dir::createDirectoryIfMissing(true, os(dir / "x//z"));
    EXPECT_TRUE(Dir::doesDirectoryExistBytes(dir / "x/z"));
    // Without parents a missing parent is an error.
    EXPECT_EQ(failure([&] { Dir::createDirectoryIfMissing(false, os(dir / "p/q")); }),
              dir / "p/q" + ": createDirectory: does not exist (No such file or directory)");
    EXPECT_EQ(failure([&] { Dir::createDirectoryIfMissing(true, os("")); }),
              "createDirectory: does not exist (No such file or directory)");
    // A file in the way, at the end or above.
    touch(dir / "file");
    EXPECT_EQ(failure([&] { Dir::createDirectoryIfMissing(true, os(dir / "file")); }),
              dir / "file" + ": createDirectory: already exists (File exists)");
    EXPECT_EQ(failure([&] { Dir::createDirectoryIfMissing(true, os(dir / "file/sub")); }),
              dir / "file/sub" + ": createDirectory: inappropriate type (Not a directory)");
    ASSERT_EQ(symlink((dir / "file").c_str(), (dir / "link").c_str()), 0);
    EXPECT_NE(failure([&] { Dir::createDirectoryIfMissing(true, os(dir / "link")); }), "no error");
    // A symbolic link to a directory counts as the directory.
    ASSERT_EQ(symlink((dir / "x").c_str(), (dir / "dlink").c_str()), 0);
    Dir::createDirectoryIfMissing(true, os(dir / "dlink/new"));
    EXPECT_TRUE(Dir::doesDirectoryExistBytes(dir / "x/new"));
}

TEST(Directory, FileTestsAndRemoval) {
    TempDirectory dir;
    touch(dir / "f");
    EXPECT_TRUE(Dir::doesFileExist(os(dir / "f")));
    EXPECT_FALSE(Dir::doesFileExist(os(dir / "")));  // a directory
    EXPECT_FALSE(Dir::doesFileExist(os(dir / "missing")));
    EXPECT_FALSE(Dir::doesFileExist(os(dir / std::string("f\0", 2))));
    Dir::removeFile(os(dir / "f"));
    EXPECT_FALSE(Dir::doesFileExist(os(dir / "f")));
    EXPECT_EQ(failure([&] { Dir::removeFile(os(dir / "f")); }),
              dir / "f" + ": removeFile: does not exist (No such file or directory)");
    EXPECT_NE(failure([&] { Dir::removeFile(os(dir / "")); }), "no error");
}

TEST(Directory, CharacterPathsGoThroughTheFileSystemEncoding) {
    TempDirectory dir;
    // U+00E9 is written as its UTF-8 bytes; the escape U+DCFF as the raw byte 0xFF.
    Value path = VUX::Internal::List::op_plus_plus(
        vux::testing::str(dir / ""),
        vux::testing::list({VUX::Types::C_hash(0xE9), VUX::Types::C_hash('/'), VUX::Types::C_hash(0xDCFF)}));
    System::Directory::createDirectoryIfMissing(true, path);
    EXPECT_TRUE(Dir::doesDirectoryExistBytes(dir / "\xc3\xa9/\xff"));
    EXPECT_TRUE(System::Directory::doesDirectoryExist(path));
    touch(dir / "\xc3\xa9/\xff/g");
    Value file = VUX::Internal::List::op_plus_plus(path, vux::testing::str("/g"));
    EXPECT_TRUE(System::Directory::doesFileExist(file));
    System::Directory::removeFile(file);
    EXPECT_FALSE(System::Directory::doesFileExist(file));
}

}  // namespace
