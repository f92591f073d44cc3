#include "VUX/CString.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include "rts/Profiling.h"

VUX_MODULE("VUX.CString");

namespace VUX::CString {

using Types::Cons;
using Types::Nil;

constinit const rts::StaticCon<0, 1> latin1_char_closures[256] = {
#define VUX_BOX(n) rts::StaticCon<0, 1>(Types::C_hash_tag, rts::word_slot(n))
#define VUX_BOX4(n) VUX_BOX(n), VUX_BOX(n + 1), VUX_BOX(n + 2), VUX_BOX(n + 3)
#define VUX_BOX16(n) VUX_BOX4(n), VUX_BOX4(n + 4), VUX_BOX4(n + 8), VUX_BOX4(n + 12)
#define VUX_BOX64(n) VUX_BOX16(n), VUX_BOX16(n + 16), VUX_BOX16(n + 32), VUX_BOX16(n + 48)
    VUX_BOX64(0), VUX_BOX64(64), VUX_BOX64(128), VUX_BOX64(192)
#undef VUX_BOX64
#undef VUX_BOX16
#undef VUX_BOX4
#undef VUX_BOX
};

namespace {

// A decoder reads one character at p: it returns false at the end of the literal, otherwise
// stores the character's box and moves p past its bytes.
struct Latin1 {
    static RTS_INLINE bool next(const char*& p, Value& box) {
        auto b = static_cast<uint8_t>(*p);
        if (b == 0) return false;
        box = latin1Char(b);
        p += 1;
        return true;
    }
};

struct Utf8 {
    // Continuation byte k of the sequence at p, as its value minus 0x80; false if it is the
    // terminator, so that a sequence cut short never reads past the end of the literal.
    static RTS_INLINE bool cont(const char* p, int k, int64_t& v) {
        auto b = static_cast<uint8_t>(p[k]);
        if (b == 0) return false;
        v = static_cast<int64_t>(b) - 0x80;
        return true;
    }
    static RTS_INLINE bool next(const char*& p, Value& box) {
        auto b0 = static_cast<uint8_t>(*p);
        if (b0 == 0) return false;
        int64_t cp, c1, c2, c3;
        if (b0 < 0x80) {
            box = latin1Char(b0);
            p += 1;
            return true;
        }
        if (b0 < 0xE0) {
            if (!cont(p, 1, c1)) return false;
            cp = (int64_t{b0} - 0xC0) * 64 + c1;
            p += 2;
        } else if (b0 < 0xF0) {
            if (!cont(p, 1, c1) || !cont(p, 2, c2)) return false;
            cp = (int64_t{b0} - 0xE0) * 4096 + c1 * 64 + c2;
            p += 3;
        } else {
            if (!cont(p, 1, c1) || !cont(p, 2, c2) || !cont(p, 3, c3)) return false;
            cp = (int64_t{b0} - 0xF0) * 262144 + c1 * 4096 + c2 * 64 + c3;
            p += 4;
        }
        box = (cp >= 0 && cp < 256) ? latin1Char(static_cast<uint8_t>(cp))
                                    : rts::con_word(Types::C_hash_tag, static_cast<uint64_t>(cp));
        return true;
    }
};

template <class D>
Value unpack_list(const char* p) {
    Value box;
    if (!D::next(p, box)) return Nil();
    return Cons(std::move(box), rts::delay([p]() -> Value { return unpack_list<D>(p); }));
}

template <class D>
Value unpack_append(const char* p, const Value& tail) {
    Value box;
    if (!D::next(p, box)) return rts::force(tail);
    return Cons(std::move(box), rts::delay([p, tail]() -> Value { return unpack_append<D>(p, tail); }));
}

template <class D>
Value unpack_foldr(const char* p, const Value& f, const Value& z) {
    Value box;
    if (!D::next(p, box)) return rts::force(z);
    Value rest = rts::delay([p, f, z]() -> Value { return unpack_foldr<D>(p, f, z); });
    return rts::apply(f, box, rest);
}

}  // namespace

Value unpackCString_hash(const char* addr) { VUX_SCC("unpackCString#"); return unpack_list<Latin1>(addr); }
Value unpackAppendCString_hash(const char* addr, const Value& tail) { VUX_SCC("unpackAppendCString#"); return unpack_append<Latin1>(addr, tail); }
Value unpackFoldrCString_hash(const char* addr, const Value& f, const Value& z) {
    VUX_SCC("unpackFoldrCString#");
    return unpack_foldr<Latin1>(addr, f, z);
}

Value unpackCStringUtf8_hash(const char* addr) { VUX_SCC("unpackCStringUtf8#"); return unpack_list<Utf8>(addr); }
Value unpackAppendCStringUtf8_hash(const char* addr, const Value& tail) { VUX_SCC("unpackAppendCStringUtf8#"); return unpack_append<Utf8>(addr, tail); }
Value unpackFoldrCStringUtf8_hash(const char* addr, const Value& f, const Value& z) {
    VUX_SCC("unpackFoldrCStringUtf8#");
    return unpack_foldr<Utf8>(addr, f, z);
}

Value unpackNBytes_hash(const char* addr, int64_t count) {
    VUX_SCC("unpackNBytes#");
    Value acc = Nil();
    if (count <= 0) return acc;  // any count below 0, the smallest Int included, is an empty list
    for (int64_t i = count - 1; i >= 0; --i) acc = Cons(latin1Char(static_cast<uint8_t>(addr[i])), std::move(acc));
    return acc;
}

int64_t cstringLength_hash(const char* addr) { VUX_SCC("cstringLength#"); return static_cast<int64_t>(std::strlen(addr)); }
int64_t c_strlen(const char* addr) { VUX_FUNCTION; return static_cast<int64_t>(std::strlen(addr)); }

// ---------------------------------------------------------------------------------------------
// Static string-literal thunks

namespace {
const char* literal_of(rts::Object* self) { return *rts::thunk_storage<const char*>(self); }
Value unpack_static(rts::Object* self) { return unpackCString_hash(literal_of(self)); }
Value unpack_static_utf8(rts::Object* self) { return unpackCStringUtf8_hash(literal_of(self)); }
static_assert(offsetof(StaticCStringBase, bytes) == sizeof(rts::ThunkObject),
              "the literal's address is the thunk's captured data");
}  // namespace
constinit const rts::ThunkInfo static_cstring_info{&unpack_static, nullptr, sizeof(StaticCStringBase)};
constinit const rts::ThunkInfo static_cstring_utf8_info{&unpack_static_utf8, nullptr, sizeof(StaticCStringBase)};

// ---------------------------------------------------------------------------------------------
// Bytes and type representations

namespace {
constinit const rts::StaticNullary One_closure{One_tag};
constinit const rts::StaticNullary Two_closure{Two_tag};
constinit const rts::StaticNullary Three_closure{Three_tag};
constinit const rts::StaticNullary Four_closure{Four_tag};
}  // namespace
constinit rts::Object* const Bytes_closure_tbl[4] = {One_closure.object(), Two_closure.object(),
                                                     Three_closure.object(), Four_closure.object()};

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.CString");
VUX_DEFINE_TYCON(tcBytes, trModule, "Bytes", 0, Types::kindType);
VUX_DEFINE_TYCON(tc_prime_One, trModule, "'One", 0, &tcBytes_kind.header);
VUX_DEFINE_TYCON(tc_prime_Two, trModule, "'Two", 0, &tcBytes_kind.header);
VUX_DEFINE_TYCON(tc_prime_Three, trModule, "'Three", 0, &tcBytes_kind.header);
VUX_DEFINE_TYCON(tc_prime_Four, trModule, "'Four", 0, &tcBytes_kind.header);

}  // namespace VUX::CString
