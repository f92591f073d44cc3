// POSIX path functions over `OsPath`, native bytes. The rules are those of
// System/FilePath/Rules.h; every function evaluates its paths whole and builds fresh byte strings.
#pragma once

#include <string>
#include <string_view>

#include "System/FilePath/Rules.h"

namespace System::OsPath::Posix {

using rts::Value;

struct ByteCodec {
    using Unit = char;
    static std::string units(const Value& path);
    static Value value(std::string_view bytes);
};
using Ops = System::FilePath::Rules::PathOps<ByteCodec>;

#include "System/FilePath/Operations.inc"

}  // namespace System::OsPath::Posix

extern template struct System::FilePath::Rules::PathOps<System::OsPath::Posix::ByteCodec>;
