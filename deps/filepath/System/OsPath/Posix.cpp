#include "System/OsPath/Posix.h"

#include "System/OsString.h"

namespace System::OsPath::Posix {

std::string ByteCodec::units(const Value& path) { return std::string(System::OsString::view(path)); }
Value ByteCodec::value(std::string_view bytes) { return System::OsString::fromBytes(bytes); }

}  // namespace System::OsPath::Posix

template struct System::FilePath::Rules::PathOps<System::OsPath::Posix::ByteCodec>;
