#include "System/Posix/Error.h"

#include "System/OsString.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"

namespace System::Posix::Error {

void throwErrnoPath(std::string_view location, std::string_view path, int err) {
    using namespace VUX::Internal;
    using rts::Value;
    Value file = path.empty() ? Maybe::Nothing() : Maybe::Just(System::OsString::decodeFSOrBytes(path));
    IOError::throwIOError(
        IOError::errnoToIOError(List::fromBytes(location), err, Maybe::Nothing(), std::move(file)));
}

}  // namespace System::Posix::Error
