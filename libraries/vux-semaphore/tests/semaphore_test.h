// Shared by the semaphore tests: names private to the test process, removed when the test ends,
// and running actions.
#pragma once

#include <semaphore.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "System/Semaphore.h"
#include "Testing.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Types.h"

namespace semaphore_test {

using rts::Value;
namespace S = System::Semaphore;

// Names are UTF-8 texts, the file-system encoding's bytes of the character strings given to the
// library, so the same bytes unlink them here.
class Names {
  public:
    Names() = default;
    Names(const Names&) = delete;
    Names& operator=(const Names&) = delete;
    ~Names() {
        for (const std::string& n : made_) sem_unlink(n.c_str());
    }
    std::string prefix() const { return "/vux-semaphore-test-" + std::to_string(getpid()) + "-"; }
    // A name for `tag`, not taken now.
    std::string make(const std::string& tag) {
        std::string name = remember(prefix() + tag);
        sem_unlink(name.c_str());
        return name;
    }
    // Takes note of a name to remove at the end (one made elsewhere, such as a fresh name).
    std::string remember(const std::string& name) {
        made_.push_back(name);
        return name;
    }

  private:
    std::vector<std::string> made_;
};

inline Value run(const Value& action) { return VUX::Internal::IO::runIO(action); }
inline Value name(const std::string& utf8) { return vux::testing::utf8(utf8); }
inline Value boxed(int64_t n) { return VUX::Types::I_hash(n); }
inline int64_t valueOf(const Value& s) { return VUX::Types::intOf(rts::force(run(S::getSemaphoreValue(s)))); }
inline Value create(const std::string& n, int64_t count) {
    return run(S::createSemaphore(name(n), boxed(count)));
}
inline Value open(const std::string& n) { return run(S::openSemaphore(name(n))); }
inline std::string nameOf(const Value& s) { return vux::testing::to_string(S::semaphoreName(s)); }

// The text of the exception that f raises, "no error" when it returns.
template <class F>
std::string failure(F&& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        return VUX::Internal::Exception::displaySomeException(VUX::Internal::Exception::exceptionValue(e));
    }
    return "no error";
}

// The kind of the I/O error that f raises (-1 when it raises something else or nothing).
template <class F>
int ioErrorKind(F&& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        Value ioe = VUX::Internal::IOError::ioExceptionOf(e);
        return ioe ? VUX::Internal::IOError::ioErrorKind(ioe) : -1;
    }
    return -1;
}

}  // namespace semaphore_test
