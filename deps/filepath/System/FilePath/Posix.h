// POSIX path functions over `FilePath`, a character list. The rules are those of
// System/FilePath/Rules.h; every function evaluates its paths whole and builds fresh lists.
#pragma once

#include <string>
#include <string_view>

#include "System/FilePath/Rules.h"

namespace System::FilePath::Posix {

using rts::Value;

struct CharCodec {
    using Unit = char32_t;
    static std::u32string units(const Value& chars);
    static Value value(std::u32string_view points);
};
using Ops = Rules::PathOps<CharCodec>;

#include "System/FilePath/Operations.inc"

}  // namespace System::FilePath::Posix

extern template struct System::FilePath::Rules::PathOps<System::FilePath::Posix::CharCodec>;
