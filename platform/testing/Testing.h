// Helpers for tests of every library: values that fail when demanded, computations that count
// their runs, and conversions between std::string and character lists (which forward to the base
// layer's, VUX/Internal/List.h).
#pragma once

#include <atomic>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "VUX/Types.h"
#include "rts/rts.h"

namespace vux::testing {

using rts::Value;

// A suspended computation that raises a language exception (runtime kind: none) when demanded.
// Its exception value is a unique marker, so a test can tell which failing value was demanded.
Value failing(const std::string& label = "failing value demanded");
// Whether `e` came from a `failing(label)` value.
bool is_failure(const rts::Exception& e, const std::string& label = "failing value demanded");

// A suspended computation of `result` that counts how often its code ran.
struct Counter {
    std::shared_ptr<std::atomic<int>> runs = std::make_shared<std::atomic<int>>(0);
    int count() const { return runs->load(); }
};
Value counting(const Counter& counter, Value result);

// A list of characters, one per byte (code points 0 to 255), fully built.
Value str(const std::string& s);
// A list of characters from UTF-8 text.
Value utf8(const std::string& s);
// A character list forced to the end; every code point below 256 becomes one byte, others are
// written as UTF-8.
std::string to_string(const Value& chars);
// The code points of a character list, forced to the end.
std::vector<uint32_t> code_points(const Value& chars);

// A list of the given values, and the values of a list forced to its end (elements unevaluated).
Value list(const std::vector<Value>& items);
std::vector<Value> items(const Value& list);

// Lists of boxed Ints.
Value ints(const std::vector<int64_t>& xs);
std::vector<int64_t> int_values(const Value& list);

// A fresh directory under /tmp, removed with everything in it when the object goes.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::string& path() const { return path_; }
    // The path of `name` inside the directory.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace vux::testing

namespace rts {
// Shows values in test failures by their address and kind.
void PrintTo(const Value& v, std::ostream* os);
}  // namespace rts
