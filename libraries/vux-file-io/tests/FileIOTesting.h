// Helpers shared by the file tests: running actions, native paths, exception texts, descriptors.
#pragma once

#include <dirent.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "System/OsString.h"
#include "Testing.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"

namespace file_io_testing {

using rts::Value;

inline Value run(const Value& action) { return VUX::Internal::IO::runIO(action); }
inline Value osp(const std::string& bytes) { return System::OsString::fromBytes(bytes); }

// The whole text of the exception `body` raises (with its call stack), or "no exception".
inline std::string raisedText(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        return VUX::Internal::Exception::displaySomeException(VUX::Internal::Exception::exceptionValue(e));
    }
    return "no exception";
}

// The IOException `body` raises, or null.
inline Value raisedIOError(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        return VUX::Internal::IOError::ioExceptionOf(e);
    }
    return Value();
}

// The number of entries of a directory, and of descriptors the process has open.
inline int countEntries(const std::string& path) {
    int n = 0;
    DIR* d = ::opendir(path.c_str());
    while (dirent* e = ::readdir(d))
        if (e->d_name[0] != '.') ++n;
    ::closedir(d);
    return n;
}
inline int openDescriptors() { return countEntries("/proc/self/fd"); }

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace file_io_testing
