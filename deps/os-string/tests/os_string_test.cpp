// Native strings: the encodings against a reference, the file-system encoding's round trip of
// every byte, and the error values.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Data/Either.h"
#include "System/OsString.h"
#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"

namespace {

using rts::Value;
namespace OS = System::OsString;

bool isRight(const Value& e) { return rts::force(e)->tag == Data::Either::Right_tag; }
const Value& payload(const Value& e) { return rts::field(rts::force(e), 0); }

TEST(OsString, EveryHighByteSurvivesTheFileSystemEncoding) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        std::string bytes = "x" + std::string(1, static_cast<char>(b)) + "y";
        Value decoded = OS::decodeFS(OS::fromBytes(bytes));
        // A lone byte above 0x7F is not UTF-8: it decodes to its escape code point.
        EXPECT_EQ(vux::testing::code_points(decoded), (std::vector<uint32_t>{'x', 0xDC00u + b, 'y'}));
        EXPECT_EQ(OS::toStdString(OS::encodeFS(decoded)), bytes) << b;
    }
    // Every pair of high bytes too (valid two-byte sequences decode to ordinary characters).
    for (int b1 = 0x80; b1 <= 0xFF; ++b1)
        for (int b2 = 0x80; b2 <= 0xFF; ++b2) {
            std::string bytes{static_cast<char>(b1), static_cast<char>(b2)};
            ASSERT_EQ(OS::encodeFSBytes(OS::decodeFS(OS::fromBytes(bytes))), bytes) << b1 << " " << b2;
        }
    // Well-formed UTF-8 decodes to its characters.
    EXPECT_EQ(vux::testing::code_points(OS::decodeFS(OS::fromBytes("\xce\xbb\xf0\x9f\x98\x80"))),
              (std::vector<uint32_t>{0x3BB, 0x1F600}));
}

TEST(OsString, RandomBytesRoundTripAndMatchPackedLists) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 20);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(static_cast<size_t>(len(rng)), '\0');
        for (char& c : bytes) c = static_cast<char>(byte(rng));
        Value os = OS::fromBytes(bytes);
        ASSERT_EQ(OS::toStdString(OS::encodeFS(OS::decodeFS(os))), bytes);
        ASSERT_EQ(OS::toStdString(OS::pack(OS::unpack(os))), bytes);
        // Lenient decoding never fails and agrees with strict decoding where that succeeds.
        Value strict = OS::decodeUtf8(os);
        if (isRight(strict)) {
            EXPECT_EQ(vux::testing::code_points(payload(strict)),
                      vux::testing::code_points(OS::decodeUtf8Lenient(os)));
        }
    }
}

TEST(OsString, StrictUtf8RejectsMalformedInput) {
    const char* malformed[] = {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                               "\xce",     "\x80",         "a\xff"};
    for (const char* m : malformed) {
        Value r = OS::decodeUtf8(OS::fromBytes(m));
        ASSERT_FALSE(isRight(r)) << m;
        std::string text =
            vux::testing::to_string(VUX::Internal::Show::show(OS::inst_Show_EncodingException(), payload(r)));
        EXPECT_EQ(text.rfind("Cannot decode byte '\\x", 0), 0u) << text;
    }
    EXPECT_EQ(vux::testing::code_points(OS::decodeUtf8Lenient(OS::fromBytes("a\xff"
                                                                            "b\xce"))),
              (std::vector<uint32_t>{'a', 0xFFFD, 'b', 0xFFFD}));
    // Encoding: a surrogate fails in strict UTF-8; in the file-system encoding only escapes pass.
    Value lone = vux::testing::list({VUX::Types::C_hash(0xD800)});
    EXPECT_FALSE(isRight(OS::encodeUtf8(lone)));
    EXPECT_THROW(OS::encodeFS(lone), rts::Exception);
    Value esc = vux::testing::list({VUX::Types::C_hash(0xDCFF)});
    EXPECT_FALSE(isRight(OS::encodeUtf8(esc)));
    EXPECT_EQ(OS::toStdString(OS::encodeFS(esc)), "\xff");
    EXPECT_EQ(OS::toStdString(payload(OS::encodeUtf8(vux::testing::utf8("\u00e9\u03bb")))), "\u00e9\u03bb");
    try {
        OS::encodeFS(lone);
    } catch (const rts::Exception& e) {
        Value some = VUX::Internal::Exception::exceptionValue(e);
        Value caught = VUX::Internal::Exception::fromException(OS::inst_Exception_EncodingException(), some);
        EXPECT_EQ(rts::force(caught)->tag, 1);  // Just: caught by its own type
    }
}

TEST(OsString, ComparesAsBytes) {
    Value a = OS::fromBytes("a\xff"), b = OS::fromBytes("b");
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_lt(OS::inst_Ord_OsString()), a, b));
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_eq_eq(OS::inst_Eq_OsString()), a, OS::fromBytes("a\xff")));
    EXPECT_TRUE(OS::any_(
        rts::fun<1>([](const Value& w) { return VUX::Types::fromBool(rts::word(rts::force(w), 0) == 0xFF); }),
        a));
}

}  // namespace
