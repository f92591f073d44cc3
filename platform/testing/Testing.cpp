#include "Testing.h"

#include <ftw.h>
#include <stdlib.h>

#include <cstdio>
#include <stdexcept>

namespace vux::testing {

using namespace VUX::Types;

namespace {
// Failure markers are byte arrays holding the label, so a test can read back which one it was.
Value marker(const std::string& label) { return rts::byte_array_from(label.data(), label.size()); }
}  // namespace

Value failing(const std::string& label) {
    return rts::delay([label]() -> Value { rts::raise(marker(label)); });
}

bool is_failure(const rts::Exception& e, const std::string& label) {
    const Value& v = e.value();
    if (!v || v->kind != rts::Kind::Bytes) return false;
    return std::string(reinterpret_cast<const char*>(rts::bytes_data(v)), rts::bytes_length(v)) == label;
}

Value counting(const Counter& counter, Value result) {
    return rts::delay([runs = counter.runs, result = std::move(result)]() -> Value {
        ++*runs;
        return result;
    });
}

Value str(const std::string& s) {
    Value acc = Nil();
    for (size_t i = s.size(); i-- > 0;) acc = Cons(C_hash(static_cast<unsigned char>(s[i])), std::move(acc));
    return acc;
}

Value utf8(const std::string& s) {
    std::vector<uint32_t> cps;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = s[i];
        int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        uint32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        cps.push_back(cp);
        i += n;
    }
    Value acc = Nil();
    for (size_t i = cps.size(); i-- > 0;) acc = Cons(C_hash(cps[i]), std::move(acc));
    return acc;
}

std::vector<uint32_t> code_points(const Value& chars) {
    std::vector<uint32_t> out;
    Value cur = chars;
    for (;;) {
        const Value& c = rts::force(cur);
        if (c->tag == Nil_tag) break;
        out.push_back(charOf(rts::force(rts::field(c, 0))));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    return out;
}

std::string to_string(const Value& chars) {
    std::string out;
    for (uint32_t cp : code_points(chars)) {
        if (cp < 0x100) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

Value list(const std::vector<Value>& xs) {
    Value acc = Nil();
    for (size_t i = xs.size(); i-- > 0;) acc = Cons(xs[i], std::move(acc));
    return acc;
}

std::vector<Value> items(const Value& l) {
    std::vector<Value> out;
    Value cur = l;
    for (;;) {
        const Value& c = rts::force(cur);
        if (c->tag == Nil_tag) break;
        out.push_back(rts::field(c, 0));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    return out;
}

Value ints(const std::vector<int64_t>& xs) {
    Value acc = Nil();
    for (size_t i = xs.size(); i-- > 0;) acc = Cons(I_hash(xs[i]), std::move(acc));
    return acc;
}

std::vector<int64_t> int_values(const Value& l) {
    std::vector<int64_t> out;
    for (const Value& v : items(l)) out.push_back(intOf(rts::force(v)));
    return out;
}

TempDirectory::TempDirectory() {
    char pattern[] = "/tmp/vux-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    auto remove = [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); };
    nftw(path_.c_str(), remove, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace vux::testing

namespace rts {
void PrintTo(const Value& v, std::ostream* os) {
    if (!v) {
        *os << "<null>";
        return;
    }
    static const char* kinds[] = {"Con", "Fun", "Pap", "Thunk", "Bytes", "MutVar", "Opaque"};
    *os << kinds[static_cast<int>(v->kind)] << "@" << static_cast<const void*>(v.get());
    if (v->kind == Kind::Con) *os << " tag " << int(v->tag);
}
}  // namespace rts
