// Module-information files: exact texts, reading back, file names and the search over directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Data/Either.h"
#include "Data/Time/Clock.h"
#include "Testing.h"
#include "Trace/Cover/Mix.h"
#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Types.h"

using namespace Trace::Cover::Mix;
using Trace::Cover::Util::Hash;
using Trace::Cover::Util::P;
using VUX::Internal::IO::runIO;
using vux::testing::list;
using vux::testing::str;
using vux::testing::to_string;
using VUX::Types::False;
using VUX::Types::True;

namespace {

constexpr int64_t may17 = 60447;                       // 2024-05-17 as a day number
constexpr int64_t at0830 = 30600LL * 1000000000000LL;  // 08:30:00 in picoseconds

Value entries() {
    return list({rts::con(0, P(3, 1, 3, 24), ExpBox(False())),
                 rts::con(0, P(4, 5, 4, 9), BinBox(GuardBinBox(), True()))});
}

Value mix(const std::string& path, int64_t picoseconds, uint32_t hash, int64_t tabStop, Value es) {
    return Mix(vux::testing::utf8(path), Data::Time::Clock::utcTime(may17, picoseconds), Hash(hash),
               VUX::Types::I_hash(tabStop), std::move(es));
}

bool equalMix(const Value& a, const Value& b) {
    return VUX::Types::isTrue(rts::force(rts::apply(VUX::Classes::op_eq_eq(inst_Eq_Mix()), a, b)));
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void writeBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

Value dirList(const std::vector<std::string>& dirs) {
    std::vector<Value> items;
    for (const std::string& d : dirs) items.push_back(str(d));
    return list(items);
}
Value byName(const std::string& name) { return Data::Either::Left(str(name)); }
Value byTix(const std::string& name, uint32_t hash) {
    return Data::Either::Right(
        Trace::Cover::Tix::TixModule(str(name), Hash(hash), VUX::Types::I_hash(0), VUX::Types::Nil()));
}

// The message of the error raised by forcing `v`, without its call stack.
std::string errorOf(const std::function<Value()>& v) {
    try {
        rts::force(v());
    } catch (const rts::Exception& e) {
        std::string text = rts::display(e);
        return text.substr(0, text.find("\nCallStack"));
    }
    return "no error";
}

const char* exampleText =
    "Mix \"src/Geo/Area\" 2024-05-17 08:30:00.25 UTC 4822 8 [(3:1-3:24,ExpBox False),(4:5-4:9,BinBox "
    "GuardBinBox "
    "True)]";

TEST(MixFile, ExactTextsAndReadingBack) {
    struct Row {
        Value mix;
        std::string text;
    } rows[] = {
        {mix("src/Geo/Area", at0830 + 250000000000LL, 4822, 8, entries()), exampleText},
        {mix("a\"b\\caf\xC3\xA9", at0830, 4294967295u, -3, VUX::Types::Nil()),
         "Mix \"a\\\"b\\\\caf\\233\" 2024-05-17 08:30:00 UTC 4294967295 (-3) []"},
    };
    vux::testing::TempDirectory dir;
    for (const Row& r : rows) {
        runIO(mixCreate(str(dir / ""), str("Geo.Area"), r.mix));
        EXPECT_EQ(fileBytes(dir / "Geo.Area.mix"), r.text);
        EXPECT_TRUE(equalMix(runIO(readMix(dirList({dir / ""}), byName("Geo.Area"))), r.mix)) << r.text;
    }
    // Blanks and line ends after the record, blanks between tokens and extra parentheses all parse.
    for (std::string loose :
         {std::string(exampleText) + " \t\r\n", "((" + std::string(exampleText) + "))",
          std::string("Mix  \"src/Geo/Area\"\n2024-05-17 08:30:00.25 UTC (4822) 8 [ (3:1-3:24, "
                      "ExpBox False) , (4:5-4:9,(BinBox GuardBinBox True))]")}) {
        writeBytes(dir / "L.mix", loose);
        EXPECT_TRUE(equalMix(runIO(readMix(dirList({dir / ""}), byName("L"))), rows[0].mix)) << loose;
    }
    // A missing directory is the open's I/O error.
    EXPECT_NE(errorOf([&] { return runIO(mixCreate(str(dir / "none"), str("M"), rows[0].mix)); }),
              "no error");
}

TEST(MixFile, Names) {
    struct Row {
        const char *dir, *module, *path;
    } rows[] = {{"", "Main", "Main.mix"},
                {"d/", "A.B", "d/A.B.mix"},
                {"d", "A.B", "d/A.B.mix"},
                {"d", "/abs", "/abs.mix"}};
    for (const Row& r : rows) EXPECT_EQ(to_string(mixName(str(r.dir), str(r.module))), r.path) << r.module;
}

TEST(MixFile, SearchAcrossDirectories) {
    vux::testing::TempDirectory root;
    std::string a = root / "a", b = root / "b", c = root / "c", none = root / "none";
    const std::string later = "Mix \"src/Geo/Area\" 2024-05-17 08:30:00.250000000001 UTC 4822 8 []";
    const std::string base = "Mix \"src/Geo/Area\" 2024-05-17 08:30:00.25 UTC 4822 8 []";
    writeBytes(a + "/M.mix", base);
    writeBytes(b + "/M.mix", base);
    writeBytes(c + "/M.mix", later);
    writeBytes(none + "/M.mix", "Mix \xFF");  // not UTF-8: as if absent
    Value expected = mix("src/Geo/Area", at0830 + 250000000000LL, 4822, 8, VUX::Types::Nil());
    auto found = [&](std::vector<std::string> dirs, Value request) {
        return [dirs, request] { return runIO(readMix(dirList(dirs), request)); };
    };
    EXPECT_TRUE(equalMix(found({none, a, a}, byName("M"))(), expected));
    EXPECT_TRUE(equalMix(found({a, b}, byTix("M", 4822))(), expected));
    EXPECT_EQ(errorOf(found({}, byName("M"))), "can not find M in ");
    EXPECT_EQ(errorOf(found({none, root / "x"}, byTix("M", 1))),
              "can not find M in " + none + ", " + (root / "x"));
    EXPECT_EQ(errorOf(found({a, c}, byName("M"))), "found 2 different instances of M in " + a + ", " + c);
    EXPECT_EQ(errorOf(found({a, b, c}, byName("M"))),
              "found 3 different instances of M in " + a + ", " + b + ", " + c);
    // A later file with another hash fails the check even after a matching one.
    writeBytes(b + "/H.mix", "Mix \"p\" 2024-05-17 08:30:00 UTC 7 0 []");
    writeBytes(c + "/H.mix", "Mix \"p\" 2024-05-17 08:30:00 UTC 4294967297 0 []");
    EXPECT_EQ(errorOf(found({c, b}, byTix("H", 1))),
              "hash in tix file for module H (1)\ndoes not match hash in " + b + "/H.mix (7)");
    EXPECT_EQ(
        Trace::Cover::Util::hashWord(rts::field(rts::force(runIO(readMix(dirList({c}), byTix("H", 1)))), 2)),
        1u);
    // Unparsable text: by name with one find the failure waits for the record; checked, it is raised at once.
    writeBytes(a + "/P.mix", base + " x");
    Value lazy = runIO(readMix(dirList({a}), byName("P")));
    EXPECT_EQ(errorOf([&] { return lazy; }), "can not parse " + a + "/P.mix");
    EXPECT_EQ(errorOf(found({a}, byTix("P", 4822))), "can not parse " + a + "/P.mix");
    // A malformed span parses; its error comes when the span is demanded.
    writeBytes(a + "/S.mix", "Mix \"p\" 2024-05-17 08:30:00 UTC 1 0 [(5,ExpBox True)]");
    Value s = runIO(readMix(dirList({a}), byName("S")));
    Value entry = rts::field(rts::force(rts::field(rts::force(s), 4)), 0);
    std::string spanError = errorOf([&] {
        Trace::Cover::Util::spanOf(rts::field(rts::force(entry), 0));
        return str("");
    });
    EXPECT_EQ(spanError.rfind("Read CoverPos: Could not parse: ", 0), 0u) << spanError;
}

TEST(MixFile, EqualityStopsAtTheFirstDifference) {
    Value a = mix("p", at0830, 1, 8, entries());
    EXPECT_TRUE(equalMix(a, mix("p", at0830, 1, 8, entries())));
    EXPECT_FALSE(equalMix(a, mix("p", at0830, 1, 8, list({rts::con(0, P(3, 1, 3, 24), ExpBox(False()))}))));
    EXPECT_FALSE(equalMix(a, mix("p", at0830 + 1, 1, 8, vux::testing::failing())));
    EXPECT_FALSE(equalMix(a, mix("p", at0830, 2, 8, vux::testing::failing())));
}

}  // namespace
