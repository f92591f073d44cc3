// The POSIX path rules on a table of edge cases, checked through both path types: character-list
// paths and native byte paths must give the same answers.
#include <gtest/gtest.h>

#include <string>

#include "System/FilePath/Posix.h"
#include "System/OsPath/Posix.h"
#include "System/OsString.h"
#include "Testing.h"

namespace {

using rts::Value;
namespace FP = System::FilePath::Posix;
namespace OP = System::OsPath::Posix;

// One path function, applied through both path types; each answer is converted back to bytes.
struct Both {
    std::string (*viaFilePath)(const std::string&);
    std::string (*viaOsPath)(const std::string&);
};

std::string fromChars(const Value& v) { return vux::testing::to_string(v); }
std::string fromOs(const Value& v) { return System::OsString::toStdString(v); }
std::string pairText(const Value& p, std::string (*part)(const Value&)) {
    const Value& v = rts::force(p);
    return "(" + part(rts::field(v, 0)) + "," + part(rts::field(v, 1)) + ")";
}

#define UNARY(fn)                                                                               \
    Both {                                                                                      \
        [](const std::string& p) { return fromChars(FP::fn(vux::testing::str(p))); },           \
            [](const std::string& p) { return fromOs(OP::fn(System::OsString::fromBytes(p))); } \
    }
#define SPLIT(fn)                                                                                          \
    Both {                                                                                                 \
        [](const std::string& p) { return pairText(FP::fn(vux::testing::str(p)), &fromChars); },           \
            [](const std::string& p) { return pairText(OP::fn(System::OsString::fromBytes(p)), &fromOs); } \
    }

struct Case {
    const char* function;
    Both f;
    std::string path, expected;
};

TEST(FilePath, EdgeCasesAgreeForBothPathTypes) {
    const Case cases[] = {
        {"takeExtension", UNARY(takeExtension), "file.txt", ".txt"},
        {"takeExtension", UNARY(takeExtension), "file", ""},
        {"takeExtension", UNARY(takeExtension), ".bashrc", ".bashrc"},
        {"takeExtension", UNARY(takeExtension), "dir.d/file", ""},
        {"takeExtension", UNARY(takeExtension), "archive.tar.gz", ".gz"},
        {"takeExtension", UNARY(takeExtension), "file.txt/", ""},
        {"takeExtension", UNARY(takeExtension), "", ""},
        {"takeExtension", UNARY(takeExtension), "file.", "."},
        {"dropExtension", UNARY(dropExtension), "/dir.d/file.exe", "/dir.d/file"},
        {"dropExtension", UNARY(dropExtension), "dir.d/file", "dir.d/file"},
        {"dropExtension", UNARY(dropExtension), "a/.profile", "a/"},
        {"dropExtension", UNARY(dropExtension), "archive.tar.gz", "archive.tar"},
        {"dropExtension", UNARY(dropExtension), "", ""},
        {"splitExtension", SPLIT(splitExtension), "file/path.txt.bob.fred", "(file/path.txt.bob,.fred)"},
        {"splitExtension", SPLIT(splitExtension), "file.txt/boris", "(file.txt/boris,)"},
        {"splitExtension", SPLIT(splitExtension), "file/path.txt/", "(file/path.txt/,)"},
        {"splitExtension", SPLIT(splitExtension), ".bashrc", "(,.bashrc)"},
        {"splitExtension", SPLIT(splitExtension), "", "(,)"},
        {"splitExtensions", SPLIT(splitExtensions), "dir.x/archive.tar.gz", "(dir.x/archive,.tar.gz)"},
        {"takeDirectory", UNARY(takeDirectory), "/directory/other.ext", "/directory"},
        {"takeDirectory", UNARY(takeDirectory), "foo", "."},
        {"takeDirectory", UNARY(takeDirectory), "", "."},
        {"takeDirectory", UNARY(takeDirectory), "/", "/"},
        {"takeDirectory", UNARY(takeDirectory), "/foo", "/"},
        {"takeDirectory", UNARY(takeDirectory), "//foo", "//"},
        {"takeDirectory", UNARY(takeDirectory), "foo/bar/baz/", "foo/bar/baz"},
        {"takeDirectory", UNARY(takeDirectory), "foo//bar", "foo"},
        {"takeDirectory", UNARY(takeDirectory), "a.b/c.d", "a.b"},
        {"takeFileName", UNARY(takeFileName), "dir/file.ext", "file.ext"},
        {"takeFileName", UNARY(takeFileName), "dir/", ""},
        {"takeFileName", UNARY(takeFileName), ".hidden", ".hidden"},
        {"takeFileName", UNARY(takeFileName), "", ""},
        {"takeBaseName", UNARY(takeBaseName), "dir.d/file.tar.gz", "file.tar"},
        {"splitFileName", SPLIT(splitFileName), "bob", "(./,bob)"},
        {"splitFileName", SPLIT(splitFileName), "file/bob.txt", "(file/,bob.txt)"},
        {"splitFileName", SPLIT(splitFileName), "file/", "(file/,)"},
        {"splitFileName", SPLIT(splitFileName), "/", "(/,)"},
        {"splitFileName", SPLIT(splitFileName), "", "(./,)"},
        {"splitFileName", SPLIT(splitFileName), "//x", "(//,x)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.f.viaFilePath(c.path), c.expected) << c.function << " \"" << c.path << "\" as FilePath";
        EXPECT_EQ(c.f.viaOsPath(c.path), c.expected) << c.function << " \"" << c.path << "\" as OsPath";
    }
}

struct Binary {
    std::string (*viaFilePath)(const std::string&, const std::string&);
    std::string (*viaOsPath)(const std::string&, const std::string&);
};
#define BINARY(fn)                                                                                     \
    Binary {                                                                                           \
        [](const std::string& a, const std::string& b) {                                               \
            return fromChars(FP::fn(vux::testing::str(a), vux::testing::str(b)));                      \
        },                                                                                             \
            [](const std::string& a, const std::string& b) {                                           \
                return fromOs(OP::fn(System::OsString::fromBytes(a), System::OsString::fromBytes(b))); \
            }                                                                                          \
    }

TEST(FilePath, JoiningAndExtensionsAgreeForBothPathTypes) {
    struct BinaryCase {
        const char* function;
        Binary f;
        std::string a, b, expected;
    };
    const BinaryCase cases[] = {
        {"combine", BINARY(combine), "dir", "file.mix", "dir/file.mix"},
        {"combine", BINARY(combine), "dir/", "file", "dir/file"},
        {"combine", BINARY(combine), "", "file", "file"},
        {"combine", BINARY(combine), "dir", "", "dir"},
        {"combine", BINARY(combine), "dir", "/abs", "/abs"},
        {"combine", BINARY(combine), "/", "x", "/x"},
        {"addExtension", BINARY(addExtension), "A.B", "mix", "A.B.mix"},
        {"addExtension", BINARY(addExtension), "file", ".tix", "file.tix"},
        {"addExtension", BINARY(addExtension), "file", "", "file"},
        {"addExtension", BINARY(addExtension), "", "x", ".x"},
        {"addExtension", BINARY(addExtension), "/", "x", "/.x"},
        {"addExtension", BINARY(addExtension), "dir/", "x", "dir/.x"},
        {"replaceExtension", BINARY(replaceExtension), "dir.d/prog.exe", "tix", "dir.d/prog.tix"},
        {"replaceExtension", BINARY(replaceExtension), "dir.d/prog", "tix", "dir.d/prog.tix"},
        {"replaceExtension", BINARY(replaceExtension), "file.txt", "", "file"},
        {"replaceExtension", BINARY(replaceExtension), ".bashrc", "x", ".x"},
    };
    for (const BinaryCase& c : cases) {
        EXPECT_EQ(c.f.viaFilePath(c.a, c.b), c.expected)
            << c.function << " \"" << c.a << "\" \"" << c.b << "\"";
        EXPECT_EQ(c.f.viaOsPath(c.a, c.b), c.expected)
            << c.function << " \"" << c.a << "\" \"" << c.b << "\"";
    }
}

TEST(FilePath, NonAsciiUnitsPassThrough) {
    // Code points above 255 in a FilePath, and bytes above 127 in an OsPath, are units like others.
    Value p = vux::testing::utf8("d\u00e9j\u00e0.d/\u03bb.\u03c0");
    EXPECT_EQ(vux::testing::to_string(FP::takeExtension(p)), ".\u03c0");
    EXPECT_EQ(vux::testing::to_string(FP::takeDirectory(p)), "d\xe9j\xe0.d");
    Value o = System::OsString::fromBytes("\xff\xfe/\x80.\x81");
    EXPECT_EQ(fromOs(OP::takeExtension(o)), ".\x81");
    EXPECT_EQ(fromOs(OP::takeFileName(o)), "\x80.\x81");
    EXPECT_TRUE(OP::isAbsolute(System::OsString::fromBytes("/x")));
    EXPECT_FALSE(FP::hasExtension(vux::testing::str("a.b/c")));
}

}  // namespace
