// A fresh directory under /tmp for a test's files, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vux::testing {

class TempDir {
  public:
    TempDir() {
        std::string tmpl = "/tmp/vux-test-XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir_ = tmpl;
    }
    ~TempDir() { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
};

}  // namespace vux::testing
