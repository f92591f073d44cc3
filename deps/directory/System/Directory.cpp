#include "System/Directory.h"

#include "System/Directory/OsPath.h"
#include "System/OsString.h"

namespace System::Directory {

namespace {
std::string native(const Value& path) { return System::OsString::encodeFSBytes(path); }
}  // namespace

void createDirectoryIfMissing(bool parents, const Value& path) {
    OsPath::createDirectoryIfMissingBytes(parents, native(path));
}
bool doesFileExist(const Value& path) { return OsPath::doesFileExistBytes(native(path)); }
bool doesDirectoryExist(const Value& path) { return OsPath::doesDirectoryExistBytes(native(path)); }
void removeFile(const Value& path) { OsPath::removeFileBytes(native(path)); }

}  // namespace System::Directory
