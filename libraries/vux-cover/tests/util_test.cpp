// Spans (containment, order, text and reader), 32-bit hashes, and the UTF-8 file helpers.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "Testing.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

using namespace Trace::Cover::Util;
using VUX::Internal::IO::runIO;
using vux::testing::str;
using vux::testing::to_string;
using VUX::Types::I_hash;
namespace Read = VUX::Internal::Read;
namespace Show = VUX::Internal::Show;

namespace {

std::string shownAt(const Value& dShow, int64_t d, const Value& x) {
    return to_string(Show::showsPrec(dShow, d, x, VUX::Types::Nil()));
}

// The (value, rest) pairs of a reader.
std::vector<std::pair<Value, Value>> parses(const Value& dRead, int64_t d, const std::string& text) {
    std::vector<std::pair<Value, Value>> out;
    for (const Value& p : vux::testing::items(Read::readsPrec(dRead, d, str(text)))) {
        const Value& pair = rts::force(p);
        out.emplace_back(rts::field(pair, 0), rts::field(pair, 1));
    }
    return out;
}

std::string errorText(const Value& suspended) {
    try {
        rts::force(suspended);
    } catch (const rts::Exception& e) {
        return rts::display(e);
    }
    return "no error";
}

void expectSpan(const Value& pos, int64_t l1, int64_t c1, int64_t l2, int64_t c2) {
    Span s = spanOf(pos);
    EXPECT_EQ(s.startLine, l1);
    EXPECT_EQ(s.startCol, c1);
    EXPECT_EQ(s.endLine, l2);
    EXPECT_EQ(s.endCol, c2);
}

TEST(CoverPos, Containment) {
    struct Row {
        Span inner, outer;
        bool inside;
    };
    const Row rows[] = {
        {{3, 5, 3, 17}, {3, 5, 3, 17}, true},   // equal spans, both ways
        {{3, 6, 3, 18}, {3, 5, 3, 17}, false},  // starts inside, ends one column after
        {{3, 4, 3, 10}, {3, 5, 3, 17}, false},  // same start line, smaller start column
        {{4, 1, 5, 99}, {3, 5, 6, 1}, true},    // lines decide before columns
        {{3, 5, 6, 1}, {4, 1, 5, 99}, false},  {{-2, 0, -1, 0}, {-3, 0, 0, 0}, true},  // signed comparisons
        {{5, 0, 1, 0}, {5, 0, 1, 0}, true},  // an end before the start is compared the same way
    };
    for (const Row& r : rows) {
        Value inner = P(r.inner.startLine, r.inner.startCol, r.inner.endLine, r.inner.endCol);
        Value outer = P(r.outer.startLine, r.outer.startCol, r.outer.endLine, r.outer.endCol);
        EXPECT_EQ(VUX::Types::isTrue(insideCoverPos(inner, outer)), r.inside) << r.inner.startCol;
    }
}

TEST(CoverPos, BuildingEvaluatesLeftToRightAndOrderIsLexicographic) {
    Value tuple = VUX::Tuple::Tuple(I_hash(1), vux::testing::failing("start column"),
                                    vux::testing::failing("end line"), I_hash(4));
    try {
        toCoverPos(tuple);
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "start column"));
    }
    Value p = rts::apply(P_closure.value(), I_hash(1), I_hash(2), I_hash(3), I_hash(4));
    expectSpan(toCoverPos(fromCoverPos(p)), 1, 2, 3, 4);

    Value ascending[] = {P(-1, 9, 9, 9), P(1, 2, 3, 4), P(1, 2, 3, 5),
                         P(1, 2, 4, 0),  P(1, 3, 0, 0), P(2, 0, 0, 0)};
    Value cmp = VUX::Classes::compare(inst_Ord_CoverPos());
    for (size_t i = 0; i < std::size(ascending); ++i)
        for (size_t j = 0; j < std::size(ascending); ++j) {
            uint8_t expected = i < j ? VUX::Types::LT_tag : i == j ? VUX::Types::EQ_tag : VUX::Types::GT_tag;
            EXPECT_EQ(rts::force(rts::apply(cmp, ascending[i], ascending[j]))->tag, expected)
                << i << " " << j;
        }
    EXPECT_TRUE(VUX::Types::isTrue(
        rts::apply(VUX::Classes::op_eq_eq(inst_Eq_CoverPos()), P(1, 2, 3, 4), P(1, 2, 3, 4))));
}

TEST(CoverPos, Text) {
    EXPECT_EQ(shownAt(inst_Show_CoverPos(), 0, P(3, 5, 3, 17)), "3:5-3:17");
    EXPECT_EQ(shownAt(inst_Show_CoverPos(), 11, P(-3, 5, 3, -17)), "-3:5-3:-17");
    Value two = vux::testing::list({P(1, 2, 3, 4), P(5, 6, 7, 8)});
    EXPECT_EQ(to_string(Show::showList(inst_Show_CoverPos(), two, VUX::Types::Nil())), "[1:2-3:4,5:6-7:8]");
}

TEST(CoverPos, ReadingSpansAndPoints) {
    auto full = parses(inst_Read_CoverPos(), 11, "1:2-3:4,rest");
    ASSERT_EQ(full.size(), 1u);
    expectSpan(full[0].first, 1, 2, 3, 4);
    EXPECT_EQ(to_string(full[0].second), ",rest");

    auto point = parses(inst_Read_CoverPos(), 0, " 5 : 7 ");
    ASSERT_EQ(point.size(), 1u);
    expectSpan(point[0].first, 5, 7, 5, 7);
    EXPECT_EQ(to_string(point[0].second), "");

    // Inside a pair a comma follows the span, so a pair reads back.
    Value dPair = Read::inst_Read_Tuple2(inst_Read_CoverPos(), Read::inst_Read_Int());
    Value pair = rts::force(Read::read(dPair, str("(1:2-3:4,5)")));
    expectSpan(rts::field(pair, 0), 1, 2, 3, 4);
    EXPECT_EQ(VUX::Types::intOf(rts::force(rts::field(pair, 1))), 5);

    // A negative start line does not read back: its minus sign is taken as the separator.
    auto negative = parses(inst_Read_CoverPos(), 0, "-1:2-3:4");
    EXPECT_NE(errorText(negative[0].first).find("Could not parse: \"\""), std::string::npos);
}

TEST(CoverPos, ReaderLooksOnlyAsFarAsTheComma) {
    // What follows the comma is never examined, and the span text only when the span is used.
    Value rest = vux::testing::failing("after the comma");
    Value input = VUX::Internal::List::prependBytes("1:2-3:4,", rest);
    Value results = Read::readsPrec(inst_Read_CoverPos(), 0, input);
    const Value& pair = rts::force(vux::testing::items(results)[0]);
    expectSpan(rts::field(pair, 0), 1, 2, 3, 4);

    Value unread = Read::readsPrec(inst_Read_CoverPos(), 0, vux::testing::failing("input"));
    EXPECT_EQ(vux::testing::items(unread).size(), 1u);
}

TEST(CoverPos, MalformedFieldsFailWhenTheSpanIsUsedInFieldOrder) {
    const std::string colon = "Read CoverPos: Could not parse: ";
    const std::string stack =
        "\nCallStack (from HasCallStack):\n  error, called at libraries/vux-cover/Trace/Cover/Util:60:27 in "
        "vux-cover-0.7.0.2-c685:Trace.Cover.Util";
    struct Row {
        const char* text;
        std::string error;
    };
    const Row rows[] = {
        {"5", colon + "\"5\"" + stack},
        {"1:2-34", colon + "\"34\"" + stack},  // the end part has no colon
        {"1:x-34", "Prelude.read: no parse"},  // the start column fails before the end part
        {"x:2-3:4", "Prelude.read: no parse"},
        {"1:2-3:4 5", "Prelude.read: no parse"},
        {"a\"b-1:1", colon + "\"a\\\"b\"" + stack},
    };
    for (const Row& r : rows) {
        auto results = parses(inst_Read_CoverPos(), 0, r.text);  // no error yet
        ASSERT_EQ(results.size(), 1u) << r.text;
        EXPECT_EQ(errorText(results[0].first), r.error) << r.text;
    }
}

TEST(Hash, TableValues) {
    Value strings = inst_CoverHash_List(inst_CoverHash_Char());
    Value pairs = inst_CoverHash_Tuple2(inst_CoverHash_Int(), inst_CoverHash_Bool());
    struct Row {
        const char* what;
        Value d, x;
        uint32_t hash;
    };
    const Row rows[] = {
        {"empty list", inst_CoverHash_List(inst_CoverHash_Int()), VUX::Types::Nil(), 5381},
        {"abc", strings, str("abc"), 193409669},
        {"span", inst_CoverHash_CoverPos(), P(1, 2, 3, 4), 16909060},
        {"wide column", inst_CoverHash_CoverPos(), P(1, 256, 0, 0),
         hashOf(inst_CoverHash_CoverPos(), P(2, 0, 0, 0))},
        {"negative span", inst_CoverHash_CoverPos(), P(0, 0, 0, -1), 4294967295u},
        {"True", inst_CoverHash_Bool(), VUX::Types::True(), 1},
        {"False", inst_CoverHash_Bool(), VUX::Types::False(), 0},
        {"Int -1", inst_CoverHash_Int(), I_hash(-1), 4294967295u},
        {"Int 2^32 + 7", inst_CoverHash_Int(), I_hash((int64_t{1} << 32) + 7), 7},
        {"Integer -1", inst_CoverHash_Integer(), VUX::Num::Integer::integerFromInt_hash(-1), 4294967295u},
        {"Integer 2^40 + 3", inst_CoverHash_Integer(),
         VUX::Num::Integer::integerFromInt_hash((int64_t{1} << 40) + 3), 3},
        {"Char", inst_CoverHash_Char(), VUX::Types::C_hash(0x1F600), 0x1F600},
        {"pair", pairs, VUX::Tuple::Tuple2(I_hash(7), VUX::Types::True()), (7u * 33u) ^ 1u},
        {"list of pairs", inst_CoverHash_List(pairs),
         vux::testing::list({VUX::Tuple::Tuple2(I_hash(1), VUX::Types::False())}), (5381u * 33u) ^ 33u},
        {"list of spans", inst_CoverHash_List(inst_CoverHash_CoverPos()),
         vux::testing::list({P(1, 2, 3, 4), P(0, 0, 0, 1)}), (((5381u * 33u) ^ 16909060u) * 33u) ^ 1u},
    };
    for (const Row& r : rows) EXPECT_EQ(hashOf(r.d, r.x), r.hash) << r.what;
}

TEST(Hash, PairHashesTheFirstComponentFirst) {
    Value pairs = inst_CoverHash_Tuple2(inst_CoverHash_Int(), inst_CoverHash_Int());
    Value both = VUX::Tuple::Tuple2(vux::testing::failing("first"), vux::testing::failing("second"));
    try {
        hashOf(pairs, both);
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "first"));
    }
}

TEST(Hash, TextArithmeticAndReading) {
    for (int64_t d : {0, 11}) EXPECT_EQ(shownAt(inst_Show_Hash(), d, Hash(4294967295u)), "4294967295");
    Value hashes = vux::testing::list({Hash(1), Hash(22)});
    EXPECT_EQ(to_string(Show::showList(inst_Show_Hash(), hashes, VUX::Types::Nil())), "[1,22]");

    using namespace VUX::Internal::Num;
    Value num = inst_Num_Hash();
    EXPECT_EQ(hashWord(rts::apply(op_plus(num), Hash(4294967295u), Hash(2))), 1u);
    EXPECT_EQ(hashWord(rts::apply(op_minus(num), Hash(0), Hash(1))), 4294967295u);
    EXPECT_EQ(hashWord(rts::apply(op_star(num), Hash(65536), Hash(65536))), 0u);
    EXPECT_EQ(hashWord(rts::apply(negate(num), Hash(1))), 4294967295u);
    EXPECT_EQ(hashWord(rts::apply(abs(num), Hash(4294967295u))), 4294967295u);
    EXPECT_EQ(hashWord(rts::apply(signum(num), Hash(9))), 1u);
    EXPECT_EQ(hashWord(rts::apply(fromInteger(num), VUX::Num::Integer::integerFromInt_hash(-2))),
              4294967294u);

    struct Row {
        int64_t d;
        const char* text;
        std::vector<uint32_t> values;
    };
    const Row rows[] = {
        {0, "4294967297", {1}},      {0, "4294967296", {0}}, {0, " -1", {4294967295u}}, {11, "-1", {}},
        {11, "(-1)", {4294967295u}}, {0, "0x10 rest", {16}}, {0, "word", {}},
    };
    for (const Row& r : rows) {
        auto got = parses(inst_Read_Hash(), r.d, r.text);
        ASSERT_EQ(got.size(), r.values.size()) << r.text;
        for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(hashWord(got[i].first), r.values[i]) << r.text;
    }
    // Lists read through the class defaults.
    Value dList = Read::inst_Read_List(inst_Read_Hash());
    std::vector<uint32_t> words;
    for (const Value& h : vux::testing::items(Read::read(dList, str("[-1, 4294967296]"))))
        words.push_back(hashWord(h));
    EXPECT_EQ(words, (std::vector<uint32_t>{4294967295u, 0}));
}

// ---------------------------------------------------------------------------------------------
// Files

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(Files, WriteCreatesDirectoriesAndReadsBack) {
    vux::testing::TempDirectory dir;
    std::string path = dir / "a/b/module.mix";
    Value text = vux::testing::utf8("caf\xC3\xA9 \xE2\x82\xAC\n");
    runIO(writeFileUtf8(str(path), text));
    EXPECT_EQ(fileBytes(path), "caf\xC3\xA9 \xE2\x82\xAC\n");  // no line end added, no translation
    EXPECT_EQ(vux::testing::code_points(runIO(readFileUtf8(str(path)))), vux::testing::code_points(text));
    // Writing again truncates, and an existing directory is no error.
    runIO(writeFileUtf8(str(path), str("x")));
    EXPECT_EQ(fileBytes(path), "x");
    // The file may be rewritten right after it was read: the reader closed it.
    runIO(readFileUtf8(str(path)));
    runIO(writeFileUtf8(str(path), str("yz")));
    EXPECT_EQ(to_string(runIO(readFileUtf8(str(path)))), "yz");
}

TEST(Files, ByteOrderMarkIsKept) {
    vux::testing::TempDirectory dir;
    writeBytes(dir / "bom", "\xEF\xBB\xBFok");
    EXPECT_EQ(vux::testing::code_points(runIO(readFileUtf8(str(dir / "bom")))),
              (std::vector<uint32_t>{0xFEFF, 'o', 'k'}));
}

TEST(Files, BadBytesAndMissingFilesAreIOErrorsThatCatchIOHandles) {
    vux::testing::TempDirectory dir;
    std::string bad = dir / "bad.tix";
    writeBytes(bad, "ok\xFF");
    try {
        runIO(readFileUtf8(str(bad)));
        FAIL() << "no error";
    } catch (const rts::Exception& e) {
        std::string text = rts::display(e);
        EXPECT_EQ(text.rfind(bad + ":", 0), 0u) << text;
        EXPECT_NE(text.find("cannot decode byte sequence"), std::string::npos) << text;
    }
    Value handler = rts::fun<1>([](const Value& e) {
        return VUX::Internal::IO::returnIO(VUX::Internal::IOError::showsIOException(0, e, VUX::Types::Nil()));
    });
    for (const std::string& path : {bad, dir / "missing"}) {
        std::string shown = to_string(runIO(catchIO(readFileUtf8(str(path)), handler)));
        EXPECT_EQ(shown.rfind(path + ":", 0), 0u) << shown;
    }
    // Directory creation fails under a plain file: an IOException as well.
    std::string under = dir / "bad.tix/sub/f";
    EXPECT_EQ(to_string(runIO(catchIO(writeFileUtf8(str(under), str("x")), rts::fun<1>([](const Value&) {
                                          return VUX::Internal::IO::returnIO(str("caught"));
                                      })))),
              "caught");
}

TEST(Files, CatchIOPassesOtherExceptions) {
    Value act = VUX::Internal::IO::io([]() -> Value { return rts::force(vux::testing::failing("not io")); });
    Value handler = rts::fun<1>([](const Value&) { return VUX::Internal::IO::returnIO(str("handled")); });
    try {
        runIO(catchIO(act, handler));
        FAIL();
    } catch (const rts::Exception& e) {
        EXPECT_TRUE(vux::testing::is_failure(e, "not io"));
    }
    EXPECT_EQ(to_string(runIO(catchIO(VUX::Internal::IO::returnIO(str("fine")), handler))), "fine");
}

}  // namespace
