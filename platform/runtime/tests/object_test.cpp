// Objects: constructors, static objects, counting, exceptions, byte arrays, mutable references.
#include <cstring>

#include "RuntimeTest.h"

namespace {

using namespace rts_test;
using rts::Value;

constinit const rts::StaticNullary unit_closure{0};
constinit const rts::StaticCon<1, 1> static_pair{3, rts::ref_slot(&unit_closure.header), rts::word_slot(77)};

TEST(Object, ConstructorLayoutReferencesThenWords) {
    Value a = box(1);
    Value c = rts::con_words(2, {uint64_t(10), rts::bits_of(2.5)}, a, box(2));
    EXPECT_EQ(c->kind, rts::Kind::Con);
    EXPECT_EQ(rts::tag_of(c), 2);
    EXPECT_EQ(c->nptrs, 2);
    EXPECT_EQ(c->nwords, 2);
    EXPECT_TRUE(rts::same(rts::field(c, 0), a));
    EXPECT_EQ(unbox(rts::field(c, 1)), 2);
    EXPECT_EQ(rts::word(c, 0), 10u);
    EXPECT_EQ(rts::double_word(c, 1), 2.5);
    EXPECT_EQ(count_of(a), 2u);
}

TEST(Object, StaticObjectsAreNeverCounted) {
    Value u = unit_closure.value();
    Value copies[3] = {u, u, u};
    EXPECT_EQ(count_of(u), 0u);
    Value cell = rts::con(1, u, static_pair.value());
    cell = Value();  // freeing a cell that points to static objects leaves them alone
    EXPECT_EQ(count_of(u), 0u);
    Value p = static_pair.value();
    EXPECT_EQ(rts::tag_of(p), 3);
    EXPECT_TRUE(rts::same(rts::field(p, 0), u));
    EXPECT_EQ(rts::word(p, 0), 77u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p.get()) % rts::kAllocGranule, 0u);
}

TEST(Object, CopyRetainsMoveStealsDestructionReleases) {
    Value a = box(9);
    Value b = a;
    EXPECT_EQ(count_of(a), 2u);
    Value c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(count_of(a), 2u);
    const Value& alias = c;
    c = alias;  // self-assignment keeps the object alive
    EXPECT_EQ(count_of(a), 2u);
    c = Value();
    EXPECT_EQ(count_of(a), 1u);
}

TEST(Object, HeapObjectsAreAligned) {
    for (int n = 0; n < 8; ++n) {
        Value v = rts::con_words(0, {uint64_t(n)});
        EXPECT_EQ(reinterpret_cast<uintptr_t>(v.get()) % rts::kAllocGranule, 0u);
    }
}

struct ErrorText {
    rts::RtsError kind;
    const char* text;
    bool async;
};
TEST(Exception, RuntimeFailuresHaveTheirStandardTexts) {
    const ErrorText rows[] = {
        {rts::RtsError::NonTermination, "<<loop>>", false},
        {rts::RtsError::StackOverflow, "stack overflow", true},
        {rts::RtsError::HeapOverflow, "heap overflow", true},
        {rts::RtsError::Overflow, "arithmetic overflow", false},
        {rts::RtsError::Underflow, "arithmetic underflow", false},
        {rts::RtsError::DivideByZero, "divide by zero", false},
    };
    for (const ErrorText& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_STREQ(rts::rts_error_text(row.kind), row.text);
        rts::Exception e = raised_by([&] { rts::raise(row.kind); });
        EXPECT_EQ(e.kind(), row.kind);
        EXPECT_EQ(e.is_async(), row.async);
        EXPECT_EQ(rts::display(e), row.text);
        EXPECT_STREQ(e.what(), row.text);
    }
}

TEST(Exception, CarriesTheLanguageValue) {
    Value payload = box(5);
    rts::Exception e = raised_by([&] { rts::raise(payload); });
    EXPECT_TRUE(rts::same(e.value(), payload));
    EXPECT_EQ(e.kind(), rts::RtsError::None);
    EXPECT_FALSE(e.is_async());
    EXPECT_TRUE(raised_by([&] { rts::raise_async(payload); }).is_async());
}

TEST(Bytes, MutableUntilFrozenAndPinned) {
    Value b = rts::new_byte_array(100);
    EXPECT_TRUE(rts::bytes_mutable(b));
    EXPECT_EQ(rts::bytes_length(b), 100u);
    uint8_t* data = rts::bytes_data(b);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 16, 0u);
    for (size_t i = 0; i < 100; ++i) EXPECT_EQ(data[i], 0) << i;
    std::memcpy(data, "hello", 5);
    rts::freeze_byte_array(b);
    EXPECT_FALSE(rts::bytes_mutable(b));
    EXPECT_EQ(rts::bytes_data(b), data);  // freezing does not copy or move
    EXPECT_EQ(std::memcmp(data, "hello", 5), 0);

    Value c = rts::byte_array_from("abc", 3);
    EXPECT_FALSE(rts::bytes_mutable(c));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rts::bytes_data(c)), 3), "abc");
    EXPECT_EQ(rts::bytes_length(rts::new_byte_array(0)), 0u);
    Value big = rts::new_byte_array(1 << 20);  // beyond the small classes
    EXPECT_EQ(rts::bytes_data(big)[(1 << 20) - 1], 0);
}

TEST(Bytes, ImpossibleLengthRaisesHeapOverflow) {
    EXPECT_EQ(raised_by([] { rts::new_byte_array(SIZE_MAX - 4); }).kind(), rts::RtsError::HeapOverflow);
}

TEST(MutVar, ReadWriteModify) {
    Value r = rts::new_mut_var(box(1));
    EXPECT_EQ(unbox(rts::read_mut_var(r)), 1);
    Value two = box(2);
    rts::write_mut_var(r, two);
    EXPECT_TRUE(rts::same(rts::read_mut_var(r), two));
    EXPECT_EQ(count_of(two), 2u);
    Value old = rts::modify_mut_var(r, [](const Value& v) { return box(unbox(v) * 10); });
    EXPECT_TRUE(rts::same(old, two));
    EXPECT_EQ(unbox(rts::read_mut_var(r)), 20);
    old = Value();
    EXPECT_EQ(count_of(two), 1u);
}

TEST(MutVar, ModifyMayReadReferencesIncludingItself) {
    Value r = rts::new_mut_var(box(3));
    Value s = rts::new_mut_var(box(4));
    rts::modify_mut_var(r, [&](const Value& v) {
        return box(unbox(v) + unbox(rts::read_mut_var(r)) + unbox(rts::read_mut_var(s)));
    });
    EXPECT_EQ(unbox(rts::read_mut_var(r)), 10);
}

TEST(MutVar, ThrowingModifyLeavesTheContents) {
    Value r = rts::new_mut_var(box(3));
    raised_by([&] { rts::modify_mut_var(r, [](const Value&) -> Value { rts::raise(rts::RtsError::Overflow); }); });
    EXPECT_EQ(unbox(rts::read_mut_var(r)), 3);
}

}  // namespace
