#include "Testing.h"

#include <ftw.h>
#include <stdlib.h>
#include "VUX/Internal/List.h"

#include <cstdio>
#include <stdexcept>

namespace vux::testing {

using namespace VUX::Types;
namespace List = VUX::Internal::List;

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

Value str(const std::string& s) { return List::fromBytes(s); }
Value utf8(const std::string& s) { return List::fromUtf8(s); }
std::vector<uint32_t> code_points(const Value& chars) { return List::codePoints(chars); }

std::string to_string(const Value& chars) {
    std::string out;
    for (uint32_t cp : code_points(chars)) {
        if (cp < 0x100)
            out.push_back(static_cast<char>(cp));
        else
            out += List::toUtf8(List::fromValues({List::boxChar(cp)}));
    }
    return out;
}

Value list(const std::vector<Value>& xs) { return List::fromValues(xs); }
std::vector<Value> items(const Value& l) { return List::toValues(l); }

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
