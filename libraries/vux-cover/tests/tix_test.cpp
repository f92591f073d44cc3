// Tick-count records and their file: exact texts, reading back, file names and failures.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "Testing.h"
#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Read.h"
#include "VUX/Num/Integer.h"
#include "VUX/Types.h"

using namespace Trace::Cover::Tix;
using VUX::Internal::IO::runIO;
using vux::testing::list;
using vux::testing::str;
using vux::testing::to_string;

namespace {

Value integers(const std::vector<int64_t>& xs) {
    std::vector<Value> items;
    for (int64_t x : xs) items.push_back(VUX::Num::Integer::integerFromInt_hash(x));
    return list(items);
}

Value module(const std::string& nameUtf8, uint32_t hash, int64_t ticks, const Value& counts) {
    return TixModule(vux::testing::utf8(nameUtf8), Trace::Cover::Util::Hash(hash), VUX::Types::I_hash(ticks),
                     counts);
}

bool equalTix(const Value& a, const Value& b) {
    return VUX::Types::isTrue(rts::force(rts::apply(VUX::Classes::op_eq_eq(inst_Eq_Tix()), a, b)));
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The Tix of `readTix path`, which must be Just.
Value readJust(const std::string& path) {
    const Value& m = rts::force(runIO(readTix(str(path))));
    EXPECT_EQ(m->tag, VUX::Internal::Maybe::Just_tag) << path;
    return m->tag == VUX::Internal::Maybe::Just_tag ? rts::field(m, 0) : Tix(VUX::Types::Nil());
}

TEST(Tix, FileTextsAndReadingBack) {
    Value mainModule = module("Main", 977, 3, integers({0, 12, 1}));
    Value libModule = module("Lib", 5, 0, integers({}));
    struct Row {
        Value tix;
        std::string text;
    } rows[] = {
        {Tix(list({mainModule})), "Tix [TixModule \"Main\" 977 3 [0,12,1]]"},
        {Tix(list({mainModule, libModule})),
         "Tix [TixModule \"Main\" 977 3 [0,12,1],TixModule \"Lib\" 5 0 []]"},
        {Tix(VUX::Types::Nil()), "Tix []"},
        {Tix(list({module("N", 4294967295u, -1, integers({-7, 3}))})),
         "Tix [TixModule \"N\" 4294967295 (-1) [-7,3]]"},
        {Tix(list({module("a\"b\\c\ncaf\xC3\xA9"
                          "1",
                          0, 1, integers({1}))})),
         "Tix [TixModule \"a\\\"b\\\\c\\ncaf\\233\\&1\" 0 1 [1]]"},
    };
    vux::testing::TempDirectory dir;
    std::string path = dir / "new/dir/prog.tix";  // the directories are created
    for (const Row& r : rows) {
        runIO(writeTix(str(path), r.tix));
        EXPECT_EQ(fileBytes(path), r.text);
        EXPECT_TRUE(equalTix(readJust(path), r.tix)) << r.text;
    }
}

TEST(Tix, HugeCountsAndLooseTextsReadBack) {
    vux::testing::TempDirectory dir;
    std::string written = "Tix [TixModule \"M\" 1 2 [18446744073709551616,-99999999999999999999]]";
    writeBytes(dir / "a.tix", written);
    Value tix = readJust(dir / "a.tix");
    runIO(writeTix(str(dir / "b.tix"), tix));
    EXPECT_EQ(fileBytes(dir / "b.tix"), written);
    for (const std::string& loose :
         std::vector<std::string>{written + "\n",
                                  " ( Tix\n[ (TixModule \"M\" (1) 2 [ 18446744073709551616 , "
                                  "-99999999999999999999 ]) ] ) \r\n"}) {
        writeBytes(dir / "c.tix", loose);
        EXPECT_TRUE(equalTix(readJust(dir / "c.tix"), tix)) << loose;
    }
    // A hash text is narrowed modulo 2^32; a tick count that disagrees with the counts stays.
    writeBytes(dir / "d.tix", "Tix [TixModule \"M\" 4294967297 5 []]");
    EXPECT_TRUE(equalTix(readJust(dir / "d.tix"), Tix(list({module("M", 1, 5, integers({}))}))));
}

TEST(Tix, UnreadableFilesGiveNothingAndBadTextFailsWhenUsed) {
    vux::testing::TempDirectory dir;
    writeBytes(dir / "bad.tix", "Tix []\xFF");
    for (const std::string& path : {dir / "missing.tix", dir / "bad.tix", std::string(dir / "")}) {
        EXPECT_EQ(rts::force(runIO(readTix(str(path))))->tag, VUX::Internal::Maybe::Nothing_tag) << path;
    }
    for (const char* text : {"Tix [] extra", "TixModule \"M\" 1 1 [1]", "(Tix [TixModule \"M\" 1 1 [1]"}) {
        writeBytes(dir / "t.tix", text);
        Value tix = readJust(dir / "t.tix");  // readTix itself succeeds
        try {
            rts::force(tix);
            FAIL() << text;
        } catch (const rts::Exception& e) {
            EXPECT_EQ(rts::display(e), "Prelude.read: no parse") << text;
        }
    }
}

TEST(Tix, FileNames) {
    struct Row {
        const char* path;
        const char* tix;
    } rows[] = {{"prog", "prog.tix"},
                {"bin/prog.exe", "bin/prog.tix"},
                {"a.d/prog", "a.d/prog.tix"},
                {"a.d/prog.x.y", "a.d/prog.x.tix"},
                {"", ".tix"}};
    for (const Row& r : rows) EXPECT_EQ(to_string(getTixFileName(str(r.path))), r.tix) << r.path;
}

TEST(Tix, EqualityAndDeepEvaluation) {
    Value a = Tix(list({module("M", 1, 2, integers({3, 4}))}));
    EXPECT_TRUE(equalTix(a, Tix(list({module("M", 1, 2, integers({3, 4}))}))));
    for (const Value& other :
         {Tix(list({module("N", 1, 2, integers({3, 4}))})), Tix(list({module("M", 2, 2, integers({3, 4}))})),
          Tix(list({module("M", 1, 3, integers({3, 4}))})), Tix(list({module("M", 1, 2, integers({3}))})),
          Tix(VUX::Types::Nil())})
        EXPECT_FALSE(equalTix(a, other));
    // The name differs first: the failing counts are never compared.
    EXPECT_FALSE(equalTix(a, Tix(list({module("X", 1, 2, vux::testing::failing())}))));
    Value lazy = Tix(list({module("M", 1, 1, list({vux::testing::failing()}))}));
    try {
        rts::apply(inst_NFData_Tix(), lazy);
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e));
    }
    EXPECT_TRUE(
        VUX::Types::isTrue(rts::force(rts::apply(VUX::Classes::op_eq_eq(VUX::Classes::inst_Eq_Unit()),
                                                 rts::apply(inst_NFData_Tix(), a), VUX::Tuple::Unit()))));
}

}  // namespace
