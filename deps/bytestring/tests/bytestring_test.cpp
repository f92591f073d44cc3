// The three byte-string types against std::string on generated operations, plus laziness,
// errors, order and text forms.
#include <gtest/gtest.h>

#include <unistd.h>

#include <random>
#include <string>

#include "Data/ByteString.h"
#include "Data/ByteString/Lazy.h"
#include "Data/ByteString/Short.h"
#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace {

using rts::Value;
namespace BS = Data::ByteString;
namespace SBS = Data::ByteString::Short;
namespace LBS = Data::ByteString::Lazy;

std::string randomBytes(std::mt19937& rng) {
    std::uniform_int_distribution<int> len(0, 12), byte(0, 255);
    std::string s(static_cast<size_t>(len(rng)), '\0');
    for (char& c : s) c = static_cast<char>(byte(rng));
    if (len(rng) == 0 && !s.empty()) s.back() = '\0';  // some NUL bytes inside
    return s;
}

Value word8List(const std::string& s) {
    std::vector<Value> items;
    for (char c : s) items.push_back(BS::W8_hash(static_cast<uint8_t>(c)));
    return vux::testing::list(items);
}
std::string fromWord8List(const Value& xs) {
    std::string s;
    for (const Value& w : vux::testing::items(xs)) s.push_back(static_cast<char>(BS::word8Of(rts::force(w))));
    return s;
}
// A lazy byte string of the bytes in several chunks (cut at random places).
Value chunked(const std::string& s, std::mt19937& rng) {
    std::vector<Value> chunks;
    for (size_t at = 0; at < s.size();) {
        size_t n = std::uniform_int_distribution<size_t>(0, s.size() - at)(rng);
        chunks.push_back(BS::fromBytes(s.substr(at, n)));
        at += n;
    }
    chunks.push_back(BS::empty());
    return LBS::fromChunks(vux::testing::list(chunks));
}
int sign(int c) { return (c > 0) - (c < 0); }
int compareOp(const Value& ord, const Value& a, const Value& b) {
    Value r = rts::apply(VUX::Classes::compare(ord), a, b);
    return static_cast<int>(rts::force(r)->tag) - 1;
}
std::string shown(const Value& show, const Value& x) {
    return vux::testing::to_string(VUX::Internal::Show::show(show, x));
}

TEST(ByteString, GeneratedOperationsAgreeWithStdString) {
    std::mt19937 rng(20240517);
    for (int round = 0; round < 400; ++round) {
        std::string a = randomBytes(rng), b = randomBytes(rng);
        Value sa = BS::pack(word8List(a)), sb = BS::fromBytes(b);
        Value ha = SBS::pack(word8List(a)), hb = SBS::fromBytes(b);
        Value la = LBS::pack(word8List(a)), lb = chunked(b, rng);

        EXPECT_EQ(BS::toStdString(BS::append(sa, sb)), a + b);
        EXPECT_EQ(SBS::toStdString(SBS::append(ha, hb)), a + b);
        EXPECT_EQ(LBS::toStdString(LBS::append(la, lb)), a + b);
        EXPECT_EQ(BS::length(sa), static_cast<int64_t>(a.size()));
        EXPECT_EQ(SBS::length(ha), static_cast<int64_t>(a.size()));
        EXPECT_EQ(LBS::length(lb), static_cast<int64_t>(b.size()));
        EXPECT_EQ(BS::null(sb), b.empty());
        EXPECT_EQ(LBS::null(lb), b.empty());
        EXPECT_EQ(fromWord8List(BS::unpack(sa)), a);
        EXPECT_EQ(fromWord8List(SBS::unpack(ha)), a);
        EXPECT_EQ(fromWord8List(LBS::unpack(lb)), b);
        EXPECT_EQ(BS::toStdString(LBS::toStrict(lb)), b);
        EXPECT_EQ(SBS::toStdString(SBS::toShort(sb)), b);
        EXPECT_EQ(BS::toStdString(SBS::fromShort(hb)), b);
        for (size_t i = 0; i < b.size(); ++i) {
            EXPECT_EQ(BS::index(sb, static_cast<int64_t>(i)), static_cast<uint8_t>(b[i]));
            EXPECT_EQ(LBS::index(lb, static_cast<int64_t>(i)), static_cast<uint8_t>(b[i]));
        }
        int expected = sign(a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0);
        // std::string compares char as unsigned through char_traits<char>::compare (memcmp).
        EXPECT_EQ(compareOp(BS::inst_Ord_ByteString(), sa, sb), expected) << round;
        EXPECT_EQ(compareOp(SBS::inst_Ord_ShortByteString(), ha, hb), expected) << round;
        EXPECT_EQ(compareOp(LBS::inst_Ord_LazyByteString(), chunked(a, rng), lb), expected) << round;
        EXPECT_EQ(VUX::Record::test(VUX::Classes::op_eq_eq(BS::inst_Eq_ByteString()), sa, sb), a == b);
        EXPECT_EQ(VUX::Record::test(VUX::Classes::op_eq_eq(LBS::inst_Eq_LazyByteString()), la, lb), a == b);
    }
}

TEST(ByteString, ConcatAndSlicesShareOrCopyCorrectly) {
    Value parts =
        vux::testing::list({BS::fromBytes("ab"), BS::empty(), BS::fromBytes("c\0d"), BS::fromBytes("")});
    EXPECT_EQ(BS::toStdString(BS::concat(parts)), "abc");
    Value nul = BS::fromBytes(std::string("x\0y", 3));
    EXPECT_EQ(BS::length(nul), 3);
    // useAsCString hands over a NUL-terminated copy; packCString stops at the first NUL.
    EXPECT_EQ(BS::useAsCString(BS::fromBytes("hello"), [](const char* p) { return std::string(p); }),
              "hello");
    EXPECT_EQ(BS::toStdString(BS::packCString("a\0b")), "a");
    // A slice: the BS constructor over a shared array reads only its window.
    Value whole = BS::fromBytes("0123456789");
    Value window = BS::BS(rts::field(rts::force(whole), 0), 3, 4);
    EXPECT_EQ(BS::toStdString(window), "3456");
    EXPECT_EQ(BS::index(window, 0), '3');
    EXPECT_EQ(BS::toStdString(BS::append(window, BS::empty())), "3456");
}

TEST(ByteString, IndexOutOfRangeRaisesTheNamedError) {
    auto message = [](auto&& f) {
        try {
            f();
        } catch (const rts::Exception& e) {
            return VUX::Internal::Exception::displaySomeException(
                VUX::Internal::Exception::exceptionValue(e));
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([] { BS::index(BS::fromBytes("abc"), 3); }),
              "Data.ByteString.index: index too large: 3, length = 3");
    EXPECT_EQ(message([] { BS::index(BS::fromBytes("abc"), -1); }),
              "Data.ByteString.index: negative index: -1");
    EXPECT_EQ(message([] { LBS::index(LBS::fromBytes("abc"), 7); }),
              "Data.ByteString.Lazy.index: index too large: 7, length = 3");
    EXPECT_NE(message([] { SBS::index(SBS::fromBytes("abc"), 3); }), "no error");
}

TEST(LazyByteString, ChunksAreProducedOnDemand) {
    // A lazy byte string whose second chunk fails: the first chunk and its length prefix are
    // usable, the whole is not.
    Value failingRest = vux::testing::failing();
    Value lbs = LBS::chunk(BS::fromBytes("ab"), failingRest);
    EXPECT_EQ(LBS::index(lbs, 1), 'b');
    EXPECT_FALSE(LBS::null(lbs));
    EXPECT_THROW(LBS::length(lbs), rts::Exception);
    // append does not demand its second argument until the first runs out.
    Value joined = LBS::append(LBS::fromBytes("xy"), vux::testing::failing());
    EXPECT_EQ(LBS::index(joined, 0), 'x');
    // fromChunks drops empty chunks: no Chunk holds an empty string.
    Value lbs2 = LBS::fromChunks(vux::testing::list({BS::empty(), BS::fromBytes("q"), BS::empty()}));
    const Value& first = rts::force(lbs2);
    ASSERT_EQ(first->tag, LBS::Chunk_tag);
    EXPECT_EQ(rts::force(rts::field(first, 1))->tag, LBS::Empty_tag);
    // pack of an endless list yields chunks as they are read.
    Value ones = VUX::Internal::List::repeat(BS::W8_hash(1));
    EXPECT_EQ(LBS::index(LBS::pack(ones), 10000), 1);
    // concat over a long run of empty lazy strings.
    std::vector<Value> empties(1'000'000, LBS::empty());
    empties.push_back(LBS::fromBytes("end"));
    EXPECT_EQ(LBS::toStdString(LBS::concat(vux::testing::list(empties))), "end");
    // Long lists pack and compare in constant stack.
    std::string big(3'000'000, 'z');
    EXPECT_EQ(LBS::length(LBS::pack(word8List(big))), 3'000'000);
}

TEST(ByteString, TextFormIsAStringLiteralOfTheBytes) {
    std::string bytes = std::string("a\"\\\n\0", 5) + "\xe9" + "1";
    EXPECT_EQ(shown(BS::inst_Show_ByteString(), BS::fromBytes(bytes)), "\"a\\\"\\\\\\n\\NUL\\233\\&1\"");
    EXPECT_EQ(shown(SBS::inst_Show_ShortByteString(), SBS::fromBytes(bytes)),
              shown(BS::inst_Show_ByteString(), BS::fromBytes(bytes)));
    std::mt19937 rng(7);
    EXPECT_EQ(shown(LBS::inst_Show_LazyByteString(), chunked(bytes, rng)),
              shown(BS::inst_Show_ByteString(), BS::fromBytes(bytes)));
    EXPECT_EQ(shown(BS::inst_Show_ByteString(), BS::empty()), "\"\"");
}

namespace H = VUX::Internal::Handle;
using VUX::Internal::IO::runIO;

// A file in a fresh temporary directory, opened in binary mode.
struct TempFile {
    vux::testing::TempDirectory dir;
    Value path() const { return vux::testing::str(dir / "data"); }
    Value open(uint8_t mode) const {
        return runIO(H::openBinaryFile(path(), VUX::Internal::HandleTypes::IOMode(mode)));
    }
};

bool isClosed(const Value& h) { return VUX::Types::isTrue(rts::force(runIO(H::hIsClosed(h)))); }

TEST(ByteStringHandles, EveryByteValueSurvivesAFileRoundTrip) {
    using VUX::Internal::HandleTypes::ReadMode_tag;
    using VUX::Internal::HandleTypes::WriteMode_tag;
    TempFile file;
    std::string bytes;
    for (int rep = 0; rep < 300; ++rep)
        for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));  // 76800 bytes, 3 read chunks
    Value out = file.open(WriteMode_tag);
    std::mt19937 rng(3);
    runIO(LBS::hPut(out, chunked(bytes.substr(0, 50000), rng)));
    runIO(BS::hPut(out, BS::fromBytes(bytes.substr(50000))));
    runIO(H::hClose(out));

    // Strict: hGet takes exactly what it asks for, hGetSome at most, hGetContents the rest and closes.
    Value in = file.open(ReadMode_tag);
    EXPECT_EQ(BS::toStdString(runIO(BS::hGet(in, VUX::Types::I_hash(0)))), "");
    EXPECT_EQ(BS::toStdString(runIO(BS::hGet(in, VUX::Types::I_hash(300)))), bytes.substr(0, 300));
    std::string some = BS::toStdString(runIO(BS::hGetSome(in, VUX::Types::I_hash(100))));
    EXPECT_EQ(some, bytes.substr(300, some.size()));
    EXPECT_FALSE(some.empty());
    std::string rest = BS::toStdString(runIO(BS::hGetContents(in)));
    EXPECT_EQ(rest, bytes.substr(300 + some.size()));
    EXPECT_TRUE(isClosed(in));

    // Lazy: chunks are read on demand and the handle closes at the end of input.
    Value lazyIn = file.open(ReadMode_tag);
    Value contents = runIO(LBS::hGetContents(lazyIn));
    EXPECT_EQ(LBS::index(contents, 5), 5);
    EXPECT_FALSE(isClosed(lazyIn));
    EXPECT_EQ(LBS::toStdString(contents), bytes);
    EXPECT_TRUE(isClosed(lazyIn));
    EXPECT_GE(vux::testing::items(LBS::toChunks(contents)).size(), 3u);

    // hGet past the end answers what is left, then nothing.
    Value tail = file.open(ReadMode_tag);
    EXPECT_EQ(LBS::toStdString(runIO(LBS::hGet(tail, VUX::Types::I_hash(1'000'000)))), bytes);
    EXPECT_TRUE(BS::null(runIO(BS::hGet(tail, VUX::Types::I_hash(10)))));
    try {
        runIO(BS::hGet(tail, VUX::Types::I_hash(-1)));
        ADD_FAILURE() << "a negative size was accepted";
    } catch (const rts::Exception& e) {
        Value ioe = VUX::Internal::IOError::ioExceptionOf(e);
        ASSERT_TRUE(ioe);
        EXPECT_EQ(VUX::Internal::IOError::ioErrorKind(ioe), VUX::Internal::IOError::InvalidArgument_tag);
    }
    runIO(H::hClose(tail));
    // Reading from a closed handle is the handle's error.
    EXPECT_THROW(runIO(BS::hGet(tail, VUX::Types::I_hash(1))), rts::Exception);
}

}  // namespace
