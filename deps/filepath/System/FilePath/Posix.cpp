#include "System/FilePath/Posix.h"

#include "System/OsString.h"

namespace System::FilePath::Posix {

std::u32string CharCodec::units(const Value& chars) { return System::OsString::codePoints(chars); }
Value CharCodec::value(std::u32string_view points) { return System::OsString::fromCodePoints(points); }

}  // namespace System::FilePath::Posix

template struct System::FilePath::Rules::PathOps<System::FilePath::Posix::CharCodec>;
